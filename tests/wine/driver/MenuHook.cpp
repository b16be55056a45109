// The hook library that the driver loads into a target process to read its menu bar there:
// on Wine a menu handle means nothing outside the process that made it.

#include <windows.h>

#include <algorithm>
#include <string>

#include "MenuHookProtocol.h"

namespace {

void DumpMenu(HMENU menu, int depth, std::string& out) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(menu, i, TRUE, &info)) continue;
        char caption[512] = {};
        GetMenuStringA(menu, i, caption, sizeof caption, MF_BYPOSITION);
        const char kind = (info.fType & MFT_SEPARATOR) ? 'S' : info.hSubMenu ? 'P' : 'C';
        out += std::to_string(depth) + '\t' + kind + '\t' +
               std::to_string(info.hSubMenu ? 0 : info.wID) + '\t' + caption + '\n';
        if (info.hSubMenu) DumpMenu(info.hSubMenu, depth + 1, out);
    }
}

size_t WriteDump(HWND window) {
    std::string dump;
    if (HMENU bar = GetMenu(window)) DumpMenu(bar, 0, dump);
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, kv::menuhook::kMappingName);
    if (!mapping) return 0;
    size_t written = 0;
    if (auto* view = static_cast<char*>(
            MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kv::menuhook::kMappingSize))) {
        written = std::min<size_t>(dump.size(), kv::menuhook::kMappingSize - 1);
        dump.copy(view, written);
        view[written] = '\0';
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return written;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK KvMenuHookProc(int code, WPARAM w, LPARAM l) {
    static const UINT message = RegisterWindowMessageA(kv::menuhook::kMessageName);
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(l);
        if (call->message == message) WriteDump(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, w, l);
}
