// Times what a search run does with the index: read the whole file, split it into the list,
// match the key against every entry. Prints one line of figures for the script to collect.
//
//   search_bench INDEX TERM
//   search_bench --first-touch INDEX
//
// The term is upper-cased as the program does it (code page 1252 rules) before the search.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "index/FolderList.h"
#include "index/Search.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The whole file in one string. The string's capacity is reserved up front and filled through a
// small buffer: resizing it first would write every byte twice, and on first touch every page
// of a fresh buffer costs a page fault, which is most of the time a load takes.
std::optional<std::string> ReadWholeFile(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return std::nullopt;
    std::string bytes;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > 0) bytes.reserve(static_cast<std::size_t>(size));
        std::rewind(file);
    }
    static char chunk[1 << 16];
    std::size_t read;
    while ((read = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, read);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return bytes;
}

// The peak resident set of this process so far, in kB (Linux: VmHWM).
long PeakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// The least any whole-file load pays, for reference: the first touch of a fresh buffer of the
// file's size. On some machines each new page costs a fault that is dearer than reading the
// bytes into it.
int FirstTouch(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return 1;
    const long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    std::fclose(file);
    if (size < 0) return 1;
    const Clock::time_point start = Clock::now();
    const std::string fresh(static_cast<std::size_t>(size), 'x');
    const Clock::time_point touched = Clock::now();
    std::printf("touch_ms=%.2f file_bytes=%zu%s\n", Milliseconds(start, touched), fresh.size(),
                fresh.empty() || fresh.back() == 'x' ? "" : " ?");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--first-touch") return FirstTouch(argv[2]);
    if (argc != 3) {
        std::cerr << "usage: search_bench INDEX TERM\n       search_bench --first-touch INDEX\n";
        return 2;
    }
    const std::string key = kv::SearchKey(argv[2]);

    const Clock::time_point start = Clock::now();
    std::optional<std::string> bytes = ReadWholeFile(argv[1]);
    if (!bytes) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    const std::size_t fileBytes = bytes->size();
    const Clock::time_point loaded = Clock::now();
    const kv::FolderList list = kv::FolderList::FromBytes(std::move(*bytes));
    const Clock::time_point split = Clock::now();
    const std::vector<std::size_t> matches = kv::FindMatches(list, key);
    const Clock::time_point matched = Clock::now();

    std::printf("matches=%zu entries=%zu load_ms=%.2f split_ms=%.2f match_ms=%.2f total_ms=%.2f "
                "peak_kb=%ld file_bytes=%zu\n",
                matches.size(), list.Count(), Milliseconds(start, loaded),
                Milliseconds(loaded, split), Milliseconds(split, matched),
                Milliseconds(start, matched), PeakKilobytes(), fileBytes);
    return 0;
}
