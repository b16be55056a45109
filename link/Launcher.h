#pragma once
#include <string>
#include <string_view>

namespace kv {

// The parameter text that makes the file manager show a folder: /O "<entry>".
std::string JumpParameters(std::string_view entry);

}  // namespace kv
