#include "toolkit/Gdi.h"

namespace kv {

// A negative height asks for the character height, not the cell height, which is how a
// window description states its fonts.
FontHandle MakeFont(const FontParams& font) {
    return FontHandle(CreateFontA(-font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE,
                                  FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                  font.face));
}

namespace {

// The DPI of the whole screen, which is all that systems before Windows 8.1 know.
int ScreenDpi() {
    const WindowDc screen(nullptr);
    const int dpi = screen.dc() ? GetDeviceCaps(screen.dc(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kDesignDpi;
}

// A function of a system DLL that older Windows versions lack, looked up at run time so that
// the program still starts there; null when it is missing. Only the system folder is searched,
// so that no DLL of the same name beside the program is loaded in its place.
template <class Function>
Function SystemFunction(const char* dll, const char* name) {
    HMODULE module = GetModuleHandleA(dll);
    if (!module) module = LoadLibraryExA(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return nullptr;
    // Through the generic function type, as GetProcAddress cannot know the real one.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

}  // namespace

int PointsToPixels(int points) {
    return PointsToPixels(points, ScreenDpi());
}

int PointsToPixels(int points, int dpi) {
    return MulDiv(points, dpi > 0 ? dpi : kDesignDpi, 72);
}

FontParams ScaledFont(FontParams font, int dpi) {
    font.height = ScaleToDpi(font.height, dpi);
    return font;
}

int MonitorDpi(POINT point) {
    static const auto getDpiForMonitor =
        SystemFunction<GetDpiForMonitorFunction>("shcore.dll", "GetDpiForMonitor");
    if (getDpiForMonitor) {
        UINT x = 0, y = 0;
        const HMONITOR monitor = MonitorFromPoint(point, MONITOR_DEFAULTTOPRIMARY);
        if (monitor && SUCCEEDED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y > 0)
            return static_cast<int>(y);
    }
    return ScreenDpi();
}

int WindowDpi(HWND hwnd) {
    static const auto getDpiForWindow =
        SystemFunction<GetDpiForWindowFunction>("user32.dll", "GetDpiForWindow");
    if (getDpiForWindow && hwnd)
        if (const UINT dpi = getDpiForWindow(hwnd); dpi > 0) return static_cast<int>(dpi);
    RECT r{};
    if (hwnd) GetWindowRect(hwnd, &r);
    return MonitorDpi({r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2});
}

BitmapHandle MakeTopDownDib(int width, int height, std::uint32_t*& bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    bits = bitmap ? static_cast<std::uint32_t*>(pixels) : nullptr;
    if (!bits) bitmap.reset();
    return bitmap;
}

}  // namespace kv
