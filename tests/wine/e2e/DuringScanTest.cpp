#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "HarnessClient.h"
#include "SettingsWindow.h"
#include "ui/ControlIds.h"

namespace kv::e2e {

// Scans of a large tree (20,000 folders on drive H:, a scan of many seconds), for what must
// work while a scan runs. Every action is taken while bStart is seen hidden; the handlers that
// open a window hold the scan until it is closed, so what a test checks in that window happens
// inside the scan.
class LargeScanTest : public ScanTest {
protected:
    void SetUp() override {
        ScanTest::SetUp();
        if (HasFatalFailure()) return;
        // bench/scan.sh --responsive runs Responsiveness on its 100,000-folder tree.
        const char* tree = std::getenv("KV_SCAN_TREE");
        tree_ = tree && *tree ? tree : "t20k";
        ASSERT_TRUE(driver::MapLargeTree(tree_)) << "the harness did not map " << tree_
                                                 << " (is this the scan prefix?)";
    }
    void TearDown() override {
        driver::MapLargeTree("");
        ScanTest::TearDown();
    }

    // The H: part of kovelar.dat, sorted, against the tree's expected index (written by
    // make-tree.py when the harness built the tree).
    void ExpectLargeTreeIndexed() {
        const auto index = ReadBytes("kovelar.dat");
        ASSERT_TRUE(index);
        std::vector<std::string> found;
        for (auto& entry : SplitLines(*index))
            if (entry.starts_with("H:")) found.push_back(entry);
        std::ifstream in("C:\\kvtrees\\" + tree_ + ".dat", std::ios::binary);
        ASSERT_TRUE(in) << "no expected index for " << tree_;
        std::vector<std::string> expected =
            SplitLines({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
        std::sort(found.begin(), found.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(found.size(), expected.size());
        EXPECT_TRUE(found == expected) << "the H: entries differ from the tree's expected index";
    }

    // Starts a scan and waits until it is seen running.
    void StartScan(const SettingsWindow& settings) {
        ClickStart(settings);
        ASSERT_TRUE(WaitScanRunning(settings)) << "bStart was not hidden";
    }

    // Waits for the end of the scan, answering and collecting message boxes on the way.
    std::vector<driver::MessageBoxInfo> FinishScan(const driver::Process& process,
                                                   const SettingsWindow& settings) {
        std::vector<driver::MessageBoxInfo> boxes;
        const bool ended = driver::WaitUntil(
            [&] {
                if (!driver::TopWindows(process.pid(), "#32770").empty())
                    if (const auto box = driver::WaitMessageBox(process.pid(), Millis{2000})) {
                        boxes.push_back(*box);
                        driver::AnswerMessageBox(box->window);
                    }
                return ReadBytes("kovelar.dat") && settings.Shows(settings.bStart) &&
                       !settings.Shows(settings.CircularProgress);
            },
            kScanTimeout);
        EXPECT_TRUE(ended) << "the scan did not end";
        return boxes;
    }

    std::string tree_;
};

class DuringScan : public LargeScanTest {};

// A close request while the scan runs: the please-wait message in the window's language
// (none for a code outside 0 to 3), the window stays and the scan completes.
TEST_F(DuringScan, ACloseRequestIsRefusedAndTheScanGoesOn) {
    for (const int language : {1, -1}) {
        SCOPED_TRACE("language " + std::to_string(language));
        WriteSettings(language);
        const driver::Process process = Start("");
        const SettingsWindow settings = StartSettings(process);
        ASSERT_TRUE(settings);
        StartScan(settings);
        PostMessageA(settings.window, WM_CLOSE, 0, 0);
        if (language >= 0) {
            const auto box = driver::WaitMessageBox(process.pid());
            ASSERT_TRUE(box);
            EXPECT_EQ(box->text, PleaseWaitText(language));
            EXPECT_EQ(box->caption, "Kovelar");
            EXPECT_TRUE(settings.Scanning()) << "the message came after the scan";
            driver::AnswerMessageBox(box->window);
        }
        EXPECT_TRUE(FinishScan(process, settings).empty());
        EXPECT_TRUE(process.Running());
        EXPECT_TRUE(settings.Shows(settings.window));
        ExpectLargeTreeIndexed();
        Leave(process, settings);
    }
}

// bInfo during the scan: the settings window hides, the info window opens and holds the scan;
// closing it brings the settings window back and the scan completes.
TEST_F(DuringScan, TheInfoWindowOpensInsideTheScan) {
    WriteSettings(1);
    const driver::Process process = Start("");
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);
    StartScan(settings);
    driver::ClickButton(settings.bInfo);
    const HWND about = driver::WaitTopWindow(process.pid(), "TfAbout");
    ASSERT_TRUE(about);
    EXPECT_FALSE(settings.Shows(settings.window));
    EXPECT_TRUE(settings.Scanning());
    driver::ClickButton(GetDlgItem(about, ids::KlaarButton));
    ASSERT_TRUE(driver::WaitGone(about));
    ASSERT_TRUE(driver::WaitUntil([&] { return settings.Shows(settings.window); }));
    EXPECT_TRUE(FinishScan(process, settings).empty());
    ExpectLargeTreeIndexed();
    Leave(process, settings);
}

// A language click during the scan relabels the window and stores the code at once; the scan
// then goes on, and its last-update text comes in the new language.
TEST_F(DuringScan, ALanguageChangeRelabelsTheWindowMidScan) {
    WriteSettings(0);
    const driver::Process process = Start("");
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);
    StartScan(settings);
    driver::ClickButton(settings.rgTaal[1]);
    ASSERT_TRUE(driver::WaitUntil([&] { return settings.Caption() == TextsOf(1).caption; }));
    EXPECT_TRUE(settings.Scanning()) << "the language changed after the scan";
    EXPECT_EQ(settings.Text(settings.bZoek), TextsOf(1).seek);
    EXPECT_EQ(SettingsValue("Taal"), "1");
    EXPECT_TRUE(FinishScan(process, settings).empty());
    EXPECT_TRUE(settings.Text(settings.lUpdate).starts_with(TextsOf(1).lastUpdateValue))
        << settings.Text(settings.lUpdate);
    ExpectLargeTreeIndexed();
    Leave(process, settings);
}

// bZoek during the scan: the file dialog holds the scan; cancelled, it still stores the path
// field with a stamp, and the scan completes.
TEST_F(DuringScan, TheFileDialogOpensInsideTheScan) {
    WriteSettings(1);
    const driver::Process process = Start("");
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);
    StartScan(settings);
    const std::string typed = "D:\\TC\\TOTALCMD64.EXE";
    ASSERT_TRUE(driver::SetWindowTextRemote(settings.eNaam, typed));
    driver::ClickButton(settings.bZoek);
    HWND dialog = nullptr;
    ASSERT_TRUE(driver::WaitUntil([&] {
        const auto windows = driver::TopWindows(process.pid(), "#32770");
        dialog = windows.empty() ? nullptr : windows.front();
        return dialog != nullptr;
    }));
    EXPECT_TRUE(settings.Scanning());
    driver::ClickButton(GetDlgItem(dialog, IDCANCEL));
    ASSERT_TRUE(driver::WaitGone(dialog));
    ASSERT_TRUE(driver::WaitUntil([&] { return SettingsValue("Pad") == typed; }));
    // The stamp is written just after Pad.
    EXPECT_TRUE(driver::WaitUntil([&] { return !SettingsValue("LaatsteUpdate").empty(); }));
    EXPECT_TRUE(FinishScan(process, settings).empty());
    ExpectLargeTreeIndexed();
    Leave(process, settings);
}

// The window stays alive through a long scan: the count moves, the count field and the busy
// indicator are painted anew, and a close request is answered at once.
class Responsiveness : public LargeScanTest {};

TEST_F(Responsiveness, TheWindowLivesThroughALongScan) {
    WriteSettings(1);
    const driver::Process process = Start("");
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);
    StartScan(settings);

