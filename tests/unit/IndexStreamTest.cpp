#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "index/IndexStream.h"
#include "index/Search.h"

namespace kv {
namespace {

using namespace std::string_view_literals;
using Strings = std::vector<std::string>;

constexpr std::size_t kNever = static_cast<std::size_t>(-1);

// Serves `bytes` in reads of at most `chunk` bytes, and fails once `failAt` bytes are served.
class StringSource final : public ByteSource {
public:
    explicit StringSource(std::string_view bytes, std::size_t chunk = 4096,
                          std::size_t failAt = kNever)
        : bytes_(bytes), chunk_(chunk), failAt_(failAt) {}

    std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
        if (served_ >= failAt_) return std::nullopt;
        const std::size_t n = std::min({size, chunk_, bytes_.size() - served_, failAt_ - served_});
        std::memcpy(buffer, bytes_.data() + served_, n);
        served_ += n;
        return n;
    }

private:
    std::string_view bytes_;
    std::size_t chunk_;
    std::size_t failAt_;
    std::size_t served_ = 0;
};

// Collects what is written; every write from the `failFrom`-th on (counting from 0) fails.
class StringSink final : public ByteSink {
public:
    explicit StringSink(std::size_t failFrom = kNever) : failFrom_(failFrom) {}

    bool Write(const char* data, std::size_t size) override {
        if (writes_++ >= failFrom_) return false;
        bytes.append(data, size);
        return true;
    }

