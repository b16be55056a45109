#include "index/DriveScan_win.h"

#include <windows.h>
// The scan interface has a member of this name; the header's macro would rename it.
#undef SetCurrentDirectory

#include "toolkit/Handle.h"

namespace kv {

namespace {

// One open listing: the first entry comes with the handle, the rest one FindNextFileA each.
// The handle is closed when the listing goes, however the walk leaves the directory.
class FindListing final : public DirectoryListing {
public:
    FindListing(FindHandle handle, const WIN32_FIND_DATAA& first)
        : handle_(std::move(handle)), data_(first) {}

    bool Next(ListedEntry& entry) override {
        if (first_) {
            first_ = false;
        } else if (!FindNextFileA(handle_.get(), &data_)) {
            return false;
        }
        entry.name.assign(data_.cFileName);
        entry.isDirectory = (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return true;
    }

private:
    FindHandle handle_;
    WIN32_FIND_DATAA data_;
    bool first_ = true;
};

class Win32ScanPlatform final : public ScanPlatform {
public:
    std::uint32_t LogicalDrives() override { return GetLogicalDrives(); }

    unsigned DriveType(const std::string& root) override { return GetDriveTypeA(root.c_str()); }

    std::unique_ptr<DirectoryListing> List(const std::string& pattern) override {
        WIN32_FIND_DATAA data;
        FindHandle handle(FindFirstFileA(pattern.c_str(), &data));
        if (!handle) return nullptr;
        return std::make_unique<FindListing>(std::move(handle), data);
    }

    // The buffer holds 260 bytes; a longer current directory gives an empty text, and putting
    // that back later fails harmlessly.
    std::string CurrentDirectory() override {
        char buffer[260] = {};
        const DWORD length = GetCurrentDirectoryA(sizeof(buffer), buffer);
        return length > 0 && length < sizeof(buffer) ? std::string(buffer, length) : std::string();
    }

    void SetCurrentDirectory(const std::string& path) override {
        SetCurrentDirectoryA(path.c_str());
    }
};

}  // namespace

ScanPlatform& SystemScanPlatform() {
    static Win32ScanPlatform platform;
    return platform;
}

}  // namespace kv
