#include "index/DriveScan.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace kv {
namespace {

// A file system in memory: each listable directory path (as "X:\...\") maps to its entries in
// listing order; a path that is not in the map cannot be listed.
class FakePlatform : public ScanPlatform {
public:
    std::uint32_t drives = 0;
    std::map<std::string, unsigned> types;
    std::map<std::string, std::vector<ListedEntry>> dirs;
    std::set<std::string> failAfterFirst;  // listings that stop with an error after one entry
    std::string current = "C:\\WORK";
    std::vector<std::string> currentDirs;
    int openListings = 0, maxOpenListings = 0;

    std::uint32_t LogicalDrives() override { return drives; }
    unsigned DriveType(const std::string& root) override {
        auto it = types.find(root);
        return it == types.end() ? 1 : it->second;
    }
    std::unique_ptr<DirectoryListing> List(const std::string& pattern) override {
        EXPECT_TRUE(pattern.ends_with("\\*.*")) << pattern;
        auto it = dirs.find(pattern.substr(0, pattern.size() - 3));
        if (it == dirs.end()) return nullptr;
        return std::make_unique<Listing>(*this, it->second, failAfterFirst.count(it->first) > 0);
    }
    std::string CurrentDirectory() override { return current; }
    void SetCurrentDirectory(const std::string& path) override {
        current = path;
        currentDirs.push_back(path);
    }

private:
    struct Listing : DirectoryListing {
        Listing(FakePlatform& p, const std::vector<ListedEntry>& e, bool failEarly)
            : platform(p), entries(e), limit(failEarly ? 1 : e.size()) {
            platform.maxOpenListings = std::max(platform.maxOpenListings, ++platform.openListings);
        }
        ~Listing() override { --platform.openListings; }
        bool Next(ListedEntry& entry) override {
            if (next >= limit) return false;
            entry = entries[next++];
            return true;
        }
        FakePlatform& platform;
        const std::vector<ListedEntry>& entries;
        std::size_t limit, next = 0;
    };
};

struct RecordingProgress : ScanProgress {
    std::vector<std::size_t> counts;
    int yields = 0;
    void FolderFound(std::size_t count) override { counts.push_back(count); }
    void EntryDone() override { ++yields; }
};

ListedEntry Dir(std::string name) { return {std::move(name), true}; }
ListedEntry File(std::string name) { return {std::move(name), false}; }

std::vector<std::string> Entries(const FolderList& list) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.Count(); ++i) out.emplace_back(list[i]);
    return out;
}

TEST(DriveScan, WalksFixedAndNetworkDrivesOnlyFromAToZ) {
    FakePlatform fs;
    // A: removable, C: fixed, D: CD-ROM, E: RAM disk, G: network, Z: fixed; bit 26 is no drive.
    fs.drives = (1u << 0) | (1u << 2) | (1u << 3) | (1u << 4) | (1u << 6) | (1u << 25) | (1u << 26);
    fs.types = {{"A:\\", 2}, {"C:\\", 3}, {"D:\\", 5}, {"E:\\", 6}, {"G:\\", 4}, {"Z:\\", 3}};
    for (const char* root : {"A:\\", "C:\\", "D:\\", "E:\\", "G:\\", "Z:\\"})
        fs.dirs[root] = {Dir("x")};

    EXPECT_EQ(ScannedDriveRoots(fs), (std::vector<std::string>{"C:\\", "G:\\", "Z:\\"}));

    FolderList list = FolderList::FromBytes("OLD\\\r\n");
    RecordingProgress progress;
    ScanDrives(fs, list, progress);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"C:\\X\\", "G:\\X\\", "Z:\\X\\"}));
    EXPECT_EQ(fs.currentDirs,
              (std::vector<std::string>{"C:\\", "G:\\", "Z:\\", "C:\\WORK"}));
}

