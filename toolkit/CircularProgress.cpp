#include "toolkit/CircularProgress.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "toolkit/Gdi.h"

namespace kv {

namespace {

constexpr const char* kClassName = "KvCircularProgress";
constexpr UINT_PTR kTimerId = 1;
constexpr double kPi = 3.14159265358979323846;

}  // namespace

void CircularProgress::Create(Form& parent, const CircularProgressParams& params) {
    RegisterControlClass(kClassName, reinterpret_cast<LPCSTR>(IDC_ARROW));
    params_ = params;
    params_.segments = std::clamp(params_.segments, 3, 60);
    active_.reset(CreateSolidBrush(params_.active));
    inactive_.reset(CreateSolidBrush(params_.inactive));
    progress_.reset(CreateSolidBrush(params_.progress));
    ControlParams p = params.control;
    p.tabStop = false;
    CreateNative(parent, kClassName, p, 0);
    MakeBuffer();
    Running(IsWindowEnabled(hwnd_) != FALSE);
}

// The off-screen copy that each paint draws into first, so the segments never flicker; of the
// control's size in pixels, so made again at a new DPI.
void CircularProgress::MakeBuffer() {
    buffer_.reset();
    const WindowDc screen(hwnd_);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int width = std::max(1, static_cast<int>(client.right));
    const int height = std::max(1, static_cast<int>(client.bottom));
    bufferBitmap_.reset(CreateCompatibleBitmap(screen.dc(), width, height));
    buffer_.reset(CreateCompatibleDC(screen.dc()));
    if (buffer_ && bufferBitmap_) SelectObject(buffer_.get(), bufferBitmap_.get());
}

void CircularProgress::DpiChanged() {
    MakeBuffer();
}

void CircularProgress::Running(bool running) {
    if (!hwnd_ || running == timer_) return;
    timer_ = running;
    if (running)
        SetTimer(hwnd_, kTimerId, kStepMs, nullptr);
    else
        KillTimer(hwnd_, kTimerId);
}

// The lit segment is the step's; the two before it trail in the progress colour.
void CircularProgress::Draw(HDC dc, const RECT& client) const {
    const int width = client.right - client.left, height = client.bottom - client.top;
    const double cx = width / 2.0, cy = height / 2.0;
    const double margin = Parent() ? Parent()->Scale(2) : 2;
    const double outer = std::max(4.0, std::min(width, height) / 2.0 - margin);
    const double inner = outer * 0.55;
    const int n = params_.segments;
    const double span = 2 * kPi / n;
    const double gap = span * 0.18;
    const SelectGuard pen(dc, GetStockObject(NULL_PEN));
    for (int i = 0; i < n; ++i) {
        const int behind = ((step_ - i) % n + n) % n;
        const HBRUSH brush = behind == 0   ? active_.get()
                             : behind <= 2 ? progress_.get()
                                           : inactive_.get();
        const SelectGuard fill(dc, brush);
        const double a0 = -kPi / 2 + i * span + gap / 2, a1 = a0 + span - gap;
        std::vector<POINT> points;
        constexpr int kArc = 6;
        for (int k = 0; k <= kArc; ++k) {
            const double a = a0 + (a1 - a0) * k / kArc;
            points.push_back({static_cast<LONG>(std::lround(cx + outer * std::cos(a))),
                              static_cast<LONG>(std::lround(cy + outer * std::sin(a)))});
        }
        for (int k = kArc; k >= 0; --k) {
            const double a = a0 + (a1 - a0) * k / kArc;
            points.push_back({static_cast<LONG>(std::lround(cx + inner * std::cos(a))),
                              static_cast<LONG>(std::lround(cy + inner * std::sin(a)))});
        }
        Polygon(dc, points.data(), static_cast<int>(points.size()));
    }
}

void CircularProgress::Paint() {
    const PaintScope ps(hwnd_);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const HDC dc = buffer_ ? buffer_.get() : ps.dc();
    const auto backdrop = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(hwnd_), WM_CTLCOLORSTATIC,
                                                                reinterpret_cast<WPARAM>(dc),
                                                                reinterpret_cast<LPARAM>(hwnd_)));
    FillRect(dc, &client, backdrop ? backdrop : GetSysColorBrush(COLOR_BTNFACE));
    Draw(dc, client);
    if (dc != ps.dc()) BitBlt(ps.dc(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

LRESULT CircularProgress::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ENABLE:
            Running(wParam != FALSE);
            return 0;
        case WM_TIMER:
            if (wParam == kTimerId) {
                step_ = (step_ + 1) % params_.segments;
                InvalidateRect(hwnd_, nullptr, FALSE);
            }
            return 0;
        case WM_DESTROY:
            Running(false);
            return 0;
        default:
            return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

}  // namespace kv
