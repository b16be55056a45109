#include "ExpectedTexts.h"
#include "KovelarTest.h"
#include "ui/ControlIds.h"

namespace kv::e2e {

// kovelar.ini is read through the Windows profile functions: these cases pin down what the
// program takes from a file written by hand.
class SettingsFile : public KovelarTest {};

// The language is seen in the no-match message; 7 shows none.
TEST_F(SettingsFile, TheLanguageAsTheProfileFunctionsReadIt) {
    WriteIndex({"C:\\TMP\\"});
    struct Case {
        std::string settings;
        int language;
    };
    const std::vector<Case> cases = {
        {"[gebruik]\r\ntaal=1\r\n", 1},
        {"[GEBRUIK]\r\nTAAL=2\r\n", 2},
        {"[Gebruik]\r\nTaal=0x2\r\n", 2},
        {"[Gebruik]\r\nTaal=0X3\r\n", 3},
        {"[Gebruik]\r\nTaal=$2\r\n", 2},
        {"[Gebruik]\r\nTaal=\"3\"\r\n", 3},
        {"[Gebruik]\r\nTaal='1'\r\n", 1},
        {"[Gebruik]\r\nTaal=   2   \r\n", 2},
        {"[Gebruik]\r\nTaal=abc\r\n", 0},
        {"[Gebruik]\r\nTaal=2abc\r\n", 0},
        {"[Gebruik]\r\nTaal=0x\r\n", 0},
        {"[Gebruik]\r\nTaal=\r\n", 0},
        {"[Gebruik]\r\nTaal=99999999999\r\n", 0},
        {"[Andere]\r\nTaal=1\r\n", 0},
        {"Taal=1\r\n", 0},
        {"[Gebruik]\nTaal=1\n", 1},
        {"[Gebruik]\r\nTaal=7\r\n", 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        WriteBytes("kovelar.ini", c.settings);
        const Ending ending = Run(" none");
        EXPECT_EQ(ending.exitCode, 0u);
        if (c.language >= kLanguages) {
            EXPECT_TRUE(ending.boxes.empty());
            continue;
        }
        ASSERT_EQ(ending.boxes.size(), 1u);
        EXPECT_EQ(ending.boxes[0].text, NoMatchText(c.language, "none"));
    }
}

// Pad names the program that is started for a jump; quotes around it are dropped.
TEST_F(SettingsFile, AQuotedPadIsUsedWithoutItsQuotes) {
    WriteIndex({"C:\\TMP\\"});
    for (const std::string quote : {"\"", "'", ""}) {
        SCOPED_TRACE(quote);
        WriteBytes("kovelar.ini",
                   "[Gebruik]\r\npad = " + quote + TotalcmdPath() + quote + "  \r\nTaal=0\r\n");
        DeleteFileA(PathOf("totalcmd.log").c_str());
        const Ending ending = Run(" tmp");
        EXPECT_EQ(ending.exitCode, 0u);
        EXPECT_TRUE(ending.boxes.empty());
        EXPECT_EQ(WaitTotalcmdCalls(1), std::vector<std::string>{" /O \"C:\\TMP\\\""});
    }
}

// A value is read through a buffer of 2048 bytes: a longer Pad comes back cut to 2047
// characters, as the settings window's path field shows.
TEST_F(SettingsFile, ALongPadIsCutAt2047Characters) {
    WriteIndex({"C:\\TMP\\"});
    const std::string pad = "C:\\" + std::string(3000, 'p') + "\\totalcmd.exe";
    WriteBytes("kovelar.ini", "[Gebruik]\r\nPad=" + pad + "\r\nTaal=1\r\n");
    const driver::Process process = Start("");
    std::vector<driver::MessageBoxInfo> boxes;
    const HWND settings = WaitWindowAnsweringBoxes(process, "TfInstellingen", boxes);
    ASSERT_TRUE(settings);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(driver::WindowText(GetDlgItem(settings, ids::eNaam)), pad.substr(0, 2047));
    driver::ClickButton(GetDlgItem(settings, ids::bKlaar));
    EXPECT_EQ(WaitEnd(process).exitCode, 0u);
}

// The first showing of the settings window stores the settings; into a folder that cannot
// be written that gives one error box with the path twice, then the window as usual.
TEST_F(SettingsFile, ASaveThatFailsShowsOneErrorBox) {
    WriteIndex({"C:\\TMP\\"});
    MakeUnwritable(Folder().substr(0, Folder().size() - 1));
    const std::string ini = PathOf("kovelar.ini");
    const driver::Process process = Start("");
    std::vector<driver::MessageBoxInfo> boxes;
    const HWND settings = WaitWindowAnsweringBoxes(process, "TfInstellingen", boxes);
    ASSERT_TRUE(settings);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, WriteFailedText(ini) + "\r\nUnable to write to " + ini);
    EXPECT_EQ(boxes[0].caption, kErrorCaption);
    EXPECT_TRUE(boxes[0].hasIcon);
    EXPECT_EQ(boxes[0].buttons.size(), 1u);
    EXPECT_EQ(driver::WindowText(settings), kSettingsCaption[0]);

    driver::ClickButton(GetDlgItem(settings, ids::bKlaar));
    const Ending ending = WaitEnd(process);
    EXPECT_EQ(ending.exitCode, 0u);
    EXPECT_TRUE(ending.boxes.empty());
    EXPECT_FALSE(ReadBytes("kovelar.ini"));
}

}  // namespace kv::e2e
