#include <algorithm>
#include <cctype>
#include <chrono>

#include "ExpectedTexts.h"
#include "SettingsWindow.h"
#include "ui/ControlIds.h"

namespace kv::e2e {

// The settings window while no scan runs: its texts by language, what it stores, the file
// dialog, and the ways to leave it.
class SettingsForm : public ScanTest {
protected:
    void ExpectLanguage(const SettingsWindow& settings, int language) {
        SCOPED_TRACE("language " + std::to_string(language));
        const SettingsTexts& t = TextsOf(language);
        EXPECT_EQ(settings.Caption(), t.caption);
        EXPECT_EQ(settings.Text(settings.bZoek), t.seek);
        EXPECT_EQ(settings.Text(settings.bInfo), t.info);
        EXPECT_EQ(settings.Text(settings.lAantal), t.folderCount);
        EXPECT_EQ(settings.Text(settings.bStart), "&Start");
        for (int i = 0; i < 4; ++i) EXPECT_EQ(settings.Text(settings.rgTaal[i]), t.languages[i]);
        EXPECT_EQ(settings.CheckedLanguage(), language);
    }

    // The open-file dialog of bZoek, once it shows its file-name field.
    HWND WaitFileDialog(const driver::Process& process) {
        HWND dialog = nullptr;
        driver::WaitUntil([&] {
            for (HWND d : driver::TopWindows(process.pid(), "#32770"))
                if (FileNameField(d)) dialog = d;
            return dialog != nullptr;
        });
        return dialog;
    }
    static HWND FileNameField(HWND dialog) {
        // The explorer-style dialog holds the name in an edit inside combo box 1148; the
        // older style has edit 1152.
        if (HWND combo = GetDlgItem(dialog, 1148)) return driver::FindDescendant(combo, "Edit");
        return GetDlgItem(dialog, 1152);
    }
};

// First run: no settings file, no index. The window comes up in Dutch, ready to scan, and the
// first showing has already stored the settings, without a last-update stamp.
TEST_F(SettingsForm, FirstRunOpensInDutchAndStoresTheSettings) {
    const driver::Process process = Start("");
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);
    ExpectLanguage(settings, 0);
    EXPECT_EQ(driver::FocusedWindow(settings.window), settings.bStart);
    EXPECT_FALSE(settings.Shows(settings.Progress));
    EXPECT_FALSE(settings.Shows(settings.CircularProgress));
    EXPECT_TRUE(settings.Shows(settings.bStart) && settings.Shows(settings.bKlaar));
    EXPECT_EQ(settings.Text(settings.lUpdate), "Laatste update: " + kNeverUpdated[0]);
    EXPECT_EQ(settings.Text(settings.eAantal), "0");
    EXPECT_EQ(settings.Text(settings.eNaam), "");
    EXPECT_EQ(ReadBytes("kovelar.ini"),
              std::optional<std::string>("[Gebruik]\r\nPad=\r\nTaal=0\r\nProgress=1000\r\n"));
    Leave(process, settings);
}

// A stored code above 3 selects the last item, which counts as a click: Frisian, stored.
// A negative code selects nothing and keeps the design texts until an item is picked.
TEST_F(SettingsForm, StoredCodesOutsideTheRange) {
    {
        WriteSettings(9);
        const driver::Process process = Start("");
        const SettingsWindow settings = StartSettings(process);
        ASSERT_TRUE(settings);
        ExpectLanguage(settings, 3);
        EXPECT_EQ(SettingsValue("Taal"), "3");
        Leave(process, settings);
    }
    {
        WriteSettings(-1);
        const driver::Process process = Start("");
        const SettingsWindow settings = StartSettings(process);
        ASSERT_TRUE(settings);
        EXPECT_EQ(settings.Caption(), kDesignCaption);
        EXPECT_EQ(settings.Text(settings.bZoek), kDesignSeek);
        EXPECT_EQ(settings.Text(settings.lAantal), kDesignFolderCount);
        EXPECT_EQ(settings.Text(settings.rgTaal[2]), "Frans");
        EXPECT_EQ(settings.CheckedLanguage(), -1);
        EXPECT_EQ(SettingsValue("Taal"), "-1");
        driver::ClickButton(settings.rgTaal[2]);
        EXPECT_TRUE(driver::WaitUntil([&] { return settings.Caption() == TextsOf(2).caption; }));
        ExpectLanguage(settings, 2);
        EXPECT_EQ(SettingsValue("Taal"), "2");
        Leave(process, settings);
    }
}

