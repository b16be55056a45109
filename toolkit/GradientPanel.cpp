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
    shadowOffset_ = params.shadowOffset;
    ControlParams p = params.control;
    p.tabStop = false;
    CreateNative(parent, kClassName, p, 0);
    SetMarkup(Text());
    Rebuild();
}

void GradientPanel::SetColors(const PanelColors& colors) {
    colors_ = colors;
    SetMarkup(Text());
    builtHeight_ = -1;
    Rebuild();
}

void GradientPanel::SetMarkup(std::string_view markup) {
    const int dpi = DpiOfParent();
    const MarkupDefaults defaults{};
    caption_.Set(markup, {.face = captionFont_.face,
                          .height = ScaleToDpi(captionFont_.height, dpi),
                          .color = colors_.captionText,
                          .shadowOffset = ScaleToDpi(shadowOffset_, dpi),
                          .indent = ScaleToDpi(defaults.indent, dpi),
                          .dpi = dpi});
}

int GradientPanel::DpiOfParent() const {
    return Parent() ? Parent()->Dpi() : kDesignDpi;
}

int GradientPanel::CaptionPixels() const {
    return ScaleToDpi(captionHeight_, DpiOfParent());
}

RECT GradientPanel::CaptionArea() const {
    RECT area{};
    GetClientRect(hwnd_, &area);
    if (captionHeight_ > 0) area.bottom = std::min<LONG>(area.bottom, CaptionPixels());
    return area;
}

void GradientPanel::DpiChanged() {
    SetMarkup(Text());
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
    const int caption = std::min(CaptionPixels(), height);
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
    caption_.Draw(ps.dc(), CaptionArea());
    if (border_)
        for (int k = 0; k < LineWidth(DpiOfParent()); ++k) {
            FrameRect(ps.dc(), &client, borderBrush_.get());
            InflateRect(&client, -1, -1);
        }
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
            SetMarkup(lParam ? reinterpret_cast<const char*>(lParam) : "");
            const RECT area = CaptionArea();
            InvalidateRect(hwnd_, &area, FALSE);
            return result;
        }
        case WM_MOUSEMOVE:
            if (OnMouseMove) OnMouseMove();
            return 0;
        default:
            return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

}  // namespace kv
