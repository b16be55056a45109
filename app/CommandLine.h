#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Splits a process command line, program name first, into its arguments. Blanks and control
// bytes (1 to 32) and empty quote pairs before an argument are skipped; a double quote toggles
// quoting and is dropped; outside quotes an argument ends after 4096 bytes and the rest starts
// the next one. Splitting stops at the first argument that comes out empty. The program name is
// always the first element, empty only for a blank line.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The arguments after the program name, and the first of them (the search term; empty if none).
std::size_t ParamCount(std::string_view commandLine);
std::string ParamStr(std::string_view commandLine, std::size_t index);

}  // namespace kv
