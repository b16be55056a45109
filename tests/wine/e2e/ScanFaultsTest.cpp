#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "ExpectedTexts.h"
#include "HarnessClient.h"
#include "SettingsWindow.h"
#include "ui/ControlIds.h"

namespace kv::e2e {

// Scans over what a drive or a data folder may throw at the program: paths past the platform's
// limit, a data folder that refuses the new index, a directory of 50,000 folders. The scan
// must end, the program must go on, and the index must hold what could be listed.
class ScanFaults : public ScanTest {
protected:
    void TearDown() override {
        if (mapped_) driver::MapLargeTree("");
        ScanTest::TearDown();
    }

    // Points H: at one of the harness's trees for this test.
    void Map(const std::string& tree) {
        ASSERT_TRUE(driver::MapLargeTree(tree)) << "the harness did not map " << tree
                                                << " (is this the scan prefix?)";
        mapped_ = true;
    }

    // A whole scan from a fresh settings window; the index's lines afterwards.
    std::vector<std::string> ScanOnce(const driver::Process& process,
                                      const SettingsWindow& settings) {
        ClickStart(settings);
        EXPECT_TRUE(WaitScanEnd(settings)) << "the scan did not end";
        EXPECT_TRUE(process.Running());
        const auto index = ReadBytes("kovelar.dat");
        return index ? SplitLines(*index) : std::vector<std::string>{};
    }

    static std::vector<std::string> OnDrive(const std::vector<std::string>& entries, char drive) {
        std::vector<std::string> found;
        std::copy_if(entries.begin(), entries.end(), std::back_inserter(found),
                     [drive](const std::string& e) { return !e.empty() && e[0] == drive; });
        return found;
    }

private:
    bool mapped_ = false;
};

// H: holds one chain of 12 folders with 30-character names, so that the path of level k is
// 3 + 31k characters long. The listing pattern of level 8 ("H:\...\*.*", 254 characters)
// still fits in MAX_PATH, so level 9 (282 characters) gets its entry; the pattern of level 9
// (285 characters) is refused, so level 9 keeps that entry and nothing below it is added.
TEST_F(ScanFaults, PathsPastTheLimitKeepTheEntriesUpToIt) {
    Map("long");
    WriteSettings(1);
    const driver::Process process = Start("");
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);
    const std::vector<std::string> entries = ScanOnce(process, settings);

    std::vector<std::string> expected;
    std::string path = "H:\\";
    for (int level = 1; level <= 9; ++level) {
        char name[40];
        std::snprintf(name, sizeof name, "LEVEL%02d-ABCDEFGHIJKLMNOPQRSTUV\\", level);
        path += name;
        expected.push_back(path);
    }
    ASSERT_EQ(expected.back().size(), 282u);
    EXPECT_EQ(OnDrive(entries, 'H'), expected) << "one pre-order chain, cut past 260 characters";
    EXPECT_EQ(SettingsValue("Progress"), std::to_string(entries.size()));
    Leave(process, settings);
}

// The scan's save is refused, once with the old index made immutable (the new file cannot take
// its place) and once with the whole data folder immutable (no new file can be made): one error
// box naming the index, the old index byte for byte and no leftover new file; the run then
// goes on (count shown, the window usable) and a later scan with the folder writable again
// succeeds.
TEST_F(ScanFaults, AnIndexThatCannotBeSavedKeepsTheOldOne) {
    struct Case {
        const char* what;
        bool wholeFolder;
    };
    for (const Case c : {Case{"index immutable", false}, Case{"data folder immutable", true}}) {
        SCOPED_TRACE(c.what);
        const std::string old = IndexBytes({"C:\\OLD\\", "C:\\OLD\\TMP\\"});
        WriteBytes("kovelar.dat", old);
        WriteSettings(1, {"Progress=7"});
        DeleteFileA(PathOf("kovelar.dat.new").c_str());
        const std::string locked = c.wholeFolder ? Folder() : PathOf("kovelar.dat");
        const driver::Process process = Start("");
        const SettingsWindow settings = StartSettings(process);
        ASSERT_TRUE(settings);
        MakeUnwritable(locked);

        driver::ClickButton(settings.bStart);
        const auto box = driver::WaitMessageBox(process.pid(), kScanTimeout);
        ASSERT_TRUE(box) << "no error box for the refused save";
        EXPECT_EQ(box->text, WriteFailedText(PathOf("kovelar.dat")));
        EXPECT_EQ(box->caption, kErrorCaption);
        EXPECT_TRUE(box->hasIcon);
        driver::AnswerMessageBox(box->window);
        ASSERT_TRUE(driver::WaitUntil([&] {
            return settings.Shows(settings.bStart) && !settings.Shows(settings.CircularProgress);
        })) << "the scan did not end after the box";
        EXPECT_TRUE(driver::TopWindows(process.pid(), "#32770").empty()) << "a second box";

        const std::string count = settings.Text(settings.eAantal);
        EXPECT_GT(std::atoi(count.c_str()), 14) << "the fixture drives were walked";
        MakeWritable(locked);
        EXPECT_EQ(ReadBytes("kovelar.dat"), old);
        EXPECT_FALSE(ReadBytes("kovelar.dat.new")) << "a failed save leaves no new file behind";
        // The settings are saved after the failed write, into a folder that takes them only
        // when the folder itself is writable.
        if (!c.wholeFolder) {
            EXPECT_EQ(SettingsValue("Progress"), count);
        }

        // Still usable: a second scan, now writable, writes the index it found.
        const std::vector<std::string> entries = ScanOnce(process, settings);
        EXPECT_EQ(std::to_string(entries.size()), count);
        EXPECT_EQ(SettingsValue("Progress"), count);
        Leave(process, settings);
    }
}

