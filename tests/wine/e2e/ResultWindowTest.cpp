#include <algorithm>

#include "ExpectedTexts.h"
#include "KovelarTest.h"
#include "ui/ControlIds.h"

namespace kv::e2e {

class ResultWindow : public KovelarTest {
protected:
    // n entries that all match the term kv, of different lengths, in index order.
    static std::vector<std::string> Matches(int n) {
        std::vector<std::string> entries;
        for (int i = 0; i < n; ++i)
            entries.push_back("C:\\FOLDER" + std::string(static_cast<size_t>(i % 7) * 3, 'W') +
                              "\\KV" + std::to_string(i) + "\\");
        return entries;
    }

    // Starts a search that lists `entries`, waits for the list to be complete.
    MainWindow StartList(const driver::Process& process, size_t n) {
        const MainWindow main = WaitMain(process);
        EXPECT_TRUE(main);
        if (!main) return main;
        EXPECT_TRUE(driver::WaitUntil([&] {
            return driver::StatusText(main.status, 0) == "1/" + std::to_string(n);
        })) << "status panel 0: "
            << driver::StatusText(main.status, 0);
        return main;
    }
};

TEST_F(ResultWindow, ListsTheMatchesInIndexOrderWithTheFirstSelected) {
    std::vector<std::string> index = Matches(12);
    index.insert(index.begin() + 3, "C:\\NOTHING\\");
    index.insert(index.begin() + 7, "C:\\KV\\SUB\\");
    WriteIndex(index);
    WriteSettings(0);
    const driver::Process process = Start(" Kv");
    const MainWindow main = StartList(process, 12);
    ASSERT_TRUE(main);
    EXPECT_EQ(driver::ListItems(main.list), Matches(12));
    EXPECT_EQ(driver::WindowText(main.window), ManyMatchesText(0, 12, "Kv"));
    EXPECT_EQ(driver::ListSelection(main.list), 0);
    std::vector<int> rightEdges;
    EXPECT_EQ(driver::StatusParts(main.status, &rightEdges), 2);
    EXPECT_EQ(rightEdges.at(0), 60);

    driver::PostKey(main.list, VK_DOWN);
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::StatusText(main.status, 0) == "2/12"; }))
        << driver::StatusText(main.status, 0);
    EXPECT_EQ(driver::ListSelection(main.list), 1);
    driver::PostKey(main.list, VK_END);
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::StatusText(main.status, 0) == "12/12"; }))
        << driver::StatusText(main.status, 0);

    // Enter jumps to the selected entry, moves it to the front and ends the program.
    driver::PostKey(main.list, VK_RETURN);
    const Ending ending = WaitEnd(process);
    EXPECT_EQ(ending.exitCode, 0u);
    EXPECT_TRUE(ending.boxes.empty());
    const std::string last = Matches(12).back();
    EXPECT_EQ(WaitTotalcmdCalls(1), std::vector<std::string>{" /O \"" + last + "\""});
    std::vector<std::string> after = index;
    after.erase(std::find(after.begin(), after.end(), last));
    after.insert(after.begin(), last);
    EXPECT_EQ(ReadBytes("kovelar.dat"), IndexBytes(after));
}

TEST_F(ResultWindow, ADoubleClickJumpsToTheClickedEntry) {
    const auto index = Matches(3);
    WriteIndex(index);
    WriteSettings(1);
    const driver::Process process = Start(" kv");
    const MainWindow main = StartList(process, 3);
    ASSERT_TRUE(main);
    ASSERT_TRUE(driver::DoubleClickItem(main.list, 2));
    const Ending ending = WaitEnd(process);
    EXPECT_EQ(ending.exitCode, 0u);
    EXPECT_TRUE(ending.boxes.empty());
    EXPECT_EQ(WaitTotalcmdCalls(1), std::vector<std::string>{" /O \"" + index[2] + "\""});
    EXPECT_EQ(ReadBytes("kovelar.dat"), IndexBytes({index[2], index[0], index[1]}));
}

