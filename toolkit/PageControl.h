#pragma once
#include <vector>

#include "toolkit/Controls.h"

namespace kv {

class PageControl;

// One page of a page control: the controls that show while it is the active page.
class TabPage {
public:
    void Add(Control& control) { controls_.push_back(&control); }

private:
    friend class PageControl;
    std::vector<Control*> controls_;
};

// Pages without tabs, laid over each other in one place of the form and switched by code
// only: the active page's controls are shown, every other page's are hidden.
class PageControl {
public:
    void AddPage(TabPage& page) { pages_.push_back(&page); }
    void SetActivePage(TabPage& page);
    [[nodiscard]] const TabPage* ActivePage() const noexcept { return active_; }

private:
    std::vector<TabPage*> pages_;
    TabPage* active_ = nullptr;
};

}  // namespace kv
