#include "ExpectedTexts.h"
#include "KovelarTest.h"

namespace kv::e2e {

class WriteFailure : public KovelarTest {};

// An index that cannot be written: the jump happens, the error box names the file (without
// an error text), the file keeps its bytes and the program ends.
TEST_F(WriteFailure, AReadOnlyIndexAfterAJump) {
    const std::string index = IndexBytes({"C:\\E0\\", "C:\\TMP\\", "C:\\E2\\"});
    WriteBytes("kovelar.dat", index);
    WriteSettings(3);
    MakeUnwritable(PathOf("kovelar.dat"));
    const Ending ending = Run(" tmp");
    EXPECT_EQ(ending.exitCode, 0u);
    ASSERT_EQ(ending.boxes.size(), 1u);
    EXPECT_EQ(ending.boxes[0].text, WriteFailedText(PathOf("kovelar.dat")));
    EXPECT_EQ(ending.boxes[0].caption, kErrorCaption);
    EXPECT_TRUE(ending.boxes[0].hasIcon);
    EXPECT_EQ(WaitTotalcmdCalls(1), std::vector<std::string>{" /O \"C:\\TMP\\\""});
    MakeWritable(PathOf("kovelar.dat"));
    EXPECT_EQ(ReadBytes("kovelar.dat"), index);
    EXPECT_FALSE(ReadBytes("kovelar.dat.new")) << "a failed save leaves no new file behind";
}

// A Pad that names no file: the shell refuses the start (and, as on Windows, says so in a
// box of its own), the failure text goes to status panel 0, and the program still promotes
// and ends. The program ends at once after that, so the index is made unwritable: the error
// box of the failed save then holds the window open while panel 0 is read.
TEST_F(WriteFailure, AJumpThatFailsShowsTheParametersInPanel0) {
    for (const int language : {1, 0}) {
        SCOPED_TRACE(language);
        WriteIndex({"C:\\TMP\\", "C:\\MYTMP\\"});
        WriteBytes("kovelar.ini", "[Gebruik]\r\nPad=" + PathOf("missing.exe") +
                                      "\r\nTaal=" + std::to_string(language) + "\r\n");
        MakeUnwritable(PathOf("kovelar.dat"));
        const driver::Process process = Start(" tmp");
        const MainWindow main = WaitMain(process);
        ASSERT_TRUE(main);
        ASSERT_TRUE(driver::WaitUntil([&] { return driver::StatusText(main.status, 0) == "1/2"; }));
        driver::PostKey(main.list, VK_RETURN);

        // The shell's own box (on Wine "Error" / "File not found.") comes first and is
        // answered; the index's error box then holds the program while panel 0 is read.
        std::vector<driver::MessageBoxInfo> shellBoxes;
        std::optional<driver::MessageBoxInfo> errorBox;
        std::string panel0;
        driver::WaitUntil([&] {
            if (!process.Running()) return true;
            const auto box = driver::WaitMessageBox(process.pid(), Millis{100});
            if (!box) return false;
            if (box->caption == kErrorCaption) {
                errorBox = box;
                panel0 = driver::StatusText(main.status, 0);
                return true;
            }
            shellBoxes.push_back(*box);
            driver::AnswerMessageBox(box->window);
            return false;
        });
        ASSERT_TRUE(errorBox) << "no error box for the index";
        EXPECT_EQ(panel0, JumpFailedText(language, "/O \"C:\\TMP\\\""));
        EXPECT_EQ(errorBox->text, WriteFailedText(PathOf("kovelar.dat")));
        driver::AnswerMessageBox(errorBox->window);
        const Ending ending = WaitEnd(process);
        EXPECT_EQ(ending.exitCode, 0u);
        EXPECT_TRUE(ending.boxes.empty());
        EXPECT_TRUE(TotalcmdCalls().empty());
        MakeWritable(PathOf("kovelar.dat"));
    }
}

}  // namespace kv::e2e
