#include "index/DriveScan.h"

namespace kv {

std::vector<std::string> ScannedDriveRoots(ScanPlatform& platform) {
    const std::uint32_t mask = platform.LogicalDrives();
    std::vector<std::string> roots;
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (std::uint32_t{1} << i))) continue;
        std::string root{static_cast<char>('A' + i), ':', '\\'};
        const unsigned type = platform.DriveType(root);
        if (type == kDriveFixed || type == kDriveRemote) roots.push_back(std::move(root));
    }
    return roots;
}

bool IsIndexedFolder(const ListedEntry& entry) {
    if (!entry.isDirectory) return false;
    if (entry.name == "." || entry.name == "..") return false;
    if (entry.name.empty()) return false;
    return entry.name.front() != '$' && entry.name.front() != '#';
}

std::string FolderEntry(std::string_view path, std::string_view name) {
    std::string entry;
    entry.reserve(path.size() + name.size() + 1);
    entry.append(path).append(name);
    for (char& c : entry)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    entry.push_back('\\');
    return entry;
}

// Every entry read, taken or not, lets the window's messages run; a taken folder does so only
// after its whole subtree, so the window stays alive however the tree is shaped. A directory
// that cannot be listed keeps the entry its parent gave it and adds nothing.
void ScanFolder(const std::string& path, ScanPlatform& platform, FolderList& list,
                ScanProgress& progress) {
    if (auto listing = platform.List(path + "*.*")) {
        ListedEntry entry;
        while (listing->Next(entry)) {
            if (IsIndexedFolder(entry)) {
                list.Append(FolderEntry(path, entry.name));
                progress.FolderFound(list.Count());
                ScanFolder(path + entry.name + '\\', platform, list, progress);
            }
            progress.EntryDone();
        }
    }
    progress.EntryDone();
}

void ScanDrives(ScanPlatform& platform, FolderList& list, ScanProgress& progress) {
    list.Clear();
    const std::string saved = platform.CurrentDirectory();
    const std::vector<std::string> roots = ScannedDriveRoots(platform);
    for (const std::string& root : roots) {
        platform.SetCurrentDirectory(root);
        ScanFolder(root, platform, list, progress);
    }
    platform.SetCurrentDirectory(saved);
}

}  // namespace kv
