#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

inline constexpr const char* kSettingsSection = "Gebruik";

// A profile (INI) file as the platform's profile functions see it. On Windows this is
// GetPrivateProfileStringA / WritePrivateProfileStringA on one path; tests use a fake.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // The value, or nullopt when the key is missing; values come back cut at 2047 bytes.
    virtual std::optional<std::string> Read(std::string_view key) = 0;
    // Writes one key at once; false when the file cannot be written.
    [[nodiscard]] virtual bool Write(std::string_view key, std::string_view value) = 0;
    // Drops any cached copy so that the next read sees the disk.
    virtual void Flush() = 0;
};

// An integer as the settings file holds it: decimal, "0x"/"0X" hex (more than two bytes), or
// "$" hex; anything that is not a valid 32-bit integer gives nullopt (the caller's default).
std::optional<std::int32_t> ParseSettingsInteger(std::string_view text);

struct Settings {
    std::string commanderExe;       // Pad
    std::int32_t language = 0;      // Taal
    std::string lastUpdate;         // LaatsteUpdate, as stored
    std::int32_t progressMax = 1000;  // Progress
};

// Reads the four keys with their defaults. Callers flush the store first when what is read
// must be what is on disk.
Settings ReadSettings(ProfileStore& store);

// Writes Pad, Taal and Progress, and LaatsteUpdate := stamp when one is given, then flushes.
// Stops at the first write that fails and returns false.
[[nodiscard]] bool WriteSettings(ProfileStore& store, const Settings& values,
                                 const std::optional<std::string>& stamp);

// The date, a blank and the time; the date alone at exactly midnight.
std::string DateTimeText(std::string_view date, std::string_view time, bool midnight);

}  // namespace kv
