#pragma once

// The fixture of the end-to-end tests: every test gets a data folder of its own
// (C:\kvtest\<suite>.<test>\) holding the files it writes byte for byte and a copy of the
// stand-in totalcmd.exe, starts the real kovelar.exe on it and watches it from outside.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "Driver.h"

namespace kv::e2e {

using driver::Millis;

struct MainWindow {
    HWND window = nullptr;
    HWND list = nullptr;
    HWND status = nullptr;
    explicit operator bool() const { return window && list && status; }
};

// What a run did while the test waited for it to end.
struct Ending {
    std::optional<DWORD> exitCode;              // nullopt: still running at the deadline
    std::vector<driver::MessageBoxInfo> boxes;  // every message box it showed, answered with OK
};

class KovelarTest : public ::testing::Test {
protected:
    static constexpr char kProgram[] = "C:\\kvbin\\kovelar.exe";
    static constexpr char kTotalcmd[] = "C:\\kvbin\\totalcmd.exe";

    void SetUp() override;
    void TearDown() override;

    // The data folder, ending in a backslash, and a file in it.
    const std::string& Folder() const { return folder_; }
    std::string PathOf(const std::string& name) const { return folder_ + name; }
    std::string TotalcmdPath() const { return PathOf("totalcmd.exe"); }

    void WriteBytes(const std::string& name, const std::string& bytes) const;
    std::optional<std::string> ReadBytes(const std::string& name) const;
    // kovelar.dat with every entry followed by CR LF, as the program itself writes it.
    void WriteIndex(const std::vector<std::string>& entries) const;
    static std::string IndexBytes(const std::vector<std::string>& entries);
    // kovelar.ini: [Gebruik], Pad naming the stand-in, Taal, then the extra lines.
    void WriteSettings(int language, const std::vector<std::string>& extraLines = {}) const;

    // Starts kovelar.exe with the exact command line "<quoted program path>" + tail, in the
    // data folder, with COMMANDER_PATH naming it (or `commanderPath` when given).
    driver::Process Start(const std::string& tail,
                          std::optional<std::string> commanderPath = std::nullopt);
    driver::Process StartRaw(const std::string& commandLine,
                             std::optional<std::string> commanderPath = std::nullopt);
    // What StartRaw hands the driver, for a start of another kind.
    driver::LaunchOptions LaunchOptionsFor(
        const std::string& commandLine,
        std::optional<std::string> commanderPath = std::nullopt) const;
    static std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

    // Starts the program and waits for its end, answering its message boxes.
    Ending Run(const std::string& tail, Millis timeout = driver::kDefaultWait);

    MainWindow WaitMain(const driver::Process& process,
                        Millis timeout = driver::kDefaultWait) const;
    // Waits for the end, answering every message box with OK on the way.
    Ending WaitEnd(const driver::Process& process, Millis timeout = driver::kDefaultWait) const;
    // The same, and also closes a result window with Escape: for runs whose outcome the test
    // does not predict, only that they end well.
    Ending Conclude(const driver::Process& process, Millis timeout = driver::kDefaultWait,
                    bool closeLists = true) const;
    // Waits for a window of the class, answering (and collecting) message boxes before it.
    HWND WaitWindowAnsweringBoxes(const driver::Process& process, const std::string& className,
                                  std::vector<driver::MessageBoxInfo>& boxes,
                                  Millis timeout = driver::kDefaultWait) const;

    // Each start of the stand-in: its command line after the program path (as `/O "..."`).
    std::vector<std::string> TotalcmdCalls() const;
    // Waits until the stand-in has been started `count` times.
    std::vector<std::string> WaitTotalcmdCalls(size_t count) const;

    // chattr +i / -i through the harness; everything made immutable is released at the end.
    void MakeUnwritable(const std::string& path);
    void MakeWritable(const std::string& path);

private:
    std::string folder_;
    std::vector<std::string> immutable_;
};

// A positive count from an environment variable (how often a stress test repeats), or the
// fallback when it is unset or no positive number.
int CountFromEnvironment(const char* name, int fallback);

// The part of a command line after the program name (quoted or not), blank included.
std::string AfterProgramName(const std::string& commandLine);
std::vector<std::string> SplitLines(const std::string& bytes);

}  // namespace kv::e2e
