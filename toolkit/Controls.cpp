#include "toolkit/Controls.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <exception>
#include <stdexcept>
#include <utility>

#include "toolkit/App.h"

namespace kv {

// ---- Control

Control::~Control() {
    if (!hwnd_ || !IsWindow(hwnd_)) return;
    if (subclassed_) RemoveWindowSubclass(hwnd_, SubclassThunk, 0);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
}

void Control::CreateNative(Form& parent, const char* className, const ControlParams& params,
                           DWORD style, DWORD exStyle) {
    parent_ = &parent;
    id_ = params.id;
    align_ = params.align;
    // Controls may overlap a panel: each one paints only where no sibling above it lies.
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (params.visible) style |= WS_VISIBLE;
    if (params.tabStop) style |= WS_TABSTOP;
    design_ = params.bounds;
    const Rect b = parent.Scale(design_);
    const HWND hwnd = CreateWindowExA(exStyle, className, params.text.c_str(), style, b.left, b.top,
                                      b.width, b.height, parent.Handle(),
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(params.id)),
                                      App::Instance(), nullptr);
    if (!hwnd)
        throw std::runtime_error(std::string("Cannot create a control of class ") + className);
    Attach(hwnd);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(parent.Font()), FALSE);
    parent.controls_.push_back(this);
    if (align_ != Align::None) parent.aligned_.push_back(this);
}

void Control::SetBounds(const Rect& b) {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (parent_) {
        const int dpi = parent_->Dpi();
        design_ = {MulDiv(b.left, kDesignDpi, dpi), MulDiv(b.top, kDesignDpi, dpi),
                   MulDiv(b.width, kDesignDpi, dpi), MulDiv(b.height, kDesignDpi, dpi)};
    }
}

