#include "Driver.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <thread>

#include "MenuHookProtocol.h"

namespace kv::driver {

namespace {

using Clock = std::chrono::steady_clock;
constexpr Millis kPollInterval{10};
constexpr UINT kSendTimeoutMs = 5000;

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                          b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

// A message that waits for the target at most a few seconds: a hung target fails the test
// instead of hanging it.
LRESULT SendBounded(HWND window, UINT message, WPARAM w, LPARAM l) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, w, l, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

// Memory inside another process, freed when it goes out of scope.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            address_ =
                VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    void* address() const { return address_; }
    std::string Read(size_t count) const {
        std::string bytes(std::min(count, size_), '\0');
        SIZE_T read = 0;
        if (!address_ || !ReadProcessMemory(process_, address_, bytes.data(), bytes.size(), &read))
            return {};
        bytes.resize(read);
        return bytes;
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};

std::string ToAnsi(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                        nullptr, nullptr);
    return text;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& ready, Millis timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (ready()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPollInterval);
    }
}

// --- processes ---------------------------------------------------------------------------

Process::Process(Process&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      pid_(std::exchange(other.pid_, 0)),
      thread_(std::exchange(other.thread_, nullptr)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        if (thread_) CloseHandle(thread_);
        if (handle_) CloseHandle(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
        pid_ = std::exchange(other.pid_, 0);
        thread_ = std::exchange(other.thread_, nullptr);
    }
    return *this;
}

Process::~Process() {
    if (thread_) CloseHandle(thread_);
    if (handle_) CloseHandle(handle_);
}

std::optional<DWORD> Process::WaitExit(Millis timeout) const {
    if (!handle_) return std::nullopt;
    if (WaitForSingleObject(handle_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(handle_, &code)) return std::nullopt;
    return code;
}

bool Process::Running() const {
    return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

void Process::Kill() {
    if (!Running()) return;
    TerminateProcess(handle_, 1);
    WaitForSingleObject(handle_, 10000);
}

void Process::Resume() {
    if (!thread_) return;
    ResumeThread(thread_);
    CloseHandle(std::exchange(thread_, nullptr));
}

namespace {

// The caller's environment with the requested changes, as a CreateProcess block.
std::string EnvironmentBlock(const LaunchOptions& options) {
    struct NoCase {
        bool operator()(const std::string& a, const std::string& b) const {
            return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(),
                                  static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size())) == CSTR_LESS_THAN;
        }
    };
    std::map<std::string, std::string, NoCase> variables;
    std::string hidden;  // entries such as "=C:=C:\" that belong to no variable
    if (char* block = GetEnvironmentStringsA()) {
        for (const char* entry = block; *entry; entry += std::strlen(entry) + 1) {
            const std::string text = entry;
            const size_t equals = text.find('=', 1);
            if (text[0] == '=' || equals == std::string::npos)
                hidden += text + '\0';
            else
                variables[text.substr(0, equals)] = text.substr(equals + 1);
        }
        FreeEnvironmentStringsA(block);
    }
    for (const auto& [name, value] : options.environment) {
        if (value)
            variables[name] = *value;
        else
            variables.erase(name);
    }
    std::string result = hidden;
    for (const auto& [name, value] : variables) result += name + '=' + value + '\0';
    result += '\0';
    return result;
}

}  // namespace

Process Launch(const LaunchOptions& options) {
    std::string commandLine = options.commandLine;
    commandLine.push_back('\0');
    std::string environment = EnvironmentBlock(options);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // Wine now and then refuses a start with ERROR_INTERNAL_ERROR while its server is busy with
    // the previous program's end; the same start a moment later goes through. Any other
    // refusal is the answer.
    for (int attempt = 0;; ++attempt) {
        if (CreateProcessA(options.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                           options.suspended ? CREATE_SUSPENDED : 0, environment.data(),
                           options.directory.empty() ? nullptr : options.directory.c_str(),
                           &startup, &info))
            break;
        if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == 4) return {};
        Sleep(200);
    }
    if (options.suspended) return Process(info.hProcess, info.dwProcessId, info.hThread);
    CloseHandle(info.hThread);
    return Process(info.hProcess, info.dwProcessId);
}

