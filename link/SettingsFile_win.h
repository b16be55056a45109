#pragma once
#include <memory>
#include <string>

#include "link/SettingsFile.h"

namespace kv {

// The settings file through the platform's profile functions, which hold nothing but the
// path: every read and write goes to the file (or the platform's cache of it) at once.
std::unique_ptr<ProfileStore> OpenProfileStore(const std::string& path);

// True when a file (not a directory) exists at the path.
bool FileExists(const std::string& path);

// The local date and time in the user's short date and long time formats; the date alone at
// exactly midnight.
std::string LocalDateTimeText();

}  // namespace kv