    std::string bytes;

private:
    std::size_t failFrom_;
    std::size_t writes_ = 0;
};

Strings StringsOf(const std::vector<std::string_view>& views) {
    return Strings(views.begin(), views.end());
}

Strings Streamed(std::string_view bytes, std::size_t chunk, std::size_t bufferSize) {
    StringSource source(bytes, chunk);
    Strings entries;
    EXPECT_TRUE(ForEachIndexEntry(
        source, [&](std::string_view entry) { entries.emplace_back(entry); }, bufferSize));
    return entries;
}

// What the whole-file path finds: the list, then FindMatches on it.
Strings FoundInWholeFile(std::string_view bytes, std::string_view key) {
    const FolderList list = FolderList::FromBytes(std::string(bytes));
    Strings found;
    for (const std::size_t i : FindMatches(list, key)) found.emplace_back(list[i]);
    return found;
}

std::string Printable(std::string_view bytes) {
    return testing::PrintToString(std::string(bytes.substr(0, 200)));
}

// Sizes of the reads a source gives and of the buffer the stream reads through; the small ones
// put a chunk or buffer boundary at every position of the test texts.
constexpr std::size_t kChunks[] = {1, 2, 3, 7, 4096};
constexpr std::size_t kBuffers[] = {1, 2, 3, 16, kIndexBufferSize};

// Texts whose breaks, NULs and long lines fall across chunk and buffer boundaries.
std::vector<std::string> TrickyTexts() {
    std::string manyLines;
    for (int i = 0; i < 300; ++i) manyLines += "C:\\DIR" + std::to_string(i) + "\\\r\n";
    return {
        "",
        "C:\\A\\\r\nC:\\B\\\r\n",
        "C:\\A\\\nC:\\B\\\n",
        "C:\\A\\\rC:\\B\\\r",
        "C:\\A\\\n\rC:\\B\\",  // LF CR is two breaks
        "A\n\r",
        "A\r\r\nB",
        "\r\n",
        "\r",
        "\n\n\r\r\n\n",
        "A\r\n\r\n\r\nB\r\n",  // empty lines
        "C:\\A\\\r\nC:\\B\\",  // no final break
        "X",
        std::string("A\r\n\0B\r\n"sv),
        std::string("AB\0CD\r\n"sv),
        std::string("\0A\r\n"sv),
        std::string("A\r\0\nB"sv),                       // the NUL comes between CR and LF
        manyLines + std::string("\0C:\\AFTER\\\r\n"sv),  // NUL in a later chunk
        manyLines + "C:\\LAST\\",
        "C:\\A\\\r\n" + std::string(5000, 'L') + "\r\nC:\\B\\\r\n" + std::string(3000, 'M'),
    };
}

TEST(ForEachIndexEntry, GivesSplitIndexEntriesForEveryChunkAndBufferSize) {
    for (const std::string& bytes : TrickyTexts()) {
        const Strings expected = StringsOf(SplitIndex(bytes));
        for (const std::size_t chunk : kChunks)
            for (const std::size_t bufferSize : kBuffers)
                ASSERT_EQ(Streamed(bytes, chunk, bufferSize), expected)
                    << Printable(bytes) << " chunk " << chunk << " buffer " << bufferSize;
    }
}

TEST(ForEachIndexEntry, RandomBytesSplitLikeSplitIndex) {
    std::mt19937 random(20261211);
    // Mostly breaks, backslashes and letters, now and then a NUL or any byte at all.
    const auto randomByte = [&random]() -> char {
        const unsigned roll = random() % 100;
        if (roll < 20) return '\r';
        if (roll < 40) return '\n';
        if (roll < 41) return '\0';
        if (roll < 50) return '\\';
        if (roll < 90) return static_cast<char>('A' + random() % 3);
        return static_cast<char>(random() % 256);
    };
    for (int round = 0; round < 200; ++round) {
        std::string bytes(random() % 600, '\0');
        for (char& c : bytes) c = randomByte();
        const Strings expected = StringsOf(SplitIndex(bytes));
        for (const std::size_t chunk : {1, 3, 7, 4096})
            for (const std::size_t bufferSize : {std::size_t{1}, std::size_t{5}, kIndexBufferSize})
                ASSERT_EQ(Streamed(bytes, chunk, bufferSize), expected)
                    << Printable(bytes) << " chunk " << chunk << " buffer " << bufferSize;
    }
}

TEST(ForEachIndexEntry, LineLongerThanTheBufferComesOutWhole) {
    const std::string longLine = "C:\\" + std::string(3u << 20, 'X') + "\\";
    const std::string bytes = "C:\\A\\\r\n" + longLine + "\r\nC:\\B\\\r\n";
    EXPECT_EQ(Streamed(bytes, 100'000, kIndexBufferSize),
              (Strings{"C:\\A\\", longLine, "C:\\B\\"}));
    EXPECT_EQ(Streamed(bytes, kIndexBufferSize * 16, 1000),
              (Strings{"C:\\A\\", longLine, "C:\\B\\"}));
}

TEST(ForEachIndexEntry, ReadErrorStopsTheWalk) {
    const std::string bytes = "C:\\A\\\r\nC:\\B\\\r\nC:\\C\\\r\n";
    for (const std::size_t failAt : {std::size_t{0}, std::size_t{9}, bytes.size()}) {
        StringSource source(bytes, 4, failAt);
        Strings entries;
        EXPECT_FALSE(ForEachIndexEntry(
            source, [&](std::string_view entry) { entries.emplace_back(entry); }, 8))
            << failAt;
        // Nothing past the failure comes out; a line cut short by it never does.
        EXPECT_LE(entries.size(), failAt / 7) << failAt;
    }
}

TEST(MatchList, EntriesComeBackWholeInOrderAsCStrings) {
    MatchList list;
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(list.begin(), list.end());

    // Entries that share starts of every length with the one before them, none at all, the
    // whole of it or more than it holds, and lengths that take one, two and three bytes to note.
    const std::string deep = "C:\\" + std::string(300, 'D') + "\\";
    const std::string huge = "C:\\" + std::string(100'000, 'H') + "\\";
    Strings appended = {"C:\\A\\",
                        "C:\\A\\B\\",
                        "C:\\A\\",
                        "C:\\A\\",
                        "",
                        "C:\\",
                        deep,
                        deep + "X\\",
                        deep + "Y\\",
                        "D:\\",
                        huge,
                        huge + "Z\\",
                        huge.substr(0, 20'000),
                        "",
                        ""};
    for (int i = 0; i < 20000; ++i)  // enough to make the buffer grow many times
        appended.push_back("C:\\F" + std::to_string(i % 97) + "\\" + std::to_string(i) + "\\");
    for (const std::string& entry : appended) list.Append(entry);

    ASSERT_EQ(list.Count(), appended.size());
    EXPECT_EQ(list.Front(), "C:\\A\\");
    Strings back;
    for (const std::string_view entry : list) {
        EXPECT_EQ(entry.data()[entry.size()], '\0');
        back.emplace_back(entry);
    }
    EXPECT_EQ(back, appended);

    // Moved, the entries go with the list; the one left behind is empty and can start anew.
    MatchList moved = std::move(list);
    EXPECT_EQ(Strings(moved.begin(), moved.end()), appended);
    EXPECT_TRUE(list.Empty());
    list.Append("C:\\A\\B\\");
    EXPECT_EQ(Strings(list.begin(), list.end()), Strings{"C:\\A\\B\\"});
}

struct SearchCase {
    std::string bytes;
    std::string key;
};

std::vector<SearchCase> SearchCases() {
    std::vector<SearchCase> cases = {
        {"C:\\TMP\\\r\nD:\\WORK\\TMP\\OLD\\\r\nE:\\MYTMPFILES\\\r\n", "TMP"},
        {"C:\\TMP\\TMP\\\r\nC:\\TMP\\X\\\r\nC:\\X\\TMP\\", "TMP"},  // parent and last; last alone
        {"C:\\TMP\\\r\nC:\\TMP\\\r\nC:\\TMPX\\\nC:\\XTMP\\\rC:\\TMP", "TMP"},  // no final break
        {"C:\\AB\r\nC:\\AB\\\r\nAB\r\nABC", "AB"},  // the last byte never takes part
        {"C:\\\r\n\r\nC:\\X\\\r\n", "C:"},          // a drive root's component is C:
        {"\r\n\r\n\n\r", "A"},
        {"C:\\ABAB\\\r\nC:\\AAB\\\nC:\\BA\\", "AB"},  // overlapping and repeated occurrences
        {std::string("C:\\TMP\\\r\n\0C:\\TMP2\\\r\n"sv), "TMP"},
        {"C:\\TMP\\\r\nC:\\TMP\\\r\n", "TMP\\"},  // a key with a backslash never matches
        {"C:\\TMP\\\r\n", ""},
        {"C:\\A\rB\\\r\n", "A\rB"},
        {"C:\\DONN\xE9"
         "ES\\\r\nC:\\CAF\xC9\\\r\n",
         "DONN\xE9"},
    };
    std::string big;
    for (int i = 0; i < 5000; ++i)
        big += (i % 3 ? "D:\\DATA\\TMP\\N" : "C:\\X\\TMP") + std::to_string(i) + "\\\r\n";
    cases.push_back({big, "TMP"});
    cases.push_back({big, "7"});
    return cases;
}

TEST(SearchIndex, FindsWhatFindMatchesFindsInTheWholeFile) {
    for (const auto& [bytes, key] : SearchCases()) {
        const std::size_t entryCount = FolderList::FromBytes(bytes).Count();
        const Strings expected = FoundInWholeFile(bytes, key);
        for (const std::size_t chunk : kChunks)
            for (const std::size_t bufferSize : kBuffers) {
                StringSource source(bytes, chunk);
                const std::optional<IndexSearch> search = SearchIndex(source, key, bufferSize);
                ASSERT_TRUE(search);
                EXPECT_EQ(search->entryCount, entryCount) << Printable(bytes) << " chunk " << chunk;
                ASSERT_EQ(Strings(search->matches.begin(), search->matches.end()), expected)
                    << Printable(bytes) << " key " << key << " chunk " << chunk << " buffer "
                    << bufferSize;
                EXPECT_EQ(search->matches.Count(), expected.size());
            }
    }
}

TEST(SearchIndex, RandomIndexesMatchLikeTheWholeFile) {
    std::mt19937 random(7041);
    const std::string_view pieces[] = {"\\", "\\", "A", "B", "AB", "BA", "\r\n", "\n", "\r"};
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        for (int n = random() % 200; n > 0; --n) bytes += pieces[random() % std::size(pieces)];
        const std::size_t entryCount = FolderList::FromBytes(bytes).Count();
        for (const std::string_view key : {"A"sv, "AB"sv, "BAB"sv}) {
            const Strings expected = FoundInWholeFile(bytes, key);
            for (const std::size_t chunk : {1, 3, 7, 4096}) {
                StringSource source(bytes, chunk);
                const std::optional<IndexSearch> search = SearchIndex(source, key, 5);
                ASSERT_TRUE(search);
                EXPECT_EQ(search->entryCount, entryCount) << Printable(bytes);
                ASSERT_EQ(Strings(search->matches.begin(), search->matches.end()), expected)
                    << Printable(bytes) << " key " << key << " chunk " << chunk;
            }
        }
    }
}

TEST(SearchIndex, ReadErrorGivesNoResult) {
    const std::string bytes = "C:\\TMP\\\r\nD:\\TMP\\\r\nE:\\TMP\\\r\n";
    for (const std::size_t failAt : {std::size_t{0}, std::size_t{12}, bytes.size()}) {
        StringSource source(bytes, 5, failAt);
        EXPECT_FALSE(SearchIndex(source, "TMP", 16)) << failAt;
    }
}

// The promoted index must be byte for byte what the whole-file path writes.
std::string PromotedInMemory(std::string_view bytes, std::string_view folder) {
    FolderList list = FolderList::FromBytes(std::string(bytes));
    EXPECT_TRUE(list.MoveToFront(folder)) << folder;
    return list.ToBytes();
}

TEST(PromoteInStream, WritesWhatMoveToFrontAndToBytesWrite) {
    struct Case {
        std::string bytes;
        std::string folder;
    };
    std::string large;  // more than one piece of output
    for (int i = 0; i < 40000; ++i) large += "C:\\FOLDER" + std::to_string(i) + "\\\r\n";
    const Case cases[] = {
        {"E0\r\nE1\r\nE2\r\nE3\r\nE4\r\n", "E3"},
        {"E0\r\nE1\r\nE2\r\n", "E0"},  // first already: the same file again
        {"E0\r\nE1\r\nE2\r\n", "E2"},
        {"E0\r\nD\r\nE2\r\nE3\r\nD\r\n", "D"},  // only the first copy moves
        {"D\r\nD\r\n", "D"},
        {"A\r\n\r\nB\r\n", ""},                          // an empty entry is an entry
        {std::string("A\nB\rC\r\n\r\nD\0junk"sv), "C"},  // written back clean, without the rest
        {"C:\\A\\\r\nC:\\B\\", "C:\\B\\"},
        {large, "C:\\FOLDER39999\\"},
        {large, "C:\\FOLDER17\\"},
    };
    for (const auto& [bytes, folder] : cases) {
        const std::string expected = PromotedInMemory(bytes, folder);
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{4096}})
            for (const std::size_t bufferSize : {std::size_t{3}, kIndexBufferSize}) {
                if (chunk == 1 && bytes.size() > 1000) continue;  // the large case in big reads
                StringSource old(bytes, chunk);
                StringSink out;
                EXPECT_EQ(PromoteInStream(old, out, folder, bufferSize), PromoteResult::Promoted)
                    << folder;
                ASSERT_EQ(out.bytes, expected) << Printable(bytes) << " folder " << folder
                                               << " chunk " << chunk << " buffer " << bufferSize;
            }
    }
}

TEST(PromoteInStream, MissingFolderIsNotFound) {
    const std::string bytes = "C:\\TMP\\\r\nC:\\A\\\r\n";
    for (const std::string_view folder : {"c:\\tmp\\"sv, "C:\\TMP"sv, "C:\\TMP\\\\"sv, ""sv,
                                          "C:\\TMP\\\r\nC:\\A\\"sv, "C:\\TMP\\\0"sv}) {
        StringSource old(bytes, 5);
        StringSink out;
        EXPECT_EQ(PromoteInStream(old, out, folder, 8), PromoteResult::NotFound)
            << Printable(folder);
    }
    StringSource empty("");
    StringSink out;
    EXPECT_EQ(PromoteInStream(empty, out, "C:\\TMP\\"), PromoteResult::NotFound);
}

TEST(PromoteInStream, ReadAndWriteFailuresAreReported) {
    std::string large;
    for (int i = 0; i < 40000; ++i) large += "C:\\FOLDER" + std::to_string(i) + "\\\r\n";
    const std::string folder = "C:\\FOLDER5\\";
    {
        StringSource old(large, 4096, large.size() / 2);
        StringSink out;
        EXPECT_EQ(PromoteInStream(old, out, folder), PromoteResult::ReadFailed);
    }
    {
        StringSource old(large, 4096, 0);
        StringSink out;
        EXPECT_EQ(PromoteInStream(old, out, folder), PromoteResult::ReadFailed);
    }
    // A failure at the first write, at a later one, and with a small index written at once.
    for (const std::size_t failFrom : {std::size_t{0}, std::size_t{1}}) {
        StringSource old(large);
        StringSink out(failFrom);
        EXPECT_EQ(PromoteInStream(old, out, folder), PromoteResult::WriteFailed) << failFrom;
    }
    StringSource small("C:\\FOLDER5\\\r\n");
    StringSink out(0);
    EXPECT_EQ(PromoteInStream(small, out, folder), PromoteResult::WriteFailed);
}

struct File {
    std::FILE* file;
    ~File() {
        if (file) std::fclose(file);
    }
};

TEST(FileSource, ReadsAFileAndReportsAStreamThatCannotBeRead) {
    const File file{std::tmpfile()};
    ASSERT_TRUE(file.file);
    std::string bytes;
    for (int i = 0; i < 30000; ++i) bytes += "C:\\X\\TMP" + std::to_string(i) + "\\\r\n";
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file.file), bytes.size());
    std::rewind(file.file);
    FileSource source(file.file);
    const std::optional<IndexSearch> search = SearchIndex(source, "TMP2999");
    ASSERT_TRUE(search);
    EXPECT_EQ(search->entryCount, 30000u);
    EXPECT_EQ(
        Strings(search->matches.begin(), search->matches.end()),
        (Strings{"C:\\X\\TMP2999\\", "C:\\X\\TMP29990\\", "C:\\X\\TMP29991\\", "C:\\X\\TMP29992\\",
                 "C:\\X\\TMP29993\\", "C:\\X\\TMP29994\\", "C:\\X\\TMP29995\\", "C:\\X\\TMP29996\\",
                 "C:\\X\\TMP29997\\", "C:\\X\\TMP29998\\", "C:\\X\\TMP29999\\"}));

    // A stream open for writing only fails to read; that is an error, not an empty index.
    const File writeOnly{std::fopen("/dev/null", "wb")};
    ASSERT_TRUE(writeOnly.file);
    FileSource unreadable(writeOnly.file);
    EXPECT_FALSE(SearchIndex(unreadable, "TMP"));
}

}  // namespace
}  // namespace kv
