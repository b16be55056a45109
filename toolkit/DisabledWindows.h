#pragma once
#include <windows.h>

#include <vector>

namespace kv {

// Disables every visible, enabled top-level window of this thread but one, for as long as a
// modal form or a message is up, and enables them again afterwards.
class DisabledWindows {
public:
    explicit DisabledWindows(HWND keep) noexcept;
    ~DisabledWindows() { Restore(); }
    DisabledWindows(const DisabledWindows&) = delete;
    DisabledWindows& operator=(const DisabledWindows&) = delete;

    void Restore() noexcept;

private:
    static BOOL CALLBACK Collect(HWND hwnd, LPARAM self) noexcept;

    HWND keep_;
    std::vector<HWND> disabled_;
};

}  // namespace kv
