#include "toolkit/PageControl.h"

namespace kv {

// The old page goes first, so that no two pages are ever seen together.
void PageControl::SetActivePage(TabPage& page) {
    active_ = &page;
    for (TabPage* other : pages_)
        if (other != &page)
            for (Control* control : other->controls_) control->SetVisible(false);
    for (Control* control : page.controls_) control->SetVisible(true);
}

}  // namespace kv
