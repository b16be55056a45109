#include <algorithm>
#include <chrono>

#include "ExpectedTexts.h"
#include "SettingsWindow.h"
#include "ui/ControlIds.h"

namespace kv::e2e {

namespace {

// The folders of the scan prefix's fixture drives that a scan takes (harness.sh builds them):
// D: fixed, E: network. C: and G: are removable and F: a CD-ROM, so nothing of theirs is
// walked; H: is fixed but empty. $ and # folders are left out with their subtrees, names with
// $ or # further in are taken, a hidden folder is taken, "Données" keeps its é (and "Été"
// its É and é) while a to z are upper-cased, and the CJK folder, which the ANSI calls deliver
// as "??", keeps its entry but cannot be listed. D:\CYCLE\ and the link below it that leads
// back to it are checked on their own.
const std::vector<std::string> kFixtureEntries = {
    "D:\\.VERBORGEN\\",
    "D:\\A$B\\",
    "D:\\A$B\\INNER\\",
    "D:\\DONN\xE9" "ES\\",
    "D:\\DONN\xE9" "ES\\\xC9T\xE9\\",
    "D:\\PROJECTS\\",
    "D:\\PROJECTS\\CLIENT 1\\",
    "D:\\PROJECTS\\CLIENT 1\\SRC\\",
    "D:\\PROJECTS\\TMP\\",
    "D:\\X#1\\",
    "D:\\??\\",
    "E:\\SHARE\\",
    "E:\\SHARE\\KLANTEN\\",
    "E:\\SHARE\\KLANTEN\\NOORD\\",
};
const std::string kCycle = "D:\\CYCLE\\";

// Depth-first pre-order: the entries below a folder follow it as one unbroken block, and
// drives follow each other from A to Z.
void ExpectPreOrder(const std::vector<std::string>& entries) {
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string& folder = entries[i];
        size_t end = i + 1;
        while (end < entries.size() && entries[end].starts_with(folder)) ++end;
        for (size_t j = end; j < entries.size(); ++j)
            EXPECT_FALSE(entries[j].starts_with(folder))
                << entries[j] << " is apart from its ancestor " << folder;
        if (i > 0) {
            EXPECT_LE(entries[i - 1][0], folder[0]) << "drive order at " << folder;
        }
    }
}

// The link loop: D:\CYCLE\, then D:\CYCLE\BACK\, D:\CYCLE\BACK\BACK\ ... one entry per level
// until the platform refuses the path, each level once.
void ExpectLoopCut(const std::vector<std::string>& entries) {
    std::vector<std::string> loop;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(loop),
                 [](const std::string& e) { return e.starts_with(kCycle); });
    ASSERT_GE(loop.size(), 3u) << "the link was not followed";
    std::string expected = kCycle;
    for (const auto& entry : loop) {
        EXPECT_EQ(entry, expected);
        expected += "BACK\\";
    }
}

}  // namespace

class DriveScan : public ScanTest {};

// One scan over the fixture drives: the index file byte for byte, the count, the settings
// stamp and the last-update texts.
TEST_F(DriveScan, BuildsTheIndexOfEveryFixedAndNetworkDrive) {
    WriteSettings(1);
    WriteIndex({"C:\\OLD\\"});
    const driver::Process process = Start("");
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);

    const auto before = std::chrono::system_clock::now();
    ClickStart(settings);
    ASSERT_TRUE(WaitScanEnd(settings));
    const auto after = std::chrono::system_clock::now();

    const std::string bytes = *ReadBytes("kovelar.dat");
    ASSERT_TRUE(bytes.ends_with("\r\n"));
    const std::vector<std::string> entries = SplitLines(bytes);
    EXPECT_EQ(KovelarTest::IndexBytes(entries), bytes) << "every line ends in CR LF";
    ExpectPreOrder(entries);
    ExpectLoopCut(entries);

    std::vector<std::string> rest;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(rest),
                 [](const std::string& e) { return !e.starts_with(kCycle); });
    std::sort(rest.begin(), rest.end());
    std::vector<std::string> expected = kFixtureEntries;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rest, expected);

    const std::string count = std::to_string(entries.size());
    EXPECT_EQ(settings.Text(settings.eAantal), count);
    EXPECT_EQ(SettingsValue("Progress"), count);
    EXPECT_EQ(SettingsValue("Pad"), TotalcmdPath());
    EXPECT_EQ(SettingsValue("Taal"), "1");
    const std::set<std::string> stamps = DateTimeTexts(before, after);
    EXPECT_TRUE(stamps.contains(SettingsValue("LaatsteUpdate"))) << SettingsValue("LaatsteUpdate");

    // The window and the result window's panel 1 show the words of the scan before the time.
    const std::string lastUpdate = settings.Text(settings.lUpdate);
    const std::string words = TextsOf(1).lastUpdateValue;
    ASSERT_TRUE(lastUpdate.starts_with(words)) << lastUpdate;
    EXPECT_TRUE(stamps.contains(lastUpdate.substr(words.size()))) << lastUpdate;
    EXPECT_EQ(MainStatusPanel1(process), lastUpdate);
    EXPECT_TRUE(settings.Shows(settings.Progress));

    Leave(process, settings);
}

