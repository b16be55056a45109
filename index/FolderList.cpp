#include "index/FolderList.h"

#include <algorithm>
#include <cstring>

namespace kv {
namespace {

// The text of an index file ends at its first NUL byte, as older writers padded files with
// zeros; everything after it is ignored.
std::string_view BeforeNul(std::string_view bytes) {
    if (bytes.empty()) return bytes;
    const void* nul = std::memchr(bytes.data(), '\0', bytes.size());
    return nul ? bytes.substr(0, static_cast<const char*>(nul) - bytes.data()) : bytes;
}

// One more than the number of LFs: exact for files with CR LF or LF breaks, which is what every
// writer produces, so the list is allocated once instead of growing by doubling.
std::size_t LikelyEntryCount(std::string_view text) {
    std::size_t count = 1;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (!lf) break;
        ++count;
        p = static_cast<const char*>(lf) + 1;
    }
    return count;
}

// Calls take(offset, length) for every entry of `text` (already cut at its NUL), front to back.
//
// A CR, an LF or CR LF each end one entry; LF followed by CR is two breaks with an empty entry
// between them. A break at the very end adds no entry, while a last line without a break still
// makes one.
//
// Lines are found with memchr, which the C library runs many bytes at a time: first the LF,
// then a CR within the line (a CR LF file finds it at the line's end, a lone CR earlier).
template <typename Take>
void ForEachEntry(std::string_view text, Take take) {
    if (text.empty()) return;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    const char* lf = nullptr;  // the next LF at or after p, or end
    while (p < end) {
        if (!lf || lf < p) {
            lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            if (!lf) lf = end;
        }
        const char* stop = lf;
        if (const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(lf - p)))
            stop = static_cast<const char*>(cr);
        take(static_cast<std::size_t>(p - begin), static_cast<std::size_t>(stop - p));
        p = stop;
        if (p < end && *p == '\r') ++p;
        if (p < end && *p == '\n') ++p;
    }
}

}  // namespace

FolderList FolderList::FromBytes(std::string bytes) {
    FolderList list;
    const std::string_view text = BeforeNul(bytes);
    list.spans_.reserve(LikelyEntryCount(text));
    ForEachEntry(text, [&list](std::size_t offset, std::size_t length) {
        list.spans_.push_back({offset, length});
    });
    list.bytes_ = std::move(bytes);
    return list;
}

std::vector<std::string_view> SplitIndex(std::string_view bytes) {
    std::vector<std::string_view> entries;
    ForEachEntry(BeforeNul(bytes), [&](std::size_t offset, std::size_t length) {
        entries.push_back(bytes.substr(offset, length));
    });
    return entries;
}

void FolderList::Clear() {
    bytes_.clear();
    spans_.clear();
}

void FolderList::Append(std::string_view entry) {
    // `entry` may point into bytes_ itself (a copy of one of our own entries); append copes with
    // that even when it has to grow the buffer.
    const std::size_t offset = bytes_.size();
    bytes_.append(entry.data(), entry.size());
    spans_.push_back({offset, entry.size()});
}

// The first equal entry moves to position 0 and everything before it moves one place back, so
// the list keeps its length and later copies of the same folder stay where they are. Only the
// spans move; the bytes stay put.
bool FolderList::MoveToFront(std::string_view folder) {
    const auto found = std::find_if(spans_.begin(), spans_.end(), [&](const Span& s) {
        return std::string_view(bytes_.data() + s.offset, s.length) == folder;
    });
    if (found == spans_.end()) return false;
    std::rotate(spans_.begin(), found, found + 1);
    return true;
}

std::string FolderList::ToBytes() const {
    std::size_t size = 0;
    for (const Span& s : spans_) size += s.length + 2;
    std::string out;
    out.reserve(size);
    for (const Span& s : spans_) {
        out.append(bytes_, s.offset, s.length);
        out.append("\r\n");
    }
    return out;
}

}  // namespace kv
