#pragma once

// What the tests of the settings window and the drive scan share: the window's controls found
// by id, the scan's busy state as the program shows it (bStart hidden), the expected texts of
// the window, and the date-time texts a scan may stamp.
//
// These tests click bStart, and a scan walks every fixed and network drive: they run only in
// the harness's scan prefix (harness.sh setup STATE_DIR scan), whose drives are fixture trees.

#include <array>
#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "KovelarTest.h"

namespace kv::e2e {

struct SettingsWindow {
    HWND window = nullptr;
    HWND eNaam = nullptr, bZoek = nullptr, bStart = nullptr, eAantal = nullptr;
    HWND lAantal = nullptr, lUpdate = nullptr, bInfo = nullptr, bKlaar = nullptr;
    HWND Progress = nullptr, CircularProgress = nullptr;
    std::array<HWND, 4> rgTaal{};
    explicit operator bool() const { return window != nullptr; }

    static SettingsWindow Of(HWND window);
    std::string Caption() const { return driver::WindowText(window); }
    std::string Text(HWND control) const { return driver::WindowText(control); }
    bool Shows(HWND control) const { return IsWindowVisible(control) != FALSE; }
    // A scan runs from the moment bStart is hidden until it is shown again.
    bool Scanning() const { return !Shows(bStart); }
    // The index of the checked language item, -1 for none.
    int CheckedLanguage() const;
};

// The texts that the window shows for a language code of 0 to 3.
struct SettingsTexts {
    std::string caption, seek, info, folderCount, lastUpdateLabel, lastUpdateValue;
    std::array<std::string, 4> languages;
};
const SettingsTexts& TextsOf(int language);
// The window description's texts, which stay while the code is negative.
inline const std::string kDesignCaption = "Instellingen";
inline const std::string kDesignSeek = "Zoek";
inline const std::string kDesignFolderCount = " Aantal directories:";
std::string PleaseWaitText(int language);

class ScanTest : public KovelarTest {
protected:
    static constexpr Millis kScanTimeout{600000};

    // Starts the program in settings mode and waits for its settings window, answering no
    // message box on the way (a box there fails the test).
    SettingsWindow StartSettings(const driver::Process& process);
    // Removes kovelar.dat and clicks bStart: the file's return marks the scan's write.
    void ClickStart(const SettingsWindow& settings);
    // Waits until the update run is over: kovelar.dat written again, bStart shown and the busy
    // indicator hidden (the last step of the run). False at the deadline.
    bool WaitScanEnd(const SettingsWindow& settings, Millis timeout = kScanTimeout);
    // A scan is observed as running: bStart hidden. The large tree makes it last many seconds,
    // so this holds for every action that a test takes right after it.
    bool WaitScanRunning(const SettingsWindow& settings);

    // The result window (hidden in settings mode) and its status bar's panel 1.
    std::string MainStatusPanel1(const driver::Process& process) const;

    // The settings file's lines, and the value of one key in it ("" if missing).
    std::vector<std::string> SettingsLines() const;
    std::string SettingsValue(const std::string& key) const;

    // Ends an idle program with bKlaar and expects exit code 0.
    void Leave(const driver::Process& process, const SettingsWindow& settings);
};

// Every date-time text the program may have stamped between the two moments (one per second,
// with a second of slack at both ends), in the user's short date and long time formats.
std::set<std::string> DateTimeTexts(std::chrono::system_clock::time_point from,
                                    std::chrono::system_clock::time_point to);

}  // namespace kv::e2e