// Escape, the stop menu item and the close box each end the program without a jump and
// without writing the index.
TEST_F(ResultWindow, LeavingEndsWithoutAJumpOrAWrite) {
    const std::string index = "C:\\KV1\\\nC:\\KV2\\";  // LF only: a rewrite would show
    WriteBytes("kovelar.dat", index);
    WriteSettings(0);
    struct Case {
        const char* name;
        void (*leave)(const MainWindow&);
    };
    const Case cases[] = {
        {"Escape", [](const MainWindow& m) { driver::PostKey(m.list, VK_ESCAPE); }},
        {"stop menu item",
         [](const MainWindow& m) {
             PostMessageA(m.window, WM_COMMAND, MAKEWPARAM(ids::StopMenuOptie, 0), 0);
         }},
        {"close box", [](const MainWindow& m) { PostMessageA(m.window, WM_CLOSE, 0, 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const driver::Process process = Start(" kv");
        const MainWindow main = StartList(process, 2);
        ASSERT_TRUE(main);
        c.leave(main);
        const Ending ending = WaitEnd(process);
        EXPECT_EQ(ending.exitCode, 0u);
        EXPECT_TRUE(ending.boxes.empty());
    }
    EXPECT_EQ(ReadBytes("kovelar.dat"), index);
    EXPECT_TRUE(TotalcmdCalls().empty());
}

// After a resize the status bar has its panel 0 of 60 pixels again and panel 1 still
// shows the last-update text.
TEST_F(ResultWindow, AResizeKeepsTheStatusPanels) {
    WriteIndex({"C:\\KV1\\", "C:\\KV2\\"});
    WriteSettings(2, {"LaatsteUpdate=11-12-2026 13:45:07"});
    const driver::Process process = Start(" kv");
    const MainWindow main = StartList(process, 2);
    ASSERT_TRUE(main);
    const RECT before = driver::WindowRect(main.window);
    for (const int grow : {300, -100}) {
        SCOPED_TRACE(grow);
        const RECT now = driver::WindowRect(main.window);
        SetWindowPos(main.window, nullptr, 0, 0, now.right - now.left + grow,
                     now.bottom - now.top + grow, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(driver::WaitUntil([&] {
            const RECT r = driver::WindowRect(main.window);
            return r.right - r.left == now.right - now.left + grow;
        }));
        std::vector<int> rightEdges;
        EXPECT_EQ(driver::StatusParts(main.status, &rightEdges), 2);
        EXPECT_EQ(rightEdges.at(0), 60);
        EXPECT_EQ(driver::StatusText(main.status, 1), "11-12-2026 13:45:07");
        EXPECT_EQ(driver::StatusText(main.status, 0), "1/2");
    }
    EXPECT_NE(driver::WindowRect(main.window).right, before.right);
    driver::PostKey(main.list, VK_ESCAPE);
    EXPECT_EQ(WaitEnd(process).exitCode, 0u);
}

// The client area is as wide as the widest entry in Arial 10 pt plus 150 and n + 2 rows
// high; from 36 entries on the window is maximised instead.
TEST_F(ResultWindow, FitToListSizesTheWindowToTheList) {
    WriteSettings(0);
    for (const int n : {2, 35, 36}) {
        SCOPED_TRACE(n);
        const auto entries = Matches(n);
        WriteIndex(entries);
        const driver::Process process = Start(" kv");
        const MainWindow main = StartList(process, static_cast<size_t>(n));
        ASSERT_TRUE(main);
        const int rowHeight = driver::ListItemHeight(main.list);
        EXPECT_EQ(rowHeight, driver::ArialLineHeight(10)) << "the list is not in Arial 10 pt";
        if (n <= 35) {
            int widest = 0;
            for (const auto& entry : entries)
                widest = std::max(widest, driver::ArialTextWidth(entry, 10) + 150);
            const SIZE client = driver::ClientSize(main.window);
            EXPECT_EQ(client.cx, widest);
            EXPECT_EQ(client.cy, (n + 2) * rowHeight);
            EXPECT_FALSE(IsZoomed(main.window));
        } else {
            EXPECT_TRUE(IsZoomed(main.window));
        }
        driver::PostKey(main.list, VK_ESCAPE);
        EXPECT_EQ(WaitEnd(process).exitCode, 0u);
    }
}

// Menu captions, window caption and status panel 1 follow the stored language; a code
// outside 0 to 3 keeps the captions of the window description.
TEST_F(ResultWindow, TextsFollowTheLanguage) {
    WriteIndex({"C:\\TMP\\", "C:\\MYTMP\\"});
    struct Case {
        int language;
        std::vector<std::string> extra;
        std::string caption;
        MenuCaptions menu;
        std::string panel1;
    };
    std::vector<Case> cases;
    for (int language = 0; language < kLanguages; ++language)
        cases.push_back({language,
                         {},
                         ManyMatchesText(language, 2, "tmp"),
                         kMenu[language],
                         kNeverUpdated[language]});
    cases.push_back({7, {}, kAppName, kDesignMenu, ""});
    // A stored last update is shown as it stands, without the words of a fresh scan.
    cases.push_back({1,
                     {"LaatsteUpdate=11-12-2026 13:45:07"},
                     ManyMatchesText(1, 2, "tmp"),
                     kMenu[1],
                     "11-12-2026 13:45:07"});
    cases.push_back({7, {"LaatsteUpdate=1-2-2003"}, kAppName, kDesignMenu, "1-2-2003"});
    for (const auto& c : cases) {
        SCOPED_TRACE("language " + std::to_string(c.language) +
                     (c.extra.empty() ? "" : " " + c.extra[0]));
        WriteSettings(c.language, c.extra);
        const driver::Process process = Start(" tmp");
        const MainWindow main = StartList(process, 2);
        ASSERT_TRUE(main);
        EXPECT_EQ(driver::WindowText(main.window), c.caption);
        EXPECT_EQ(driver::StatusText(main.status, 1), c.panel1);

        const auto bar = driver::ReadMenuBar(main.window);
        ASSERT_EQ(bar.size(), 2u) << "menu bar not readable";
        EXPECT_EQ(bar[0].caption, "&Menu");
        ASSERT_EQ(bar[0].children.size(), 3u);
        EXPECT_EQ(bar[0].children[0].caption, c.menu.settings);
        EXPECT_EQ(bar[0].children[0].id, static_cast<UINT>(ids::InstellingenMenuOptie));
        EXPECT_TRUE(bar[0].children[1].separator);
        EXPECT_EQ(bar[0].children[2].caption, c.menu.stop);
        EXPECT_EQ(bar[0].children[2].id, static_cast<UINT>(ids::StopMenuOptie));
        EXPECT_EQ(bar[1].caption, c.menu.info);
        EXPECT_EQ(bar[1].id, static_cast<UINT>(ids::InfoHoofdMenuOptie));
        EXPECT_TRUE(bar[1].children.empty());

        driver::PostKey(main.list, VK_ESCAPE);
        EXPECT_EQ(WaitEnd(process).exitCode, 0u);
    }
}

}  // namespace kv::e2e
