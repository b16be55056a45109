#include "toolkit/ProgressBar.h"

#include <commctrl.h>

#include <algorithm>

#include "toolkit/Gdi.h"

namespace kv {

namespace {
constexpr const char* kClassName = "KvProgressBar";
}  // namespace

int ProgressBar::Border() const {
    return LineWidth(Parent() ? Parent()->Dpi() : kDesignDpi);
}

void ProgressBar::Create(Form& parent, const ControlParams& params) {
    RegisterControlClass(kClassName, reinterpret_cast<LPCSTR>(IDC_ARROW));
    for (int i = 0; i < 3; ++i) levels_[i].reset(CreateSolidBrush(kLevelColors[i]));
    empty_.reset(CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF)));
    border_.reset(CreateSolidBrush(RGB(0x7F, 0x9D, 0xB9)));
    ControlParams p = params;
    p.tabStop = false;
    CreateNative(parent, kClassName, p, 0);
}

// Whole numbers only, so that the levels fall exactly at 70 % and 90 %. A scale of 0 or less
// (a hand-edited settings file) shows an empty bar, or a full red one once anything counts.
int ProgressBar::Level() const noexcept {
    if (max_ <= 0) return position_ > 0 ? 2 : 0;
    const long long tenfold = static_cast<long long>(position_) * 10;
    if (tenfold >= static_cast<long long>(max_) * 9) return 2;
    if (tenfold >= static_cast<long long>(max_) * 7) return 1;
    return 0;
}

int ProgressBar::FilledWidth(int inner) const noexcept {
    if (max_ <= 0) return position_ > 0 ? inner : 0;
    const long long shown = std::clamp<long long>(position_, 0, max_);
    return static_cast<int>(shown * inner / max_);
}

int ProgressBar::InnerWidth() const {
    RECT client{};
    if (hwnd_) GetClientRect(hwnd_, &client);
    return std::max(0, static_cast<int>(client.right) - 2 * Border());
}

// A scan sets the position after every folder; only a change that shows is painted.
void ProgressBar::Changed(int oldLevel, int oldWidth) {
    if (!hwnd_) return;
    const int inner = InnerWidth();
    if (Level() != oldLevel || FilledWidth(inner) != oldWidth)
        InvalidateRect(hwnd_, nullptr, FALSE);
}

void ProgressBar::SetMax(int max) {
    const int level = Level(), width = FilledWidth(InnerWidth());
    max_ = max;
    Changed(level, width);
}

void ProgressBar::SetPosition(int position) {
    const int level = Level(), width = FilledWidth(InnerWidth());
    position_ = position;
    Changed(level, width);
}

void ProgressBar::Paint() {
    const PaintScope ps(hwnd_);
    RECT client{};
    GetClientRect(hwnd_, &client);
    RECT inner = client;
    for (int k = 0; k < Border(); ++k) {
        FrameRect(ps.dc(), &inner, border_.get());
        InflateRect(&inner, -1, -1);
    }
    const int filled = FilledWidth(inner.right - inner.left);
    RECT bar = inner;
    bar.right = bar.left + filled;
    RECT rest = inner;
    rest.left = bar.right;
    if (bar.right > bar.left) FillRect(ps.dc(), &bar, levels_[Level()].get());
    if (rest.right > rest.left) FillRect(ps.dc(), &rest, empty_.get());
}

LRESULT ProgressBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_SIZE:
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        case PBM_SETRANGE: {
            const LRESULT old = MAKELONG(0, std::clamp(max_, 0, 0xFFFF));
            SetMax(HIWORD(lParam));
            return old;
        }
        case PBM_SETRANGE32: {
            const LRESULT old = MAKELONG(0, std::clamp(max_, 0, 0xFFFF));
            SetMax(static_cast<int>(lParam));
            return old;
        }
        case PBM_SETPOS: {
            const LRESULT old = SendMessageA(hwnd_, PBM_GETPOS, 0, 0);
            SetPosition(static_cast<int>(wParam));
            return old;
        }
        case PBM_GETPOS:
            return max_ > 0 ? std::clamp(position_, 0, max_) : 0;
        case PBM_GETRANGE: {
            auto* range = reinterpret_cast<PBRANGE*>(lParam);
            if (range) *range = {0, max_};
            return wParam ? 0 : max_;
        }
        default:
            return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

}  // namespace kv
