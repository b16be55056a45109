#include "link/DataDirectory.h"

namespace kv {

// Only the last byte is looked at: a value ending in a forward slash still gets a backslash.
// No value at all means the root of the current drive, so both data files then live there.
std::string DataDirectoryFrom(std::optional<std::string_view> value) {
    std::string directory(value.value_or(std::string_view()));
    if (directory.empty() || directory.back() != '\\') directory.push_back('\\');
    return directory;
}

// Read afresh on every call, so a change of the variable during the run is seen at once.
std::string DataDirectory(const char* name) {
    const std::optional<std::string> value = EnvironmentValue(name);
    return value ? DataDirectoryFrom(*value) : DataDirectoryFrom(std::nullopt);
}

std::string IndexPath() { return DataDirectory(kCommanderPath) + "kovelar.dat"; }

std::string SettingsPath() { return DataDirectory(kCommanderPath) + "kovelar.ini"; }

}  // namespace kv
