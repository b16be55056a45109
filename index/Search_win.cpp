#include <windows.h>

#include "index/Search.h"

namespace kv {

// Upper case by the system's ANSI code page, accented letters included (é gives É under
// code page 1252), the way the user's locale sees the term.
std::string SearchKey(std::string_view term) {
    std::string key(term);
    constexpr std::size_t kChunk = 1u << 30;
    for (std::size_t done = 0; done < key.size(); done += kChunk) {
        const std::size_t length = key.size() - done < kChunk ? key.size() - done : kChunk;
        CharUpperBuffA(key.data() + done, static_cast<DWORD>(length));
    }
    return key;
}

}  // namespace kv
