#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace kv {

// The directory named by an environment variable's value, with a backslash appended unless it
// ends in one already; no value, or an empty one, gives "\" (the root of the current drive).
std::string DataDirectoryFrom(std::optional<std::string_view> value);

// Reads the variable afresh on every call (environment_win.cpp on Windows, a fake in tests).
std::optional<std::string> EnvironmentValue(const char* name);
std::string DataDirectory(const char* name);

inline constexpr const char* kCommanderPath = "COMMANDER_PATH";
std::string IndexPath();     // DataDirectory(COMMANDER_PATH) + "kovelar.dat"
std::string SettingsPath();  // DataDirectory(COMMANDER_PATH) + "kovelar.ini"

}  // namespace kv
