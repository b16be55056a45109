#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "toolkit/Controls.h"
#include "toolkit/Gradient.h"
#include "toolkit/MarkupText.h"

namespace kv {

// The colours that the panels of a window share.
struct PanelColors {
    COLORREF from = RGB(0xDA, 0xEA, 0xFD);         // top of the body
    COLORREF to = RGB(0x88, 0xAE, 0xE4);           // bottom of the body
    COLORREF captionFrom = RGB(0x59, 0x87, 0xD6);  // top of the caption bar
    COLORREF captionTo = RGB(0x03, 0x38, 0x93);    // bottom of the caption bar
    COLORREF captionText = RGB(0xFF, 0xFF, 0xFF);
    COLORREF border = RGB(0x00, 0x2D, 0x96);
};

class GradientPanel;

// Holds one set of panel colours and gives it to each panel it styles, so that the panels of
// a window look alike. The default set is the blue of the settings and info windows.
class PanelStyler {
public:
    static PanelColors Office2003Blue() { return {}; }
    PanelColors colors = Office2003Blue();
    void Apply(GradientPanel& panel) const;
};

struct PanelParams {
    ControlParams control;
    int captionHeight = 0;  // 0: no caption bar; design pixels, as is CaptionHeight()
    bool border = false;
    FontParams captionFont{.face = "Arial", .height = 18};
    int shadowOffset = 2;  // of SHAD text, right and down
};

// A panel filled with a vertical gradient, with an optional caption bar across its top whose
// caption is mark-up (ui/Markup.h). Without a caption bar the caption is drawn on the panel's
// body, centred vertically. The window text is the caption as given, tags included.
// Other controls sit on it as its siblings; transparent ones show its gradient (Backdrop).
class GradientPanel : public Control {
public:
    void Create(Form& parent, const PanelParams& params);

    void SetColors(const PanelColors& colors);
    [[nodiscard]] int CaptionHeight() const noexcept { return captionHeight_; }
    void SetCaptionHeight(int height);
    [[nodiscard]] std::string Caption() const { return Text(); }
    void SetCaption(std::string_view markup) { SetText(markup); }

    [[nodiscard]] HBRUSH Backdrop() const override { return fill_.brush.get(); }

    std::function<void()> OnMouseMove;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Rebuild();
    void Paint();
    void SetMarkup(std::string_view markup);
    void DpiChanged() override;
    [[nodiscard]] int DpiOfParent() const;
    [[nodiscard]] int CaptionPixels() const;  // the caption bar's height in real pixels
    // Where the caption is drawn: the bar, or the whole body when there is none.
    [[nodiscard]] RECT CaptionArea() const;

    PanelColors colors_{};
    int captionHeight_ = 0;
    bool border_ = false;
    FontParams captionFont_{};
    int shadowOffset_ = 2;
    GradientBrush fill_;
    BrushHandle borderBrush_;
    MarkupText caption_;
    int builtHeight_ = -1;
};

}  // namespace kv
