#include "toolkit/Gradient.h"

#include <algorithm>
#include <cstdint>

#include "toolkit/Gdi.h"

namespace kv {

COLORREF Blend(COLORREF from, COLORREF to, int step, int steps) {
    if (steps <= 1) return from;
    const auto mix = [&](int a, int b) { return a + (b - a) * step / (steps - 1); };
    return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
               mix(GetBValue(from), GetBValue(to)));
}

GradientBrush MakeVerticalGradient(const std::vector<GradientBand>& bands) {
    int height = 0;
    for (const GradientBand& band : bands) height += std::max(0, band.height);
    height = std::max(1, height);

    std::uint32_t* pixel = nullptr;
    GradientBrush result;
    result.bitmap = MakeTopDownDib(1, height, pixel);
    if (!result.bitmap) return result;

    int row = 0;
    for (const GradientBand& band : bands)
        for (int i = 0; i < band.height && row < height; ++i, ++row) {
            const COLORREF c = Blend(band.from, band.to, i, band.height);
            pixel[row] = (DWORD{GetRValue(c)} << 16) | (DWORD{GetGValue(c)} << 8) | GetBValue(c);
        }
    for (; row < height; ++row) pixel[row] = row ? pixel[row - 1] : 0;
    GdiFlush();
    result.brush.reset(CreatePatternBrush(result.bitmap.get()));
    return result;
}

}  // namespace kv
