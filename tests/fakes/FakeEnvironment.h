#pragma once
#include <optional>
#include <string>

// The environment as the native tests set it; EnvironmentValue reads from here.
namespace kv::fakes {

// nullopt removes the variable; an empty text sets it empty.
void SetEnvironmentValue(const std::string& name, std::optional<std::string> value);
void ClearEnvironment();

}  // namespace kv::fakes
