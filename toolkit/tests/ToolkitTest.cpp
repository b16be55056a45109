// The toolkit's own behaviour, run under Wine or Windows: the message pump, the end request,
// forms, and the controls whose behaviour goes beyond the native control's.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "Driver.h"
#include "toolkit/App.h"
#include "toolkit/CircularProgress.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/GlowButton.h"
#include "toolkit/GradientPanel.h"
#include "toolkit/ProgressBar.h"

namespace kv {
namespace {

// A form whose controls each test builds for itself, and that counts WM_APP messages.
class TestForm : public Form {
public:
    explicit TestForm(std::function<void(TestForm&)> build = {}, int dpi = 0)
        : Form({.className = "KvToolkitTestForm",
                .caption = "Test",
                .bounds = {50, 50, 400, 300},
                .font = {.face = "Arial", .height = 16},
                .dpi = dpi}),
          build_(std::move(build)) {
        Create();
    }
    ~TestForm() override { Destroy(); }

    int appMessages = 0;

protected:
    void CreateControls() override {
        if (build_) build_(*this);
    }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP) {
            ++appMessages;
            return 0;
        }
        return Form::HandleMessage(message, wParam, lParam);
    }

private:
    std::function<void(TestForm&)> build_;
};

// Watches from another thread for a message box of this process, notes its caption and text
// and closes it; gives up after a bounded wait.
class MessageBoxWatcher {
public:
    MessageBoxWatcher() : thread_([this] { Watch(); }) {}
    ~MessageBoxWatcher() { Join(); }

    void Join() {
        if (thread_.joinable()) thread_.join();
    }
    std::string caption;
    std::string text;
    bool seen = false;

private:
    void Watch() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            HWND box = nullptr;
            while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
                DWORD pid = 0;
                GetWindowThreadProcessId(box, &pid);
                if (pid != GetCurrentProcessId() || !IsWindowVisible(box)) continue;
                char buffer[1024] = {};
                GetWindowTextA(box, buffer, sizeof buffer);
                caption = buffer;
                GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
                text = buffer;
                seen = true;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    std::thread thread_;
};

void Post(HWND hwnd, WPARAM key) {
    PostMessageA(hwnd, WM_KEYDOWN, key, 1);
    PostMessageA(hwnd, WM_KEYUP, key, 0xC0000001);
}

class ToolkitTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { App::Initialize(); }
};

TEST_F(ToolkitTest, RadioGroupClampsTheSelectionAndReportsEveryChange) {
    RadioGroup group;
    int clicks = 0;
    group.OnClick = [&] { ++clicks; };
    TestForm form([&](TestForm& f) {
        group.Create(f, {.firstId = 310,
                         .bounds = {0, 0, 200, 100},
                         .columns = 2,
                         .items = {"A", "B", "C", "D"}});
    });
    EXPECT_EQ(group.ItemIndex(), -1);  // a new group has no selection

    struct Step {
        int set;
        int index;
        int clicks;
    };
    for (const auto& [set, index, expectedClicks] : std::initializer_list<Step>{
             {1, 1, 1}, {1, 1, 1}, {9, 3, 2}, {7, 3, 2}, {-5, -1, 3}, {-1, -1, 3}, {0, 0, 4}}) {
        group.SetItemIndex(set);
        EXPECT_EQ(group.ItemIndex(), index) << "set " << set;
        EXPECT_EQ(clicks, expectedClicks) << "set " << set;
        for (int i = 0; i < group.Count(); ++i)
            EXPECT_EQ(SendMessageA(group.ItemHandle(i), BM_GETCHECK, 0, 0) == BST_CHECKED,
                      i == index)
                << "set " << set << " item " << i;
    }

    group.SetItem(2, "Changed");
    EXPECT_EQ(group.Item(2), "Changed");
    EXPECT_EQ(clicks, 4);  // a new text is no click
}

