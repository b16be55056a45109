#pragma once

// Drives a running Windows program from another process, by messages only: its windows are
// found by class, read through messages or through memory inside the target, and answered
// with posted input. Every wait polls with short sleeps up to a deadline and reports a
// timeout as a value, so a test fails with a message instead of hanging.

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kv::driver {

using Millis = std::chrono::milliseconds;
inline constexpr Millis kDefaultWait{10000};

// Polls `ready` every few milliseconds until it holds or `timeout` has passed.
bool WaitUntil(const std::function<bool()>& ready, Millis timeout = kDefaultWait);

// --- processes ---------------------------------------------------------------------------

class Process {
public:
    Process() = default;
    // `suspendedThread`: the first thread of a process launched suspended, for Resume.
    Process(HANDLE process, DWORD pid, HANDLE suspendedThread = nullptr)
        : handle_(process), pid_(pid), thread_(suspendedThread) {}
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    explicit operator bool() const { return handle_ != nullptr; }
    HANDLE handle() const { return handle_; }
    DWORD pid() const { return pid_; }

    // The exit code once the process has ended within `timeout`.
    std::optional<DWORD> WaitExit(Millis timeout = kDefaultWait) const;
    bool Running() const;
    // Ends the process if it still runs, and waits for it to be gone.
    void Kill();
    // Lets a process launched suspended run; nothing for one that runs already.
    void Resume();

private:
    HANDLE handle_ = nullptr;
    DWORD pid_ = 0;
    HANDLE thread_ = nullptr;  // held only while the process waits for Resume
};

struct LaunchOptions {
    std::string exe;          // full Windows path of the program
    std::string commandLine;  // the exact bytes the program's GetCommandLineA returns
    std::string directory;    // working folder; empty: the caller's
    // Variables to set (a value) or remove (nullopt) in a copy of the caller's environment.
    std::vector<std::pair<std::string, std::optional<std::string>>> environment;
    // Made but not let go: nothing runs until Process::Resume (for starts at the same moment).
    bool suspended = false;
};

// Starts the program with CreateProcessA; an empty Process when that fails.
Process Launch(const LaunchOptions& options);

// Ends every process whose executable file name is `exeName` (case-insensitive), e.g. a
// leftover of a failed test. Returns how many were ended.
int KillAll(const std::string& exeName);

// --- windows -------------------------------------------------------------------------------

std::string ClassName(HWND window);
std::string WindowText(HWND window);
// Visible top-level windows of the process with the class, in z-order.
std::vector<HWND> TopWindows(DWORD pid, const std::string& className);
// The first visible top-level window of that class, waited for.
HWND WaitTopWindow(DWORD pid, const std::string& className, Millis timeout = kDefaultWait);
bool WaitGone(HWND window, Millis timeout = kDefaultWait);
// The first top-level window of the process with the class, shown or hidden; null if none.
HWND FindTopWindow(DWORD pid, const std::string& className);
// The first window of the class below `parent`, at any depth; null if none.
HWND FindDescendant(HWND parent, const std::string& className);
// The window that has the keyboard focus in the thread that owns `window`.
HWND FocusedWindow(HWND window);
// BM_GETCHECK of a check box or radio button of another process; -1 when it does not answer.
int ButtonCheck(HWND button);
// Sets the text of a control of another process, as typing it would leave it.
bool SetWindowTextRemote(HWND window, const std::string& text);

RECT WindowRect(HWND window);
RECT ClientRect(HWND window);
SIZE ClientSize(HWND window);

// --- list boxes and status bars -------------------------------------------------------------

std::vector<std::string> ListItems(HWND list);
int ListSelection(HWND list);  // LB_ERR (-1) when nothing is selected
int ListItemHeight(HWND list);

// Text of one part of a status bar of another process (the text is copied through memory
// allocated inside that process, as SB_GETTEXT writes into the caller's address space).
std::string StatusText(HWND statusBar, int part);
int StatusParts(HWND statusBar, std::vector<int>* rightEdges = nullptr);

// Item texts of a list view (SysListView32) of another process, first column.
std::vector<std::string> ListViewItems(HWND listView);

// --- screen ----------------------------------------------------------------------------------

// The pixels on screen inside the window's rectangle, as 32-bit values row by row: what the
// window has last painted there (empty when it cannot be read).
std::vector<unsigned> CapturePixels(HWND window);

// --- message boxes ---------------------------------------------------------------------------

struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;  // the static with id 65535, CR LF as given
    bool hasIcon = false;
    std::vector<std::string> buttons;
};

// The message box (#32770) of the process, waited for.
std::optional<MessageBoxInfo> WaitMessageBox(DWORD pid, Millis timeout = kDefaultWait);
MessageBoxInfo ReadMessageBox(HWND dialog);
// Presses the button with the id (IDOK by default) and waits until the box is gone.
bool AnswerMessageBox(HWND dialog, int buttonId = IDOK);

// --- input ----------------------------------------------------------------------------------

// Posts a key press (down and up) to the window, as the keyboard would deliver it to the
// window that has the focus.
void PostKey(HWND window, UINT virtualKey);
// A double-click on the list item: the press that selects it, then the double-click.
bool DoubleClickItem(HWND list, int index);
// Clicks a button control (BM_CLICK, sent without waiting).
void ClickButton(HWND button);

// --- menus -----------------------------------------------------------------------------------

struct MenuItem {
    std::string caption;  // as GetMenuStringA gives it, '&' included; empty for a separator
    UINT id = 0;          // command id; 0 for a popup or separator
    bool separator = false;
    std::vector<MenuItem> children;
};

// The menu bar of a window of another process, read inside that process by our hook
// library (menus cannot be read from outside on Wine). Empty on failure.
std::vector<MenuItem> ReadMenuBar(HWND window, Millis timeout = kDefaultWait);

// --- fonts -----------------------------------------------------------------------------------

// Width in pixels of the text in Arial of the given point size on the screen.
int ArialTextWidth(const std::string& text, int points);
// The height of one text line (tmHeight) of Arial of that point size on the screen.
int ArialLineHeight(int points);

}  // namespace kv::driver
