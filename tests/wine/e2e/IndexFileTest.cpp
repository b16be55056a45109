#include <tuple>

#include "ExpectedTexts.h"
#include "KovelarTest.h"

namespace kv::e2e {

class IndexFile : public KovelarTest {
protected:
    // Loads `bytes` as the index, searches for kv, checks the listed matches, then jumps to
    // the first one with Enter and returns the index file the program wrote back.
    std::string LoadListAndJump(const std::string& bytes, const std::vector<std::string>& listed) {
        WriteBytes("kovelar.dat", bytes);
        const driver::Process process = Start(" kv");
        const MainWindow main = WaitMain(process);
        EXPECT_TRUE(main);
        if (!main) return {};
        const std::string count = std::to_string(listed.size());
        EXPECT_TRUE(driver::WaitUntil([&] {
            return driver::StatusText(main.status, 0) == "1/" + count;
        })) << driver::StatusText(main.status, 0);
        EXPECT_EQ(driver::ListItems(main.list), listed);
        driver::PostKey(main.list, VK_RETURN);
        const Ending ending = WaitEnd(process);
        EXPECT_EQ(ending.exitCode, 0u);
        EXPECT_TRUE(ending.boxes.empty());
        return ReadBytes("kovelar.dat").value_or("<missing>");
    }
};

// Every kind of line break, empty lines, a NUL and a last line without a break, seen through
// the list the search fills and through the file that the jump writes back in CR LF form.
TEST_F(IndexFile, ReadingRulesAndTheRewrittenFile) {
    WriteSettings(0);
    const std::string kv1 = "C:\\KV1\\", kv2 = "C:\\KV2\\";
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> listed;
        std::string written;
    };
    const std::vector<Case> cases = {
        {"CR LF", kv1 + "\r\n" + kv2 + "\r\n", {kv1, kv2}, kv1 + "\r\n" + kv2 + "\r\n"},
        {"CR alone", kv1 + "\r" + kv2 + "\r", {kv1, kv2}, kv1 + "\r\n" + kv2 + "\r\n"},
        {"LF alone", kv1 + "\n" + kv2 + "\n", {kv1, kv2}, kv1 + "\r\n" + kv2 + "\r\n"},
        {"LF CR is two breaks", kv1 + "\n\r" + kv2, {kv1, kv2}, kv1 + "\r\n\r\n" + kv2 + "\r\n"},
        {"CR CR is two breaks",
         kv1 + "\r\r" + kv2 + "\r\n",
         {kv1, kv2},
         kv1 + "\r\n\r\n" + kv2 + "\r\n"},
        {"last line without a break", kv1 + "\r\n" + kv2, {kv1, kv2}, kv1 + "\r\n" + kv2 + "\r\n"},
        {"empty lines stay in place",
         "\r\n" + kv1 + "\r\n\r\n\n" + kv2 + "\r\n",
         {kv1, kv2},
         kv1 + "\r\n\r\n\r\n\r\n" + kv2 + "\r\n"},
        {"a NUL ends the text",
         kv1 + "\r\n" + kv2 + "\r\n" + std::string(1, '\0') + "C:\\KV3\\\r\n",
         {kv1, kv2},
         kv1 + "\r\n" + kv2 + "\r\n"},
        {"a NUL inside a line",
         kv1 + "\r\n" + kv2 + std::string(1, '\0') + "C:\\KV3\\\r\n",
         {kv1, kv2},
         kv1 + "\r\n" + kv2 + "\r\n"},
        {"mixed breaks, the match moves to the front",
         "C:\\A\\\r\n" + kv1 + "\rC:\\B\\\n" + kv2,
         {kv1, kv2},
         kv1 + "\r\nC:\\A\\\r\nC:\\B\\\r\n" + kv2 + "\r\n"},
        // No trimming: the first entry's last character is the blank, so its last component
        // is empty and it cannot match.
        {"entries are kept as read",
         " C:\\KV0\\ \r\nC:\\x\\KV1 \\\r\n" + kv2,
         {"C:\\x\\KV1 \\", kv2},
         "C:\\x\\KV1 \\\r\n C:\\KV0\\ \r\n" + kv2 + "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LoadListAndJump(c.bytes, c.listed), c.written);
    }
}

// A jump moves only the first copy of a duplicated entry; the later copy stays in place.
TEST_F(IndexFile, PromotingADuplicateMovesOnlyTheFirstCopy) {
    WriteSettings(0);
    const std::vector<std::string> before = {"C:\\E0\\", "C:\\KV\\", "C:\\E2\\", "C:\\E3\\",
                                             "C:\\KV\\"};
    EXPECT_EQ(LoadListAndJump(IndexBytes(before), {"C:\\KV\\", "C:\\KV\\"}),
              IndexBytes({"C:\\KV\\", "C:\\E0\\", "C:\\E2\\", "C:\\E3\\", "C:\\KV\\"}));
    EXPECT_EQ(WaitTotalcmdCalls(1), std::vector<std::string>{" /O \"C:\\KV\\\""});
}

// A folder that is first already is jumped to and the file is rewritten all the same.
TEST_F(IndexFile, TheFirstEntryStaysFirstAndTheFileIsRewritten) {
    WriteSettings(0);
    EXPECT_EQ(LoadListAndJump("C:\\KV1\\\nC:\\X\\\nC:\\KV2\\\n", {"C:\\KV1\\", "C:\\KV2\\"}),
              IndexBytes({"C:\\KV1\\", "C:\\X\\", "C:\\KV2\\"}));
}

}  // namespace kv::e2e