// A font given in real pixels is scaled by the ratio of the two DPIs; one given in design
// pixels is made afresh from them.
void Control::Rescale(int oldDpi) {
    if (!hwnd_ || !parent_) return;
    const Rect b = parent_->Scale(design_);
    SetWindowPos(hwnd_, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (fontParams_) {
        const FontParams font = *fontParams_;  // SetFont replaces the stored params
        SetFont(font);
    } else if (font_) {
        LOGFONTA font{};
        if (GetObjectA(font_.get(), sizeof(font), &font) == sizeof(font)) {
            font.lfHeight = MulDiv(font.lfHeight, parent_->Dpi(), oldDpi);
            font.lfWidth = MulDiv(font.lfWidth, parent_->Dpi(), oldDpi);
            SetFont(FontHandle(CreateFontIndirectA(&font)));
        }
    } else {
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(parent_->Font()), FALSE);
    }
    DpiChanged();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

Rect Control::Bounds() const {
    RECT r{};
    if (!hwnd_) return {};
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Control::SendToBack() {
    if (hwnd_)
        SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// A hidden form cannot take the focus yet; it hands it on when it is shown and activated.
void Control::SetFocus() {
    if (!hwnd_ || !parent_) return;
    parent_->focus_ = hwnd_;
    if (IsWindowVisible(parent_->Handle()) && IsWindowVisible(hwnd_)) ::SetFocus(hwnd_);
}

// The control lets go of its old font before that font is deleted.
void Control::SetFont(FontHandle font) {
    fontParams_.reset();
    const FontHandle old = std::exchange(font_, std::move(font));
    if (hwnd_)
        SendMessageA(hwnd_, WM_SETFONT,
                     reinterpret_cast<WPARAM>(font_ ? font_.get() : parent_->Font()), TRUE);
}

void Control::SetFont(const FontParams& font) {
    SetFont(MakeFont(ScaledFont(font, parent_ ? parent_->Dpi() : kDesignDpi)));
    fontParams_ = font;
}

void Control::Subclass() {
    if (hwnd_ && !subclassed_)
        subclassed_ = SetWindowSubclass(hwnd_, SubclassThunk, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK Control::SubclassThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR self) noexcept {
    auto* control = reinterpret_cast<Control*>(self);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, SubclassThunk, 0);
        control->subclassed_ = false;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    try {
        return control->Subclassed(message, wParam, lParam);
    } catch (const std::exception& e) {
        App::ShowException(e.what());
    } catch (...) {
        App::ShowException("Unknown error");
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT Control::Subclassed(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(hwnd_, message, wParam, lParam);
}

// ---- Button, Edit, Label, GroupBox

void Button::Create(Form& parent, const ControlParams& params) {
    CreateNative(parent, "BUTTON", params, BS_PUSHBUTTON | WS_GROUP);
}

void Button::Command(int code) {
    if (code != BN_CLICKED) return;
    if (OnClick) OnClick();
    if (modalResult != ModalResult::None && Parent()) Parent()->SetModalResult(modalResult);
}

void Edit::Create(Form& parent, const EditParams& params) {
    DWORD style = ES_AUTOHSCROLL | WS_GROUP;
    if (params.readOnly) style |= ES_READONLY;
    if (params.numeric) style |= ES_NUMBER;
    if (params.rightAligned) style |= ES_RIGHT;
    if (params.multiLine)
        style = (style & ~ES_AUTOHSCROLL) | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
    CreateNative(parent, "EDIT", params.control, style, WS_EX_CLIENTEDGE);
}

void Label::Create(Form& parent, const ControlParams& params, bool centred) {
    ControlParams p = params;
    p.tabStop = false;
    CreateNative(parent, "STATIC", p, (centred ? SS_CENTER : SS_LEFT) | SS_CENTERIMAGE | WS_GROUP);
}

void GroupBox::Create(Form& parent, const ControlParams& params) {
    ControlParams p = params;
    p.tabStop = false;
    CreateNative(parent, "BUTTON", p, BS_GROUPBOX | WS_GROUP);
}

// ---- ListBox

void ListBox::Create(Form& parent, const ControlParams& params) {
    CreateNative(parent, "LISTBOX", params,
                 LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_GROUP, WS_EX_CLIENTEDGE);
    listProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd_, GWLP_WNDPROC));
    Subclass();
}

void ListBox::Clear() {
    SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
}

// Straight to the list box's own procedure: the subclass has nothing to do with an added item,
// and on Wine the trip through it costs several times the adding itself, which counts when a
// term lists a million entries.
void ListBox::Add(std::string_view item) {
    const std::string text(item);
    const LPARAM lParam = reinterpret_cast<LPARAM>(text.c_str());
    if (listProc_)
        CallWindowProcA(listProc_, hwnd_, LB_ADDSTRING, 0, lParam);
    else
        SendMessageA(hwnd_, LB_ADDSTRING, 0, lParam);
}

void ListBox::BeginUpdate(std::size_t expected) {
    SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
    const std::size_t count = std::min<std::size_t>(expected, INT_MAX / 64);
    SendMessageA(hwnd_, LB_INITSTORAGE, count, static_cast<LPARAM>(count * 64));
}

void ListBox::EndUpdate() {
    SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

int ListBox::Count() const {
    const LRESULT count = SendMessageA(hwnd_, LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

// The item is asked for in UTF-16 and turned back into the ANSI code page here. The subclassed
// list answers in UTF-16, and Wine converts the ANSI request through a stack buffer of 512
// characters: an item longer than that (an index line can be of any length) overran it and
// crashed the program.
std::string ListBox::Item(int index) const {
    const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(wide.data()));
    if (copied == LB_ERR || copied <= 0) return {};
    const int size = static_cast<int>(std::min(copied, length));
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), size, text.data(), bytes, nullptr, nullptr);
    return text;
}

int ListBox::ItemIndex() const {
    const LRESULT index = SendMessageA(hwnd_, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void ListBox::SetItemIndex(int index) {
    SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ListBox::ItemHeight() const {
    const LRESULT height = SendMessageA(hwnd_, LB_GETITEMHEIGHT, 0, 0);
    return height == LB_ERR ? 0 : static_cast<int>(height);
}

void ListBox::Command(int code) {
    if (code == LBN_SELCHANGE && OnClick) OnClick();
    if (code == LBN_DBLCLK && OnDblClick) OnDblClick();
}

// The dialog manager would turn Enter and Escape into IDOK and IDCANCEL for the form; a list
// with a key handler asks for them itself.
LRESULT ListBox::Subclassed(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETDLGCODE) {
        LRESULT code = Control::Subclassed(message, wParam, lParam);
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (OnKeyDown && msg && msg->message == WM_KEYDOWN &&
            (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    if (message == WM_KEYDOWN && OnKeyDown) OnKeyDown(static_cast<WORD>(wParam));
    return Control::Subclassed(message, wParam, lParam);
}

// ---- StatusBar

void StatusBar::Create(Form& parent, const ControlParams& params, int height,
                       std::vector<int> widths) {
    ControlParams p = params;
    p.tabStop = false;
    p.align = Align::Bottom;
    p.bounds.height = height;
    height_ = height;
    widths_ = std::move(widths);
    // The bar takes the size its form gives it instead of working out its own height.
    CreateNative(parent, STATUSCLASSNAMEA, p, SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN);
    ApplyParts();
}

void StatusBar::ApplyParts() {
    if (!hwnd_ || widths_.empty()) return;
    std::vector<int> edges(widths_.size());
    int right = 0;
    for (std::size_t i = 0; i < widths_.size(); ++i) {
        right += Parent() ? Parent()->Scale(widths_[i]) : widths_[i];
        edges[i] = i + 1 == widths_.size() ? -1 : right;
    }
    SendMessageA(hwnd_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void StatusBar::DpiChanged() {
    ApplyParts();
}

void StatusBar::SetPanelWidth(int panel, int width) {
    if (panel < 0 || static_cast<std::size_t>(panel) >= widths_.size()) return;
    widths_[static_cast<std::size_t>(panel)] = width;
    ApplyParts();
}

std::string StatusBar::PanelText(int panel) const {
    const LRESULT info = SendMessageA(hwnd_, SB_GETTEXTLENGTHA, static_cast<WPARAM>(panel), 0);
    const std::size_t length = LOWORD(info);
    std::string text(length + 1, '\0');
    SendMessageA(hwnd_, SB_GETTEXTA, static_cast<WPARAM>(panel),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

void StatusBar::SetPanelText(int panel, std::string_view text) {
    SendMessageA(hwnd_, SB_SETTEXTA, static_cast<WPARAM>(panel),
                 reinterpret_cast<LPARAM>(std::string(text).c_str()));
}

void StatusBar::SetSimpleText(std::string_view text) {
    SendMessageA(hwnd_, SB_SETTEXTA, SB_SIMPLEID,
                 reinterpret_cast<LPARAM>(std::string(text).c_str()));
}

void StatusBar::Resized() {
    const Rect bounds = Bounds();
    if (bounds.width == lastSize_.cx && bounds.height == lastSize_.cy) return;
    lastSize_ = {bounds.width, bounds.height};
    if (OnResize) OnResize();
}

// ---- RadioGroup

// One radio button of a group; it reports its clicks to the group, which owns the selection.
class RadioGroup::RadioButton : public Control {
public:
    RadioButton(RadioGroup& group, int index) : group_(group), index_(index) {}
    void Create(Form& parent, const ControlParams& params) {
        CreateNative(parent, "BUTTON", params, BS_RADIOBUTTON | (index_ == 0 ? WS_GROUP : 0));
        Subclass();
    }
    [[nodiscard]] bool Transparent() const override { return true; }

private:
    void Command(int code) override {
        if (code == BN_CLICKED) group_.SetItemIndex(index_);
    }
    // The arrow keys move the selection within the group, wrapping at its ends, and the focus
    // goes along; the dialog manager's own group walk differs between platforms.
    LRESULT Subclassed(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_GETDLGCODE)
            return Control::Subclassed(message, wParam, lParam) | DLGC_WANTARROWS;
        if (message == WM_SETCURSOR) {
            SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
            return TRUE;
        }
        if (message == WM_KEYDOWN) {
            const int step = wParam == VK_DOWN || wParam == VK_RIGHT ? 1
                             : wParam == VK_UP || wParam == VK_LEFT  ? -1
                                                                     : 0;
            if (step != 0) {
                group_.Step(index_, step);
                return 0;
            }
        }
        return Control::Subclassed(message, wParam, lParam);
    }
    RadioGroup& group_;
    int index_;
};

RadioGroup::RadioGroup() = default;
RadioGroup::~RadioGroup() = default;

void RadioGroup::Create(Form& parent, const RadioGroupParams& params) {
    const int columns = std::max(1, params.columns);
    const int count = static_cast<int>(params.items.size());
    const int rows = (count + columns - 1) / columns;
    const int width = params.bounds.width / columns;
    for (int i = 0; i < count; ++i) {
        auto button = std::make_unique<RadioButton>(*this, i);
        // Filled column by column, as a radio group with several columns reads.
        const int column = rows ? i / rows : 0;
        const int row = rows ? i % rows : 0;
        button->Create(parent, {.id = params.firstId + i,
                                .bounds = {params.bounds.left + column * width,
                                           params.bounds.top + row * params.itemHeight, width,
                                           params.itemHeight},
                                .text = params.items[static_cast<std::size_t>(i)],
                                .tabStop = i == 0});
        buttons_.push_back(std::move(button));
    }
}

// Only the selected button, or the first while none is, is a tab stop, so Tab enters the
// group once and the arrow keys move within it.
void RadioGroup::SetItemIndex(int index) {
    index = std::clamp(index, -1, Count() - 1);
    if (index == itemIndex_) return;
    itemIndex_ = index;
    for (int i = 0; i < Count(); ++i) {
        const HWND hwnd = ItemHandle(i);
        SendMessageA(hwnd, BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED, 0);
        const bool tabStop = i == (index < 0 ? 0 : index);
        LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
        style = tabStop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
        SetWindowLongPtrA(hwnd, GWL_STYLE, style);
    }
    if (OnClick) OnClick();
}

void RadioGroup::Step(int from, int step) {
    const int count = Count();
    if (count == 0) return;
    const int to = ((from + step) % count + count) % count;
    SetItemIndex(to);
    buttons_[static_cast<std::size_t>(to)]->SetFocus();
}

std::string RadioGroup::Item(int index) const {
    return index >= 0 && index < Count() ? buttons_[static_cast<std::size_t>(index)]->Text()
                                         : std::string();
}

void RadioGroup::SetItem(int index, std::string_view text) {
    if (index >= 0 && index < Count()) buttons_[static_cast<std::size_t>(index)]->SetText(text);
}

HWND RadioGroup::ItemHandle(int index) const {
    return index >= 0 && index < Count() ? buttons_[static_cast<std::size_t>(index)]->Handle()
                                         : nullptr;
}

void RadioGroup::SetFocus() {
    if (!buttons_.empty()) buttons_[static_cast<std::size_t>(std::max(itemIndex_, 0))]->SetFocus();
}

// ---- Menus

std::string MenuItem::Caption() const {
    if (!menu_) return {};
    const int length = GetMenuStringA(menu_, static_cast<UINT>(id_), nullptr, 0, MF_BYCOMMAND);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied =
        GetMenuStringA(menu_, static_cast<UINT>(id_), text.data(), length + 1, MF_BYCOMMAND);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void MenuItem::SetCaption(std::string_view caption) {
    if (!menu_) return;
    std::string text(caption);
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    SetMenuItemInfoA(menu_, static_cast<UINT>(id_), FALSE, &info);
    if (owner_) DrawMenuBar(owner_);
}

void MainMenu::Create(Form& parent) {
    parent_ = &parent;
    bar_.reset(CreateMenu());
    if (!bar_) throw std::runtime_error("Cannot create a menu");
}

// A popup belongs to the menu it is appended to, and goes with it.
HMENU MainMenu::AddPopup(HMENU menu, std::string_view caption) {
    const HMENU popup = CreatePopupMenu();
    if (!popup) throw std::runtime_error("Cannot create a menu");
    if (!AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                     std::string(caption).c_str())) {
        DestroyMenu(popup);
        throw std::runtime_error("Cannot create a menu");
    }
    return popup;
}

void MainMenu::AddItem(HMENU menu, MenuItem& item, int id, std::string_view caption) {
    AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(id), std::string(caption).c_str());
    item.menu_ = menu;
    item.id_ = id;
    item.owner_ = parent_ ? parent_->Handle() : nullptr;
    items_.push_back(&item);
}

void MainMenu::AddSeparator(HMENU menu) {
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
}

void MainMenu::Attach() {
    if (!parent_ || !bar_) return;
    if (!SetMenu(parent_->Handle(), bar_.get())) throw std::runtime_error("Cannot set the menu");
    attached_ = bar_.release();
    parent_->menu_ = this;
}

void MainMenu::Command(int id) {
    for (MenuItem* item : items_)
        if (item->id_ == id) {
            if (item->OnClick) item->OnClick();
            return;
        }
}

}  // namespace kv
