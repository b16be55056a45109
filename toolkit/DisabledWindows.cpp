#include "toolkit/DisabledWindows.h"

namespace kv {

DisabledWindows::DisabledWindows(HWND keep) noexcept : keep_(keep) {
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this));
    for (HWND hwnd : disabled_) EnableWindow(hwnd, FALSE);
}

BOOL CALLBACK DisabledWindows::Collect(HWND hwnd, LPARAM self) noexcept {
    auto* windows = reinterpret_cast<DisabledWindows*>(self);
    if (hwnd != windows->keep_ && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        try {
            windows->disabled_.push_back(hwnd);
        } catch (...) {
            return FALSE;
        }
    }
    return TRUE;
}

void DisabledWindows::Restore() noexcept {
    for (HWND hwnd : disabled_)
        if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
    disabled_.clear();
}

}  // namespace kv
