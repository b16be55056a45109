#include "ui/Texts.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace kv::texts {
namespace {

// Every language-dependent text, with sample values where it takes any.
const std::vector<std::pair<const char*, std::function<Text(Language)>>>& AllChosenTexts() {
    static const std::vector<std::pair<const char*, std::function<Text(Language)>>> all{
        {"MenuSettings", MenuSettings},
        {"MenuStop", MenuStop},
        {"MenuInfo", MenuInfo},
        {"NeverUpdated", NeverUpdated},
        {"LastUpdateValue", [](Language l) { return LastUpdateValue(l, "1-2-2026"); }},
        {"JumpFailed", [](Language l) { return JumpFailed(l, "/O \"C:\\\""); }},
        {"NoMatch", [](Language l) { return NoMatch(l, "tmp"); }},
        {"ManyMatches", [](Language l) { return ManyMatches(l, 2, "tmp"); }},
        {"SettingsCaption", SettingsCaption},
        {"LanguageName0", [](Language l) { return LanguageName(l, 0); }},
        {"LanguageName3", [](Language l) { return LanguageName(l, 3); }},
        {"InfoButton", InfoButton},
        {"SeekButton", SeekButton},
        {"ExePanelCaption", ExePanelCaption},
        {"UpdatePanelCaption", [](Language l) { return UpdatePanelCaption(l, "C:\\tc\\"); }},
        {"LanguagePanelCaption", LanguagePanelCaption},
        {"FolderCountLabel", FolderCountLabel},
        {"LastUpdateLabel", [](Language l) { return LastUpdateLabel(l, " x"); }},
        {"UpdateDone", UpdateDone},
        {"PleaseWait", PleaseWait},
        {"InfoCaption", InfoCaption},
        {"HelpResource", HelpResource},
        {"LaunchFailed", [](Language l) { return LaunchFailed(l, "http://x"); }},
    };
    return all;
}

TEST(Texts, EveryLanguageHasEveryTextAndOtherCodesHaveNone) {
    for (const auto& [name, text] : AllChosenTexts()) {
        for (Language l = 0; l <= 3; ++l) {
            const Text chosen = text(l);
            ASSERT_TRUE(chosen.has_value()) << name << " " << l;
            EXPECT_FALSE(chosen->empty()) << name << " " << l;
            // Held as Windows-1252: no UTF-8 sequence for an accented letter may slip through.
            EXPECT_EQ(chosen->find('\xC3'), std::string::npos) << name << " " << l;
        }
        for (const Language l : {-1, 4, 7, std::numeric_limits<Language>::min(),
                                 std::numeric_limits<Language>::max()})
            EXPECT_EQ(text(l), std::nullopt) << name << " " << l;
    }
    EXPECT_EQ(LanguageName(0, -1), std::nullopt);
    EXPECT_EQ(LanguageName(0, 4), std::nullopt);
}

TEST(Texts, AccentedLettersAreWindows1252Bytes) {
    EXPECT_EQ(NeverUpdated(2), " Premi\xE8re utilisation.");
    EXPECT_EQ(NeverUpdated(3), " Noch net earder br\xFBkt.");
    EXPECT_EQ(MenuStop(3), "&Oph\xE2lde");
    EXPECT_EQ(LastUpdateLabel(2, "1-2-2026 10:00:00"), "Derni\xE8re MAJ : 1-2-2026 10:00:00");
    EXPECT_EQ(LastUpdateValue(3, "1-2-2026"), " L\xEAste fernijing: 1-2-2026");
    EXPECT_EQ(LanguageName(2, 2), "Fran\xE7" "ais");
    EXPECT_EQ(UpdateDone(2), "Kovelar.dat mis \xE0 jour avec succ\xE8s....");
    EXPECT_EQ(LaunchFailed(2, "http://x"), "'http://x' ne peut pas \xEAtre execut\xE9...");
    EXPECT_EQ(JumpFailed(2, "/O \"C:\\\""), "Kovelar ne peut acc\xE9" "der \xE0 '/O \"C:\\\"'");
}

TEST(Texts, InsertedValuesAreJoinedAsTheyAre) {
    EXPECT_EQ(NoMatch(0, "t\xE9mp"), "Geen directories met 't\xE9mp' gevonden");
    EXPECT_EQ(NoMatch(2, "tmp"), "Aucun dossier ne correspond au crit\xE8re 'tmp'");
    EXPECT_EQ(NoMatch(3, "a b"), "Gjin folders mei 'a b' f\xFBn");
    EXPECT_EQ(ManyMatches(0, 12, "Proj"), "Kovelar (12 directories gevonden met 'Proj')");
    EXPECT_EQ(ManyMatches(1, 1000000, "x"), "Kovelar (1000000 folders match 'x')");
    EXPECT_EQ(ManyMatches(2, 3, "x"), "Kovelar (3 dossiers correspondent \xE0 'x')");
    EXPECT_EQ(JumpFailed(0, "/O \"C:\\TMP\\\""),
              "Naar '/O \"C:\\TMP\\\"' kan niet geschakeld worden..");
    EXPECT_EQ(JumpFailed(1, "/O \"C:\\TMP\\\""), "Impossible to switch to '/O \"C:\\TMP\\\"' ..");
    EXPECT_EQ(UpdatePanelCaption(0, "C:\\tc\\"),
              "<FONT  size=\"14\" face=\"Arial\" ><B> C:\\tc\\Kovelar.dat update</B></FONT>");
    EXPECT_EQ(UpdatePanelCaption(2, "\\"),
              "<FONT  size=\"14\" face=\"Arial\" ><B> Mise \xE0 jour de \\Kovelar.dat</B></FONT>");
    EXPECT_EQ(UpdatePanelCaption(3, "D:\\"),
              "<FONT  size=\"14\" face=\"Arial\" ><B> D:\\Kovelar.dat fernije</B></FONT>");
    EXPECT_EQ(LastUpdateLabel(0, " Nog niet eerder gebruikt."),
              "Laatste update:  Nog niet eerder gebruikt.");
}

TEST(Texts, OneLanguageTexts) {
    EXPECT_EQ(WriteFailed("C:\\tc\\kovelar.dat"),
              "'C:\\tc\\kovelar.dat'\r\nkan niet worden weggeschreven...");
    EXPECT_EQ(WriteFailed("C:\\tc\\kovelar.ini", "Unable to write to C:\\tc\\kovelar.ini"),
              "'C:\\tc\\kovelar.ini'\r\nkan niet worden weggeschreven...\r\n"
              "Unable to write to C:\\tc\\kovelar.ini");
    EXPECT_EQ(ErrorCaption(), "ERROR!");
    EXPECT_EQ(AlreadyRunning(), "Kovelar wordt al gebruikt....");
    EXPECT_EQ(AppName(), "Kovelar");
    const std::string version = VersionText(3, 0, 0, 6);
    EXPECT_EQ(version, "Versie 3.0.0.6");
    EXPECT_EQ(VersionText(65535, 10, 200, 0), "Versie 65535.10.200.0");
    EXPECT_EQ(AppTitle(version), "Kovelar : Versie 3.0.0.6");
    EXPECT_EQ(InfoTitle(version), "Info (Versie 3.0.0.6)");
}

}  // namespace
}  // namespace kv::texts
