#include "link/Launcher_win.h"

#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include <cstring>

namespace kv {

namespace {

// No owner window and no working directory; the shell's own error box shows when the file
// is missing. The process handle that the shell hands back is closed at once: nothing waits
// for the started program.
bool ShellOpen(const char* file, const char* parameters) {
    SHELLEXECUTEINFOA request;
    std::memset(&request, 0, sizeof request);
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_NOCLOSEPROCESS;
    request.hwnd = nullptr;
    request.lpVerb = "open";
    request.lpFile = file;
    request.lpParameters = parameters;
    request.lpDirectory = nullptr;
    request.nShow = SW_SHOWDEFAULT;
    if (!ShellExecuteExA(&request)) return false;
    if (request.hProcess) CloseHandle(request.hProcess);
    return true;
}

}  // namespace

// A command line holds at most 32767 characters, its terminating zero included, and the shell
// puts the quoted file name and a blank before the parameters. Longer parameters cannot reach
// the program whole: Windows refuses such a start, while Wine starts the program with its
// command line cut, which would send the file manager to a folder nobody asked for. Either way
// the start has failed.
bool StartProgram(const std::string& file, const std::string& parameters) {
    constexpr std::size_t kMaxCommandLine = 32767;
    if (file.size() + parameters.size() + 4 > kMaxCommandLine) return false;
    return ShellOpen(file.c_str(), parameters.c_str());
}

bool OpenWithShell(const std::string& link) {
    char buffer[MAX_PATH] = {};
    std::memcpy(buffer, link.data(), link.size() < MAX_PATH - 1 ? link.size() : MAX_PATH - 1);
    return ShellOpen(buffer, "  ");
}

}  // namespace kv
