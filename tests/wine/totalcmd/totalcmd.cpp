// Stands in for the file manager in the end-to-end tests: it records the exact command line
// that it was started with, one line per start, in totalcmd.log beside itself, and ends.
// For the demo (KOVELAR_STANDIN_SHOW set) it also shows that command line in a message box.

#include <windows.h>

#include <cstring>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string log(path, length);
    log.erase(log.find_last_of('\\') + 1);
    log += "totalcmd.log";

    std::string line = GetCommandLineA();
    line += "\r\n";
    // Appends under a short retry, as a second start may still hold the file for an instant.
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
            break;
        }
        Sleep(20);
    }
    if (GetEnvironmentVariableA("KOVELAR_STANDIN_SHOW", nullptr, 0) > 0)
        MessageBoxA(nullptr, GetCommandLineA(), "totalcmd.exe (stand-in) was started with",
                    MB_OK | MB_ICONINFORMATION);
    return 0;
}
