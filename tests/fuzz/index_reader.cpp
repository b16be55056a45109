// The index readers on any bytes: the whole-file split, the loaded list, the streamed search
// and the streamed promotion must agree with one another whatever the file holds and however
// the source hands it over.
//
// Input: five header bytes, then the key, then the index text.
//   [0] key length (low 4 bits); bit 4: the source fails part-way; bit 5: the sink refuses;
//       bit 6: the source claims more bytes than it was asked for
//   [1] buffer size: 0 the program's own, else 1 to 255 bytes (many blocks and long lines)
//   [2] read size: 0 as much as asked, else at most this many bytes a read
//   [3] the entry to promote (by position); 255: the key itself, found or not
//   [4] bytes served before the source fails (with bit 4)
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "index/FolderList.h"
#include "index/IndexStream.h"
#include "index/Search.h"

namespace {

using kv::ByteSink;
using kv::ByteSource;

// Stops the run with a message that libFuzzer reports as a crash, with the input saved.
void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// Serves `bytes` straight from the fuzzer's buffer, so a read past the input is a read past a
// heap block that AddressSanitizer reports.
class Source final : public ByteSource {
public:
    Source(std::string_view bytes, std::size_t chunk, std::optional<std::size_t> failAt,
           bool overstate)
        : bytes_(bytes), chunk_(chunk), failAt_(failAt), overstate_(overstate) {}

    std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
        if (failAt_ && served_ >= *failAt_) {
            failed = true;
            return std::nullopt;
        }
        std::size_t n = std::min(size, bytes_.size() - served_);
        if (chunk_ > 0) n = std::min(n, chunk_);
        if (failAt_) n = std::min(n, *failAt_ - served_);
        if (n > 0) std::memcpy(buffer, bytes_.data() + served_, n);
        served_ += n;
        // A source that claims more than it was asked for: the reader must trust only `size`.
        // It never claims bytes at the end of the data, where 0 is the only honest answer.
        if (overstate_ && n == size && n > 0) return n + 7;
        return n;
    }

    bool failed = false;  // some read has failed

private:
    std::string_view bytes_;
    std::size_t chunk_;
    std::optional<std::size_t> failAt_;
    bool overstate_;
    std::size_t served_ = 0;
};

class Sink final : public ByteSink {
public:
    explicit Sink(bool refuse) : refuse_(refuse) {}
    bool Write(const char* data, std::size_t size) override {
        if (refuse_) return false;
        bytes.append(data, size);
        return true;
    }
    std::string bytes;

private:
    bool refuse_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    const std::uint8_t flags = data[0];
    const std::size_t keyLength = std::min<std::size_t>(flags & 0x0F, size - 5);
    const bool sourceFails = flags & 0x10;
    const bool sinkRefuses = flags & 0x20;
    const bool overstate = flags & 0x40;
    const std::size_t bufferSize = data[1] == 0 ? kv::kIndexBufferSize : data[1];
    const std::size_t chunk = data[2];
    const std::uint8_t pick = data[3];
    const std::optional<std::size_t> failAt =
        sourceFails ? std::optional<std::size_t>(data[4]) : std::nullopt;
    const char* const bytes = reinterpret_cast<const char*>(data);
    const std::string_view key(bytes + 5, keyLength);
    const std::string_view text(bytes + 5 + keyLength, size - 5 - keyLength);

    // The whole-file readers: the split and the loaded list give the same entries, none of
    // which holds a break or a NUL.
    const std::vector<std::string_view> entries = kv::SplitIndex(text);
    const kv::FolderList list = kv::FolderList::FromBytes(std::string(text));
    Require(list.Count() == entries.size(), "FolderList and SplitIndex count alike");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Require(list[i] == entries[i], "FolderList and SplitIndex hold the same entries");
        Require(entries[i].find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos,
                "no entry holds a break or a NUL");
    }
    // Saving and loading again changes nothing.
    const std::string saved = list.ToBytes();
    Require(kv::SplitIndex(saved) == entries, "a saved list loads back the same");

    // The streamed walk gives the same entries, whatever the buffer and read sizes.
    {
        Source source(text, chunk, failAt, overstate);
        std::size_t at = 0;
        bool same = true;
        const bool read = kv::ForEachIndexEntry(
            source,
            [&](std::string_view entry) {
                same = same && at < entries.size() && entries[at] == entry;
                ++at;
            },
            bufferSize);
        Require(read != source.failed, "the walk reports a failing source, and only that");
        Require(same, "the streamed walk gives the entries of the whole-file split");
        if (read) Require(at == entries.size(), "the streamed walk gives every entry");
    }

    // The streamed search counts the entries and finds what the search of the loaded list finds.
    {
        Source source(text, chunk, failAt, overstate);
        const std::optional<kv::IndexSearch> search = kv::SearchIndex(source, key, bufferSize);
        Require(search.has_value() != source.failed, "the search reports a failing source");
        if (search) {
            Require(search->entryCount == entries.size(), "the search counts every entry");
            const std::vector<std::size_t> expected = kv::FindMatches(list, key);
            Require(search->matches.Count() == expected.size(), "both searches find as many");
            std::size_t at = 0;
            for (const std::string_view match : search->matches) {
                Require(at < expected.size() && match == list[expected[at]],
                        "both searches find the same entries in index order");
                ++at;
            }
            Require(at == expected.size(), "the match list gives back every match");
        }
    }

    // The streamed promotion writes exactly what the loaded list writes after MoveToFront: the
    // same lines, the folder first, only the order changed.
    {
        const std::string folder = pick == 255 || entries.empty()
                                       ? std::string(key)
                                       : std::string(entries[pick % entries.size()]);
        Source source(text, chunk, failAt, overstate);
        Sink sink(sinkRefuses);
        const kv::PromoteResult result = kv::PromoteInStream(source, sink, folder, bufferSize);
        kv::FolderList moved = kv::FolderList::FromBytes(std::string(text));
        const bool found = moved.MoveToFront(folder);
        // A folder that would write more than one line is refused before anything is read.
        const bool oneLine =
            folder.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
        if (!oneLine) {
            Require(result == kv::PromoteResult::NotFound, "a folder of several lines is refused");
            Require(!found, "no entry holds a break or a NUL");
        } else if (source.failed) {
            Require(result == kv::PromoteResult::ReadFailed, "a failing source is reported");
        } else if (sinkRefuses) {
            Require(result == kv::PromoteResult::WriteFailed, "a refusing sink is reported");
        } else if (result == kv::PromoteResult::Promoted) {
            Require(found, "only a folder of the index is promoted");
            Require(sink.bytes == moved.ToBytes(), "the promoted index is the moved list");
            std::vector<std::string_view> before = entries;
            std::vector<std::string_view> after = kv::SplitIndex(sink.bytes);
            Require(!after.empty() && after.front() == folder, "the folder comes first");
            std::sort(before.begin(), before.end());
            std::sort(after.begin(), after.end());
            Require(before == after, "a promotion keeps exactly the same lines");
        } else {
            Require(result == kv::PromoteResult::NotFound, "a source that read is never unread");
            Require(!found, "a folder of the index is always found");
        }
    }
    return 0;
}