TEST_F(ToolkitTest, RadioGroupFollowsTheUserClicksAndArrowKeys) {
    RadioGroup group;
    std::vector<int> reported;
    group.OnClick = [&] { reported.push_back(group.ItemIndex()); };
    TestForm form([&](TestForm& f) {
        group.Create(f,
                     {.firstId = 310, .bounds = {0, 0, 200, 100}, .items = {"A", "B", "C", "D"}});
    });
    form.Show();

    SendMessageA(group.ItemHandle(2), BM_CLICK, 0, 0);
    SendMessageA(group.ItemHandle(2), BM_CLICK, 0, 0);  // the same item again changes nothing
    Post(group.ItemHandle(2), VK_DOWN);
    App::ProcessMessages();
    Post(group.ItemHandle(3), VK_DOWN);  // wraps to the first item
    App::ProcessMessages();
    Post(group.ItemHandle(0), VK_UP);  // and back to the last
    App::ProcessMessages();

    EXPECT_EQ(reported, (std::vector<int>{2, 3, 0, 3}));
    EXPECT_EQ(GetFocus(), group.ItemHandle(3));
}

// The dialog manager would make IDOK and IDCANCEL of Enter and Escape; a list with a key
// handler gets them itself, and keeps its own arrow-key handling.
TEST_F(ToolkitTest, ListBoxGetsEnterAndEscapeThroughThePump) {
    ListBox list;
    std::vector<WORD> keys;
    int clicks = 0;
    list.OnKeyDown = [&](WORD key) { keys.push_back(key); };
    list.OnClick = [&] { ++clicks; };
    TestForm form([&](TestForm& f) { list.Create(f, {.id = 100, .align = Align::Client}); });
    for (const char* item : {"C:\\ONE\\", "C:\\TWO\\", "C:\\THREE\\"}) list.Add(item);
    list.SetItemIndex(0);
    form.Show();
    list.SetFocus();

    for (const WORD key : {VK_RETURN, VK_ESCAPE, VK_DOWN}) Post(list.Handle(), key);
    App::ProcessMessages();

    EXPECT_EQ(keys, (std::vector<WORD>{VK_RETURN, VK_ESCAPE, VK_DOWN}));
    EXPECT_EQ(list.ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list.Item(2), "C:\\THREE\\");
    EXPECT_TRUE(form.Visible());  // Escape did not turn into a close of the form
}

TEST_F(ToolkitTest, OnShowRunsBeforeTheFormIsSeenEachTimeItIsShown) {
    TestForm form;
    std::vector<bool> visibleInOnShow;
    form.OnShow = [&] { visibleInOnShow.push_back(IsWindowVisible(form.Handle()) != FALSE); };
    form.Show();
    form.Show();  // already visible: not shown again
    form.Hide();
    form.Show();
    EXPECT_EQ(visibleInOnShow, (std::vector<bool>{false, false}));
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
}

TEST_F(ToolkitTest, ShowModalDisablesTheOtherWindowsUntilACloseIsAllowed) {
    TestForm other;
    other.Show();
    TestForm modal;
    bool otherEnabledWhileModal = true;
    int queries = 0;
    modal.OnShow = [&] { otherEnabledWhileModal = IsWindowEnabled(other.Handle()) != FALSE; };
    modal.OnCloseQuery = [&](bool& canClose) { canClose = ++queries > 1; };

    PostMessageA(modal.Handle(), WM_CLOSE, 0, 0);  // refused
    PostMessageA(modal.Handle(), WM_CLOSE, 0, 0);  // allowed
    EXPECT_EQ(modal.ShowModal(), ModalResult::Cancel);

    EXPECT_EQ(queries, 2);
    EXPECT_FALSE(otherEnabledWhileModal);
    EXPECT_TRUE(IsWindowEnabled(other.Handle()));
    EXPECT_FALSE(modal.Visible());
}