TEST(DriveScan, DepthFirstPreOrderInListingOrder) {
    FakePlatform fs;
    fs.drives = 1u << 2;
    fs.types = {{"C:\\", 3}};
    fs.dirs["C:\\"] = {Dir("."), Dir(".."), Dir("Users"), File("pagefile.sys"), Dir("Windows")};
    fs.dirs["C:\\Users\\"] = {Dir("."), Dir(".."), Dir("Bob")};
    fs.dirs["C:\\Users\\Bob\\"] = {};
    fs.dirs["C:\\Windows\\"] = {};

    FolderList list;
    RecordingProgress progress;
    ScanDrives(fs, list, progress);
    EXPECT_EQ(Entries(list),
              (std::vector<std::string>{"C:\\USERS\\", "C:\\USERS\\BOB\\", "C:\\WINDOWS\\"}));
    EXPECT_EQ(progress.counts, (std::vector<std::size_t>{1, 2, 3}));
    // One yield per entry read (5 + 3 + 0 + 0) and one per directory walked (4).
    EXPECT_EQ(progress.yields, 12);
}

TEST(DriveScan, SkipsDollarAndHashSubtreesButNotNamesContainingThem) {
    FakePlatform fs;
    fs.drives = 1u << 2;
    fs.types = {{"C:\\", 3}};
    fs.dirs["C:\\"] = {Dir("$Recycle.Bin"), Dir("$WINDOWS.~BT"), Dir("#archive"), Dir("a$b"),
                      Dir("x#1")};
    fs.dirs["C:\\$Recycle.Bin\\"] = {Dir("S-1-5")};
    fs.dirs["C:\\#archive\\"] = {Dir("old")};
    fs.dirs["C:\\a$b\\"] = {Dir("$inner"), Dir("ok")};

    FolderList list;
    RecordingProgress progress;
    ScanDrives(fs, list, progress);
    EXPECT_EQ(Entries(list),
              (std::vector<std::string>{"C:\\A$B\\", "C:\\A$B\\OK\\", "C:\\X#1\\"}));
}

TEST(DriveScan, UpperCasesOnlyAsciiAndWalksWithThePlatformsSpelling) {
    FakePlatform fs;
    fs.drives = 1u << 2;
    fs.types = {{"C:\\", 3}};
    fs.dirs["C:\\"] = {Dir("Donn\xE9" "es")};
    fs.dirs["C:\\Donn\xE9" "es\\"] = {Dir("photos \xE9t\xE9")};

    FolderList list;
    RecordingProgress progress;
    ScanDrives(fs, list, progress);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"C:\\DONN\xE9" "ES\\",
                                                       "C:\\DONN\xE9" "ES\\PHOTOS \xE9T\xE9\\"}));
}

TEST(DriveScan, UnlistableFoldersKeepTheirEntryAndAddNothing) {
    FakePlatform fs;
    fs.drives = (1u << 2) | (1u << 3);
    fs.types = {{"C:\\", 3}, {"D:\\", 3}};  // D: cannot be listed at all
    fs.dirs["C:\\"] = {Dir("locked"), Dir("short"), Dir("after")};
    fs.dirs["C:\\short\\"] = {Dir("one"), Dir("lost")};  // stops with an error after "one"
    fs.dirs["C:\\short\\one\\"] = {};
    fs.dirs["C:\\after\\"] = {};
    fs.failAfterFirst = {"C:\\short\\"};

    FolderList list;
    RecordingProgress progress;
    ScanDrives(fs, list, progress);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"C:\\LOCKED\\", "C:\\SHORT\\",
                                                       "C:\\SHORT\\ONE\\", "C:\\AFTER\\"}));
}

TEST(DriveScan, NoScannedDriveGivesAnEmptyList) {
    FakePlatform fs;
    fs.drives = 1u << 3;
    fs.types = {{"D:\\", 5}};
    FolderList list = FolderList::FromBytes("C:\\OLD\\\r\n");
    RecordingProgress progress;
    ScanDrives(fs, list, progress);
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(list.ToBytes(), "");
}

TEST(DriveScan, HoldsOneOpenListingPerLevel) {
    FakePlatform fs;
    fs.drives = 1u << 2;
    fs.types = {{"C:\\", 3}};
    std::string path = "C:\\";
    for (int depth = 0; depth < 40; ++depth) {
        fs.dirs[path] = {Dir("d")};
        path += "d\\";
    }
    FolderList list;
    RecordingProgress progress;
    ScanDrives(fs, list, progress);
    EXPECT_EQ(list.Count(), 40u);
    EXPECT_EQ(fs.maxOpenListings, 40);
    EXPECT_EQ(fs.openListings, 0);
}

}  // namespace
}  // namespace kv
