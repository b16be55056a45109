#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Form.h"
#include "toolkit/Handle.h"
#include "toolkit/Window.h"

namespace kv {

enum class Align { None, Bottom, Client };

// Two kinds of pixels. Everything a control is created from (ControlParams, the fonts and
// sizes of the other params structs) and the sizes that the controls draw with are design
// pixels, for a screen of 96 DPI; the form scales them to its own DPI, also when it moves to a
// monitor of another DPI, so that the windows' code keeps its design numbers. What is read
// from or set on a live control (Bounds, SetBounds, ItemHeight, text extents) is in the
// window's real pixels, the ones Windows itself speaks. The exceptions say so where declared
// (GradientPanel's caption height, StatusBar's panel widths).

// What every control is created from: its id, its place in the form, its text.
struct ControlParams {
    int id = 0;
    Rect bounds{};
    std::string text{};
    bool visible = true;
    bool tabStop = true;
    Align align = Align::None;
};

// A child window of a form. The form decodes WM_COMMAND once and hands the notification
// code to the control that sent it (Command).
class Control : public Window {
public:
    ~Control() override;

    [[nodiscard]] int Id() const noexcept { return id_; }
    [[nodiscard]] Form* Parent() const noexcept { return parent_; }
    [[nodiscard]] Align Alignment() const noexcept { return align_; }

    // In the parent's client coordinates, real pixels.
    void SetBounds(const Rect& bounds);
    [[nodiscard]] Rect Bounds() const;
    // Focuses the control now, or when its form is next activated if the form is hidden.
    void SetFocus();
    // A font in real pixels, which the control owns from then on; a change of DPI scales it.
    void SetFont(FontHandle font);
    // A font in design pixels, made at the form's DPI and made again when the DPI changes.
    void SetFont(const FontParams& font);
    // Puts the control below its siblings, as a panel that other controls sit on.
    void SendToBack();

    // A control that shows the panel beneath it through its background: the form answers its
    // WM_CTLCOLORSTATIC / WM_CTLCOLORBTN with that panel's brush.
    [[nodiscard]] virtual bool Transparent() const { return false; }
    // The brush that fills this control's client area, for the controls that sit on it;
    // null for a control that is no panel.
    [[nodiscard]] virtual HBRUSH Backdrop() const { return nullptr; }

protected:
    Control() = default;
    void CreateNative(Form& parent, const char* className, const ControlParams& params, DWORD style,
                      DWORD exStyle = 0);
    // Routes the control's own messages through Subclassed, for controls that handle keys.
    void Subclass();
    virtual LRESULT Subclassed(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class Form;
    virtual void Command(int /*code*/) {}
    virtual void Resized() {}
    // Puts the control at its design place and size at the form's new DPI, with its font.
    void Rescale(int oldDpi);
    // What a control that draws itself makes again at a new DPI: fonts, shapes, pictures.
    virtual void DpiChanged() {}
    // WM_DRAWITEM of an owner-drawn control, which the form hands on.
    virtual void DrawItem(const DRAWITEMSTRUCT& /*item*/) {}
    static LRESULT CALLBACK SubclassThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR self) noexcept;

    Form* parent_ = nullptr;
    int id_ = 0;
    Align align_ = Align::None;
    Rect design_{};  // the bounds in design pixels
    FontHandle font_;
    std::optional<FontParams> fontParams_;  // when font_ was made from design pixels
    bool subclassed_ = false;
};

class Button : public Control {
public:
    void Create(Form& parent, const ControlParams& params);

    std::function<void()> OnClick;
    // Anything but None closes the modal form once OnClick has run.
    ModalResult modalResult = ModalResult::None;

private:
    void Command(int code) override;
};

struct EditParams {
    ControlParams control;
    bool readOnly = false;
    bool numeric = false;
    bool rightAligned = false;
    bool multiLine = false;  // wraps long lines, with a vertical scroll bar
};

class Edit : public Control {
public:
    void Create(Form& parent, const EditParams& params);
};

// A caption on the form's background; on a panel it shows the panel's gradient behind it.
class Label : public Control {
public:
    void Create(Form& parent, const ControlParams& params, bool centred = false);
    [[nodiscard]] std::string Caption() const { return Text(); }
    void SetCaption(std::string_view caption) { SetText(caption); }
    [[nodiscard]] bool Transparent() const override { return true; }
};

// A frame with a caption around a group of controls (a plain BS_GROUPBOX).
class GroupBox : public Control {
public:
    void Create(Form& parent, const ControlParams& params);
};

// A single-selection list of text items. OnClick follows every change of the selection by
// the user; a selection set by code reports nothing.
class ListBox : public Control {
public:
    void Create(Form& parent, const ControlParams& params);