// A second scan in the same run starts from nothing: the same index again, and the stored
// count becomes the scale of the scan after it.
TEST_F(DriveScan, ASecondScanGivesTheSameIndex) {
    WriteSettings(0, {"Progress=7"});
    const driver::Process process = Start("");
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);
    ClickStart(settings);
    ASSERT_TRUE(WaitScanEnd(settings));
    const auto first = ReadBytes("kovelar.dat");
    ClickStart(settings);
    ASSERT_TRUE(WaitScanEnd(settings));
    const auto second = ReadBytes("kovelar.dat");
    ASSERT_TRUE(first && second);
    auto a = SplitLines(*first), b = SplitLines(*second);
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_EQ(a, b);
    EXPECT_EQ(SettingsValue("Progress"), std::to_string(b.size()));
    Leave(process, settings);
}

// With a term, the search runs right after the scan, on the new index.
class SearchAfterScan : public ScanTest {
protected:
    // Starts the program with `tail`, opens the settings window from the result window's menu,
    // scans, and waits for the end of the run.
    void ScanFromTheMenu(const std::string& tail, Ending& ending) {
        const driver::Process process = Start(tail);
        const MainWindow main = WaitMain(process);
        ASSERT_TRUE(main);
        PostMessageA(main.window, WM_COMMAND, MAKEWPARAM(ids::InstellingenMenuOptie, 0), 0);
        const SettingsWindow settings = StartSettings(process);
        ASSERT_TRUE(settings);
        ClickStart(settings);
        ending = WaitEnd(process, kScanTimeout);
    }
};

// The program starts on an index without the folder (two matches for "noord"), the settings
// window comes from the result window's menu, and the scan finds the folder: one match jumps,
// the folder moves to the front of the new index, and the run ends.
TEST_F(SearchAfterScan, OneMatchJumpsAndEnds) {
    WriteSettings(1);
    WriteIndex({"C:\\NOORDEN\\", "C:\\OLD\\NOORD\\"});
    Ending ending;
    ASSERT_NO_FATAL_FAILURE(ScanFromTheMenu(" noord", ending));
    EXPECT_EQ(ending.exitCode, 0u);
    EXPECT_TRUE(ending.boxes.empty());
    EXPECT_EQ(WaitTotalcmdCalls(1),
              std::vector<std::string>{" /O \"E:\\SHARE\\KLANTEN\\NOORD\\\""});
    const auto index = ReadBytes("kovelar.dat");
    ASSERT_TRUE(index);
    const auto entries = SplitLines(*index);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front(), "E:\\SHARE\\KLANTEN\\NOORD\\");
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "E:\\SHARE\\KLANTEN\\NOORD\\"), 1);
}

// No match after the scan: the message, then the end; nothing is started.
TEST_F(SearchAfterScan, NoMatchShowsTheMessageAndEnds) {
    WriteSettings(2);
    WriteIndex({"C:\\ZQXJ1\\", "C:\\ZQXJ2\\"});
    Ending ending;
    ASSERT_NO_FATAL_FAILURE(ScanFromTheMenu(" zqxj", ending));
    EXPECT_EQ(ending.exitCode, 0u);
    ASSERT_EQ(ending.boxes.size(), 1u);
    EXPECT_EQ(ending.boxes[0].text, NoMatchText(2, "zqxj"));
    EXPECT_TRUE(TotalcmdCalls().empty());
}

// First run with a term: no index, so the settings window opens at once; the scan builds the
// index, the search runs on it, the single match jumps and the window closes by itself.
TEST_F(SearchAfterScan, FirstRunWithATermJumpsAfterTheScan) {
    WriteSettings(0);
    const driver::Process process = Start(" klanten");
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings.Caption(), TextsOf(0).caption);
    ClickStart(settings);
    const Ending ending = WaitEnd(process, kScanTimeout);
    EXPECT_EQ(ending.exitCode, 0u);
    for (const auto& box : ending.boxes) ADD_FAILURE() << "message box: " << box.text;
    EXPECT_EQ(WaitTotalcmdCalls(1), std::vector<std::string>{" /O \"E:\\SHARE\\KLANTEN\\\""});
    const auto index = ReadBytes("kovelar.dat");
    ASSERT_TRUE(index);
    EXPECT_TRUE(index->starts_with("E:\\SHARE\\KLANTEN\\\r\n"));
}

}  // namespace kv::e2e
