#pragma once

// Root-only operations that the harness script performs for a test program (see harness.sh).

#include <string>

namespace kv::driver {

// Sets (true) or clears (false) the Linux immutable attribute of a file or folder below
// C:\kvtest\ (the harness refuses any other path), the one way to make it unwritable for Wine
// running as root. False when the harness did not confirm it within a few seconds (for
// example when the program runs outside the harness).
bool SetImmutable(const std::string& windowsPath, bool immutable);

}  // namespace kv::driver
