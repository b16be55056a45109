#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "index/FolderList.h"
#include "index/IndexStream.h"

namespace kv {

// One pass over the index file, opened for reading only (others may read it meanwhile, not
// write): its entry count and the entries whose last component holds `key`. nullopt when the
// file does not exist or cannot be opened or read.
std::optional<IndexSearch> SearchIndexFile(const std::string& path, std::string_view key);

// A save never leaves a half-written index behind: the new index goes to a file beside the old
// one, is flushed, and then takes the old one's place in one step. When any of that fails the
// old file stays as it was and the new one is removed.

// Saves the list in the file form. False when it cannot be written.
[[nodiscard]] bool SaveIndex(const std::string& path, const FolderList& list);

// Rewrites the index file with `folder` moved to the front. Only Promoted changes the file.
[[nodiscard]] PromoteResult PromoteInIndexFile(const std::string& path, std::string_view folder);

}  // namespace kv
