#include "index/Search.h"

#include <cstring>

namespace kv {

// The last byte is dropped first because a scanned entry ends in its backslash; whatever it is,
// it never takes part in the match. An entry without a backslash is its own last component.
std::string_view LastComponent(std::string_view entry) {
    if (entry.empty()) return entry;
    entry.remove_suffix(1);
    const std::size_t slash = entry.rfind('\\');
    return slash == std::string_view::npos ? entry : entry.substr(slash + 1);
}

// The key is compared byte for byte: entries keep the case the file system gave them except
// for a to z, so a key that the locale upper-cased never matches a lower-case accented letter.
// An empty key matches nothing, and a key holding a backslash cannot occur in a last component.
std::vector<std::size_t> FindMatches(const FolderList& list, std::string_view key) {
    std::vector<std::size_t> matches;
    if (key.empty()) return matches;
    const char first = key.front();
    const char* const rest = key.data() + 1;
    const std::size_t restSize = key.size() - 1;

    for (std::size_t i = 0, count = list.Count(); i < count; ++i) {
        const std::string_view component = LastComponent(list[i]);
        if (component.size() < key.size()) continue;
        // Components are short (a dozen bytes on average), so a plain loop over the possible
        // starting points beats calling a general searcher for each of a million entries.
        const char* p = component.data();
        const char* const last = p + (component.size() - key.size());
        for (; p <= last; ++p) {
            if (*p == first && std::memcmp(p + 1, rest, restSize) == 0) {
                matches.push_back(i);
                break;
            }
        }
    }
    return matches;
}

}  // namespace kv
