#pragma once
#include <windows.h>

#include "toolkit/Controls.h"
#include "toolkit/Gradient.h"
#include "toolkit/Handle.h"

namespace kv {

struct GlowButtonParams {
    ControlParams control;
    FontParams font{.face = "Arial", .height = 18, .bold = true};
    bool checkPicture = false;  // a 64 x 64 green check mark in place of the caption
};

// A push button that we draw ourselves (BS_OWNERDRAW, so the caption stays its window text
// and the dialog manager's Tab, Space and Alt+letter keep working): a rounded face that glows
// while the mouse is over it, a hand cursor, and Enter clicks it when it has the focus.
class GlowButton : public Button {
public:
    void Create(Form& parent, const GlowButtonParams& params);
    [[nodiscard]] bool Hot() const noexcept { return hot_; }

private:
    void DrawItem(const DRAWITEMSTRUCT& item) override;
    LRESULT Subclassed(UINT message, WPARAM wParam, LPARAM lParam) override;
    void SetHot(bool hot);

    FontHandle captionFont_;
    FontHandle narrowFont_;  // for a caption too wide for the button in its own font
    BitmapHandle picture_;
    MemoryDc pictureDc_;  // after its bitmap, so that it goes first
    Unique<GdiObjectTraits<HRGN>> face_;
    BrushHandle border_;
    BrushHandle hotBorder_;
    GradientBrush normal_;
    GradientBrush hotFill_;
    GradientBrush pressed_;
    bool hot_ = false;
};

// A 64 x 64 picture with an alpha channel (premultiplied): a white check mark on a green
// rounded square.
BitmapHandle MakeCheckPicture();

}  // namespace kv
