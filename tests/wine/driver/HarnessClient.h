#pragma once

// Root-only operations that the harness script performs for a test program (see harness.sh).

#include <string>

namespace kv::driver {

// Sets (true) or clears (false) the Linux immutable attribute of a file or folder below
// C:\kvtest\ (the harness refuses any other path), the one way to make it unwritable for Wine
// running as root. False when the harness did not confirm it within a few seconds (for
// example when the program runs outside the harness).
bool SetImmutable(const std::string& windowsPath, bool immutable);

// In the scan prefix (harness.sh setup STATE_DIR scan): points the fixed drive H: at one of the
// harness's large trees ("t20k", 20,000 folders), or at an empty folder for "". False when the
// harness refused or did not answer.
bool MapLargeTree(const std::string& tree);

}  // namespace kv::driver
