// The bare walk that the drive scan is measured against: the same listing calls in the same
// depth-first order with the same skip rules, and nothing else (no window, no message queue,
// no index in memory). bench/scan.sh runs it under Wine beside kovelar.exe's own scan.
//
//   walk.exe [--peek] [--ui] [--every MS] [--list] [ROOT...]
//
// ROOT is a drive root such as T:\ (default: every fixed and network drive, as the scan walks).
// --peek adds one PeekMessageA after every entry, the cost of yielding without any window;
// --ui shows a window with an edit field and a progress bar, sets both after every folder and
// empties the message queue after every entry, as the scan does: the cost of the display;
// --every MS (with --ui) empties the queue and updates the two controls at most once per MS
// milliseconds instead, judged by the tick count, which costs no round trip to the Wine server;
// --list prints each folder's index entry. The last line gives the figures:
//   folders=.. entries=.. seconds=..
// (entries: every name the listing delivered, "." and ".." included.)

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Walk {
    bool peek = false;
    bool list = false;
    bool ui = false;
    DWORD every = 0;
    HWND count = nullptr;
    HWND progress = nullptr;
    long long folders = 0;
    long long entries = 0;
    DWORD lastYield = 0;

    void ShowCount() const {
        SetWindowTextA(count, std::to_string(folders).c_str());
        SendMessageA(progress, PBM_SETPOS, static_cast<WPARAM>(folders), 0);
    }

    void FolderFound() const {
        if (count && every == 0) ShowCount();
    }

    void AfterEntry() {
        if (count) {
            if (every) {
                const DWORD now = GetTickCount();
                if (now - lastYield < every) return;
                lastYield = now;
                ShowCount();
            }
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        } else if (peek) {
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        }
    }

    void ShowWindow() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        HWND window = CreateWindowExA(0, "STATIC", "walk", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                      100, 420, 140, nullptr, nullptr, nullptr, nullptr);
        count = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "0", WS_CHILD | WS_VISIBLE | ES_RIGHT,
                                10, 10, 120, 28, window, nullptr, nullptr, nullptr);
        progress = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | PBS_SMOOTH,
                                   10, 50, 380, 30, window, nullptr, nullptr, nullptr);
        SendMessageA(progress, PBM_SETRANGE32, 0, 100000);
    }

    void Folder(const std::string& path) {
        WIN32_FIND_DATAA record;
        HANDLE find = FindFirstFileA((path + "*.*").c_str(), &record);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                ++entries;
                const char* name = record.cFileName;
                const bool taken = (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                                   std::string_view(name) != "." &&
                                   std::string_view(name) != ".." && name[0] != '$' &&
                                   name[0] != '#';
                if (taken) {
                    ++folders;
                    FolderFound();
                    if (list) {
                        std::string entry = path + name + "\\";
                        for (char& c : entry)
                            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
                        std::fwrite(entry.data(), 1, entry.size(), stdout);
                        std::fputs("\r\n", stdout);
                    }
                    Folder(path + name + "\\");
                }
                AfterEntry();
            } while (FindNextFileA(find, &record));
            FindClose(find);
        }
        AfterEntry();
    }
};

std::vector<std::string> ScannedRoots() {
    std::vector<std::string> roots;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        const std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
        const UINT type = GetDriveTypeA(root.c_str());
        if (type == DRIVE_FIXED || type == DRIVE_REMOTE) roots.push_back(root);
    }
    return roots;
}

}  // namespace

int main(int argc, char** argv) {
    Walk walk;
    std::vector<std::string> roots;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--peek")
            walk.peek = true;
        else if (arg == "--list")
            walk.list = true;
        else if (arg == "--ui")
            walk.ui = true;
        else if (arg == "--every" && i + 1 < argc)
            walk.every = static_cast<DWORD>(std::atoi(argv[++i]));
        else
            roots.push_back(arg.back() == '\\' ? arg : arg + "\\");
    }
    if (roots.empty()) roots = ScannedRoots();
    if (walk.ui) walk.ShowWindow();

    const auto start = std::chrono::steady_clock::now();
    for (const auto& root : roots) walk.Folder(root);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::fprintf(stderr, "folders=%lld entries=%lld seconds=%.3f\n", walk.folders, walk.entries,
                 took.count());
    return 0;
}
