#pragma once
#include <windows.h>

#include <functional>

#include "toolkit/Controls.h"
#include "toolkit/Gradient.h"
#include "toolkit/Handle.h"

namespace kv {

struct GlowButtonParams {
    ControlParams control;
    FontParams font{.face = "Arial", .height = 18, .bold = true};
    // The check mark of the buttons that close a window in place of the caption: the
    // program's BITMAP resource KLAAR, 64 x 64 at 32 bits with premultiplied alpha, scaled
    // with the DPI. A program without that resource shows a plain button.
    bool checkPicture = false;
};

// A push button that we draw ourselves (BS_OWNERDRAW, so the caption stays its window text
// and the dialog manager's Tab, Space and Alt+letter keep working): a rounded face that glows
// while the mouse is over it, a hand cursor, and Enter clicks it when it has the focus.
class GlowButton : public Button {
public:
    void Create(Form& parent, const GlowButtonParams& params);
    [[nodiscard]] bool Hot() const noexcept { return hot_; }

    // When set, every key pressed while the button has the focus comes here, Tab, Escape and
    // Alt combinations included, and does nothing else.
    std::function<void(WORD key)> OnKeyDown;

private:
    void Build();
    void DpiChanged() override;
    void DrawItem(const DRAWITEMSTRUCT& item) override;
    LRESULT Subclassed(UINT message, WPARAM wParam, LPARAM lParam) override;
    void SetHot(bool hot);

    FontParams font_{};
    FontHandle captionFont_;
    FontHandle narrowFont_;  // for a caption too wide for the button in its own font
    BitmapHandle loaded_;    // the picture as the resource holds it
    BitmapHandle picture_;   // the picture at the form's DPI, when that is not the design DPI
    MemoryDc pictureDc_;     // after its bitmaps, so that it goes first
    int pictureSize_ = 0;
    Unique<GdiObjectTraits<HRGN>> face_;
    BrushHandle border_;
    BrushHandle hotBorder_;
    GradientBrush normal_;
    GradientBrush hotFill_;
    GradientBrush pressed_;
    bool hot_ = false;
};

}  // namespace kv
