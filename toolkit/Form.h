#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Gdi.h"
#include "toolkit/Handle.h"
#include "toolkit/Window.h"

namespace kv {

class Control;
class MainMenu;

struct FormParams {
    const char* className = nullptr;  // registered once, under this very name
    std::string caption{};
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    Rect bounds{};  // outer bounds, or the client size when clientSized
    bool clientSized = false;
    bool centred = false;  // on the screen's work area
    FontParams font{};
    int dpi = 0;  // 0: the DPI of the monitor the form opens on
};

enum class ModalResult { None = 0, Ok = 1, Cancel = 2 };

// A top-level window of the program. It is created hidden, owns its controls' font and lays
// out the controls that are aligned to its edges. OnShow runs each time it is about to become
// visible, before it is seen; OnCloseQuery may refuse any close.
//
// The form's params and its controls' params are in design pixels (Controls.h); the form
// takes the DPI of the monitor it opens on, scales them all by Dpi() / 96, and scales them
// again when it is moved to a monitor of another DPI. Everything read from or set on the live
// window (ClientSize, SetClientSize) is in the window's own pixels.
class Form : public Window {
public:
    explicit Form(FormParams params);
    ~Form() override;

    void Create();
    void Destroy();

    void Show();
    void Hide();
    // Shows the form with every other window of the program disabled and returns when it is
    // closed, or at once when the end of the program has been requested.
    ModalResult ShowModal();
    void Close();
    void SetModalResult(ModalResult result) { modalResult_ = result; }

    [[nodiscard]] std::string Caption() const { return Text(); }
    void SetCaption(std::string_view caption) { SetText(caption); }

    [[nodiscard]] SIZE ClientSize() const;
    void SetClientSize(int width, int height);

    [[nodiscard]] bool Maximized() const;
    void Maximize();

    [[nodiscard]] HFONT Font() const noexcept { return font_.get(); }

    [[nodiscard]] int Dpi() const noexcept { return dpi_; }
    // A length in design pixels in this window's pixels.
    [[nodiscard]] int Scale(int design) const noexcept { return ScaleToDpi(design, dpi_); }
    [[nodiscard]] Rect Scale(const Rect& design) const noexcept;
    // Takes the new DPI: every control, font and picture is scaled again, and the window takes
    // the place given (the system's suggestion of WM_DPICHANGED), or keeps its client size in
    // design pixels when there is none.
    void ChangeDpi(int dpi, const RECT* suggested = nullptr);

    std::function<void()> OnShow;
    std::function<void()> OnDestroy;
    std::function<void(bool& canClose)> OnCloseQuery;

protected:
    // Creates the form's controls; runs once, right after the window itself exists.
    virtual void CreateControls() {}
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class Control;
    friend class MainMenu;

    [[nodiscard]] bool CloseQuery();
    [[nodiscard]] Control* ControlOf(HWND hwnd) const;
    [[nodiscard]] HBRUSH BackdropFor(HWND control, HDC dc) const;
    void Realign();
    void FocusFirst();

    FormParams params_;
    FontHandle font_;
    int dpi_ = kDesignDpi;
    std::vector<Control*> controls_;  // each lives at least as long as the form's window
    std::vector<Control*> aligned_;
    MainMenu* menu_ = nullptr;
    HWND focus_ = nullptr;  // the control to focus when the form is activated
    bool maximizeOnShow_ = false;
    bool modal_ = false;
    bool closeAllowed_ = false;  // the close query of a modal form has been answered yes
    ModalResult modalResult_ = ModalResult::None;
};

}  // namespace kv
