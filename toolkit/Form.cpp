#include "toolkit/Form.h"

#include <stdexcept>
#include <utility>

#include "toolkit/App.h"
#include "toolkit/Controls.h"
#include "toolkit/DisabledWindows.h"

namespace kv {

namespace {

// A second registration of the same class fails harmlessly; every form of a class shares it.
void RegisterFormClass(const char* className) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Window::Thunk;
    wc.hInstance = App::Instance();
    wc.hIcon = LoadIconA(App::Instance(), "MAINICON");
    if (!wc.hIcon) wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error(std::string("Cannot register the window class ") + className);
}

using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// The frame around a client area of the given size. At a DPI other than the system's the
// frame's own parts are of another size too, which only Windows 10 can tell; elsewhere the
// system's frame is the best guess, and the client size is put right once the window exists.
SIZE FrameAround(int width, int height, DWORD style, DWORD exStyle, bool menu, int dpi) {
    static const auto adjustForDpi = [] {
        const HMODULE user32 = GetModuleHandleA("user32.dll");
        return user32 ? reinterpret_cast<AdjustWindowRectExForDpiFunction>(
                            reinterpret_cast<void (*)()>(
                                GetProcAddress(user32, "AdjustWindowRectExForDpi")))
                      : nullptr;
    }();
    RECT r{0, 0, width, height};
    if (dpi != kDesignDpi && adjustForDpi)
        adjustForDpi(&r, style, menu, exStyle, static_cast<UINT>(dpi));
    else
        AdjustWindowRectEx(&r, style, menu, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

bool UsableFocus(HWND form, HWND control) {
    return control && IsWindow(control) && IsChild(form, control) && IsWindowVisible(control) &&
           IsWindowEnabled(control);
}

}  // namespace

Form::Form(FormParams params) : params_(std::move(params)) {}

Form::~Form() {
    Destroy();
}

void Form::Create() {
    RegisterFormClass(params_.className);

    const DWORD style = params_.style & ~WS_VISIBLE;
    const DWORD exStyle = params_.exStyle | WS_EX_CONTROLPARENT;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const Rect& design = params_.bounds;
    // The form opens on the monitor of the work area when centred, else on the one under it.
    const POINT anchor =
        params_.centred ? POINT{(work.left + work.right) / 2, (work.top + work.bottom) / 2}
                        : POINT{design.left + design.width / 2, design.top + design.height / 2};
    dpi_ = params_.dpi > 0 ? params_.dpi : MonitorDpi(anchor);
    Rect outer = Scale(design);
    if (params_.clientSized) {
        const SIZE size = FrameAround(outer.width, outer.height, style, exStyle, false, dpi_);
        outer.width = size.cx;
        outer.height = size.cy;
    }
    if (params_.centred) {
        outer.left = work.left + (work.right - work.left - outer.width) / 2;
        outer.top = work.top + (work.bottom - work.top - outer.height) / 2;
    }
    font_ = MakeFont(ScaledFont(params_.font, dpi_));
    const HWND hwnd = CreateWindowExA(exStyle, params_.className, params_.caption.c_str(), style,
                                      outer.left, outer.top, outer.width, outer.height, nullptr,
                                      nullptr, App::Instance(), this);
    if (!hwnd)
        throw std::runtime_error(std::string("Cannot create the window ") + params_.className);
    // The window's own DPI is the one it is drawn at: the system may have placed it on another
    // monitor, or keep it at 96 in a process that it scales itself.
    if (params_.dpi <= 0) ChangeDpi(WindowDpi(hwnd));
    // Away from the design DPI the frame may differ from the guess: the client area is made
    // exact, and a centred form is centred again at its final size.
    if (dpi_ != kDesignDpi) {
        if (params_.clientSized) SetClientSize(Scale(design.width), Scale(design.height));
        RECT r{};
        GetWindowRect(hwnd, &r);
        if (params_.centred)
            SetWindowPos(hwnd, nullptr,
                         work.left + (work.right - work.left - (r.right - r.left)) / 2,
                         work.top + (work.bottom - work.top - (r.bottom - r.top)) / 2, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    CreateControls();
    Realign();
}

Rect Form::Scale(const Rect& design) const noexcept {
    return {Scale(design.left), Scale(design.top), Scale(design.width), Scale(design.height)};
}

// Each control is placed again from its design bounds, so that moving between monitors never
// lets rounding errors add up. The old font goes only once no control uses it any more.
void Form::ChangeDpi(int dpi, const RECT* suggested) {
    if (!hwnd_ || dpi <= 0 || dpi == dpi_) return;
    const int old = dpi_;
    dpi_ = dpi;
    const FontHandle oldFont = std::exchange(font_, MakeFont(ScaledFont(params_.font, dpi_)));
    for (Control* control : controls_) control->Rescale(old);
    if (suggested) {
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (!IsZoomed(hwnd_)) {
        const SIZE client = ClientSize();
        SetClientSize(MulDiv(client.cx, dpi, old), MulDiv(client.cy, dpi, old));
    }
    Realign();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Form::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void Form::Show() {
    if (!hwnd_) return;
    if (Visible()) {
        SetForegroundWindow(hwnd_);
        return;
    }
    if (OnShow) OnShow();
    // Once the end is requested the program is going away; nothing more is put on screen.
    if (App::Terminated() || !hwnd_) return;
    ShowWindow(hwnd_, maximizeOnShow_ ? SW_SHOWMAXIMIZED : SW_SHOW);
    maximizeOnShow_ = false;
    SetForegroundWindow(hwnd_);
    FocusFirst();
}

void Form::Hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

ModalResult Form::ShowModal() {
    if (App::Terminated() || !hwnd_) return ModalResult::Cancel;
    DisabledWindows others(hwnd_);
    EnableWindow(hwnd_, TRUE);
    modal_ = true;
    modalResult_ = ModalResult::None;
    closeAllowed_ = false;
    Show();
    for (;;) {
        if (modalResult_ != ModalResult::None) {
            if (closeAllowed_ || CloseQuery()) break;
            modalResult_ = ModalResult::None;
        }
        if (App::Terminated()) {
            if (modalResult_ == ModalResult::None) modalResult_ = ModalResult::Cancel;
            break;
        }
        App::HandleMessage();
    }
    // The other windows come back before this one goes, so that activation returns to them.
    others.Restore();
    Hide();
    modal_ = false;
    return modalResult_;
}

// A modal form closes through its loop. The close is asked at once, not when the loop next
// turns: a handler may be running a long job that lets messages run (a drive scan), and the
// close request must be answered while the job goes on. The main form's close is the end of
// the program; any other form is only hidden.
void Form::Close() {
    if (modal_) {
        if (!CloseQuery()) return;
        modalResult_ = ModalResult::Cancel;
        closeAllowed_ = true;
        return;
    }
    if (!CloseQuery()) return;
    if (this == App::MainForm())
        App::Terminate();
    else
        Hide();
}

Control* Form::ControlOf(HWND hwnd) const {
    for (Control* control : controls_)
        if (control->Handle() == hwnd) return control;
    return nullptr;
}

bool Form::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(canClose);
    return canClose;
}

SIZE Form::ClientSize() const {
    RECT r{};
    if (hwnd_) GetClientRect(hwnd_, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// The menu bar may wrap onto more lines at the new width, which the first estimate cannot
// know; the height is put right once the window has its width.
void Form::SetClientSize(int width, int height) {
    if (!hwnd_) return;
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_EXSTYLE));
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, style, GetMenu(hwnd_) != nullptr, exStyle);
    int outerWidth = r.right - r.left;
    int outerHeight = r.bottom - r.top;
    if (IsZoomed(hwnd_)) {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof(wp);
        GetWindowPlacement(hwnd_, &wp);
        wp.rcNormalPosition.right = wp.rcNormalPosition.left + outerWidth;
        wp.rcNormalPosition.bottom = wp.rcNormalPosition.top + outerHeight;
        SetWindowPlacement(hwnd_, &wp);
        return;
    }
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(hwnd_, nullptr, 0, 0, outerWidth, outerHeight, flags);
    // So may the frame of a window at another DPI than the system's.
    const SIZE client = ClientSize();
    if (client.cy != height || client.cx != width) {
        outerWidth += width - client.cx;
        outerHeight += height - client.cy;
        SetWindowPos(hwnd_, nullptr, 0, 0, outerWidth, outerHeight, flags);
    }
}

bool Form::Maximized() const {
    return maximizeOnShow_ || (hwnd_ && IsZoomed(hwnd_));
}

// A hidden form keeps the request and opens maximised when it is shown.
void Form::Maximize() {
    if (!hwnd_) return;
    if (IsWindowVisible(hwnd_))
        ShowWindow(hwnd_, SW_MAXIMIZE);
    else
        maximizeOnShow_ = true;
}

// Controls aligned to the bottom edge stack up from it in creation order; client-aligned
// controls share what is left.
void Form::Realign() {
    if (!hwnd_ || aligned_.empty()) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    int bottom = client.bottom;
    for (Control* c : aligned_) {
        if (c->Alignment() != Align::Bottom) continue;
        const int height = c->Bounds().height;
        bottom -= height;
        c->SetBounds({0, bottom, client.right, height});
    }
    for (Control* c : aligned_)
        if (c->Alignment() == Align::Client) c->SetBounds({0, 0, client.right, bottom});
    for (Control* c : aligned_) c->Resized();
}

void Form::FocusFirst() {
    if (!UsableFocus(hwnd_, focus_)) focus_ = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    // A form without a control that can take the focus takes it itself, so that its keys
    // (Alt and the menu) still arrive.
    ::SetFocus(UsableFocus(hwnd_, focus_) ? focus_ : hwnd_);
}

// The panel that shows through a transparent control is the topmost one, in creation order,
// under the control's centre. Its brush is laid so that the pattern lines up with the panel.
HBRUSH Form::BackdropFor(HWND hwnd, HDC dc) const {
    const Control* control = ControlOf(hwnd);
    if (!control || !control->Transparent()) return nullptr;
    const Rect c = control->Bounds();
    const POINT centre{c.left + c.width / 2, c.top + c.height / 2};
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        const Control* panel = *it;
        if (panel == control || !panel->Backdrop() || !panel->Visible()) continue;
        const Rect p = panel->Bounds();
        if (centre.x < p.left || centre.x >= p.left + p.width || centre.y < p.top ||
            centre.y >= p.top + p.height)
            continue;
        SetBkMode(dc, TRANSPARENT);
        SetBrushOrgEx(dc, p.left - c.left, p.top - c.top, nullptr);
        return panel->Backdrop();
    }
    return nullptr;
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (const HBRUSH brush =
                    BackdropFor(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<LRESULT>(brush);
            return DefWindowProcA(hwnd_, message, wParam, lParam);
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (Control* control = item ? ControlOf(item->hwndItem) : nullptr) {
                control->DrawItem(*item);
                return TRUE;
            }
            return DefWindowProcA(hwnd_, message, wParam, lParam);
        }
        case WM_COMMAND:
            if (lParam != 0) {
                if (Control* control = ControlOf(reinterpret_cast<HWND>(lParam)))
                    control->Command(HIWORD(wParam));
            } else if (HIWORD(wParam) == 0 && menu_) {
                menu_->Command(LOWORD(wParam));
            }
            return 0;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) Realign();
            return 0;
        // The window was moved to a monitor of another DPI, or the user changed the scale.
        case WM_DPICHANGED:
            ChangeDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_CLOSE:
            Close();
            return 0;
        // What the dialog manager sends for Tab and the arrow keys; an ordinary window has to
        // move the focus itself.
        case WM_NEXTDLGCTL: {
            const HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                             : GetNextDlgTabItem(hwnd_, GetFocus(), wParam != 0);
            if (UsableFocus(hwnd_, next)) {
                focus_ = next;
                ::SetFocus(next);
            }
            return 0;
        }
        // The focused control is remembered when the form loses activation and gets the focus
        // back when the form is activated again.
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus && IsChild(hwnd_, focus)) focus_ = focus;
            } else if (!HIWORD(wParam)) {
                FocusFirst();
            }
            return 0;
        // The form hands the focus on to its control; it keeps it only when it has none.
        case WM_SETFOCUS:
            if (!UsableFocus(hwnd_, focus_)) focus_ = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
            if (UsableFocus(hwnd_, focus_)) ::SetFocus(focus_);
            return 0;
        default:
            return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

}  // namespace kv