    // The count grows while the scan runs.
    std::vector<long> counts;
    driver::WaitUntil(
        [&] {
            const long n = std::atol(settings.Text(settings.eAantal).c_str());
            if (counts.empty() || n != counts.back()) counts.push_back(n);
            return counts.size() >= 4 || !settings.Scanning();
        },
        Millis{60000});
    ASSERT_GE(counts.size(), 4u) << "eAantal did not move";
    EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
    EXPECT_TRUE(settings.Scanning());

    // What is on screen changes too: the count field is repainted, the indicator turns.
    EXPECT_TRUE(settings.Shows(settings.CircularProgress));
    for (const HWND control : {settings.eAantal, settings.CircularProgress}) {
        const auto first = driver::CapturePixels(control);
        ASSERT_FALSE(first.empty());
        EXPECT_TRUE(driver::WaitUntil([&] { return driver::CapturePixels(control) != first; },
                                      Millis{30000}))
            << "control " << GetDlgCtrlID(control) << " was not repainted";
    }
    EXPECT_TRUE(settings.Scanning());

    // A close request gets its answer while the scan runs.
    PostMessageA(settings.window, WM_CLOSE, 0, 0);
    const auto box = driver::WaitMessageBox(process.pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, PleaseWaitText(1));
    EXPECT_TRUE(settings.Scanning());
    driver::AnswerMessageBox(box->window);

    EXPECT_TRUE(FinishScan(process, settings).empty());
    ExpectLargeTreeIndexed();
    Leave(process, settings);
}

}  // namespace kv::e2e
