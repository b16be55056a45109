#include "ExpectedTexts.h"
#include "KovelarTest.h"

namespace kv::e2e {

class Match : public KovelarTest {};

TEST_F(Match, OnlyTheLastComponentCounts) {
    WriteIndex({"C:\\TMP\\", "D:\\WORK\\TMP\\OLD\\", "E:\\MYTMPFILES\\", "", "C:\\TMP2\\SUB\\"});
    WriteSettings(0);
    const driver::Process process = Start(" tmp");
    const MainWindow main = WaitMain(process);
    ASSERT_TRUE(main);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::StatusText(main.status, 0) == "1/2"; }));
    EXPECT_EQ(driver::ListItems(main.list),
              (std::vector<std::string>{"C:\\TMP\\", "E:\\MYTMPFILES\\"}));
    EXPECT_EQ(driver::WindowText(main.window), ManyMatchesText(0, 2, "tmp"));
    driver::PostKey(main.list, VK_ESCAPE);
    EXPECT_EQ(WaitEnd(process).exitCode, 0u);
}

// A backslash in the term can never match: the last component holds none.
TEST_F(Match, ATermWithABackslashNeverMatches) {
    WriteIndex({"C:\\WORK\\TMP\\", "C:\\TMP\\", "C:\\"});
    WriteSettings(0);
    for (const std::string term : {"WORK\\TMP", "\\TMP", "TMP\\", "\\", "C:\\"}) {
        SCOPED_TRACE(term);
        const Ending ending = Run(" " + term);
        EXPECT_EQ(ending.exitCode, 0u);
        ASSERT_EQ(ending.boxes.size(), 1u);
        EXPECT_EQ(ending.boxes[0].text, NoMatchText(0, term));
    }
    EXPECT_TRUE(TotalcmdCalls().empty());
}

// The key is upper-cased by the code page (é to É) and compared byte for byte with the stored
// entry, whose accented letters keep the case the file system gave them.
TEST_F(Match, TheKeyIsUpperCasedByTheCodePage) {
    ASSERT_EQ(GetACP(), 1252u) << "the prefix must run with the Western code page";
    const std::string lowerStored = "C:\\CAF\xE9\\";  // é as the scan stores it
    const std::string upperStored =
        "C:\\CAF\xC9"
        "2\\";  // É
    struct Case {
        std::string index, term, jump;
    };
    const std::vector<Case> cases = {
        {"C:\\", "c:", "C:\\"},
        {"C:\\", "C:", "C:\\"},
        {"C:\\", "c", "C:\\"},
        {"C:\\PROJECTS\\tmp\\", "TMP", "<none>"},  // a stored lower-case letter is never matched
        {lowerStored, "caf\xE9", "<none>"},
        {lowerStored, "CAF\xC9", "<none>"},
        {upperStored, "caf\xE9", upperStored},
        {upperStored,
         "\xE9"
         "2",
         upperStored},
        {upperStored, "CAF\xC9", upperStored},
    };
    WriteSettings(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index + " / " + c.term);
        WriteIndex({"D:\\OTHER\\", c.index});
        DeleteFileA(PathOf("totalcmd.log").c_str());
        const Ending ending = Run(" " + c.term);
        EXPECT_EQ(ending.exitCode, 0u);
        if (c.jump == "<none>") {
            ASSERT_EQ(ending.boxes.size(), 1u);
            EXPECT_EQ(ending.boxes[0].text, NoMatchText(0, c.term));
            EXPECT_TRUE(TotalcmdCalls().empty());
        } else {
            EXPECT_TRUE(ending.boxes.empty());
            EXPECT_EQ(WaitTotalcmdCalls(1), std::vector<std::string>{" /O \"" + c.jump + "\""});
            EXPECT_EQ(ReadBytes("kovelar.dat"), IndexBytes({c.jump, "D:\\OTHER\\"}));
        }
    }
}

}  // namespace kv::e2e
