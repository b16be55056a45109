#include "index/IndexStream.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <string>

namespace kv {
namespace {

using namespace std::string_view_literals;

bool IsBreak(char c) {
    return c == '\r' || c == '\n';
}

// The last CR or LF in [from, to), or nullptr.
const char* LastBreak(const char* from, const char* to) {
    while (to > from) {
        --to;
        if (IsBreak(*to)) return to;
    }
    return nullptr;
}

// The first CR or LF in [from, to), or `to`.
const char* LineEnd(const char* from, const char* to) {
    const void* lf = std::memchr(from, '\n', static_cast<std::size_t>(to - from));
    const char* const stop = lf ? static_cast<const char*>(lf) : to;
    const void* cr = std::memchr(from, '\r', static_cast<std::size_t>(stop - from));
    return cr ? static_cast<const char*>(cr) : stop;
}

struct BlockCount {
    std::size_t entries = 0;
    bool loneCr = false;  // some CR is not followed by an LF: every line must be cut at CR too
};

// The entries of a block: one per break (CR LF counting once), and one more for a last line
// without a break. The count looks at every byte, so it runs over groups of 64 bytes with a
// byte-sized counter each, a loop that the compiler turns into vector compares.
BlockCount CountEntries(std::string_view block) {
    std::size_t lfs = 0;
    std::size_t loneCrs = 0;
    const char* p = block.data();
    const char* const end = p + block.size();
    // A group looks one byte past itself, for the LF after a CR.
    for (; end - p > 64; p += 64) {
        unsigned char lf = 0;
        unsigned char loneCr = 0;
        for (int i = 0; i < 64; ++i) {
            lf += static_cast<unsigned char>(p[i] == '\n');
            loneCr += static_cast<unsigned char>((p[i] == '\r') & (p[i + 1] != '\n'));
        }
        lfs += lf;
        loneCrs += loneCr;
    }
    for (; p < end; ++p) {
        lfs += *p == '\n';
        loneCrs += *p == '\r' && (p + 1 == end || p[1] != '\n');
    }
    const bool unbroken = !block.empty() && !IsBreak(block.back());
    return {lfs + loneCrs + (unbroken ? 1 : 0), loneCrs > 0};
}

// A key can only match when some last component could hold it: not empty, and without a
// backslash (which ends a component) or a byte that ends an entry.
bool CanMatch(std::string_view key) {
    return !key.empty() && key.find_first_of("\\\r\n\0"sv) == std::string_view::npos;
}

// Whether the last component of `entry` holds `key` (which CanMatch): the rule of
// LastComponent and FindMatches in one backward pass over the component, as that pass runs for
// most of a million entries when the key is a common letter. A key that is found there holds no
// backslash, so it lies inside the component; the entry's last byte never takes part.
bool Matches(std::string_view entry, std::string_view key) {
    if (entry.size() <= key.size()) return false;
    const std::size_t lead = key.size() - 1;
    const char last = key.back();
    for (std::size_t i = entry.size() - 1; i-- > lead;) {  // i: where the key's last byte would be
        const char c = entry[i];
        if (c == '\\') return false;
        if (c == last && std::memcmp(entry.data() + i - lead, key.data(), lead) == 0) return true;
    }
    return false;
}

// The position in `key` of its byte that is rarest in `sample`. The search by key looks for
// that byte first, so that it stops as seldom as possible where the key does not start: the
// first letter of a term is often a drive letter or a common one.
std::size_t RareByteAt(std::string_view key, std::string_view sample) {
    std::array<std::uint32_t, 256> seen{};
    for (const char c : sample) ++seen[static_cast<unsigned char>(c)];
    std::size_t rarest = 0;
    for (std::size_t i = 1; i < key.size(); ++i)
        if (seen[static_cast<unsigned char>(key[i])] <
            seen[static_cast<unsigned char>(key[rarest])])
            rarest = i;
    return rarest;
}

// The first occurrence of `key` in [from, end), or nullptr, found through its byte at `rareAt`.
const char* FindKey(const char* from, const char* end, std::string_view key, std::size_t rareAt) {
    if (static_cast<std::size_t>(end - from) < key.size()) return nullptr;
    const char rare = key[rareAt];
    const char* p = from + rareAt;
    const char* const last = end - (key.size() - rareAt);  // the last place the rare byte can be
    while (p <= last) {
        const void* found = std::memchr(p, rare, static_cast<std::size_t>(last - p) + 1);
        if (!found) return nullptr;
        const char* const start = static_cast<const char*>(found) - rareAt;
        if (std::memcmp(start, key.data(), key.size()) == 0) return start;
        p = static_cast<const char*>(found) + 1;
    }
    return nullptr;
}

// Appends to `matches` the entries of `block` whose last component holds `key` (which CanMatch),
// and gives the number of lines it looked at.
//
// Most entries hold no trace of the key, so the block is searched for the key as a whole, and
// only a line where it occurs is cut out and tested by the rule: the key may also occur in a
// parent's name, which does not count.
std::size_t SearchByKey(std::string_view block, std::string_view key, MatchList& matches) {
    std::size_t looked = 0;
    const char* const begin = block.data();
    const char* const end = begin + block.size();
    // The rarity of bytes changes along an index (a drive letter, a project's name), so each
    // block is sampled anew; a few kilobytes are enough and cost next to nothing.
    const std::size_t rareAt = RareByteAt(key, block.substr(0, 4096));
    const char* line = begin;  // the start of the first line not yet looked at
    while (line < end) {
        const char* const hit = FindKey(line, end, key, rareAt);
        if (!hit) break;
        // The key holds no break, so the line that holds it starts after the last break before
        // it and ends at the first break after it.
        const char* start = hit;
        while (start > line && !IsBreak(start[-1])) --start;
        const char* const stop = LineEnd(hit + key.size(), end);
        const std::string_view entry(start, static_cast<std::size_t>(stop - start));
        if (Matches(entry, key)) matches.Append(entry);
        ++looked;
        line = stop;
        if (line < end && *line == '\r') ++line;
        if (line < end && *line == '\n') ++line;
    }
    return looked;
}

// Appends to `matches` the entries of `block` whose last component holds `key`, and gives their
// number. This walks every line, which is cheaper than the search by key when most lines hold
// the key somewhere (a single common letter). Without a lone CR in the block, a line ends at its
// LF, with the CR of a CR LF just before it.
std::size_t SearchByLine(std::string_view block, std::string_view key, bool loneCr,
                         MatchList& matches) {
    const std::size_t before = matches.Count();
    const char* p = block.data();
    const char* const end = p + block.size();
    while (p < end) {
        const char* stop;
        const char* next;
        if (loneCr) {
            stop = LineEnd(p, end);
            next = stop;
            if (next < end && *next == '\r') ++next;
            if (next < end && *next == '\n') ++next;
        } else {
            const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
            const char* const brk = lf ? static_cast<const char*>(lf) : end;
            stop = brk > p && brk[-1] == '\r' ? brk - 1 : brk;
            next = brk < end ? brk + 1 : end;
        }
        const std::string_view entry(p, static_cast<std::size_t>(stop - p));
        if (Matches(entry, key)) matches.Append(entry);
        p = next;
    }
    return matches.Count() - before;
}

// The length of the start that `a` and `b` share. Paths share dozens of bytes with their
// neighbours, so they are compared eight bytes at a time.
std::size_t SharedLength(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    for (; n - i >= 8; i += 8) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (const std::uint64_t differ = x ^ y) {
            if constexpr (std::endian::native == std::endian::little)
                return i + static_cast<std::size_t>(std::countr_zero(differ)) / 8;
            else
                return i + static_cast<std::size_t>(std::countl_zero(differ)) / 8;
        }
    }
    while (i < n && a[i] == b[i]) ++i;
    return i;
}

}  // namespace

