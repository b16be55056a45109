#include "ExpectedTexts.h"
#include "KovelarTest.h"
#include "ui/ControlIds.h"

namespace kv::e2e {

// The term is seen in the no-match message, which quotes it as typed: with an empty index
// every term ends there.
class Arguments : public KovelarTest {
protected:
    void SetUp() override {
        KovelarTest::SetUp();
        WriteBytes("kovelar.dat", "");
        WriteSettings(1);
    }

    std::string TermOf(const std::string& commandLine) {
        const driver::Process process = StartRaw(commandLine);
        const Ending ending = WaitEnd(process);
        EXPECT_EQ(ending.exitCode, 0u);
        if (ending.boxes.size() != 1) {
            ADD_FAILURE() << ending.boxes.size() << " message boxes";
            return "<no message>";
        }
        const std::string prefix = "No folder matches '";
        const std::string& text = ending.boxes.front().text;
        if (text.rfind(prefix, 0) != 0 || text.back() != '\'') return "<" + text + ">";
        return text.substr(prefix.size(), text.size() - prefix.size() - 1);
    }
};

TEST_F(Arguments, TheTermIsTheFirstArgumentOfTheRealCommandLine) {
    const std::string program = Quoted(kProgram);
    const std::string a4096(4096, 'a');
    struct Case {
        std::string commandLine;
        std::string term;
    };
    const std::vector<Case> cases = {
        {program + " tmp", "tmp"},
        {program + "   tmp   other words", "tmp"},
        {program + "\ttmp\tother", "tmp"},
        {program + "\x01\x1Ftmp", "tmp"},
        {program + " \"two words\" other", "two words"},
        {program + " \"\" \"\"tmp", "tmp"},
        {program + " a\"b c\"d e", "ab cd"},
        {program + " \"never closed  ", "never closed  "},
        {program + " Mixed\xE9"
                   "Case",
         "Mixed\xE9"
         "Case"},
        {std::string(kProgram) + " tmp", "tmp"},
        {"kovelar tmp", "tmp"},
        // The program name follows the same rules: a quote does not end it, a blank does.
        {"\"C:\\kvbin\\kovelar.exe\"tmp next", "next"},
        // Outside quotes an argument ends after 4096 bytes; the rest starts the next one.
        {program + " " + a4096 + "bbb", a4096},
        {program + " " + a4096, a4096},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine.substr(0, 80));
        EXPECT_EQ(TermOf(c.commandLine), c.term);
    }
}

// No argument after the program name, or only empty quote pairs and blanks: settings mode.
TEST_F(Arguments, NoTermOpensTheSettingsWindow) {
    for (const std::string tail : {"", " ", " \"\"", " \"\" \"\" ", "\t\"\""}) {
        SCOPED_TRACE("tail [" + tail + "]");
        const driver::Process process = Start(tail);
        std::vector<driver::MessageBoxInfo> boxes;
        const HWND settings = WaitWindowAnsweringBoxes(process, "TfInstellingen", boxes);
        ASSERT_TRUE(settings);
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(driver::WindowText(settings), kSettingsCaption[1]);
        EXPECT_TRUE(driver::TopWindows(process.pid(), "TfMain").empty());
        driver::ClickButton(GetDlgItem(settings, ids::bKlaar));
        const Ending ending = WaitEnd(process);
        EXPECT_EQ(ending.exitCode, 0u);
        EXPECT_TRUE(ending.boxes.empty());
    }
}

}  // namespace kv::e2e
