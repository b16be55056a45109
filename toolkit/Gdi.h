#pragma once
#include <windows.h>

#include <cstdint>

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

// A 32-bit DIB section of the size whose rows run from the top; `bits` gets its pixels
// (0xAARRGGBB). Null, with `bits` null, when it cannot be made.
BitmapHandle MakeTopDownDib(int width, int height, std::uint32_t*& bits);

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
// ... and on a monitor of the given DPI.
int PointsToPixels(int points, int dpi);

// Sizes in the code are design pixels: pixels of a screen of 96 dots per inch. A window on a
// monitor of another DPI multiplies them by dpi / 96.
constexpr int kDesignDpi = 96;

[[nodiscard]] inline int ScaleToDpi(int design, int dpi) {
    return MulDiv(design, dpi, kDesignDpi);
}
// The width of a line of one design pixel: whole pixels, at least one, so that thin lines
// stay crisp instead of turning into blurred pairs.
[[nodiscard]] inline int LineWidth(int dpi) {
    return dpi >= 2 * kDesignDpi ? dpi / kDesignDpi : 1;
}
[[nodiscard]] FontParams ScaledFont(FontParams font, int dpi);

// The DPI of the monitor that holds the point, as the system reports it to this process
// (96 where the system knows no per-monitor DPI; the screen's DPI before Windows 8.1).
[[nodiscard]] int MonitorDpi(POINT point);
// The DPI that the window is drawn at, on the monitor it lies on.
[[nodiscard]] int WindowDpi(HWND hwnd);

}  // namespace kv
