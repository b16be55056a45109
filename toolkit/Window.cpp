#include "toolkit/Window.h"

#include <exception>

#include "toolkit/App.h"

namespace kv {

Window* Window::FromHandle(HWND hwnd) noexcept {
    if (!hwnd || GetClassLongPtrA(hwnd, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&Thunk))
        return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void Window::Attach(HWND hwnd) noexcept {
    hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

// `this` arrives with WM_NCCREATE and lives in GWLP_USERDATA until WM_NCDESTROY, the last
// message a window gets; messages before WM_NCCREATE go to the default procedure.
LRESULT CALLBACK Window::Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self) self->Attach(hwnd);
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    const LRESULT result = self->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

// An exception must never unwind through user32's frames: it is shown here, with the
// application's title, and the program goes on as if the handler had returned.
LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        return HandleMessage(message, wParam, lParam);
    } catch (const std::exception& e) {
        App::ShowException(e.what());
    } catch (...) {
        App::ShowException("Unknown error");
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

void RegisterControlClass(const char* className, LPCSTR cursor, UINT style) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &wc)) return;
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = Window::Thunk;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, cursor);
    wc.lpszClassName = className;
    RegisterClassExA(&wc);
}

std::string Window::Text() const {
    if (!hwnd_) return {};
    const int length = GetWindowTextLengthA(hwnd_);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(hwnd_, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void Window::SetText(std::string_view text) {
    if (hwnd_) SetWindowTextA(hwnd_, std::string(text).c_str());
}

bool Window::Visible() const {
    return hwnd_ && (GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Window::SetVisible(bool visible) {
    if (hwnd_ && visible != Visible()) ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

bool Window::Enabled() const {
    return hwnd_ && IsWindowEnabled(hwnd_);
}

void Window::SetEnabled(bool enabled) {
    if (hwnd_) EnableWindow(hwnd_, enabled);
}

}  // namespace kv
