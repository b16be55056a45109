#include "toolkit/OpenDialog.h"

#include <commdlg.h>

#include <vector>

#include "toolkit/App.h"

namespace kv {

namespace {
// Room for the longest path the dialog hands back.
constexpr std::size_t kFileBuffer = 32768;
}  // namespace

bool OpenDialog::Execute(HWND owner) {
    if (App::Terminated()) return false;
    // Name and pattern, each ended by a NUL, and one more NUL after the last pair.
    std::string filter = filterName;
    filter.push_back('\0');
    filter += filterPattern;
    filter.push_back('\0');
    filter.push_back('\0');

    std::vector<char> file(kFileBuffer, '\0');
    fileName.copy(file.data(), std::min(fileName.size(), kFileBuffer - 1));

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (!GetOpenFileNameA(&ofn)) return false;
    fileName = file.data();
    return true;
}

}  // namespace kv
