#include "toolkit/GradientPanel.h"

#include <algorithm>

#include "toolkit/Gdi.h"

namespace kv {

namespace {
constexpr const char* kClassName = "KvGradientPanel";
}

void PanelStyler::Apply(GradientPanel& panel) const {
    panel.SetColors(colors);
}

void GradientPanel::Create(Form& parent, const PanelParams& params) {
    RegisterControlClass(kClassName, reinterpret_cast<LPCSTR>(IDC_ARROW));
    captionHeight_ = std::max(0, params.captionHeight);
    border_ = params.border;
    captionFont_ = params.captionFont;
    ControlParams p = params.control;
    p.tabStop = false;
    CreateNative(parent, kClassName, p, 0);
    caption_.Set(
        Text(),
        {.face = captionFont_.face, .height = captionFont_.height, .color = colors_.captionText});
    Rebuild();
}

void GradientPanel::SetColors(const PanelColors& colors) {
    colors_ = colors;
    caption_.Set(
        Text(),
        {.face = captionFont_.face, .height = captionFont_.height, .color = colors_.captionText});
    builtHeight_ = -1;
    Rebuild();
}

void GradientPanel::SetCaptionHeight(int height) {
    height = std::max(0, height);
    if (height == captionHeight_) return;
    captionHeight_ = height;
    builtHeight_ = -1;
    Rebuild();
}

// The fill is remade only when the panel's height or colours change, never in painting.
void GradientPanel::Rebuild() {
    if (!hwnd_) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int height = std::max(1, static_cast<int>(client.bottom));
    if (height == builtHeight_) return;
    builtHeight_ = height;
    const int caption = std::min(captionHeight_, height);
    fill_ = MakeVerticalGradient({{caption, colors_.captionFrom, colors_.captionTo},
                                  {height - caption, colors_.from, colors_.to}});
    borderBrush_.reset(CreateSolidBrush(colors_.border));
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void GradientPanel::Paint() {
    const PaintScope ps(hwnd_);
    RECT client{};
    GetClientRect(hwnd_, &client);
    SetBrushOrgEx(ps.dc(), 0, 0, nullptr);
    FillRect(ps.dc(), &client, fill_.brush.get());
    if (captionHeight_ > 0) {
        const RECT bar{client.left, client.top, client.right,
                       std::min<LONG>(client.bottom, captionHeight_)};
        caption_.Draw(ps.dc(), bar);
    }
    if (border_) FrameRect(ps.dc(), &client, borderBrush_.get());
}

LRESULT GradientPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_SIZE:
            Rebuild();
            return 0;
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcA(hwnd_, message, wParam, lParam);
            caption_.Set(lParam ? reinterpret_cast<const char*>(lParam) : "",
                         {.face = captionFont_.face,
                          .height = captionFont_.height,
                          .color = colors_.captionText});
            if (captionHeight_ > 0) {
                RECT bar{};
                GetClientRect(hwnd_, &bar);
                bar.bottom = std::min<LONG>(bar.bottom, captionHeight_);
                InvalidateRect(hwnd_, &bar, FALSE);
            }
            return result;
        }
        default:
            return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

}  // namespace kv