int KillAll(const std::string& exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    int killed = 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        std::string name = entry.szExeFile;
        if (const size_t slash = name.find_last_of("\\/"); slash != std::string::npos)
            name.erase(0, slash + 1);
        if (!SameText(name, exeName)) continue;
        if (HANDLE process =
                OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
            if (TerminateProcess(process, 1)) ++killed;
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
    return killed;
}

// --- windows -------------------------------------------------------------------------------

std::string ClassName(HWND window) {
    char name[256] = {};
    const int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, std::max(length, 0));
}

std::string WindowText(HWND window) {
    // Asked for in UTF-16 like the list items, so that accented letters survive the trip.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length) ||
        length == 0)
        return {};
    std::wstring wide(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
        copied = 0;
    wide.resize(std::min<size_t>(copied, wide.size()));
    return ToAnsi(wide);
}

std::vector<HWND> TopWindows(DWORD pid, const std::string& className) {
    struct Search {
        DWORD pid;
        const std::string* className;
        std::vector<HWND> found;
    } search{pid, &className, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s.pid && IsWindowVisible(window) && ClassName(window) == *s.className)
                s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitTopWindow(DWORD pid, const std::string& className, Millis timeout) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            const auto windows = TopWindows(pid, className);
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr;
        },
        timeout);
    return found;
}

bool WaitGone(HWND window, Millis timeout) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeout);
}

HWND FindTopWindow(DWORD pid, const std::string& className) {
    for (HWND window = FindWindowExA(nullptr, nullptr, className.c_str(), nullptr); window;
         window = FindWindowExA(nullptr, window, className.c_str(), nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid) return window;
    }
    return nullptr;
}

