#include "SettingsWindow.h"

#include "ui/ControlIds.h"

namespace kv::e2e {

SettingsWindow SettingsWindow::Of(HWND window) {
    SettingsWindow s;
    if (!window) return s;
    s.window = window;
    s.eNaam = GetDlgItem(window, ids::eNaam);
    s.bZoek = GetDlgItem(window, ids::bZoek);
    s.bStart = GetDlgItem(window, ids::bStart);
    s.eAantal = GetDlgItem(window, ids::eAantal);
    s.lAantal = GetDlgItem(window, ids::lAantal);
    s.lUpdate = GetDlgItem(window, ids::lUpdate);
    s.bInfo = GetDlgItem(window, ids::bInfo);
    s.bKlaar = GetDlgItem(window, ids::bKlaar);
    s.Progress = GetDlgItem(window, ids::Progress);
    s.CircularProgress = GetDlgItem(window, ids::CircularProgress);
    for (int i = 0; i < 4; ++i) s.rgTaal[i] = GetDlgItem(window, ids::rgTaalItem0 + i);
    return s;
}

int SettingsWindow::CheckedLanguage() const {
    for (int i = 0; i < 4; ++i)
        if (driver::ButtonCheck(rgTaal[i]) == BST_CHECKED) return i;
    return -1;
}

const SettingsTexts& TextsOf(int language) {
    static const std::array<SettingsTexts, 4> texts{{
        {"Configuratie", "&Zoek", "&Info", "Aantal directories:", "Laatste update: ",
         " Laatste update: ", {"Nederlands", "Engels", "Frans", "Fries"}},
        {"Configuration", "&Seek", "&Info", "Folders found :", "Last Update : ", " Last update: ",
         {"Dutch", "English", "French", "Fries"}},
        {"Configuration", "&Chercher", "&Info", "Nb. de dossiers:", "Derni\xE8re MAJ : ",
         " Derni\xE8re MAJ : ", {"Holland", "Anglais", "Fran\xE7" "ais", "Frison"}},
        {"Konfiguraasje", "&Sykje", "&Ynfo", "Hoefolle folders:", "L\xEAste fernijing: ",
         " L\xEAste fernijing: ", {"Hollansk", "Ingelsk", "Fransk", "Frysk"}},
    }};
    return texts.at(static_cast<size_t>(language));
}

std::string PleaseWaitText(int language) {
    static const std::array<std::string, 4> texts{"Even geduld a.u.b. ...!", "Please wait ...!",
                                                  "Attendez s.v.p ...!",
                                                  "Graach efkes tiid dwaan . ...!"};
    return language >= 0 && language < 4 ? texts[static_cast<size_t>(language)] : std::string();
}

SettingsWindow ScanTest::StartSettings(const driver::Process& process) {
    std::vector<driver::MessageBoxInfo> boxes;
    const HWND window = WaitWindowAnsweringBoxes(process, "TfInstellingen", boxes);
    for (const auto& box : boxes) ADD_FAILURE() << "unexpected message box: " << box.text;
    return SettingsWindow::Of(window);
}

void ScanTest::ClickStart(const SettingsWindow& settings) {
    DeleteFileA(PathOf("kovelar.dat").c_str());
    driver::ClickButton(settings.bStart);
}

bool ScanTest::WaitScanEnd(const SettingsWindow& settings, Millis timeout) {
    return driver::WaitUntil(
        [&] {
            return ReadBytes("kovelar.dat") && settings.Shows(settings.bStart) &&
                   !settings.Shows(settings.CircularProgress);
        },
        timeout);
}

bool ScanTest::WaitScanRunning(const SettingsWindow& settings) {
    return driver::WaitUntil([&] { return settings.Scanning(); });
}

std::string ScanTest::MainStatusPanel1(const driver::Process& process) const {
    const HWND main = driver::FindTopWindow(process.pid(), "TfMain");
    if (!main) return "<no result window>";
    return driver::StatusText(GetDlgItem(main, ids::StatusBar), 1);
}

std::vector<std::string> ScanTest::SettingsLines() const {
    const auto bytes = ReadBytes("kovelar.ini");
    return bytes ? SplitLines(*bytes) : std::vector<std::string>{};
}

std::string ScanTest::SettingsValue(const std::string& key) const {
    for (const auto& line : SettingsLines())
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return {};
}

void ScanTest::Leave(const driver::Process& process, const SettingsWindow& settings) {
    driver::ClickButton(settings.bKlaar);
    const Ending ending = WaitEnd(process);
    EXPECT_EQ(ending.exitCode, 0u);
    EXPECT_TRUE(ending.boxes.empty());
}

namespace {

std::string DateTimeText(std::chrono::system_clock::time_point when) {
    FILETIME utc{}, local{};
    const auto ticks =
        std::chrono::duration_cast<std::chrono::microseconds>(when.time_since_epoch()).count() *
            10 +
        116444736000000000LL;
    utc.dwLowDateTime = static_cast<DWORD>(ticks);
    utc.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    FileTimeToLocalFileTime(&utc, &local);
    SYSTEMTIME t{};
    FileTimeToSystemTime(&local, &t);
    t.wMilliseconds = 0;
    char date[128] = {}, time[128] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, date, sizeof date);
    if (t.wHour == 0 && t.wMinute == 0 && t.wSecond == 0) return date;
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &t, nullptr, time, sizeof time);
    return std::string(date) + " " + time;
}

}  // namespace

std::set<std::string> DateTimeTexts(std::chrono::system_clock::time_point from,
                                    std::chrono::system_clock::time_point to) {
    std::set<std::string> texts;
    for (auto t = from - std::chrono::seconds(1); t <= to + std::chrono::seconds(1);
         t += std::chrono::seconds(1))
        texts.insert(DateTimeText(t));
    return texts;
}

}  // namespace kv::e2e