// Clicking a language relabels the window at once and stores the code, without a stamp.
TEST_F(SettingsForm, ALanguageClickRelabelsTheWindowAtOnce) {
    WriteSettings(0);
    const driver::Process process = Start("");
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);
    for (const int language : {1, 2, 3, 0}) {
        driver::ClickButton(settings.rgTaal[language]);
        ASSERT_TRUE(driver::WaitUntil(
            [&] { return settings.Text(settings.bZoek) == TextsOf(language).seek; }))
            << "language " << language;
        ExpectLanguage(settings, language);
        EXPECT_EQ(settings.Text(settings.lUpdate),
                  TextsOf(language).lastUpdateLabel + kNeverUpdated[language]);
        EXPECT_EQ(MainStatusPanel1(process), kNeverUpdated[language]);
        EXPECT_EQ(SettingsValue("Taal"), std::to_string(language));
        EXPECT_EQ(SettingsValue("LaatsteUpdate"), "");
    }
    Leave(process, settings);
}

// bZoek: a file chosen in the dialog is stored in lower case, with a stamp.
TEST_F(SettingsForm, SeekStoresTheChosenFileInLowerCase) {
    WriteSettings(1);
    WriteBytes("TotalCmd64.EXE", "");
    const driver::Process process = Start("");
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);
    const auto before = std::chrono::system_clock::now();
    driver::ClickButton(settings.bZoek);
    const HWND dialog = WaitFileDialog(process);
    ASSERT_TRUE(dialog);
    std::string chosen = PathOf("TotalCmd64.EXE");
    ASSERT_TRUE(driver::SetWindowTextRemote(FileNameField(dialog), chosen));
    driver::ClickButton(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(driver::WaitGone(dialog));
    // The path is plain ASCII, where the locale's lower case is the C one.
    for (char& c : chosen) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ASSERT_TRUE(driver::WaitUntil([&] { return SettingsValue("Pad") == chosen; }))
        << SettingsValue("Pad");
    EXPECT_EQ(settings.Text(settings.eNaam), chosen);
    // The stamp is written just after Pad.
    ASSERT_TRUE(driver::WaitUntil([&] { return !SettingsValue("LaatsteUpdate").empty(); }));
    EXPECT_TRUE(DateTimeTexts(before, std::chrono::system_clock::now())
                    .contains(SettingsValue("LaatsteUpdate")));
    Leave(process, settings);
}

// A cancelled dialog still takes the path typed into eNaam, and stamps it.
TEST_F(SettingsForm, ACancelledSeekStoresTheTypedPath) {
    WriteSettings(1);
    const driver::Process process = Start("");
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);
    const std::string typed = "D:\\Tools\\TC\\TOTALCMD.exe";
    ASSERT_TRUE(driver::SetWindowTextRemote(settings.eNaam, typed));
    driver::ClickButton(settings.bZoek);
    const HWND dialog = WaitFileDialog(process);
    ASSERT_TRUE(dialog);
    driver::ClickButton(GetDlgItem(dialog, IDCANCEL));
    ASSERT_TRUE(driver::WaitGone(dialog));
    ASSERT_TRUE(driver::WaitUntil([&] { return SettingsValue("Pad") == typed; }))
        << SettingsValue("Pad");
    // The stamp is written just after Pad.
    EXPECT_TRUE(driver::WaitUntil([&] { return !SettingsValue("LaatsteUpdate").empty(); }));
    Leave(process, settings);
}

// The dialog lists the file manager under both of its names, 32 and 64 bit, and nothing else.
TEST_F(SettingsForm, TheDialogListsBothProgramNames) {
    WriteSettings(1);
    WriteBytes("totalcmd64.exe", "");
    WriteBytes("other.exe", "");
    WriteBytes("totalcmd.txt", "");
    const driver::Process process = Start("");
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);
    driver::ClickButton(settings.bZoek);
    const HWND dialog = WaitFileDialog(process);
    ASSERT_TRUE(dialog);
    std::vector<std::string> files;
    driver::WaitUntil([&] {
        const HWND list = driver::FindDescendant(dialog, "SysListView32");
        files = list ? driver::ListViewItems(list) : std::vector<std::string>{};
        return files.size() >= 2;
    });
    std::erase_if(files, [](const std::string& f) { return f.find('.') == std::string::npos; });
    for (auto& f : files)
        for (char& c : f) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"totalcmd.exe", "totalcmd64.exe"}));
    driver::ClickButton(GetDlgItem(dialog, IDCANCEL));
    ASSERT_TRUE(driver::WaitGone(dialog));
    Leave(process, settings);
}

// Leaving the idle window, by bKlaar or by a close request, ends the program with code 0.
TEST_F(SettingsForm, LeavingTheIdleWindowEndsTheProgram) {
    WriteSettings(1);
    for (const bool byClose : {false, true}) {
        SCOPED_TRACE(byClose ? "WM_CLOSE" : "bKlaar");
        const driver::Process process = Start("");
        const SettingsWindow settings = StartSettings(process);
        ASSERT_TRUE(settings);
        if (byClose)
            PostMessageA(settings.window, WM_CLOSE, 0, 0);
        else
            driver::ClickButton(settings.bKlaar);
        const Ending ending = WaitEnd(process);
        EXPECT_EQ(ending.exitCode, 0u);
        EXPECT_TRUE(ending.boxes.empty());
    }
}

}  // namespace kv::e2e
