// Times what a search run does with the index, and prints one line of figures for the script to
// collect.
//
//   search_bench INDEX TERM              the streaming search: SearchIndex over the file
//   search_bench --whole INDEX TERM      the whole-file path: read it all, split it, FindMatches
//   search_bench --first-touch BYTES     the time merely to write BYTES of fresh memory once
//
// The term is upper-cased as the program does it (code page 1252 rules) before the search.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "index/FolderList.h"
#include "index/IndexStream.h"
#include "index/Search.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct Close {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, Close>;

// The peak resident set of this process so far, in kB (Linux: VmHWM).
long PeakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// The search as the program runs it: the file goes through one small buffer, and only the
// matches and the entry count stay.
int Stream(const char* path, const std::string& key) {
    const Clock::time_point start = Clock::now();
    const File file(std::fopen(path, "rb"));
    if (!file) {
        std::cerr << "cannot open " << path << "\n";
        return 1;
    }
    kv::FileSource source(file.get());
    const std::optional<kv::IndexSearch> search = kv::SearchIndex(source, key);
    const Clock::time_point searched = Clock::now();
    if (!search) {
        std::cerr << "cannot read " << path << "\n";
        return 1;
    }
    std::printf("matches=%zu entries=%zu search_ms=%.2f peak_kb=%ld\n", search->matches.Count(),
                search->entryCount, Milliseconds(start, searched), PeakKilobytes());
    return 0;
}

// The whole file in one string, reserved at the file's size and filled through a small buffer.
std::optional<std::string> ReadWholeFile(const char* path) {
    const File file(std::fopen(path, "rb"));
    if (!file) return std::nullopt;
    std::string bytes;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(file.get());
        if (size > 0) bytes.reserve(static_cast<std::size_t>(size));
        std::rewind(file.get());
    }
    static char chunk[1 << 16];
    std::size_t read;
    while ((read = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.append(chunk, read);
    if (std::ferror(file.get())) return std::nullopt;
    return bytes;
}

// The earlier path, for comparison: the whole index in memory as the folder list, then
// FindMatches over it.
int Whole(const char* path, const std::string& key) {
    const Clock::time_point start = Clock::now();
    std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) {
        std::cerr << "cannot read " << path << "\n";
        return 1;
    }
    const Clock::time_point loaded = Clock::now();
    const kv::FolderList list = kv::FolderList::FromBytes(std::move(*bytes));
    const Clock::time_point split = Clock::now();
    const std::vector<std::size_t> matches = kv::FindMatches(list, key);
    const Clock::time_point matched = Clock::now();
    std::printf(
        "matches=%zu entries=%zu search_ms=%.2f load_ms=%.2f split_ms=%.2f "
        "match_ms=%.2f peak_kb=%ld\n",
        matches.size(), list.Count(), Milliseconds(start, matched), Milliseconds(start, loaded),
        Milliseconds(loaded, split), Milliseconds(split, matched), PeakKilobytes());
    return 0;
}

// What any program pays on this machine to hold BYTES that it did not hold before: the first
// touch of every fresh page. A search that keeps its matches pays it for their bytes.
int FirstTouch(const char* bytes) {
    const std::size_t size = std::strtoull(bytes, nullptr, 10);
    const Clock::time_point start = Clock::now();
    const std::string fresh(size, 'x');
    const Clock::time_point touched = Clock::now();
    std::printf("touch_ms=%.2f bytes=%zu%s\n", Milliseconds(start, touched), fresh.size(),
                fresh.empty() || fresh.back() == 'x' ? "" : " ?");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--first-touch") return FirstTouch(argv[2]);
    if (argc == 3) return Stream(argv[1], kv::SearchKey(argv[2]));
    if (argc == 4 && std::string_view(argv[1]) == "--whole")
        return Whole(argv[2], kv::SearchKey(argv[3]));
    std::cerr << "usage: search_bench INDEX TERM\n       search_bench --whole INDEX TERM\n"
                 "       search_bench --first-touch BYTES\n";
    return 2;
}
