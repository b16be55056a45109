#pragma once
#include <windows.h>

#include "toolkit/Controls.h"
#include "toolkit/Handle.h"

namespace kv {

struct CircularProgressParams {
    ControlParams control;
    COLORREF active = RGB(0xFF, 0xFF, 0x00);
    COLORREF inactive = RGB(0x88, 0xAE, 0xE4);
    COLORREF progress = RGB(0x59, 0x87, 0xD6);
    int segments = 12;
};

// The busy indicator: segments in a circle, one of them lit, moving on one step every 100 ms
// while the control is enabled; disabled, it stands still. The steps run from the message
// queue (a window timer), so they come whenever the program lets its messages run.
class CircularProgress : public Control {
public:
    void Create(Form& parent, const CircularProgressParams& params);
    void Start() { SetEnabled(true); }
    void Stop() { SetEnabled(false); }
    [[nodiscard]] int Step() const noexcept { return step_; }
    [[nodiscard]] bool Transparent() const override { return true; }

    static constexpr UINT kStepMs = 100;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void MakeBuffer();
    void DpiChanged() override;
    void Paint();
    void Draw(HDC dc, const RECT& client) const;
    void Running(bool running);

    CircularProgressParams params_{};
    BrushHandle active_;
    BrushHandle inactive_;
    BrushHandle progress_;
    BitmapHandle bufferBitmap_;
    MemoryDc buffer_;  // after its bitmap, so that it goes first
    int step_ = 0;
    bool timer_ = false;
};

}  // namespace kv
