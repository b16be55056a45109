#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// The folder index in memory: an ordered list of entries (duplicates and empty entries allowed).
// All entry bytes live in one buffer and each entry is an offset and a length into it, so an
// index of a million folders costs its file size plus 16 bytes an entry, not a heap block each.
class FolderList {
public:
    FolderList() = default;

    // Takes the whole content of an index file and splits it by the reading rules.
    static FolderList FromBytes(std::string bytes);

    [[nodiscard]] std::size_t Count() const { return spans_.size(); }
    [[nodiscard]] bool Empty() const { return spans_.empty(); }
    [[nodiscard]] std::string_view operator[](std::size_t i) const {
        return {bytes_.data() + spans_[i].offset, spans_[i].length};
    }

    void Clear();
    void Append(std::string_view entry);

    // Moves the first entry equal to `folder` (byte for byte) to the front; the others keep
    // their order. Returns false, changing nothing, when no entry equals it.
    bool MoveToFront(std::string_view folder);

    // The file form: every entry followed by CR LF; an empty list gives no bytes.
    [[nodiscard]] std::string ToBytes() const;

private:
    struct Span {
        std::size_t offset;
        std::size_t length;
    };
    std::string bytes_;
    std::vector<Span> spans_;
};

// The reading rules on their own: a CR, an LF or CR LF ends one entry, LF CR is two breaks with
// an empty entry between, a NUL ends the text, a final break adds no entry.
std::vector<std::string_view> SplitIndex(std::string_view bytes);

}  // namespace kv
