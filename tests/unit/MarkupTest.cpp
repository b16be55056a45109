#include <gtest/gtest.h>

#include <random>
#include <string>

#include "ui/Markup.h"
#include "ui/Texts.h"

namespace kv::markup {
namespace {

Style Font(int size, std::string face, bool bold = false) {
    return {.size = size, .face = std::move(face), .bold = bold};
}

TEST(Markup, PanelCaptionsOfEveryLanguageGiveOneBoldArialLine) {
    for (texts::Language language = 0; language <= 3; ++language) {
        const std::string caption = *texts::ExePanelCaption(language);
        const std::vector<Line> lines = Parse(caption);
        ASSERT_EQ(lines.size(), 1u) << caption;
        ASSERT_EQ(lines[0].runs.size(), 1u) << caption;
        EXPECT_EQ(lines[0].align, Align::Left);
        EXPECT_EQ(lines[0].runs[0].style, Font(14, "Arial", true)) << caption;
        EXPECT_EQ(lines[0].runs[0].text.front(), ' ') << "blanks are kept";
    }
    // The directory goes into the caption as it is, backslashes and accents included.
    const std::string dir =
        "C:\\Donn\xE9"
        "es\\";
    EXPECT_EQ(PlainText(*texts::UpdatePanelCaption(2, dir)),
              " Mise \xE0 jour de C:\\Donn\xE9"
              "es\\Kovelar.dat");
}

TEST(Markup, TitleWithTagsClosedOutOfOrder) {
    const std::vector<Line> lines = Parse(
        "<P align=\"center\"><FONT size=\"48\" color=\"#FF0000\" face=\"Comic Sans MS\">"
        "<SHAD>Kovelar</SHAD></P></FONT>");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].align, Align::Center);
    ASSERT_EQ(lines[0].runs.size(), 1u);
    const Style expected{
        .size = 48, .face = "Comic Sans MS", .hasColor = true, .color = 0xFF0000, .shadow = true};
    EXPECT_EQ(lines[0].runs[0], (markup::Run{"Kovelar", expected}));
}

TEST(Markup, CaptionsWithoutTextGiveNoLines) {
    for (const char* text :
         {"", "<FONT  size=\"14\" face=\"Arial\"><B><P align=\"left\"></P></B></FONT>",
          "<B></B><BR><P align=right></P>"})
        EXPECT_TRUE(Parse(text).empty()) << text;
}

TEST(Markup, ParagraphsAndBreaksMakeLines) {
    const std::vector<Line> lines = Parse("a<P align='right'>b<BR>c</P>d<P align=middle>e");
    ASSERT_EQ(lines.size(), 5u);
    const std::vector<std::pair<Align, std::string>> expected{
        {Align::Left, "a"},
        {Align::Right, "b"},
        {Align::Right, "c"},
        {Align::Left, "d"},
        {Align::Left, "e"}};  // an unknown alignment is the left one
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(lines[i].align, expected[i].first) << i;
        ASSERT_EQ(lines[i].runs.size(), 1u) << i;
        EXPECT_EQ(lines[i].runs[0].text, expected[i].second) << i;
    }
}

TEST(Markup, ClosingTagsRestoreTheOuterStyle) {
    const std::vector<Line> lines =
        Parse("<FONT size=20 face=Verdana>x<font COLOR=\"clNavy\"><b>y</B></font>z</FONT>w");
    ASSERT_EQ(lines.size(), 1u);
    Style navyBold = Font(20, "Verdana", true);
    navyBold.hasColor = true;
    navyBold.color = 0x000080;
    const std::vector<markup::Run> expected{
        {"x", Font(20, "Verdana")}, {"y", navyBold}, {"z", Font(20, "Verdana")}, {"w", {}}};
    EXPECT_EQ(lines[0].runs, expected);
}

TEST(Markup, BadValuesAndUnknownTagsAreIgnored) {
    struct Case {
        const char* text;
        Style style;
    };
    for (const auto& [text, style] : std::initializer_list<Case>{
             {"<FONT size=\"abc\" color=\"#12345\" face=\"\">t", {}},
             {"<FONT size=\"-3\" color=\"nocolour\">t", {}},
             {"<FONT size=\"9999\">t", {.size = kMaxSize}},
             {"<FONT size=\"1\">t", {.size = kMinSize}},
             {"<FONT color=#00ff7F>t", {.hasColor = true, .color = 0x00FF7F}},
             {"<I><U><IMG src=\"x.png\"><A href=\"y\">t</A>", {}},
             {"</B></SHAD></FONT></P>t", {}},
             {"<B><B></B>t", {.bold = true}}})
        EXPECT_EQ(Parse(text), (std::vector<Line>{{Align::Left, {{"t", style}}}})) << text;
}

TEST(Markup, TextKeepsItsBytesAndResolvesEntities) {
    struct Case {
        const char* text;
        std::string plain;
    };
    for (const auto& [text, plain] : std::initializer_list<Case>{
             {"Oph\xE2lde br\xFBkt \xEA \xE9\xE8\xE7", "Oph\xE2lde br\xFBkt \xEA \xE9\xE8\xE7"},
             {"a &amp; b &lt;c&gt; &quot;d&quot;&nbsp;&AMP;", "a & b <c> \"d\" &"},
             {"R&D &unknown; &", "R&D &unknown; &"},
             {"two\r\nlines", "twolines"},
             {"text <B unclosed", "text "},
             {"<>x< >y", "xy"}})
        EXPECT_EQ(PlainText(text), plain) << text;
}

// Whatever the bytes, parsing ends and every run it gives holds text.
TEST(Markup, GarbageNeverBreaksTheParser) {
    std::mt19937 random(12345);
    const std::string alphabet = "<>/=\"' &;#abcdefBFONTPSHADsizecolorfacealign0123456789\xE9\r\n";
    for (int round = 0; round < 2000; ++round) {
        std::string text(random() % 80, '\0');
        for (char& c : text)
            c = round % 2 ? static_cast<char>(random() % 256)
                          : alphabet[random() % alphabet.size()];
        for (const Line& line : Parse(text)) {
            EXPECT_FALSE(line.runs.empty());
            for (const markup::Run& run : line.runs) {
                EXPECT_FALSE(run.text.empty());
                EXPECT_TRUE(run.style.size == 0 ||
                            (run.style.size >= kMinSize && run.style.size <= kMaxSize));
            }
        }
    }
}

}  // namespace
}  // namespace kv::markup
