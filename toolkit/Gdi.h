#pragma once
#include <windows.h>

#include "toolkit/Handle.h"

namespace kv {

// BeginPaint / EndPaint around the paint code of one WM_PAINT.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) noexcept : hwnd_(hwnd) { dc_ = BeginPaint(hwnd_, &ps_); }
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    [[nodiscard]] HDC dc() const noexcept { return dc_; }
    [[nodiscard]] const RECT& dirty() const noexcept { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// A device context of a window outside painting, for measuring text.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    [[nodiscard]] HDC dc() const noexcept { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects a GDI object into a DC and puts the old one back when the scope ends.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectGuard() {
        if (old_) SelectObject(dc_, old_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A font by face and character height in pixels (the height of the letters, without the
// internal leading), the way a window description gives it.
struct FontParams {
    const char* face = "Arial";
    int height = 14;
    bool bold = false;
};

FontHandle MakeFont(const FontParams& font);

// The character height in pixels of a size in points on the screen.
int PointsToPixels(int points);

}  // namespace kv