// H: holds 50,000 folders in its root: one directory listing of 50,000 entries. The scan ends
// with every one of them in the index, once, and the count takes them all in.
TEST_F(ScanFaults, FiftyThousandFoldersInOneDirectory) {
    Map("flat50k");
    WriteSettings(1);
    const driver::Process process = Start("");
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);
    const std::vector<std::string> entries = ScanOnce(process, settings);

    std::vector<std::string> found = OnDrive(entries, 'H');
    std::sort(found.begin(), found.end());
    std::vector<std::string> expected;
    for (int i = 0; i < 50000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "H:\\F%05d\\", i);
        expected.emplace_back(name);
    }
    EXPECT_EQ(found.size(), expected.size());
    EXPECT_TRUE(found == expected) << "the H: entries are not the 50,000 folders";
    EXPECT_EQ(settings.Text(settings.eAantal), std::to_string(entries.size()));
    EXPECT_EQ(SettingsValue("Progress"), std::to_string(entries.size()));
    Leave(process, settings);
}

// H: holds folders named in Greek ("Αθήνα 2024"), in CJK and with an emoji, beside a plain
// one. The ANSI listing gives each character that code page 1252 cannot hold as "?", or as
// its nearest letter where the code page's best fit has one (the small alpha becomes "a"), so
// the walk takes such a folder under that name (two CJK names become the same "??") and
// cannot list it: nothing below it is added. The plain folder is walked as usual. The entries are
// then found like any other: a term of their plain part jumps to the entry as it stands, and "??"
// lists every entry whose last component holds it, in index order.
TEST_F(ScanFaults, NamesOutsideTheCodePageKeepTheirEntryOnly) {
    Map("intl");
    WriteSettings(1);
    std::vector<std::string> entries;
    {
        const driver::Process process = Start("");
        const SettingsWindow settings = StartSettings(process);
        ASSERT_TRUE(settings);
        entries = ScanOnce(process, settings);
        Leave(process, settings);
    }
    std::vector<std::string> found = OnDrive(entries, 'H');
    std::sort(found.begin(), found.end());
    const std::vector<std::string> expected = {"H:\\????A 2024\\", "H:\\??\\",
                                               "H:\\??\\",         "H:\\FOTO ??\\",
                                               "H:\\PLAIN\\",      "H:\\PLAIN\\INNER\\"};
    EXPECT_EQ(found, expected);

    const Ending one = Run(" 2024");
    EXPECT_EQ(one.exitCode, 0u);
    EXPECT_TRUE(one.boxes.empty());
    EXPECT_EQ(WaitTotalcmdCalls(1), std::vector<std::string>{" /O \"H:\\????A 2024\\\""});
    const auto index = ReadBytes("kovelar.dat");
    ASSERT_TRUE(index);
    entries = SplitLines(*index);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front(), "H:\\????A 2024\\");

    std::vector<std::string> holding;
    for (const std::string& entry : entries) {
        const std::string name = entry.substr(0, entry.size() - 1);
        if (name.substr(name.rfind('\\') + 1).find("??") != std::string::npos)
            holding.push_back(entry);
    }
    ASSERT_EQ(holding.size(), 5u) << "D:\\??\\ of the fixture drive and four on H:";
    const driver::Process process = Start(" ??");
    const MainWindow main = WaitMain(process);
    ASSERT_TRUE(main);
    EXPECT_EQ(driver::ListItems(main.list), holding);
    driver::PostKey(main.list, VK_ESCAPE);
    EXPECT_EQ(WaitEnd(process).exitCode, 0u);
}

}  // namespace kv::e2e
