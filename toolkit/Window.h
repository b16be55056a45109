#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace kv {

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Anything with a window handle: a form, a native control, or a control we paint ourselves.
// Windows of our own classes get their messages through Thunk; native controls keep their
// class's procedure and carry a pointer to their wrapper in GWLP_USERDATA all the same.
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window() = default;

    [[nodiscard]] HWND Handle() const noexcept { return hwnd_; }
    // The wrapper of a window of one of the toolkit's own classes; null for any other window,
    // whose GWLP_USERDATA may hold anything.
    [[nodiscard]] static Window* FromHandle(HWND hwnd) noexcept;

    [[nodiscard]] std::string Text() const;
    void SetText(std::string_view text);

    // The window's own visibility flag, whatever its parent's state.
    [[nodiscard]] bool Visible() const;
    void SetVisible(bool visible);

    [[nodiscard]] bool Enabled() const;
    void SetEnabled(bool enabled);

    // The window procedure of every class registered by the toolkit.
    static LRESULT CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

protected:
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd) noexcept;

    HWND hwnd_ = nullptr;

private:
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
};

// Registers a class of the toolkit's own controls once per process, with Thunk as its
// procedure and no background brush (the control paints all of itself).
void RegisterControlClass(const char* className, LPCSTR cursor, UINT style = 0);

}  // namespace kv
