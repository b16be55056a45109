#include <cstdint>

#include "ExpectedTexts.h"
#include "KovelarTest.h"
#include "ui/ControlIds.h"

namespace kv::e2e {

// Damaged files and absurd arguments: the program must end normally (exit code 0, no crash)
// whatever it shows on the way.
class BadInput : public KovelarTest {
protected:
    static std::string RandomBytes(size_t size, uint32_t seed) {
        std::string bytes(size, '\0');
        for (char& b : bytes) {
            seed = seed * 1664525u + 1013904223u;
            b = static_cast<char>(seed >> 24);
        }
        return bytes;
    }

    static std::string Repeated(const std::string& before, size_t count, char c,
                                const std::string& after) {
        std::string text = before;
        text.append(count, c);
        return text.append(after);
    }
};

TEST_F(BadInput, AnIndexOfRandomBytes) {
    WriteSettings(0);
    WriteBytes("kovelar.dat", RandomBytes(512 * 1024, 7));
    // A term with a backslash never matches, so this run must end in the message.
    const Ending noMatch = Run(" \\");
    EXPECT_EQ(noMatch.exitCode, 0u);
    ASSERT_EQ(noMatch.boxes.size(), 1u);
    EXPECT_EQ(noMatch.boxes[0].text, NoMatchText(0, "\\"));
    // Without NULs, so that the whole file is searched; any outcome will do.
    std::string bytes = RandomBytes(512 * 1024, 11);
    for (char& b : bytes)
        if (b == '\0') b = 'A';
    WriteBytes("kovelar.dat", bytes);
    for (const std::string term : {"a", "\xE9", "\x80\xFF"}) {
        SCOPED_TRACE(term);
        const driver::Process process = Start(" " + term);
        EXPECT_EQ(Conclude(process, Millis{30000}).exitCode, 0u);
    }
}

TEST_F(BadInput, AnIndexOfOne50MegabyteLine) {
    WriteSettings(0);
    std::string line = "C:\\";
    line.append(50u << 20, 'A');
    line += "\\";
    WriteBytes("kovelar.dat", line);
    const Ending noMatch = Run(" B", Millis{60000});
    EXPECT_EQ(noMatch.exitCode, 0u);
    ASSERT_EQ(noMatch.boxes.size(), 1u);
    EXPECT_EQ(noMatch.boxes[0].text, NoMatchText(0, "B"));
    // A match: the jump gets a 50 MB parameter text, which the shell cannot pass on.
    const driver::Process process = Start(" AAAA");
    EXPECT_EQ(Conclude(process, Millis{120000}).exitCode, 0u);
}

// A data folder that does not exist: no index, so the settings window; its first save
// cannot create the settings file there and says so.
TEST_F(BadInput, ACommanderPathNamingNoFolder) {
    const std::string missing = Folder() + "missing";
    const driver::Process process = Start("", missing);
    std::vector<driver::MessageBoxInfo> boxes;
    const HWND settings = WaitWindowAnsweringBoxes(process, "TfInstellingen", boxes);
    ASSERT_TRUE(settings);
    const std::string ini = missing + "\\kovelar.ini";
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, kErrorCaption);
    EXPECT_EQ(boxes[0].text, WriteFailedText(ini) + "\r\nUnable to write to " + ini);
    driver::ClickButton(GetDlgItem(settings, ids::bKlaar));
    EXPECT_EQ(Conclude(process).exitCode, 0u);
}

// The platform refuses a command line of more than 32767 characters, so a 100,000-byte
// argument never reaches a program; the longest one that does is used instead, inside and
// outside quotes.
TEST_F(BadInput, TheLongestArguments) {
    WriteIndex({"C:\\TMP\\"});
    WriteSettings(0);
    const std::string program = Quoted(kProgram);
    EXPECT_FALSE(driver::Launch({kProgram, Repeated(program + " ", 100000, 'a', ""), Folder(), {}}))
        << "the platform passed on a 100,000-byte command line";
    const size_t longest = 32767 - program.size() - 4;
    for (const std::string& tail :
         {Repeated(" ", longest, 'a', ""), Repeated(" \"", longest, 'a', "\""),
          Repeated(" \"", longest, ' ', "\"")}) {
        SCOPED_TRACE(tail.substr(0, 2));
        const driver::Process process = Start(tail);
        ASSERT_TRUE(process);
        const Ending ending = Conclude(process);
        EXPECT_EQ(ending.exitCode, 0u);
    }
}

}  // namespace kv::e2e
