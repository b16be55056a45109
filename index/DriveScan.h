#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "index/FolderList.h"

namespace kv {

// One entry of a directory listing: only its name and whether it is a directory matter.
struct ListedEntry {
    std::string name;
    bool isDirectory = false;
};

// An open listing of one directory (FindFirstFileA / FindNextFileA / FindClose on Windows).
class DirectoryListing {
public:
    virtual ~DirectoryListing() = default;
    // The next entry; false at the end or when the listing stops on an error.
    virtual bool Next(ListedEntry& entry) = 0;
};

// What a scan needs of the platform. DriveScan_win.cpp implements it on Win32; tests fake it.
class ScanPlatform {
public:
    virtual ~ScanPlatform() = default;
    virtual std::uint32_t LogicalDrives() = 0;                  // bit 0 = A:
    virtual unsigned DriveType(const std::string& root) = 0;    // GetDriveTypeA codes
    // A listing of `pattern` (a directory path followed by "*.*"); null when it cannot be listed.
    virtual std::unique_ptr<DirectoryListing> List(const std::string& pattern) = 0;
    virtual std::string CurrentDirectory() = 0;
    virtual void SetCurrentDirectory(const std::string& path) = 0;  // failure is ignored
};

// What the window does while a scan walks: show the count, and let queued messages run.
class ScanProgress {
public:
    virtual ~ScanProgress() = default;
    virtual void FolderFound(std::size_t count) = 0;
    virtual void EntryDone() = 0;
};

inline constexpr unsigned kDriveFixed = 3;
inline constexpr unsigned kDriveRemote = 4;

// "C:\" style roots of the drives a scan walks (fixed and network), A to Z.
std::vector<std::string> ScannedDriveRoots(ScanPlatform& platform);

// Whether a listed entry becomes a folder of the index: a directory, not "." or "..", and not
// a name starting with "$" or "#" (recycle bins, system restore and snapshot folders: their
// whole subtree stays out).
bool IsIndexedFolder(const ListedEntry& entry);

// The index entry of folder `name` below `path` (which ends in a backslash): only a to z are
// upper-cased, every other byte stays as the file system gave it, and a backslash ends it.
std::string FolderEntry(std::string_view path, std::string_view name);

// Appends every folder below `path` to `list`, depth-first in listing order, walking into each
// with the path as the platform spelled it.
void ScanFolder(const std::string& path, ScanPlatform& platform, FolderList& list,
                ScanProgress& progress);

// Clears `list` and fills it from every scanned drive, A to Z; the current directory is put
// back afterwards.
void ScanDrives(ScanPlatform& platform, FolderList& list, ScanProgress& progress);

}  // namespace kv
