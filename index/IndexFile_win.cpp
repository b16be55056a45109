#include <windows.h>

#include "index/IndexFile.h"
#include "toolkit/Handle.h"

namespace kv {

namespace {

constexpr DWORD kMaxIo = 1u << 24;

class HandleSource final : public ByteSource {
public:
    explicit HandleSource(HANDLE file) : file_(file) {}
    std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
        DWORD read = 0;
        const DWORD want = size < kMaxIo ? static_cast<DWORD>(size) : kMaxIo;
        if (!ReadFile(file_, buffer, want, &read, nullptr)) return std::nullopt;
        return read;
    }

private:
    HANDLE file_;
};

class HandleSink final : public ByteSink {
public:
    explicit HandleSink(HANDLE file) : file_(file) {}
    bool Write(const char* data, std::size_t size) override {
        while (size > 0) {
            const DWORD length = size < kMaxIo ? static_cast<DWORD>(size) : kMaxIo;
            DWORD written = 0;
            if (!WriteFile(file_, data, length, &written, nullptr) || written == 0) return false;
            data += written;
            size -= written;
        }
        return true;
    }

private:
    HANDLE file_;
};

FileHandle OpenForReading(const std::string& path) {
    return FileHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                                  nullptr));
}

// The new index is written beside the old one under a fixed name (only one instance runs, so
// nobody else writes it), and only a complete, flushed file replaces the old one. A read-only
// or locked index cannot be replaced, and stays as it was.
template <typename WriteAll>
bool ReplaceWithNew(const std::string& path, WriteAll writeAll) {
    const std::string fresh = path + ".new";
    bool complete = false;
    {
        const FileHandle file(CreateFileA(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        HandleSink sink(file.get());
        complete = writeAll(sink) && FlushFileBuffers(file.get());
    }
    if (complete &&
        MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(fresh.c_str());
    return false;
}

}  // namespace

std::optional<IndexSearch> SearchIndexFile(const std::string& path, std::string_view key) {
    const FileHandle file = OpenForReading(path);
    if (!file) return std::nullopt;
    HandleSource source(file.get());
    return SearchIndex(source, key);
}

bool SaveIndex(const std::string& path, const FolderList& list) {
    return ReplaceWithNew(path, [&list](ByteSink& sink) {
        // Written in pieces of a few hundred kilobytes, not an entry at a time.
        std::string chunk;
        for (std::size_t i = 0; i < list.Count(); ++i) {
            chunk.append(list[i]).append("\r\n");
            if (chunk.size() >= kIndexBufferSize) {
                if (!sink.Write(chunk.data(), chunk.size())) return false;
                chunk.clear();
            }
        }
        return sink.Write(chunk.data(), chunk.size());
    });
}

// The old file is closed again before the new one takes its place.
PromoteResult PromoteInIndexFile(const std::string& path, std::string_view folder) {
    PromoteResult result = PromoteResult::ReadFailed;
    const bool replaced = ReplaceWithNew(path, [&](ByteSink& sink) {
        const FileHandle old = OpenForReading(path);
        if (!old) return false;
        HandleSource source(old.get());
        result = PromoteInStream(source, sink, folder);
        return result == PromoteResult::Promoted;
    });
    if (result == PromoteResult::Promoted && !replaced) return PromoteResult::WriteFailed;
    return result;
}

}  // namespace kv