TEST_F(ToolkitTest, AButtonWithAModalResultClosesItsModalForm) {
    Button ok;
    int clicks = 0;
    ok.OnClick = [&] { ++clicks; };
    ok.modalResult = ModalResult::Ok;
    TestForm modal([&](TestForm& f) { ok.Create(f, {.id = 1000, .bounds = {10, 10, 80, 30}}); });
    PostMessageA(ok.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(modal.ShowModal(), ModalResult::Ok);
    EXPECT_EQ(clicks, 1);
}

// An exception must not unwind through user32: the dispatcher shows it under the
// application's title and the program goes on.
TEST_F(ToolkitTest, AnExceptionFromAHandlerIsShownAndTheProgramGoesOn) {
    Button button;
    button.OnClick = [] { throw std::runtime_error("Something broke"); };
    TestForm form([&](TestForm& f) { button.Create(f, {.id = 1000, .bounds = {10, 10, 80, 30}}); });
    MessageBoxWatcher watcher;
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    watcher.Join();
    EXPECT_TRUE(watcher.seen);
    EXPECT_EQ(watcher.caption, App::Title());
    EXPECT_EQ(watcher.text, "Something broke");
}

TEST_F(ToolkitTest, ProcessMessagesRunsEveryQueuedMessageAndReturns) {
    TestForm form;
    for (int i = 0; i < 5; ++i) PostMessageA(form.Handle(), WM_APP, 0, 0);
    App::ProcessMessages();
    EXPECT_EQ(form.appMessages, 5);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(ToolkitTest, StatusBarKeepsItsHeightAtTheBottomAndReportsResizes) {
    StatusBar bar;
    int resizes = 0;
    TestForm form([&](TestForm& f) { bar.Create(f, {.id = 101}, 21, {60, 50}); });
    bar.OnResize = [&] { ++resizes; };
    bar.SetPanelText(0, "1/2");
    bar.SetPanelText(1, " Last update: 11-12-2026");
    EXPECT_EQ(bar.PanelText(0), "1/2");
    EXPECT_EQ(bar.PanelText(1), " Last update: 11-12-2026");

    SetWindowPos(form.Handle(), nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(resizes, 1);
    const SIZE client = form.ClientSize();
    const Rect bounds = bar.Bounds();
    EXPECT_EQ(bounds.height, 21);
    EXPECT_EQ(bounds.top + bounds.height, client.cy);
    EXPECT_EQ(bounds.width, client.cx);
    int edges[2] = {};
    ASSERT_EQ(SendMessageA(bar.Handle(), SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges)), 2);
    EXPECT_EQ(edges[0], 60);
    EXPECT_EQ(edges[1], -1);
}

TEST_F(ToolkitTest, AHiddenFormKeepsClientSizeAndOpensMaximised) {
    TestForm form;
    form.SetClientSize(300, 120);
    EXPECT_EQ(form.ClientSize().cx, 300);
    EXPECT_EQ(form.ClientSize().cy, 120);
    form.Maximize();
    EXPECT_TRUE(form.Maximized());
    EXPECT_FALSE(form.Visible());
    form.Show();
    EXPECT_TRUE(IsZoomed(form.Handle()));
}

TEST_F(ToolkitTest, TheDefaultTitleIsTheProgramName) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    name.erase(0, name.find_last_of('\\') + 1);
    name.erase(name.find('.'));
    ASSERT_FALSE(name.empty());
    CharLowerBuffA(name.data(), static_cast<DWORD>(name.size()));
    CharUpperBuffA(name.data(), 1);
    EXPECT_EQ(App::Title(), name);  // "kovelar_toolkit_tests.exe" gives "Kovelar_toolkit_tests"
}

// The end request is final for the whole process, so each of its scenarios runs in a child:
// this program started again with "--scenario NAME". The child's exit code is the verdict: 0
// when everything the scenario checks held.
struct Scenario {
    const char* name;
    int (*run)();
};

int ModalFormsAndMessagesReturnAtOnceAfterTheEndRequest() {
    TestForm form;
    bool shown = false;
    form.OnShow = [&] { shown = true; };
    App::Terminate();
    const ModalResult result = form.ShowModal();
    App::ShowMessage("never seen");  // would wait for the user if it were shown
    return App::Terminated() && result == ModalResult::Cancel && !shown ? 0 : 1;
}

int TheModalLoopEndsAfterTheHandlerThatRequestsTheEnd() {
    Button button;
    bool ranToTheEnd = false;
    button.OnClick = [&] {
        App::Terminate();
        ranToTheEnd = true;
    };
    TestForm form([&](TestForm& f) { button.Create(f, {.id = 1000, .bounds = {10, 10, 80, 30}}); });
    PostMessageA(button.Handle(), BM_CLICK, 0, 0);
    const ModalResult result = form.ShowModal();
    return ranToTheEnd && result == ModalResult::Cancel && !form.Visible() ? 0 : 1;
}

constexpr Scenario kScenarios[] = {
    {"end-before-modal", ModalFormsAndMessagesReturnAtOnceAfterTheEndRequest},
    {"end-in-handler", TheModalLoopEndsAfterTheHandlerThatRequestsTheEnd},
};

// Runs the scenario in a child process and returns its exit code, or a text saying why there
// is none. The start goes through the driver, which rides out Wine's passing refusals.
std::string ExitOfScenario(const std::string& name) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    driver::LaunchOptions options;
    options.exe = self;
    options.commandLine = "\"" + options.exe + "\" --scenario " + name;
    driver::Process child = driver::Launch(options);
    if (!child) return "not started, error " + std::to_string(GetLastError());
    if (const auto code = child.WaitExit(std::chrono::seconds(30))) return std::to_string(*code);
    child.Kill();
    return "still running after 30 s";
}

