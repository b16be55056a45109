#pragma once
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "index/FolderList.h"

namespace kv {

// Where the bytes of an index come from: a file through stdio here, a Win32 file handle in the
// program, a string in the tests.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to `size` bytes into `buffer`. The number read; 0 only at the end of the data;
    // nullopt when reading fails.
    virtual std::optional<std::size_t> Read(char* buffer, std::size_t size) = 0;
};

// Where the bytes of a new index go.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all `size` bytes; false when they cannot all be written.
    [[nodiscard]] virtual bool Write(const char* data, std::size_t size) = 0;
};

// A ByteSource over a stdio file that the caller opened (in binary mode) and closes.
class FileSource final : public ByteSource {
public:
    explicit FileSource(std::FILE* file) : file_(file) {}
    std::optional<std::size_t> Read(char* buffer, std::size_t size) override;

private:
    std::FILE* file_;
};

// The buffer that an index is read through. It is reused for the whole file and grows only for
// a line longer than itself.
inline constexpr std::size_t kIndexBufferSize = std::size_t{256} * 1024;

// Reads the index text from `source` and hands it to `take` in blocks of whole lines, front to
// back. Splitting each block on its own by the reading rules gives exactly the entries of the
// whole text. A block is valid only during its call. False when the source fails to read.
[[nodiscard]] bool ForEachIndexBlock(ByteSource& source,
                                     const std::function<void(std::string_view)>& take,
                                     std::size_t bufferSize = kIndexBufferSize);

// Calls take(entry) for every entry of the index in `source`, in index order: the entries that
// SplitIndex gives for the same bytes. An entry is valid only during its call. False when the
// source fails to read (the entries before the failure have been taken by then).
template <typename Take>
[[nodiscard]] bool ForEachIndexEntry(ByteSource& source, Take&& take,
                                     std::size_t bufferSize = kIndexBufferSize) {
    return ForEachIndexBlock(
        source,
        [&take](std::string_view block) {
            for (const std::string_view entry : SplitIndex(block)) take(entry);
        },
        bufferSize);
}

// The entries that a search found, in index order. Neighbouring entries of an index share most
// of their path, so each entry is kept as the length of the start it shares with the entry
// before it and the rest of its bytes: a search that matches most of a large index then holds
// about a fifth of the matches' bytes. Going through the list gives every entry whole again, as a C
// string as well (what a list box takes).
class MatchList {
public:
    // Valid until it moves on: the entry it shows is rebuilt in the iterator itself.
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::string_view*;
        using reference = std::string_view;

        Iterator() = default;
        Iterator(const char* at, const char* end);
        std::string_view operator*() const { return entry_; }
        Iterator& operator++();
        void operator++(int) { ++*this; }
        bool operator==(const Iterator& other) const { return at_ == other.at_; }

    private:
        void Decode();

        const char* at_ = nullptr;    // the entry shown, or end_
        const char* next_ = nullptr;  // the entry after it
        const char* end_ = nullptr;
        std::string entry_;
    };

    MatchList() = default;
    MatchList(MatchList&& other) noexcept { *this = std::move(other); }
    MatchList& operator=(MatchList&& other) noexcept;

    [[nodiscard]] std::size_t Count() const { return count_; }
    [[nodiscard]] bool Empty() const { return count_ == 0; }
    // The first match; only when there is one.
    [[nodiscard]] std::string Front() const { return std::string(*begin()); }
    [[nodiscard]] Iterator begin() const { return {bytes_.get(), bytes_.get() + size_}; }
    [[nodiscard]] Iterator end() const { return {bytes_.get() + size_, bytes_.get() + size_}; }

    // `entry` must hold no NUL, which no entry of an index does.
    void Append(std::string_view entry);

private:
    struct Free {
        void operator()(char* bytes) const { std::free(bytes); }
    };
    std::unique_ptr<char, Free> bytes_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::size_t count_ = 0;
    std::string last_;  // the entry appended last, whole
};

struct IndexSearch {
    std::size_t entryCount = 0;
    MatchList matches;
};

// One pass over the index in `source`: counts its entries and keeps those whose last component
// holds `key` (the rule of FindMatches), without holding the index itself. nullopt when the
// source fails to read.
std::optional<IndexSearch> SearchIndex(ByteSource& source, std::string_view key,
                                       std::size_t bufferSize = kIndexBufferSize);

enum class PromoteResult { Promoted, NotFound, ReadFailed, WriteFailed };

// Writes to `out` the index of `old` with `folder` moved to the front: `folder` CR LF first, then
// every old entry but the first one equal to `folder`, each followed by CR LF. Promoted means
// `out` now holds that index; on any other result it is not an index to keep.
PromoteResult PromoteInStream(ByteSource& old, ByteSink& out, std::string_view folder,
                              std::size_t bufferSize = kIndexBufferSize);

}  // namespace kv
