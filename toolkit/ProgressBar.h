#pragma once
#include <windows.h>

#include "toolkit/Controls.h"
#include "toolkit/Handle.h"

namespace kv {

// A smooth bar with a border, from 0 to Max, of a class of its own ("KvProgressBar") that
// answers the common progress messages (PBM_SETRANGE, PBM_SETRANGE32, PBM_SETPOS, PBM_GETPOS,
// PBM_GETRANGE). Its colour shows the level reached: green below 70 % of the scale, yellow
// from 70 %, red from 90 %; a position above the maximum shows a full red bar. Position
// keeps the value set; PBM_GETPOS gives it limited to the scale, as the common control does.
class ProgressBar : public Control {
public:
    void Create(Form& parent, const ControlParams& params);
    [[nodiscard]] int Max() const noexcept { return max_; }
    void SetMax(int max);
    [[nodiscard]] int Position() const noexcept { return position_; }
    void SetPosition(int position);
    [[nodiscard]] int Level() const noexcept;  // 0, 1 or 2

    static constexpr COLORREF kLevelColors[3] = {RGB(0x32, 0xCD, 0x32), RGB(0xFF, 0xD7, 0x00),
                                                 RGB(0xE8, 0x30, 0x30)};

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    [[nodiscard]] int FilledWidth(int inner) const noexcept;
    void Changed(int oldLevel, int oldWidth);
    void Paint();
    [[nodiscard]] int InnerWidth() const;
    [[nodiscard]] int Border() const;

    int max_ = 100;
    int position_ = 0;
    BrushHandle levels_[3];
    BrushHandle empty_;
    BrushHandle border_;
};

}  // namespace kv
