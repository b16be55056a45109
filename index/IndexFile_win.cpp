#include <windows.h>

#include <new>

#include "index/IndexFile.h"
#include "toolkit/Handle.h"

namespace kv {

namespace {

constexpr DWORD kChunk = 1u << 24;

}  // namespace

// Others may go on reading the file meanwhile, but nobody may write it. The file is read to
// its end, whatever size it reported, so a file that changes size while it is read is still
// taken whole.
std::optional<std::string> ReadIndexFile(const std::string& path) {
    const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
    // A file too big for memory cannot be loaded either.
    try {
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(size.QuadPart) + 1);
        for (;;) {
            const std::size_t used = bytes.size();
            bytes.resize(used + kChunk);
            DWORD read = 0;
            if (!ReadFile(file.get(), bytes.data() + used, kChunk, &read, nullptr))
                return std::nullopt;
            bytes.resize(used + read);
            if (read == 0) return bytes;
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

// The file is created or cut to nothing, with no sharing while it is written. A file that
// cannot be opened so is left as it was.
bool SaveIndex(const std::string& path, const FolderList& list) {
    const std::string bytes = list.ToBytes();
    const FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    for (std::size_t done = 0; done < bytes.size();) {
        const DWORD length =
            bytes.size() - done < kChunk ? static_cast<DWORD>(bytes.size() - done) : kChunk;
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, length, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

}  // namespace kv
