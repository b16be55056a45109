#pragma once
#include <optional>
#include <string>

#include "index/FolderList.h"

namespace kv {

// The whole index file, opened for reading only (others may read it meanwhile, not write);
// nullopt when it does not exist or cannot be opened or read.
std::optional<std::string> ReadIndexFile(const std::string& path);

// Writes the list in the file form. False when the file cannot be created or written.
[[nodiscard]] bool SaveIndex(const std::string& path, const FolderList& list);

}  // namespace kv