std::optional<std::size_t> FileSource::Read(char* buffer, std::size_t size) {
    const std::size_t read = std::fread(buffer, 1, size, file_);
    // Bytes that came with an error are not trusted: the text may lack a part before them.
    if (std::ferror(file_)) return std::nullopt;
    return read;
}

// The text is read into one buffer. After each read, everything up to the last break in it is
// one block; the unfinished line after that break moves to the front of the buffer and the next
// read goes behind it. Only a line that fills the whole buffer makes it grow (to twice its size),
// so a single line of any length still comes out whole.
//
// A break at the end of a block that is a CR may be the first half of a CR LF pair whose LF has
// not been read yet: an LF at the start of the next read is then dropped, as part of that break.
// A NUL ends the text, as in every reading of the index.
bool ForEachIndexBlock(ByteSource& source, const std::function<void(std::string_view)>& take,
                       std::size_t bufferSize) {
    // The buffer starts at the size asked for, within reason; a long line makes it grow anyway.
    std::size_t capacity = std::clamp<std::size_t>(bufferSize, 1, std::size_t{64} << 20);
    std::unique_ptr<char[]> buffer(new char[capacity]);
    std::size_t kept = 0;  // bytes of an unfinished line at the front of the buffer
    bool afterCr = false;  // the last block ended in a CR and nothing has been read since

    for (;;) {
        if (kept == capacity) {
            if (capacity > std::numeric_limits<std::size_t>::max() / 2) throw std::bad_alloc();
            std::unique_ptr<char[]> larger(new char[capacity * 2]);
            std::memcpy(larger.get(), buffer.get(), kept);
            buffer = std::move(larger);
            capacity *= 2;
        }
        const std::optional<std::size_t> read = source.Read(buffer.get() + kept, capacity - kept);
        if (!read) return false;
        const char* text = buffer.get();
        const char* fresh = text + kept;
        const std::size_t got = std::min(*read, capacity - kept);  // never trust more than asked
        const char* end = fresh + got;
        if (got == 0) {  // the end of the data: what is kept is a last line without a break
            if (kept > 0) take({text, kept});
            return true;
        }
        if (afterCr) {
            afterCr = false;
            if (*fresh == '\n') text = ++fresh;  // kept is 0 after a block
        }
        const void* nul = std::memchr(fresh, '\0', static_cast<std::size_t>(end - fresh));
        if (nul) {
            end = static_cast<const char*>(nul);
            if (end > text) take({text, static_cast<std::size_t>(end - text)});
            return true;
        }

        // Only the fresh bytes can hold a break: the kept line has none.
        const char* const lastBreak = LastBreak(fresh, end);
        const char* rest = text;
        if (lastBreak) {
            take({text, static_cast<std::size_t>(lastBreak + 1 - text)});
            rest = lastBreak + 1;
            afterCr = *lastBreak == '\r' && rest == end;
        }
        kept = static_cast<std::size_t>(end - rest);
        if (rest != buffer.get()) std::memmove(buffer.get(), rest, kept);
    }
}

