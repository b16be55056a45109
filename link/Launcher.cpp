#include "link/Launcher.h"

namespace kv {

// The entry goes between the quotes unchanged, nothing escaped: its final backslash stands right
// before the closing quote, and the file manager reads its own command line that way.
std::string JumpParameters(std::string_view entry) {
    std::string parameters = "/O \"";
    parameters.append(entry);
    parameters.push_back('"');
    return parameters;
}

}  // namespace kv