TEST_F(ToolkitTest, AfterTheEndRequestModalFormsAndMessagesReturnAtOnce) {
    EXPECT_EQ(ExitOfScenario("end-before-modal"), "0");
}

// A handler that requests the end runs to its end, and the modal loop around it then stops.
TEST_F(ToolkitTest, TheEndRequestedInAHandlerEndsTheModalLoopAfterTheHandler) {
    EXPECT_EQ(ExitOfScenario("end-in-handler"), "0");
}

// Runs the queue until `done` holds or a few seconds have passed.
bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        App::ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

TEST_F(ToolkitTest, ProgressBarColourLevelsAndAFullBarAboveTheScale) {
    ProgressBar bar;
    TestForm form([&](TestForm& f) { bar.Create(f, {.id = 1000, .bounds = {10, 10, 200, 20}}); });
    struct Case {
        int max, position, level, shownPosition;
    };
    for (const auto& [max, position, level, shown] :
         std::initializer_list<Case>{{1000, 0, 0, 0},
                                     {1000, 699, 0, 699},
                                     {1000, 700, 1, 700},
                                     {1000, 899, 1, 899},
                                     {1000, 900, 2, 900},
                                     {800, 801, 2, 800},
                                     {800, 5000, 2, 800},
                                     {0, 0, 0, 0},
                                     {0, 3, 2, 0},
                                     {-5, 1, 2, 0},
                                     {10, -4, 0, 0}}) {
        bar.SetMax(max);
        bar.SetPosition(position);
        EXPECT_EQ(bar.Level(), level) << max << " " << position;
        EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETPOS, 0, 0), shown) << max << " " << position;
        EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETRANGE, FALSE, 0), max);
        EXPECT_EQ(bar.Position(), position);
    }
    SendMessageA(bar.Handle(), PBM_SETRANGE32, 0, 50);
    SendMessageA(bar.Handle(), PBM_SETPOS, 45, 0);
    EXPECT_EQ(bar.Max(), 50);
    EXPECT_EQ(bar.Level(), 2);
}

// A handler that runs a long job keeps the queue going; a close request that arrives then is
// asked at once and, refused, leaves the form open when the job ends.
TEST_F(ToolkitTest, AModalCloseIsAskedWhileAHandlerRuns) {
    Button work;
    Button ok;
    ok.modalResult = ModalResult::Ok;
    TestForm modal([&](TestForm& f) {
        work.Create(f, {.id = 1000, .bounds = {10, 10, 80, 30}});
        ok.Create(f, {.id = 1001, .bounds = {100, 10, 80, 30}});
    });
    int queries = 0;
    int queriesDuringWork = -1;
    bool refuse = true;
    modal.OnCloseQuery = [&](bool& canClose) {
        ++queries;
        canClose = !refuse;
    };
    work.OnClick = [&] {
        PostMessageA(modal.Handle(), WM_CLOSE, 0, 0);
        PumpUntil([&] { return queries > 0; });
        queriesDuringWork = queries;
        refuse = false;
        PostMessageA(ok.Handle(), BM_CLICK, 0, 0);
    };
    PostMessageA(work.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(modal.ShowModal(), ModalResult::Ok);
    EXPECT_EQ(queriesDuringWork, 1);
}

// Labels and radio buttons on a panel get the panel's brush; an edit field keeps its own.
TEST_F(ToolkitTest, TransparentControlsShowThePanelBeneathThem) {
    GradientPanel outer;
    GradientPanel inner;
    Label onInner;
    Label onOuter;
    Edit edit;
    TestForm form([&](TestForm& f) {
        outer.Create(f, {.control = {.id = 1000, .bounds = {0, 0, 380, 250}}});
        inner.Create(f, {.control = {.id = 1001, .bounds = {10, 10, 200, 100}, .text = "<B>x</B>"},
                         .captionHeight = 30});
        onInner.Create(f, {.id = 1002, .bounds = {20, 50, 100, 20}, .text = "a"});
        onOuter.Create(f, {.id = 1003, .bounds = {20, 150, 100, 20}, .text = "b"});
        edit.Create(f, {.control = {.id = 1004, .bounds = {20, 80, 100, 20}}, .readOnly = true});
    });
    const auto brushFor = [&](const Control& control) {
        const HDC dc = GetDC(control.Handle());
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageA(form.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(control.Handle())));
        ReleaseDC(control.Handle(), dc);
        return brush;
    };
    ASSERT_NE(inner.Backdrop(), nullptr);
    EXPECT_EQ(brushFor(onInner), inner.Backdrop());
    EXPECT_EQ(brushFor(onOuter), outer.Backdrop());
    EXPECT_NE(brushFor(edit), inner.Backdrop());
    EXPECT_EQ(inner.Caption(), "<B>x</B>");
    inner.SetCaption("<FONT size=\"14\"><B> Taal</B></FONT>");
    EXPECT_EQ(inner.Text(), "<FONT size=\"14\"><B> Taal</B></FONT>");
}