HWND FindDescendant(HWND parent, const std::string& className) {
    struct Search {
        const std::string* className;
        HWND found = nullptr;
    } search{&className};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            if (!SameText(ClassName(window), *s.className)) return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FocusedWindow(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

int ButtonCheck(HWND button) {
    return static_cast<int>(SendBounded(button, BM_GETCHECK, 0, 0));
}

bool SetWindowTextRemote(HWND window, const std::string& text) {
    // WM_SETTEXT carries its text across processes itself.
    return SendBounded(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) == TRUE;
}

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

RECT ClientRect(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

SIZE ClientSize(HWND window) {
    const RECT r = ClientRect(window);
    return {r.right - r.left, r.bottom - r.top};
}

// --- list boxes and status bars -------------------------------------------------------------

std::vector<std::string> ListItems(HWND list) {
    // Items are asked for in UTF-16 and turned back into the ANSI code page: the A message
    // does not come back whole across processes on Wine.
    std::vector<std::string> items;
    const LRESULT count = SendBounded(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendBounded(list, LB_GETTEXTLEN, i, 0);
        std::wstring wide(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()),
                                 SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied) ||
            static_cast<LRESULT>(copied) == LB_ERR)
            copied = 0;
        wide.resize(std::min<size_t>(copied, wide.size()));
        items.push_back(ToAnsi(wide));
    }
    return items;
}

int ListSelection(HWND list) {
    return static_cast<int>(SendBounded(list, LB_GETCURSEL, 0, 0));
}

int ListItemHeight(HWND list) {
    return static_cast<int>(SendBounded(list, LB_GETITEMHEIGHT, 0, 0));
}

std::string StatusText(HWND statusBar, int part) {
    const LRESULT length = SendBounded(statusBar, SB_GETTEXTLENGTHA, part, 0);
    const size_t size = static_cast<size_t>(LOWORD(length)) + 1;
    RemoteBuffer buffer(statusBar, size);
    if (!buffer.address()) return {};
    const LRESULT result =
        SendBounded(statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(buffer.address()));
    if (result == -1) return {};
    std::string text = buffer.Read(size);
    text.resize(std::min<size_t>(LOWORD(result), text.size()));
    return text;
}

int StatusParts(HWND statusBar, std::vector<int>* rightEdges) {
    constexpr int kMaxParts = 256;
    RemoteBuffer buffer(statusBar, kMaxParts * sizeof(int));
    const LRESULT count =
        SendBounded(statusBar, SB_GETPARTS, kMaxParts, reinterpret_cast<LPARAM>(buffer.address()));
    if (count <= 0) return 0;
    if (rightEdges) {
        const std::string bytes = buffer.Read(static_cast<size_t>(count) * sizeof(int));
        rightEdges->assign(bytes.size() / sizeof(int), 0);
        std::memcpy(rightEdges->data(), bytes.data(), rightEdges->size() * sizeof(int));
    }
    return static_cast<int>(count);
}

std::vector<std::string> ListViewItems(HWND listView) {
    std::vector<std::string> items;
    const LRESULT count = SendBounded(listView, LVM_GETITEMCOUNT, 0, 0);
    constexpr size_t kTextSize = 1024;
    // The item record and its text buffer both live in the target's memory.
    RemoteBuffer buffer(listView, sizeof(LVITEMA) + kTextSize);
    if (!buffer.address()) return items;
    auto* remoteText = static_cast<char*>(buffer.address()) + sizeof(LVITEMA);
    DWORD pid = 0;
    GetWindowThreadProcessId(listView, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_WRITE | PROCESS_VM_OPERATION, FALSE, pid);
    if (!process) return items;
    for (LRESULT i = 0; i < count; ++i) {
        LVITEMA item{};
        item.iSubItem = 0;
        item.pszText = remoteText;
        item.cchTextMax = kTextSize;
        SIZE_T written = 0;
        if (!WriteProcessMemory(process, buffer.address(), &item, sizeof item, &written)) break;
        const LRESULT length =
            SendBounded(listView, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(buffer.address()));
        if (length < 0) break;
        const std::string bytes = buffer.Read(sizeof(LVITEMA) + static_cast<size_t>(length));
        items.push_back(bytes.size() > sizeof(LVITEMA) ? bytes.substr(sizeof(LVITEMA)) : "");
    }
    CloseHandle(process);
    return items;
}

// --- screen ----------------------------------------------------------------------------------

std::vector<unsigned> CapturePixels(HWND window) {
    const RECT r = WindowRect(window);
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return {};
    std::vector<unsigned> pixels(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        if (ok) std::memcpy(pixels.data(), bits, pixels.size() * sizeof(unsigned));
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!ok) pixels.clear();
    return pixels;
}

// --- message boxes ---------------------------------------------------------------------------

MessageBoxInfo ReadMessageBox(HWND dialog) {
    MessageBoxInfo info;
    info.window = dialog;
    info.caption = WindowText(dialog);
    if (HWND text = GetDlgItem(dialog, 0xFFFF)) info.text = WindowText(text);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string cls = ClassName(child);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if (SameText(cls, "Static") && (style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child) &&
            SendBounded(child, STM_GETICON, 0, 0) > 0)
            info.hasIcon = true;
        if (SameText(cls, "Button") && IsWindowVisible(child))
            info.buttons.push_back(WindowText(child));
    }
    return info;
}

std::optional<MessageBoxInfo> WaitMessageBox(DWORD pid, Millis timeout) {
    const HWND dialog = WaitTopWindow(pid, "#32770", timeout);
    if (!dialog) return std::nullopt;
    // The box is shown before its text is set on some platforms; wait for the text.
    WaitUntil([&] { return !ReadMessageBox(dialog).text.empty(); }, Millis{2000});
    return ReadMessageBox(dialog);
}

bool AnswerMessageBox(HWND dialog, int buttonId) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
    return WaitGone(dialog);
}

// --- input ----------------------------------------------------------------------------------

void PostKey(HWND window, UINT virtualKey) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1 | scan);
    PostMessageA(window, WM_KEYUP, virtualKey, 1 | scan | (1LL << 30) | (1LL << 31));
}

