#include "toolkit/GlowButton.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "toolkit/App.h"
#include "toolkit/Gdi.h"

namespace kv {

namespace {

constexpr const char* kCheckPicture = "KLAAR";
constexpr int kCorner = 8;
constexpr int kFocusInset = 4;
// A caption wider than the button less this margin takes the narrow font.
constexpr int kCaptionMargin = 6;

// The pixels of a 32-bit DIB section, top row first.
std::vector<std::uint32_t> Pixels(HBITMAP bitmap, int& width, int& height) {
    DIBSECTION dib{};
    if (GetObjectA(bitmap, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBitsPixel != 32 ||
        !dib.dsBm.bmBits)
        return {};
    width = dib.dsBm.bmWidth;
    height = dib.dsBm.bmHeight;
    const bool bottomUp = dib.dsBmih.biHeight > 0;
    const auto* bits = static_cast<const std::uint32_t*>(dib.dsBm.bmBits);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const int from = bottomUp ? height - 1 - y : y;
        std::copy_n(bits + static_cast<std::size_t>(from) * width, width,
                    pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
    }
    return pixels;
}

// The picture at another size, sampled between its pixels so that it stays smooth. Its
// colours are premultiplied by alpha, so the channels mix as they are.
BitmapHandle Resampled(HBITMAP source, int size) {
    int width = 0, height = 0;
    const std::vector<std::uint32_t> from = Pixels(source, width, height);
    if (from.empty() || size <= 0) return {};
    std::uint32_t* to = nullptr;
    BitmapHandle bitmap = MakeTopDownDib(size, size, to);
    if (!bitmap) return {};
    const auto at = [&](int x, int y) {
        return from[static_cast<std::size_t>(std::clamp(y, 0, height - 1)) * width +
                    std::clamp(x, 0, width - 1)];
    };
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double sx = (x + 0.5) * width / size - 0.5, sy = (y + 0.5) * height / size - 0.5;
            const int x0 = static_cast<int>(std::floor(sx)), y0 = static_cast<int>(std::floor(sy));
            const double fx = sx - x0, fy = sy - y0;
            std::uint32_t pixel = 0;
            for (int channel = 0; channel < 32; channel += 8) {
                const auto c = [&](int px, int py) { return (at(px, py) >> channel) & 0xFF; };
                const double value = (c(x0, y0) * (1 - fx) + c(x0 + 1, y0) * fx) * (1 - fy) +
                                     (c(x0, y0 + 1) * (1 - fx) + c(x0 + 1, y0 + 1) * fx) * fy;
                pixel |= static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0, 255.0)))
                         << channel;
            }
            to[static_cast<std::size_t>(y) * size + x] = pixel;
        }
    GdiFlush();
    return bitmap;
}

}  // namespace

void GlowButton::Create(Form& parent, const GlowButtonParams& params) {
    CreateNative(parent, "BUTTON", params.control, BS_OWNERDRAW | WS_GROUP);
    font_ = params.font;
    // A 32-bit picture keeps its alpha channel only as a DIB section. A missing picture
    // leaves the button without one.
    if (params.checkPicture)
        loaded_.reset(static_cast<HBITMAP>(
            LoadImageA(App::Instance(), kCheckPicture, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    border_.reset(CreateSolidBrush(RGB(0x7D, 0xA2, 0xCE)));
    hotBorder_.reset(CreateSolidBrush(RGB(0xC2, 0x9B, 0x29)));
    Build();
    Subclass();
}

// What depends on the button's size in pixels: made at creation and at every new DPI.
void GlowButton::Build() {
    const Form& form = *Parent();
    captionFont_ = MakeFont(ScaledFont(font_, form.Dpi()));
    FontParams narrow = font_;
    narrow.height = std::max(8, font_.height * 4 / 5);
    narrowFont_ = MakeFont(ScaledFont(narrow, form.Dpi()));

    pictureDc_.reset();
    picture_.reset();
    pictureSize_ = 0;
    BITMAP loaded{};
    if (loaded_ && GetObjectA(loaded_.get(), sizeof(loaded), &loaded) == sizeof(loaded)) {
        pictureSize_ = form.Scale(loaded.bmWidth);
        // At the design DPI the picture is drawn as it is, pixel for pixel.
        if (pictureSize_ != loaded.bmWidth) picture_ = Resampled(loaded_.get(), pictureSize_);
        pictureDc_.reset(CreateCompatibleDC(nullptr));
        const HBITMAP shown = picture_ ? picture_.get() : loaded_.get();
        if (pictureDc_) SelectObject(pictureDc_.get(), shown);
    }

    const Rect bounds = Bounds();
    const int w = bounds.width, h = bounds.height;
    const int corner = form.Scale(kCorner);
    face_.reset(CreateRoundRectRgn(0, 0, w + 1, h + 1, corner, corner));
    const int top = h / 2, bottom = h - top;
    normal_ = MakeVerticalGradient({{top, RGB(0xF4, 0xF8, 0xFE), RGB(0xE1, 0xEC, 0xFA)},
                                    {bottom, RGB(0xCF, 0xE0, 0xF7), RGB(0xE6, 0xF0, 0xFC)}});
    hotFill_ = MakeVerticalGradient({{top, RGB(0xFF, 0xFC, 0xE8), RGB(0xFF, 0xE8, 0xA6)},
                                     {bottom, RGB(0xFF, 0xD5, 0x5A), RGB(0xFF, 0xE8, 0x9A)}});
    pressed_ = MakeVerticalGradient({{top, RGB(0xFD, 0xD6, 0x9B), RGB(0xFB, 0xB8, 0x5F)},
                                     {bottom, RGB(0xF8, 0x9B, 0x2B), RGB(0xFC, 0xC4, 0x6F)}});
}

void GlowButton::DpiChanged() {
    Build();
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
    const int line = LineWidth(Parent()->Dpi());
    FrameRgn(dc, face_.get(), (hot_ || pressed) ? hotBorder_.get() : border_.get(), line, line);

    const int shift = pressed ? line : 0;
    if (pictureDc_ && pictureSize_ > 0) {
        const int x = r.left + (r.right - r.left - pictureSize_) / 2 + shift;
        const int y = r.top + (r.bottom - r.top - pictureSize_) / 2 + shift;
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(disabled ? 96 : 255),
                                  AC_SRC_ALPHA};
        AlphaBlend(dc, x, y, pictureSize_, pictureSize_, pictureDc_.get(), 0, 0, pictureSize_,
                   pictureSize_, blend);
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
        const bool narrow =
            measure.right - measure.left > r.right - r.left - Parent()->Scale(kCaptionMargin);
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
        InflateRect(&focus, -Parent()->Scale(kFocusInset), -Parent()->Scale(kFocusInset));
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
            if (OnKeyDown) return code | DLGC_WANTALLKEYS;
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
                code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (OnKeyDown) {
                OnKeyDown(static_cast<WORD>(wParam));
                return 0;
            }
            if (message == WM_KEYDOWN && wParam == VK_RETURN) {
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
