#pragma once
#include <string>

namespace kv {

// Starts a program with a parameter text through the shell and does not wait for it. False
// when the shell refuses the start.
[[nodiscard]] bool StartProgram(const std::string& file, const std::string& parameters);

// Opens a link with its registered handler; a link is cut at 259 characters.
[[nodiscard]] bool OpenWithShell(const std::string& link);

}  // namespace kv
