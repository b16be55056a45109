#pragma once
#include <windows.h>

#include <vector>

#include "toolkit/Handle.h"

namespace kv {

// One stretch of a vertical gradient: `height` rows going from `from` to `to`.
struct GradientBand {
    int height = 0;
    COLORREF from = 0;
    COLORREF to = 0;
};

// A brush one pixel wide holding the bands from top to bottom; it repeats sideways, so one
// FillRect paints a gradient of any width. Made once per size, not per paint.
struct GradientBrush {
    BitmapHandle bitmap;
    BrushHandle brush;
};

GradientBrush MakeVerticalGradient(const std::vector<GradientBand>& bands);

// The colour `step` of `steps` of the way from `from` to `to`.
COLORREF Blend(COLORREF from, COLORREF to, int step, int steps);

}  // namespace kv