    void Clear();
    void Add(std::string_view item);
    // Around many Adds: the list neither repaints nor updates its scroll bar until EndUpdate,
    // and makes room for `expected` items at once.
    void BeginUpdate(std::size_t expected);
    void EndUpdate();
    [[nodiscard]] int Count() const;
    [[nodiscard]] std::string Item(int index) const;
    [[nodiscard]] int ItemIndex() const;  // -1 when nothing is selected
    void SetItemIndex(int index);
    [[nodiscard]] int ItemHeight() const;

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void(WORD key)> OnKeyDown;

private:
    void Command(int code) override;
    LRESULT Subclassed(UINT message, WPARAM wParam, LPARAM lParam) override;

    WNDPROC listProc_ = nullptr;  // the list box class's own procedure, before the subclass
};

// A status bar along the bottom of its form, split into panels of given widths; the last
// panel runs to the right edge. Its height and the panel widths are design pixels.
class StatusBar : public Control {
public:
    void Create(Form& parent, const ControlParams& params, int height, std::vector<int> widths);

    void SetPanelWidth(int panel, int width);
    [[nodiscard]] std::string PanelText(int panel) const;
    void SetPanelText(int panel, std::string_view text);
    // The text of the simple mode, which shows only while the bar is in that mode.
    void SetSimpleText(std::string_view text);
    [[nodiscard]] int Height() const noexcept { return height_; }  // design pixels

    std::function<void()> OnResize;

private:
    void ApplyParts();
    void Resized() override;
    void DpiChanged() override;

    std::vector<int> widths_;
    int height_ = 0;
    SIZE lastSize_{};
};

struct RadioGroupParams {
    int firstId = 0;  // items get firstId, firstId + 1, ...
    Rect bounds{};
    int columns = 1;
    int itemHeight = 24;
    std::vector<std::string> items{};
};

// Radio buttons of which at most one is selected; -1 selects none. A change of the
// selection, by the user or by code, reports a click; replacing an item's text does not.
class RadioGroup {
public:
    RadioGroup();
    ~RadioGroup();
    RadioGroup(const RadioGroup&) = delete;
    RadioGroup& operator=(const RadioGroup&) = delete;

    void Create(Form& parent, const RadioGroupParams& params);

    [[nodiscard]] int Count() const noexcept { return static_cast<int>(buttons_.size()); }
    [[nodiscard]] int ItemIndex() const noexcept { return itemIndex_; }
    // Clamped to -1 .. Count() - 1; a value that does not change the selection does nothing.
    void SetItemIndex(int index);
    [[nodiscard]] std::string Item(int index) const;
    void SetItem(int index, std::string_view text);
    [[nodiscard]] HWND ItemHandle(int index) const;
    void SetFocus();

    std::function<void()> OnClick;

private:
    class RadioButton;
    void Step(int from, int step);
    std::vector<std::unique_ptr<RadioButton>> buttons_;
    int itemIndex_ = -1;
};

class MenuItem {
public:
    MenuItem() = default;
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    [[nodiscard]] int Id() const noexcept { return id_; }
    [[nodiscard]] std::string Caption() const;
    void SetCaption(std::string_view caption);

    std::function<void()> OnClick;

private:
    friend class MainMenu;
    HMENU menu_ = nullptr;
    HWND owner_ = nullptr;
    int id_ = 0;
};

// A form's menu bar. Popups hold command items; a command item may also sit on the bar.
class MainMenu {
public:
    MainMenu() = default;
    MainMenu(const MainMenu&) = delete;
    MainMenu& operator=(const MainMenu&) = delete;

    void Create(Form& parent);
    [[nodiscard]] HMENU Bar() const noexcept { return bar_.get() ? bar_.get() : attached_; }
    HMENU AddPopup(HMENU menu, std::string_view caption);
    void AddItem(HMENU menu, MenuItem& item, int id, std::string_view caption);
    void AddSeparator(HMENU menu);
    // Puts the bar on the form, which owns it from then on.
    void Attach();

private:
    friend class Form;
    void Command(int id);

    Form* parent_ = nullptr;
    MenuHandle bar_;
    HMENU attached_ = nullptr;
    std::vector<MenuHandle> pendingPopups_;
    std::vector<MenuItem*> items_;
};

}  // namespace kv