bool DoubleClickItem(HWND list, int index) {
    // Wine carries the RECT of LB_GETITEMRECT across processes itself.
    RECT item{};
    if (SendBounded(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) == LB_ERR)
        return false;
    const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(list, WM_LBUTTONUP, 0, point);
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    PostMessageA(list, WM_LBUTTONUP, 0, point);
    return true;
}

void ClickButton(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

// --- menus -----------------------------------------------------------------------------------

namespace {

std::vector<MenuItem> ParseMenuDump(const char* dump) {
    // One line per item: depth, tab, flags (S separator, P popup, C command), tab, id, tab,
    // caption. Children follow their popup with a depth one greater.
    std::vector<MenuItem> top;
    std::vector<std::vector<MenuItem>*> levels{&top};
    for (const char* line = dump; *line;) {
        const char* end = std::strchr(line, '\n');
        const std::string text(line, end ? end : line + std::strlen(line));
        line = end ? end + 1 : line + text.size();
        const size_t t1 = text.find('\t'), t2 = text.find('\t', t1 + 1),
                     t3 = text.find('\t', t2 + 1);
        if (t3 == std::string::npos) continue;
        const size_t depth = std::stoul(text.substr(0, t1));
        if (depth >= levels.size()) continue;
        levels.resize(depth + 1);
        MenuItem item;
        item.separator = text[t1 + 1] == 'S';
        item.id = static_cast<UINT>(std::stoul(text.substr(t2 + 1, t3 - t2 - 1)));
        item.caption = text.substr(t3 + 1);
        levels[depth]->push_back(std::move(item));
        levels.push_back(&levels[depth]->back().children);
    }
    return top;
}

}  // namespace

std::vector<MenuItem> ReadMenuBar(HWND window, Millis timeout) {
    static HMODULE hook = LoadLibraryA(menuhook::kLibraryName);
    if (!hook) return {};
    // GetProcAddress returns a generic function pointer; the export has the hook's signature.
    const auto procedure = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void (*)()>(GetProcAddress(hook, menuhook::kProcedureName)));
    if (!procedure) return {};

    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        menuhook::kMappingSize, menuhook::kMappingName);
    if (!mapping) return {};
    auto* view = static_cast<char*>(
        MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, menuhook::kMappingSize));
    std::vector<MenuItem> items;
    if (view) {
        view[0] = '\0';
        const DWORD thread = GetWindowThreadProcessId(window, nullptr);
        if (HHOOK handle = SetWindowsHookExA(WH_CALLWNDPROC, procedure, hook, thread)) {
            // The hook runs inside the target when its thread receives this message; the
            // answer carries the number of bytes it wrote.
            const UINT message = RegisterWindowMessageA(menuhook::kMessageName);
            DWORD_PTR written = 0;
            if (SendMessageTimeoutA(window, message, 0, 0, SMTO_ABORTIFHUNG,
                                    static_cast<UINT>(timeout.count()), &written))
                items = ParseMenuDump(view);
            UnhookWindowsHookEx(handle);
        }
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return items;
}

// --- fonts -----------------------------------------------------------------------------------

namespace {

template <typename F>
auto WithArial(int points, F&& use) {
    HDC screen = GetDC(nullptr);
    LOGFONTA font{};
    font.lfHeight = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    font.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(font.lfFaceName, "Arial");
    HFONT handle = CreateFontIndirectA(&font);
    HGDIOBJ old = SelectObject(screen, handle);
    auto result = use(screen);
    SelectObject(screen, old);
    DeleteObject(handle);
    ReleaseDC(nullptr, screen);
    return result;
}

}  // namespace

int ArialTextWidth(const std::string& text, int points) {
    return WithArial(points, [&](HDC dc) {
        SIZE size{};
        GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    });
}

int ArialLineHeight(int points) {
    return WithArial(points, [](HDC dc) {
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc, &metrics);
        return static_cast<int>(metrics.tmHeight);
    });
}

}  // namespace kv::driver