TEST_F(ToolkitTest, CircularProgressStepsOnlyWhileEnabled) {
    CircularProgress circle;
    TestForm form([&](TestForm& f) {
        circle.Create(f, {.control = {.id = 1000, .bounds = {10, 10, 97, 78}}});
    });
    form.Show();
    circle.Stop();
    circle.Start();
    const int first = circle.Step();
    EXPECT_TRUE(PumpUntil([&] { return circle.Step() != first; }));
    circle.Stop();
    EXPECT_FALSE(circle.Enabled());
    const int stopped = circle.Step();
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
    PumpUntil([&] { return std::chrono::steady_clock::now() > until; });
    EXPECT_EQ(circle.Step(), stopped);
}

// The glow button is drawn by us but stays a button: its caption is its window text, and the
// keyboard clicks it (Enter and Space when focused, Alt and its letter through the pump).
TEST_F(ToolkitTest, GlowButtonIsOperatedByTheKeyboard) {
    GlowButton go;
    Button other;
    int clicks = 0;
    go.OnClick = [&] { ++clicks; };
    TestForm form([&](TestForm& f) {
        other.Create(f, {.id = 1001, .bounds = {10, 100, 80, 30}, .text = "Other"});
        go.Create(f, {.control = {.id = 1000, .bounds = {10, 10, 76, 55}, .text = "&Go"},
                      .checkPicture = true});
    });
    EXPECT_EQ(go.Text(), "&Go");
    EXPECT_EQ(GetWindowLongPtrA(go.Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    form.Show();
    go.SetFocus();
    Post(go.Handle(), VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
    Post(go.Handle(), VK_SPACE);
    EXPECT_TRUE(PumpUntil([&] { return clicks == 2; }));
    other.SetFocus();
    // What the keyboard's Alt+G becomes once translated.
    PostMessageA(other.Handle(), WM_SYSCHAR, 'g', 0x20000001);
    EXPECT_TRUE(PumpUntil([&] { return clicks >= 3; }));
    EXPECT_EQ(clicks, 3);
}

// ---- DPI

int FontHeight(HFONT font) {
    LOGFONTA info{};
    GetObjectA(font, sizeof(info), &info);
    return info.lfHeight;
}

HFONT FontOf(const Control& control) {
    return reinterpret_cast<HFONT>(SendMessageA(control.Handle(), WM_GETFONT, 0, 0));
}

bool SameRect(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

// The window code gives design pixels; at 144 DPI every place, size and font is half as
// large again, and a move to a 96-DPI monitor brings back the design numbers exactly.
TEST_F(ToolkitTest, AFormScalesItsControlsAndFontsToItsDpiAndBack) {
    Label label;
    Label ownFont;
    StatusBar bar;
    TestForm form(
        [&](TestForm& f) {
            label.Create(f, {.id = 1000, .bounds = {10, 20, 100, 21}, .text = "a"});
            ownFont.Create(f, {.id = 1001, .bounds = {8, 132, 409, 189}, .text = "b"});
            bar.Create(f, {.id = 1002}, 21, {60, 50});
        },
        144);
    ownFont.SetFont(FontParams{.face = "Arial", .height = 18, .bold = true});
    EXPECT_EQ(form.Dpi(), 144);

    struct Expected {
        Rect label, ownFont;
        int barHeight, firstEdge, formFont, ownFontHeight;
    };
    const auto check = [&](const Expected& e, const char* when) {
        EXPECT_TRUE(SameRect(label.Bounds(), e.label)) << when;
        EXPECT_TRUE(SameRect(ownFont.Bounds(), e.ownFont)) << when;
        EXPECT_EQ(bar.Bounds().height, e.barHeight) << when;
        EXPECT_EQ(bar.Bounds().top + bar.Bounds().height, form.ClientSize().cy) << when;
        int edges[2] = {};
        SendMessageA(bar.Handle(), SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges));
        EXPECT_EQ(edges[0], e.firstEdge) << when;
        EXPECT_EQ(FontHeight(form.Font()), -e.formFont) << when;
        EXPECT_EQ(FontHeight(FontOf(label)), -e.formFont) << when;
        EXPECT_EQ(FontHeight(FontOf(ownFont)), -e.ownFontHeight) << when;
    };
    check({{15, 30, 150, 32}, {12, 198, 614, 284}, 32, 90, 24, 27}, "at 144 DPI");

    RECT suggested{60, 60, 460, 360};
    SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(form.Dpi(), 96);
    check({{10, 20, 100, 21}, {8, 132, 409, 189}, 21, 60, 16, 18}, "back at 96 DPI");
    RECT window{};
    GetWindowRect(form.Handle(), &window);
    EXPECT_EQ(window.left, 60);
    EXPECT_EQ(window.right - window.left, 400);
}

// A dialog's client area is given in design pixels; its frame is the system's own.
TEST_F(ToolkitTest, AClientSizedFormGetsItsScaledClientArea) {
    for (const int dpi : {96, 144, 192}) {
        Form form({.className = "KvToolkitDialog",
                   .style = WS_POPUP | WS_CAPTION,
                   .exStyle = WS_EX_DLGMODALFRAME,
                   .bounds = {0, 0, 431, 534},
                   .clientSized = true,
                   .centred = true,
                   .dpi = dpi});
        form.Create();
        EXPECT_EQ(form.ClientSize().cx, MulDiv(431, dpi, 96)) << dpi;  // 646.5 is 647
        EXPECT_EQ(form.ClientSize().cy, MulDiv(534, dpi, 96)) << dpi;
    }
}

// The button drawn into a bitmap of its own; the pixels of the check-mark picture are the
// only green ones.
int GreenPixels(const GlowButton& button) {
    RECT r{};
    GetClientRect(button.Handle(), &r);
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(button.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    int green = 0;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            if (GetGValue(c) > GetRValue(c) + 40 && GetGValue(c) > GetBValue(c) + 40) ++green;
        }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return green;
}

// The picture comes from the program's resources and grows with the DPI, smoothly: at 144
// DPI it covers 2.25 times the pixels.
TEST_F(ToolkitTest, TheCheckPictureIsLoadedAndScaledWithTheDpi) {
    GlowButton at96, at144, plain;
    TestForm form96(
        [&](TestForm& f) {
            at96.Create(
                f, {.control = {.id = 1000, .bounds = {10, 10, 76, 56}}, .checkPicture = true});
            plain.Create(f, {.control = {.id = 1001, .bounds = {100, 10, 76, 56}, .text = "&Go"}});
        },
        96);
    TestForm form144(
        [&](TestForm& f) {
            at144.Create(
                f, {.control = {.id = 1000, .bounds = {10, 10, 76, 56}}, .checkPicture = true});
        },
        144);
    const int small = GreenPixels(at96), large = GreenPixels(at144);
    EXPECT_GT(small, 64 * 64 / 2);  // most of the rounded square is green
    EXPECT_EQ(GreenPixels(plain), 0);
    EXPECT_NEAR(static_cast<double>(large) / small, 2.25, 0.15);

    SendMessageA(form144.Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96), 0);
    EXPECT_EQ(GreenPixels(at144), small);
}

}  // namespace
}  // namespace kv

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--scenario") {
        kv::App::Initialize();
        for (const kv::Scenario& scenario : kv::kScenarios)
            if (argv[2] == std::string_view(scenario.name)) return scenario.run();
        return 2;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
