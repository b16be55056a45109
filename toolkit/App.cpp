#include "toolkit/App.h"

#include <commctrl.h>

#include <exception>
#include <optional>
#include <vector>

#include "toolkit/DisabledWindows.h"

namespace kv {

namespace {

struct FormEntry {
    std::unique_ptr<Form> form;
    std::function<void()> forget;  // clears the caller's pointer to the form
};

struct AppState {
    std::vector<FormEntry> forms;
    std::optional<std::string> title;
    bool terminated = false;
};

AppState& State() {
    static AppState state;
    return state;
}

// The program file's name up to its first dot: "kovelar.exe" gives "Kovelar".
std::string DefaultTitle() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, length < MAX_PATH ? length : MAX_PATH);
    const std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos) name.erase(dot);
    if (name.empty()) return name;
    CharUpperBuffA(name.data(), 1);
    if (name.size() > 1) CharLowerBuffA(name.data() + 1, static_cast<DWORD>(name.size() - 1));
    return name;
}

HWND MainHandle() {
    Form* main = App::MainForm();
    return main ? main->Handle() : nullptr;
}

// Every window of the program goes through here: the dialog manager gets the keys of a form
// first (Tab, the arrow keys within a group, Alt and a control's underlined letter), then the
// message takes its ordinary way.
void RunMessage(MSG& msg) {
    const HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && dynamic_cast<Form*>(Window::FromHandle(root)) && IsDialogMessageA(root, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

}  // namespace

void App::Initialize() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
}

HINSTANCE App::Instance() {
    return GetModuleHandleA(nullptr);
}

std::string App::Title() {
    AppState& state = State();
    if (!state.title) state.title = DefaultTitle();
    return *state.title;
}

void App::SetTitle(std::string_view title) {
    State().title = std::string(title);
}

void App::Adopt(std::unique_ptr<Form> form, std::function<void()> forget) {
    State().forms.push_back({std::move(form), std::move(forget)});
}

Form* App::MainForm() {
    const AppState& state = State();
    return state.forms.empty() ? nullptr : state.forms.front().form.get();
}

void App::Run() {
    Form* main = MainForm();
    if (!main) return;
    // An error in the first showing is an error of the start-up: it reaches the caller, which
    // shows it and ends, instead of leaving a loop without a window.
    if (!Terminated()) main->Show();
    while (!Terminated()) HandleMessage();
}

// No WM_QUIT: it would end the next message box's own loop at once. A posted null message
// only wakes a loop that waits, which then sees the request.
void App::Terminate() {
    State().terminated = true;
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

bool App::Terminated() {
    return State().terminated;
}

bool App::PumpOne(bool wait) {
    MSG msg{};
    if (wait) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) return false;
        if (got == 0) {
            State().terminated = true;
            return false;
        }
    } else {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
        if (msg.message == WM_QUIT) {
            State().terminated = true;
            return false;
        }
    }
    RunMessage(msg);
    return true;
}

void App::HandleMessage() {
    PumpOne(true);
}

// A long job calls this after every small step (the drive scan after every directory entry),
// so an empty queue must cost as little as can be: one look at the queue's state, which is a
// single trip to the window server on Wine, where an empty PeekMessage also flushes the
// screen and yields the processor. Window painting and timers count as waiting messages.
void App::ProcessMessages() {
    if (LOWORD(GetQueueStatus(QS_ALLINPUT)) == 0) return;
    while (PumpOne(false)) {
    }
}

void App::DestroyForms() {
    AppState& state = State();
    while (!state.forms.empty()) {
        FormEntry entry = std::move(state.forms.back());
        state.forms.pop_back();
        if (entry.form->OnDestroy) Guarded(entry.form->OnDestroy);
        entry.form->Destroy();
        if (entry.forget) entry.forget();
    }
}

void App::ShowMessage(std::string_view text) {
    if (Terminated()) return;
    const std::string title = Title();
    DisabledWindows others(nullptr);
    MessageBoxA(nullptr, std::string(text).c_str(), title.c_str(), MB_OK);
}

void App::ErrorBox(std::string_view text, std::string_view caption) {
    const HWND owner = MainHandle();
    DisabledWindows others(owner);
    MessageBoxA(owner, std::string(text).c_str(), std::string(caption).c_str(),
                MB_OK | MB_ICONHAND);
}

void App::ShowException(std::string_view text) {
    try {
        const std::string title = Title();
        DisabledWindows others(nullptr);
        MessageBoxA(nullptr, std::string(text).c_str(), title.c_str(), MB_OK | MB_ICONSTOP);
    } catch (...) {
        MessageBoxA(nullptr, "Unknown error", nullptr, MB_OK | MB_ICONSTOP);
    }
}

void App::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("Unknown error");
    }
}

}  // namespace kv
