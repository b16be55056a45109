#include "ExpectedTexts.h"
#include "KovelarTest.h"

namespace kv::e2e {

class NoMatch : public KovelarTest {};

TEST_F(NoMatch, TheMessageIsInTheChosenLanguageAndNothingIsWritten) {
    const std::string index = "C:\\TMP\\\nD:\\DATA\\";  // LF only: any rewrite would show
    WriteBytes("kovelar.dat", index);
    for (int language = 0; language < kLanguages; ++language) {
        SCOPED_TRACE(language);
        WriteSettings(language);
        const Ending ending = Run(" NoSuch");
        EXPECT_EQ(ending.exitCode, 0u);
        ASSERT_EQ(ending.boxes.size(), 1u);
        const auto& box = ending.boxes[0];
        EXPECT_EQ(box.text, NoMatchText(language, "NoSuch"));
        EXPECT_EQ(box.caption, kAppName);
        EXPECT_FALSE(box.hasIcon);
        EXPECT_EQ(box.buttons.size(), 1u);
    }
    EXPECT_EQ(ReadBytes("kovelar.dat"), index);
    EXPECT_TRUE(TotalcmdCalls().empty());
}

// A language code outside 0 to 3 (a hand-edited file) silences the message; the run still ends.
TEST_F(NoMatch, ALanguageOutsideTheTableShowsNothing) {
    WriteIndex({"C:\\TMP\\"});
    for (const int language : {7, -1}) {
        SCOPED_TRACE(language);
        WriteSettings(language);
        const Ending ending = Run(" NoSuch");
        EXPECT_EQ(ending.exitCode, 0u);
        EXPECT_TRUE(ending.boxes.empty()) << ending.boxes[0].text;
    }
}

TEST_F(NoMatch, AnEmptyIndexMatchesNothing) {
    WriteBytes("kovelar.dat", "");
    WriteSettings(0);
    const Ending ending = Run(" a");
    EXPECT_EQ(ending.exitCode, 0u);
    ASSERT_EQ(ending.boxes.size(), 1u);
    EXPECT_EQ(ending.boxes[0].text, NoMatchText(0, "a"));
}

class OneMatch : public KovelarTest {};

// One match: the stand-in is started with /O and the quoted entry, the entry moves to the
// front of the index, and the program ends without showing anything.
TEST_F(OneMatch, JumpsPromotesAndEnds) {
    struct Case {
        std::vector<std::string> index;
        std::string term;
        std::vector<std::string> after;
        std::string parameters;
    };
    const std::vector<Case> cases = {
        {{"C:\\E0\\", "C:\\E1\\", "C:\\E2\\", "C:\\TMP\\", "C:\\E4\\"},
         "tmp",
         {"C:\\TMP\\", "C:\\E0\\", "C:\\E1\\", "C:\\E2\\", "C:\\E4\\"},
         "/O \"C:\\TMP\\\""},
        {{"C:\\PROJECTS\\TMP\\", "D:\\X\\"},
         "TMP",
         {"C:\\PROJECTS\\TMP\\", "D:\\X\\"},
         "/O \"C:\\PROJECTS\\TMP\\\""},
        {{"D:\\X\\", "C:\\MY FILES\\OLD TMP\\"},
         "\"old tmp\"",
         {"C:\\MY FILES\\OLD TMP\\", "D:\\X\\"},
         "/O \"C:\\MY FILES\\OLD TMP\\\""},
    };
    for (int language : {0, 7}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.term + " language " + std::to_string(language));
            WriteSettings(language);
            WriteIndex(c.index);
            DeleteFileA(PathOf("totalcmd.log").c_str());
            const driver::Process process = Start(" " + c.term);
            const Ending ending = WaitEnd(process);
            EXPECT_EQ(ending.exitCode, 0u);
            EXPECT_TRUE(ending.boxes.empty());
            EXPECT_EQ(WaitTotalcmdCalls(1), std::vector<std::string>{" " + c.parameters});
            EXPECT_EQ(ReadBytes("kovelar.dat"), IndexBytes(c.after));
        }
    }
}

}  // namespace kv::e2e
