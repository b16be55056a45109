#include "index/FolderList.h"

#include <gtest/gtest.h>

#include <random>

namespace kv {
namespace {

using namespace std::string_view_literals;
using Entries = std::vector<std::string_view>;

Entries EntriesOf(const FolderList& list) {
    Entries out;
    for (std::size_t i = 0; i < list.Count(); ++i) out.push_back(list[i]);
    return out;
}

FolderList ListOf(const Entries& entries) {
    FolderList list;
    for (const auto entry : entries) list.Append(entry);
    return list;
}

TEST(SplitIndex, ReadingRules) {
    struct Case {
        std::string_view bytes;
        Entries entries;
    };
    const Case cases[] = {
        {"", {}},
        {"C:\\A\\\r\nC:\\B\\\r\n", {"C:\\A\\", "C:\\B\\"}},
        {"C:\\A\\\nC:\\B\\\n", {"C:\\A\\", "C:\\B\\"}},             // LF alone
        {"C:\\A\\\rC:\\B\\\r", {"C:\\A\\", "C:\\B\\"}},             // CR alone
        {"C:\\A\\\n\rC:\\B\\", {"C:\\A\\", "", "C:\\B\\"}},         // LF CR is two breaks
        {"A\n\r", {"A", ""}},                                       // ... also at the end
        {"A\r\n\r\nB\r\n", {"A", "", "B"}},                         // empty line kept
        {"\r\n", {""}},
        {"\n\n", {"", ""}},
        {"A\r\r\nB", {"A", "", "B"}},                               // CR, then CR LF
        {"C:\\A\\\r\nC:\\B\\", {"C:\\A\\", "C:\\B\\"}},             // last line without break
        {"A\r\n\0B\r\n"sv, {"A"}},                                  // NUL ends the text
        {"AB\0CD\r\n"sv, {"AB"}},
        {"\0A\r\n"sv, {}},
        {"A\r\n\0"sv, {"A"}},
        {" a b \t\r\nC:\\caf\xE9\\\r\n", {" a b \t", "C:\\caf\xE9\\"}},  // bytes kept as read
        {"D\\\r\nD\\\r\n", {"D\\", "D\\"}},                               // duplicates kept
    };
    for (const auto& [bytes, entries] : cases) {
        EXPECT_EQ(SplitIndex(bytes), entries) << testing::PrintToString(std::string(bytes));
        EXPECT_EQ(EntriesOf(FolderList::FromBytes(std::string(bytes))), entries)
            << testing::PrintToString(std::string(bytes));
    }
}

TEST(FolderList, ToBytesEndsEveryEntryWithCrLf) {
    EXPECT_EQ(FolderList().ToBytes(), "");
    EXPECT_EQ(ListOf({""}).ToBytes(), "\r\n");
    EXPECT_EQ(ListOf({"C:\\TMP\\", "", "D:\\caf\xE9\\"}).ToBytes(),
              "C:\\TMP\\\r\n\r\nD:\\caf\xE9\\\r\n");
    // A file with mixed breaks, a NUL and a last line without a break is written back clean.
    EXPECT_EQ(FolderList::FromBytes(std::string("A\nB\rC\r\n\r\nD\0junk"sv)).ToBytes(),
              "A\r\nB\r\nC\r\n\r\nD\r\n");
}

TEST(FolderList, MoveToFront) {
    struct Case {
        Entries before;
        std::string_view folder;
        bool found;
        Entries after;
    };
    const Case cases[] = {
        {{"E0", "E1", "E2", "E3", "E4"}, "E3", true, {"E3", "E0", "E1", "E2", "E4"}},
        {{"E0", "E1", "E2"}, "E0", true, {"E0", "E1", "E2"}},
        {{"E0", "E1", "E2"}, "E2", true, {"E2", "E0", "E1"}},
        // Only the first copy moves; the later one stays where it is.
        {{"E0", "D", "E2", "E3", "D"}, "D", true, {"D", "E0", "E2", "E3", "D"}},
        // Byte for byte, case significant; a missing folder changes nothing.
        {{"C:\\TMP\\", "C:\\A\\"}, "c:\\tmp\\", false, {"C:\\TMP\\", "C:\\A\\"}},
        {{"C:\\TMP\\"}, "C:\\TMP", false, {"C:\\TMP\\"}},
        {{}, "C:\\TMP\\", false, {}},
        {{"A", "", "B"}, "", true, {"", "A", "B"}},
    };
    for (const auto& [before, folder, found, after] : cases) {
        FolderList list = ListOf(before);
        EXPECT_EQ(list.MoveToFront(folder), found) << folder;
        EXPECT_EQ(EntriesOf(list), after) << folder;
    }
}

TEST(FolderList, MoveToFrontOfALoadedListThenSave) {
    FolderList list = FolderList::FromBytes("C:\\A\\\r\nC:\\B\\\r\nC:\\C\\\r\n");
    const std::string third(list[2]);
    ASSERT_TRUE(list.MoveToFront(third));
    EXPECT_EQ(list.ToBytes(), "C:\\C\\\r\nC:\\A\\\r\nC:\\B\\\r\n");
}

TEST(FolderList, AppendAndClear) {
    FolderList list = FolderList::FromBytes("OLD\\\r\n");
    // Appending one of the list's own entries must survive the buffer growing under it.
    for (int i = 0; i < 100; ++i) list.Append(list[0]);
    EXPECT_EQ(list.Count(), 101u);
    EXPECT_EQ(list[100], "OLD\\");
    list.Clear();
    EXPECT_TRUE(list.Empty());
    list.Append("C:\\NEW\\");
    EXPECT_EQ(list.ToBytes(), "C:\\NEW\\\r\n");
}

TEST(FolderList, DamagedFilesLoadWithoutHarm) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 50; ++round) {
        std::string bytes(1 + random() % 5000, '\0');
        for (char& c : bytes) c = static_cast<char>(byte(random));
        const FolderList list = FolderList::FromBytes(bytes);
        // Whatever came in, every entry is a clean line and writing it back gives a file that
        // loads to the same entries.
        for (std::size_t i = 0; i < list.Count(); ++i)
            ASSERT_EQ(list[i].find_first_of("\r\n\0"sv), std::string_view::npos);
        EXPECT_EQ(EntriesOf(FolderList::FromBytes(list.ToBytes())), EntriesOf(list));
    }
}

TEST(FolderList, OneFiftyMegabyteLine) {
    std::string bytes(50u << 20, 'A');
    const FolderList list = FolderList::FromBytes(std::move(bytes));
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list[0].size(), 50u << 20);
}

}  // namespace
}  // namespace kv
