#include "toolkit/Gdi.h"

namespace kv {

// A negative height asks for the character height, not the cell height, which is how a
// window description states its fonts.
FontHandle MakeFont(const FontParams& font) {
    return FontHandle(CreateFontA(-font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE,
                                  FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                  font.face));
}

int PointsToPixels(int points) {
    const WindowDc screen(nullptr);
    const int dpi = screen.dc() ? GetDeviceCaps(screen.dc(), LOGPIXELSY) : 96;
    return MulDiv(points, dpi > 0 ? dpi : 96, 72);
}

}  // namespace kv