// An entry is kept as the length of the start it shares with the entry before it, written 7
// bits a byte with the high bit on every byte but the last, then the rest of its bytes and a
// NUL. The first entry shares nothing.
MatchList::Iterator::Iterator(const char* at, const char* end) : at_(at), end_(end) {
    if (at_ != end_) Decode();
}

MatchList::Iterator& MatchList::Iterator::operator++() {
    at_ = next_;
    if (at_ != end_) Decode();
    return *this;
}

void MatchList::Iterator::Decode() {
    const char* p = at_;
    std::size_t shared = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*p++);
        shared |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80)) break;
    }
    const std::size_t rest = std::strlen(p);
    entry_.resize(shared);
    entry_.append(p, rest);
    next_ = p + rest + 1;
}

// A list that has been moved from is empty, not a count without its bytes.
MatchList& MatchList::operator=(MatchList&& other) noexcept {
    bytes_ = std::move(other.bytes_);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    count_ = std::exchange(other.count_, 0);
    last_ = std::move(other.last_);
    other.last_.clear();
    return *this;
}

// The buffer grows with realloc, which for a large block moves the pages instead of copying
// them, so a search with hundreds of thousands of matches touches their bytes once.
void MatchList::Append(std::string_view entry) {
    const std::size_t shared = SharedLength(entry, last_);
    const std::string_view rest = entry.substr(shared);
    const std::size_t needed = 10 + rest.size() + 1;  // 10 bytes hold any 64-bit length
    if (capacity_ - size_ < needed) {
        if (needed > std::numeric_limits<std::size_t>::max() / 2 - size_) throw std::bad_alloc();
        const std::size_t capacity = std::max({capacity_ * 2, size_ + needed, std::size_t{4096}});
        char* const larger = static_cast<char*>(std::realloc(bytes_.get(), capacity));
        if (!larger) throw std::bad_alloc();
        bytes_.release();
        bytes_.reset(larger);
        capacity_ = capacity;
    }
    char* at = bytes_.get() + size_;
    std::size_t length = shared;
    for (; length >= 0x80; length >>= 7) *at++ = static_cast<char>((length & 0x7F) | 0x80);
    *at++ = static_cast<char>(length);
    if (!rest.empty()) std::memcpy(at, rest.data(), rest.size());
    at[rest.size()] = '\0';
    size_ = static_cast<std::size_t>(at + rest.size() + 1 - bytes_.get());
    ++count_;
    last_.resize(shared);
    last_.append(rest);
}

