#include "toolkit/GlowButton.h"

#include <algorithm>
#include <cmath>

#include "toolkit/Gdi.h"

namespace kv {

namespace {

constexpr int kPictureSize = 64;
constexpr int kCorner = 8;

double Coverage(double distance) {
    return std::clamp(0.5 - distance, 0.0, 1.0);
}

double SegmentDistance(double x, double y, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(x - (ax + t * dx), y - (ay + t * dy));
}

}  // namespace

// Drawn by distance: each pixel's cover of the rounded square and of the thick check line
// gives smooth edges without any drawing calls.
BitmapHandle MakeCheckPicture() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kPictureSize;
    info.bmiHeader.biHeight = -kPictureSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return bitmap;
    auto* pixels = static_cast<DWORD*>(bits);
    const double lo = 4, radius = 12;
    for (int y = 0; y < kPictureSize; ++y)
        for (int x = 0; x < kPictureSize; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            // Distance to the rounded square: negative inside.
            const double qx = std::max(std::abs(px - 32) - (32 - lo - radius), 0.0);
            const double qy = std::max(std::abs(py - 32) - (32 - lo - radius), 0.0);
            const double inner = std::min(std::max(std::abs(px - 32) - (32 - lo - radius),
                                                   std::abs(py - 32) - (32 - lo - radius)),
                                          0.0);
            const double square = std::hypot(qx, qy) + inner - radius;
            const double alpha = Coverage(square);
            const double tick = std::min(SegmentDistance(px, py, 17, 33, 28, 45),
                                         SegmentDistance(px, py, 28, 45, 48, 20));
            const double white = Coverage(tick - 4.0);
            // Green from light at the top to deep at the bottom.
            const double shade = py / kPictureSize;
            const double g[3] = {0x2E + (0x1B - 0x2E) * shade, 0xC4 + (0x8A - 0xC4) * shade,
                                 0x4A + (0x2A - 0x4A) * shade};
            double rgb[3];
            for (int i = 0; i < 3; ++i) rgb[i] = (g[i] * (1 - white) + 255 * white) * alpha;
            const auto byte = [](double v) {
                return static_cast<DWORD>(std::clamp(v, 0.0, 255.0));
            };
            pixels[y * kPictureSize + x] = (byte(alpha * 255) << 24) | (byte(rgb[0]) << 16) |
                                           (byte(rgb[1]) << 8) | byte(rgb[2]);
        }
    GdiFlush();
    return bitmap;
}

void GlowButton::Create(Form& parent, const GlowButtonParams& params) {
    CreateNative(parent, "BUTTON", params.control, BS_OWNERDRAW | WS_GROUP);
    captionFont_ = MakeFont(params.font);
    FontParams narrow = params.font;
    narrow.height = std::max(8, params.font.height * 4 / 5);
    narrowFont_ = MakeFont(narrow);
    if (params.checkPicture) {
        picture_ = MakeCheckPicture();
        pictureDc_.reset(CreateCompatibleDC(nullptr));
        if (pictureDc_ && picture_) SelectObject(pictureDc_.get(), picture_.get());
    }
    const int w = params.control.bounds.width, h = params.control.bounds.height;
    face_.reset(CreateRoundRectRgn(0, 0, w + 1, h + 1, kCorner, kCorner));
    border_.reset(CreateSolidBrush(RGB(0x7D, 0xA2, 0xCE)));
    hotBorder_.reset(CreateSolidBrush(RGB(0xC2, 0x9B, 0x29)));
    const int top = h / 2, bottom = h - top;
    normal_ = MakeVerticalGradient({{top, RGB(0xF4, 0xF8, 0xFE), RGB(0xE1, 0xEC, 0xFA)},
                                    {bottom, RGB(0xCF, 0xE0, 0xF7), RGB(0xE6, 0xF0, 0xFC)}});
    hotFill_ = MakeVerticalGradient({{top, RGB(0xFF, 0xFC, 0xE8), RGB(0xFF, 0xE8, 0xA6)},
                                     {bottom, RGB(0xFF, 0xD5, 0x5A), RGB(0xFF, 0xE8, 0x9A)}});
    pressed_ = MakeVerticalGradient({{top, RGB(0xFD, 0xD6, 0x9B), RGB(0xFB, 0xB8, 0x5F)},
                                     {bottom, RGB(0xF8, 0x9B, 0x2B), RGB(0xFC, 0xC4, 0x6F)}});
    Subclass();
}

void GlowButton::SetHot(bool hot) {
    if (hot == hot_) return;
    hot_ = hot;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void GlowButton::DrawItem(const DRAWITEMSTRUCT& item) {
    const HDC dc = item.hDC;
    const RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;

    // The panel beneath shows at the rounded corners.
    const auto backdrop = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(hwnd_), WM_CTLCOLORBTN,
                                                                reinterpret_cast<WPARAM>(dc),
                                                                reinterpret_cast<LPARAM>(hwnd_)));
    FillRect(dc, &r, backdrop ? backdrop : GetSysColorBrush(COLOR_BTNFACE));

    SetBrushOrgEx(dc, 0, 0, nullptr);
    const GradientBrush& fill = pressed ? pressed_ : hot_ ? hotFill_ : normal_;
    SelectClipRgn(dc, face_.get());
    FillRect(dc, &r, fill.brush.get());
    SelectClipRgn(dc, nullptr);
    FrameRgn(dc, face_.get(), (hot_ || pressed) ? hotBorder_.get() : border_.get(), 1, 1);

    const int shift = pressed ? 1 : 0;
    if (picture_ && pictureDc_) {
        const int x = r.left + (r.right - r.left - kPictureSize) / 2 + shift;
        const int y = r.top + (r.bottom - r.top - kPictureSize) / 2 + shift;
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(disabled ? 96 : 255),
                                  AC_SRC_ALPHA};
        AlphaBlend(dc, x, y, kPictureSize, kPictureSize, pictureDc_.get(), 0, 0, kPictureSize,
                   kPictureSize, blend);
    }
    const std::string caption = Text();
    if (!caption.empty()) {
        // A caption that does not fit in the button's font ("&Chercher") takes a smaller one.
        RECT measure = r;
        {
            const SelectGuard font(dc, captionFont_.get());
            DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &measure,
                      DT_SINGLELINE | DT_CALCRECT);
        }
        const bool narrow = measure.right - measure.left > r.right - r.left - 6;
        const SelectGuard font(dc, narrow ? narrowFont_.get() : captionFont_.get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : RGB(0x15, 0x42, 0x8B));
        RECT text = r;
        OffsetRect(&text, shift, shift);
        const UINT prefix = (item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | prefix);
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        InflateRect(&focus, -4, -4);
        SetTextColor(dc, RGB(0, 0, 0));
        DrawFocusRect(dc, &focus);
    }
}

// Hover comes and goes with the mouse; Enter on the focused button clicks it (the dialog
// manager would make it the form's OK command otherwise).
LRESULT GlowButton::Subclassed(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR:
            SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
            return TRUE;
        case WM_MOUSEMOVE:
            if (!hot_) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
                TrackMouseEvent(&track);
                SetHot(true);
            }
            break;
        case WM_MOUSELEAVE:
            SetHot(false);
            break;
        case WM_GETDLGCODE: {
            LRESULT code = Control::Subclassed(message, wParam, lParam);
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
                code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(Id(), BN_CLICKED),
                             reinterpret_cast<LPARAM>(hwnd_));
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == '\r') return 0;
            break;
        default:
            break;
    }
    return Control::Subclassed(message, wParam, lParam);
}

}  // namespace kv
