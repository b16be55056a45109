// Times kovelar.exe's own scan from outside, for bench/scan.sh: starts the program in settings
// mode on a data folder, clicks bStart through the test driver, and measures from the click
// until the update run is over (kovelar.dat written again, bStart shown, busy indicator hidden).
// Then leaves the program with bKlaar.
//
//   scanclock.exe PROGRAM DATA_FOLDER
//
// Prints one line: folders=.. seconds=.. (folders: what eAantal shows at the end).
//
//   scanclock.exe --shot idle|scan|help|photo PROGRAM DATA_FOLDER
//
// For tests/wine/screenshot.sh: brings the settings window up (and, for "scan", starts a scan
// and waits until it is seen running; for "help", opens the info window from it; for "photo",
// also turns that window to its photo page), writes DATA_FOLDER\ready.flag, waits up to a minute for
// DATA_FOLDER\shot.done, and ends the program.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "Driver.h"
#include "ui/ControlIds.h"

namespace {

using kv::driver::Millis;

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int Fail(const char* what) {
    std::fprintf(stderr, "scanclock: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string shot;
    if (argc == 5 && std::string(argv[1]) == "--shot") {
        shot = argv[2];
        argv += 2;
        argc -= 2;
    }
    if (argc != 3)
        return Fail("usage: scanclock.exe [--shot idle|scan|help|photo] PROGRAM DATA_FOLDER");
    const std::string program = argv[1];
    std::string folder = argv[2];
    if (folder.back() != '\\') folder += '\\';
    const std::string index = folder + "kovelar.dat";
    if (shot.empty()) {
        // A settings file with a stamp, so that the progress bar shows and is driven as well.
        WritePrivateProfileStringA("Gebruik", "Taal", "1", (folder + "kovelar.ini").c_str());
        WritePrivateProfileStringA("Gebruik", "LaatsteUpdate", "bench",
                                   (folder + "kovelar.ini").c_str());
    }
    DeleteFileA(index.c_str());
    DeleteFileA((folder + "ready.flag").c_str());
    DeleteFileA((folder + "shot.done").c_str());

    kv::driver::LaunchOptions options;
    options.exe = program;
    options.commandLine = "\"" + program + "\"";
    options.directory = folder;
    options.environment.emplace_back("COMMANDER_PATH", folder.substr(0, folder.size() - 1));
    kv::driver::Process process = kv::driver::Launch(options);
    if (!process) return Fail("cannot start the program");
    const HWND settings = kv::driver::WaitTopWindow(process.pid(), "TfInstellingen");
    if (!settings) return Fail("no settings window");
    const HWND start = GetDlgItem(settings, kv::ids::bStart);
    const HWND busy = GetDlgItem(settings, kv::ids::CircularProgress);
    const HWND count = GetDlgItem(settings, kv::ids::eAantal);

    if (!shot.empty()) {
        if (shot == "scan") {
            kv::driver::ClickButton(start);
            if (!kv::driver::WaitUntil([&] { return !IsWindowVisible(start); }))
                return Fail("the scan did not start");
        }
        if (shot == "help" || shot == "photo") {
            kv::driver::ClickButton(GetDlgItem(settings, kv::ids::bInfo));
            const HWND about = kv::driver::WaitTopWindow(process.pid(), "TfAbout");
            if (!about) return Fail("no info window");
            if (shot == "photo") {
                const HWND photo = GetDlgItem(about, kv::ids::FotoTarm);
                kv::driver::ClickButton(GetDlgItem(about, kv::ids::AboutInfo));
                if (!kv::driver::WaitUntil([&] { return IsWindowVisible(photo) != FALSE; }))
                    return Fail("no photo page");
            }
        }
        CloseHandle(CreateFileA((folder + "ready.flag").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        kv::driver::WaitUntil([&] { return Exists(folder + "shot.done"); }, Millis{60000});
        process.Kill();
        return 0;
    }

    const auto clicked = std::chrono::steady_clock::now();
    kv::driver::ClickButton(start);
    const bool ended = kv::driver::WaitUntil(
        [&] { return Exists(index) && IsWindowVisible(start) && !IsWindowVisible(busy); },
        Millis{3600000});
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - clicked;
    if (!ended) return Fail("the scan did not end within an hour");

    std::printf("folders=%s seconds=%.3f\n", kv::driver::WindowText(count).c_str(), took.count());
    kv::driver::ClickButton(GetDlgItem(settings, kv::ids::bKlaar));
    process.WaitExit(Millis{10000});
    return 0;
}
