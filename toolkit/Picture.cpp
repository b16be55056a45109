#include "toolkit/Picture.h"

#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "toolkit/App.h"
#include "toolkit/Gdi.h"

namespace kv {

namespace {

// Pixels as 0x00RRGGBB, row by row from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> data;
};

template <class T>
struct ComRelease {
    void operator()(T* object) const noexcept {
        if (object) object->Release();
    }
};
template <class T>
using ComPtr = std::unique_ptr<T, ComRelease<T>>;

// COM for the time of one decoding: the platform's picture loader hands JPEG files to a
// codec object.
class ComScope {
public:
    ComScope() noexcept : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

ComPtr<IStream> ResourceStream(const char* name) {
    const HINSTANCE instance = App::Instance();
    const HRSRC found = FindResourceA(instance, name, reinterpret_cast<LPCSTR>(RT_RCDATA));
    if (!found) return nullptr;
    const DWORD size = SizeofResource(instance, found);
    const HGLOBAL loaded = LoadResource(instance, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) return nullptr;
    const HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return nullptr;
    if (void* target = GlobalLock(copy)) {
        std::memcpy(target, bytes, size);
        GlobalUnlock(copy);
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        GlobalFree(copy);
        return nullptr;
    }
    return ComPtr<IStream>(stream);
}

Pixels BitmapPixels(HBITMAP bitmap) {
    BITMAP shape{};
    if (!GetObjectA(bitmap, sizeof(shape), &shape) || shape.bmWidth <= 0 || shape.bmHeight <= 0)
        return {};
    Pixels pixels{shape.bmWidth, shape.bmHeight, {}};
    pixels.data.resize(static_cast<std::size_t>(pixels.width) * pixels.height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(pixels.height),
                               pixels.data.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != pixels.height) return {};
    return pixels;
}

Pixels LoadPicture(const char* resource) {
    if (!resource) return {};
    const ComScope com;
    const ComPtr<IStream> stream = ResourceStream(resource);
    if (!stream) return {};
    IPicture* loaded = nullptr;
    if (FAILED(OleLoadPicture(stream.get(), 0, FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&loaded))))
        return {};
    const ComPtr<IPicture> picture(loaded);
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP ||
        FAILED(picture->get_Handle(&handle)))
        return {};
    return BitmapPixels(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)));
}

// Each target pixel is the average of the source area it covers, partial pixels weighted by
// their share: a sharp, even reduction at any ratio, where stretching drops whole rows.
Pixels ScaledDown(const Pixels& source, int width, int height) {
    Pixels target{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    const double sx = static_cast<double>(source.width) / width;
    const double sy = static_cast<double>(source.height) / height;
    for (int y = 0; y < height; ++y) {
        const double y0 = y * sy, y1 = (y + 1) * sy;
        for (int x = 0; x < width; ++x) {
            const double x0 = x * sx, x1 = (x + 1) * sx;
            double sum[3] = {0, 0, 0};
            double total = 0;
            for (int j = static_cast<int>(y0); j < std::min<double>(y1, source.height); ++j) {
                const double wy = std::min<double>(j + 1, y1) - std::max<double>(j, y0);
                for (int i = static_cast<int>(x0); i < std::min<double>(x1, source.width); ++i) {
                    const double w = wy * (std::min<double>(i + 1, x1) - std::max<double>(i, x0));
                    const std::uint32_t p = source.data[static_cast<std::size_t>(j) * source.width + i];
                    sum[0] += w * ((p >> 16) & 0xFF);
                    sum[1] += w * ((p >> 8) & 0xFF);
                    sum[2] += w * (p & 0xFF);
                    total += w;
                }
            }
            const auto channel = [&](int c) {
                return static_cast<std::uint32_t>(std::clamp(sum[c] / total + 0.5, 0.0, 255.0));
            };
            target.data[static_cast<std::size_t>(y) * width + x] =
                (channel(0) << 16) | (channel(1) << 8) | channel(2);
        }
    }
    return target;
}

// The control's face: the background with the picture centred on it.
BitmapHandle Face(const Pixels& picture, int width, int height, COLORREF background) {
    std::uint32_t* out = nullptr;
    BitmapHandle face = MakeTopDownDib(width, height, out);
    if (!face) return face;
    // Opaque everywhere: an alpha of 0 would let a themed static show through it.
    const std::uint32_t fill = 0xFF000000u | (GetRValue(background) << 16) |
                               (GetGValue(background) << 8) | GetBValue(background);
    std::fill(out, out + static_cast<std::size_t>(width) * height, fill);
    const int left = (width - picture.width) / 2, top = (height - picture.height) / 2;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            out[static_cast<std::size_t>(top + y) * width + left + x] =
                0xFF000000u | picture.data[static_cast<std::size_t>(y) * picture.width + x];
    GdiFlush();
    return face;
}

}  // namespace

void Picture::Create(Form& parent, const PictureParams& params) {
    handCursor_ = params.handCursor;
    resource_ = params.resource;
    background_ = params.background;
    ControlParams p = params.control;
    p.tabStop = false;
    p.text.clear();  // a bitmap static takes its text for a resource name
    CreateNative(parent, "STATIC", p, SS_BITMAP | SS_NOTIFY | SS_REALSIZECONTROL | WS_GROUP);
    Show();
    Subclass();
}

// The picture is decoded again for a new size: that happens once per showing at most, and
// keeping the decoded pixels would hold a megabyte for nothing.
void Picture::Show() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int width = std::max<LONG>(1, client.right), height = std::max<LONG>(1, client.bottom);
    Pixels picture = LoadPicture(resource_);
    pictureSize_ = {picture.width, picture.height};
    if (picture.width > width || picture.height > height) {
        // The larger of the two reductions, so that both sides fit.
        const double scale = std::min(static_cast<double>(width) / picture.width,
                                      static_cast<double>(height) / picture.height);
        picture = ScaledDown(picture, std::max(1, static_cast<int>(picture.width * scale)),
                             std::max(1, static_cast<int>(picture.height * scale)));
    }
    BitmapHandle face = Face(picture, width, height, background_);
    SendMessageA(hwnd_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(face.get()));
    shown_ = std::move(face);  // the old face goes only once the control has let it go
}

void Picture::Command(int code) {
    if (code == STN_CLICKED && OnClick) OnClick();
}

LRESULT Picture::Subclassed(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR:
            if (!handCursor_) break;
            SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
            return TRUE;
        case WM_MOUSEMOVE:
            if (OnMouseMove) OnMouseMove();
            break;
        default:
            break;
    }
    return Control::Subclassed(message, wParam, lParam);
}

}  // namespace kv
