#include "KovelarTest.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "HarnessClient.h"
#include "ui/ControlIds.h"

namespace kv::e2e {

namespace {

// Removes a folder and everything below it; a test folder never holds deeper trees.
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry{};
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

std::string AfterProgramName(const std::string& commandLine) {
    if (!commandLine.empty() && commandLine[0] == '"') {
        const size_t close = commandLine.find('"', 1);
        return close == std::string::npos ? std::string() : commandLine.substr(close + 1);
    }
    const size_t blank = commandLine.find(' ');
    return blank == std::string::npos ? std::string() : commandLine.substr(blank);
}

std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

void KovelarTest::SetUp() {
    // A program left over from a failed test would hold the single-instance lock.
    driver::KillAll("kovelar.exe");
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::string("C:\\kvtest\\") + info->test_suite_name() + "." + info->name() + "\\";
    for (char& c : folder_)
        if (c == '/') c = '_';
    CreateDirectoryA("C:\\kvtest", nullptr);
    RemoveTree(folder_);
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)) << folder_;
    ASSERT_TRUE(CopyFileA(kTotalcmd, TotalcmdPath().c_str(), FALSE))
        << "stand-in missing: " << kTotalcmd;
    ASSERT_NE(GetFileAttributesA(kProgram), INVALID_FILE_ATTRIBUTES)
        << "program missing: " << kProgram;
}

void KovelarTest::TearDown() {
    driver::KillAll("kovelar.exe");
    for (const auto& path : immutable_) driver::SetImmutable(path, false);
    immutable_.clear();
    // A failed test keeps its folder for a look; the next run starts it afresh.
    if (!HasFailure()) RemoveTree(folder_);
}

void KovelarTest::WriteBytes(const std::string& name, const std::string& bytes) const {
    std::ofstream out(PathOf(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << PathOf(name);
}

std::optional<std::string> KovelarTest::ReadBytes(const std::string& name) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string KovelarTest::IndexBytes(const std::vector<std::string>& entries) {
    std::string bytes;
    for (const auto& entry : entries) bytes += entry + "\r\n";
    return bytes;
}

void KovelarTest::WriteIndex(const std::vector<std::string>& entries) const {
    WriteBytes("kovelar.dat", IndexBytes(entries));
}

void KovelarTest::WriteSettings(int language, const std::vector<std::string>& extraLines) const {
    std::string bytes =
        "[Gebruik]\r\nPad=" + TotalcmdPath() + "\r\nTaal=" + std::to_string(language) + "\r\n";
    for (const auto& line : extraLines) bytes += line + "\r\n";
    WriteBytes("kovelar.ini", bytes);
}

driver::Process KovelarTest::Start(const std::string& tail,
                                   std::optional<std::string> commanderPath) {
    return StartRaw(Quoted(kProgram) + tail, std::move(commanderPath));
}

driver::LaunchOptions KovelarTest::LaunchOptionsFor(
    const std::string& commandLine, std::optional<std::string> commanderPath) const {
    driver::LaunchOptions options;
    options.exe = kProgram;
    options.commandLine = commandLine;
    options.directory = folder_;
    // The variable names the folder without its final backslash, as the file manager sets it.
    options.environment.emplace_back(
        "COMMANDER_PATH", commanderPath ? *commanderPath : folder_.substr(0, folder_.size() - 1));
    return options;
}

driver::Process KovelarTest::StartRaw(const std::string& commandLine,
                                      std::optional<std::string> commanderPath) {
    driver::Process process =
        driver::Launch(LaunchOptionsFor(commandLine, std::move(commanderPath)));
    EXPECT_TRUE(process) << "CreateProcess failed: " << GetLastError();
    return process;
}

Ending KovelarTest::Run(const std::string& tail, Millis timeout) {
    const driver::Process process = Start(tail);
    if (!process) return {};
    return WaitEnd(process, timeout);
}

MainWindow KovelarTest::WaitMain(const driver::Process& process, Millis timeout) const {
    MainWindow main;
    main.window = driver::WaitTopWindow(process.pid(), "TfMain", timeout);
    if (!main.window) return main;
    main.list = GetDlgItem(main.window, ids::ListBox);
    main.status = GetDlgItem(main.window, ids::StatusBar);
    return main;
}

Ending KovelarTest::WaitEnd(const driver::Process& process, Millis timeout) const {
    return Conclude(process, timeout, false);
}

Ending KovelarTest::Conclude(const driver::Process& process, Millis timeout,
                             bool closeLists) const {
    Ending ending;
    driver::WaitUntil(
        [&] {
            if (!process.Running()) return true;
            if (!driver::TopWindows(process.pid(), "#32770").empty()) {
                if (const auto box = driver::WaitMessageBox(process.pid(), Millis{2000})) {
                    ending.boxes.push_back(*box);
                    driver::AnswerMessageBox(box->window);
                }
            } else if (closeLists) {
                for (HWND main : driver::TopWindows(process.pid(), "TfMain"))
                    driver::PostKey(GetDlgItem(main, ids::ListBox), VK_ESCAPE);
            }
            return false;
        },
        timeout);
    ending.exitCode = process.WaitExit(Millis{0});
    return ending;
}

HWND KovelarTest::WaitWindowAnsweringBoxes(const driver::Process& process,
                                           const std::string& className,
                                           std::vector<driver::MessageBoxInfo>& boxes,
                                           Millis timeout) const {
    HWND found = nullptr;
    driver::WaitUntil(
        [&] {
            const auto windows = driver::TopWindows(process.pid(), className);
            if (!windows.empty()) {
                found = windows.front();
                return true;
            }
            if (!driver::TopWindows(process.pid(), "#32770").empty()) {
                if (const auto box = driver::WaitMessageBox(process.pid(), Millis{2000})) {
                    boxes.push_back(*box);
                    driver::AnswerMessageBox(box->window);
                }
            }
            return !process.Running();
        },
        timeout);
    return found;
}

std::vector<std::string> KovelarTest::TotalcmdCalls() const {
    std::vector<std::string> calls;
    if (const auto log = ReadBytes("totalcmd.log"))
        for (const auto& line : SplitLines(*log)) calls.push_back(AfterProgramName(line));
    return calls;
}

std::vector<std::string> KovelarTest::WaitTotalcmdCalls(size_t count) const {
    driver::WaitUntil([&] { return TotalcmdCalls().size() >= count; });
    return TotalcmdCalls();
}

void KovelarTest::MakeUnwritable(const std::string& path) {
    ASSERT_TRUE(driver::SetImmutable(path, true))
        << "harness did not make " << path << " immutable";
    immutable_.push_back(path);
}

void KovelarTest::MakeWritable(const std::string& path) {
    driver::SetImmutable(path, false);
    std::erase(immutable_, path);
}

int CountFromEnvironment(const char* name, int fallback) {
    char value[32] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    if (length == 0 || length >= sizeof value) return fallback;
    const int count = std::atoi(value);
    return count > 0 ? count : fallback;
}

}  // namespace kv::e2e
