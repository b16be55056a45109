#pragma once
#include <windows.h>

#include <functional>

#include "toolkit/Controls.h"
#include "toolkit/Handle.h"

namespace kv {

struct PictureParams {
    ControlParams control;
    const char* resource = nullptr;  // an RCDATA resource holding a JPEG (or BMP, GIF) file
    COLORREF background = RGB(0xFF, 0xFF, 0xFF);  // around a picture smaller than the control
    bool handCursor = false;
};

// A picture from the program's resources on a native STATIC (SS_BITMAP, SS_NOTIFY): a picture
// larger than the control is scaled down to fit, keeping its proportions, and centred; a
// smaller one is shown at its own size. OnClick follows a click, OnMouseMove every mouse move
// over it.
class Picture : public Control {
public:
    void Create(Form& parent, const PictureParams& params);

    // The picture's own size, or 0 x 0 when the resource could not be read.
    [[nodiscard]] SIZE PictureSize() const noexcept { return pictureSize_; }

    std::function<void()> OnClick;
    std::function<void()> OnMouseMove;

private:
    void Command(int code) override;
    LRESULT Subclassed(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DpiChanged() override { Show(); }
    // Makes the control's face for its present size and hands it to the control.
    void Show();

    const char* resource_ = nullptr;
    COLORREF background_ = 0;
    BitmapHandle shown_;  // the control's size, owned here: STM_SETIMAGE does not take it
    SIZE pictureSize_{};
    bool handCursor_ = false;
};

}  // namespace kv
