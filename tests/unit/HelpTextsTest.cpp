// The help texts are compiled into the program byte for byte, so the files themselves must be
// what the text box shows: Windows-1252 (an editor that saves UTF-8 turns every accented
// letter into two wrong ones), CR LF between the lines, and ten lines in every language.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::string HelpFile(const std::string& name) {
    std::ifstream in(std::string(KOVELAR_SOURCE_DIR) + "/resources/help/" + name + ".txt",
                     std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

// A UTF-8 lead byte followed by a continuation byte: "Ã©" where "é" was meant.
bool LooksLikeUtf8(const std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if (lead >= 0xC2 && lead <= 0xF4 && next >= 0x80 && next <= 0xBF) return true;
    }
    return false;
}

struct HelpCase {
    const char* resource;
    std::string accentedWord;  // a word that must come out right, in Windows-1252 bytes

    friend void PrintTo(const HelpCase& c, std::ostream* out) { *out << c.resource; }
};

class HelpTexts : public testing::TestWithParam<HelpCase> {};

TEST_P(HelpTexts, AreTenCrLfLinesOfWindows1252) {
    const std::string text = HelpFile(GetParam().resource);
    ASSERT_FALSE(text.empty());
    const std::vector<std::string> lines = CrLfLines(text);
    EXPECT_EQ(lines.size(), 10u);
    for (const std::string& line : lines) {
        EXPECT_FALSE(line.empty());
        EXPECT_EQ(line.find_first_of(std::string("\r\n\0\t", 4)), std::string::npos) << line;
    }
    EXPECT_FALSE(LooksLikeUtf8(text));
    EXPECT_NE(text.find(GetParam().accentedWord), std::string::npos) << GetParam().accentedWord;
}

INSTANTIATE_TEST_SUITE_P(EveryLanguage, HelpTexts,
                         testing::Values(HelpCase{"MNED", "\xE9\xE9n"},
                                         HelpCase{"MENG", "It's necessary"},
                                         HelpCase{"MFRA", "con\xE7u"},
                                         HelpCase{"MFRS", "b\xEAste"}),
                         [](const auto& info) { return std::string(info.param.resource); });

TEST(HelpTexts, EnglishHoldsExactlyTheTenLines) {
    const std::vector<std::string> expected = {
        "Kovelar is an utility designed for TotalCommander.",
        "You should better rename kovelar.exe to j.exe.",
        "It's necessary that j.exe is in the PATH environement variable.",
        "The first time you launch Kovelar, you have to create Kovelar.dat.",
        "Kovelar.dat is a text file containing all the folders names of all logical drives.",
        "If a network is found, Kovelar will scan all folders in the different network "
        "locations.",
        "If you create new folders, you'll have to update kovelar.dat by launching it without "
        "arguments.",
        "When you call kovelar with a parameter, e.g. j tmp, it will look for all the folders in "
        "kovelar.dat containing tmp at the end of the folder name.",
        "The folders names which match this will be presented in a window.",
        "When you click on a name, Kovelar will switch rapidly to the corresponding folder.",
    };
    EXPECT_EQ(CrLfLines(HelpFile("MENG")), expected);
}

}  // namespace