// Each block is searched in one of two ways: by key while few of its lines hold the key, line
// by line once a block shows that most of them do. Both give the same matches; the choice only
// follows what the last block was like.
std::optional<IndexSearch> SearchIndex(ByteSource& source, std::string_view key,
                                       std::size_t bufferSize) {
    IndexSearch search;
    const bool canMatch = CanMatch(key);
    bool byLine = false;
    const bool read = ForEachIndexBlock(
        source,
        [&](std::string_view block) {
            const BlockCount count = CountEntries(block);
            search.entryCount += count.entries;
            if (!canMatch) return;
            if (byLine)
                byLine =
                    SearchByLine(block, key, count.loneCr, search.matches) * 8 >= count.entries;
            else
                byLine = SearchByKey(block, key, search.matches) * 4 >= count.entries;
        },
        bufferSize);
    if (!read) return std::nullopt;
    return search;
}

// The new index goes out in pieces of about kIndexBufferSize bytes, so that a sink that writes
// straight to a file makes a few hundred writes for a large index, not two for every entry.
PromoteResult PromoteInStream(ByteSource& old, ByteSink& out, std::string_view folder,
                              std::size_t bufferSize) {
    // An entry never holds a break or a NUL; such a folder would also write more than one line.
    if (folder.find_first_of("\r\n\0"sv) != std::string_view::npos) return PromoteResult::NotFound;

    const std::size_t flushAt = kIndexBufferSize;
    std::string lines;
    lines.reserve(flushAt + 1024);
    lines.append(folder).append("\r\n");
    bool found = false;
    bool written = true;
    const auto flush = [&] {
        if (written && !lines.empty()) written = out.Write(lines.data(), lines.size());
        lines.clear();
    };

    const bool read = ForEachIndexEntry(
        old,
        [&](std::string_view entry) {
            if (!found && entry == folder) {
                found = true;
                return;
            }
            lines.append(entry).append("\r\n");
            if (lines.size() >= flushAt) flush();
        },
        bufferSize);
    if (!read) return PromoteResult::ReadFailed;
    flush();
    if (!written) return PromoteResult::WriteFailed;
    return found ? PromoteResult::Promoted : PromoteResult::NotFound;
}

}  // namespace kv
