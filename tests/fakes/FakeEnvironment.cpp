#include "FakeEnvironment.h"

#include <map>

#include "link/DataDirectory.h"

namespace kv {
namespace {

std::map<std::string, std::string>& Variables() {
    static std::map<std::string, std::string> variables;
    return variables;
}

}  // namespace

std::optional<std::string> EnvironmentValue(const char* name) {
    const auto found = Variables().find(name);
    if (found == Variables().end()) return std::nullopt;
    return found->second;
}

namespace fakes {

void SetEnvironmentValue(const std::string& name, std::optional<std::string> value) {
    if (value) Variables()[name] = std::move(*value);
    else Variables().erase(name);
}

void ClearEnvironment() { Variables().clear(); }

}  // namespace fakes
}  // namespace kv
