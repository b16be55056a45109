#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "index/FolderList.h"

namespace kv {

// The part of an entry that a term is matched against: the entry without its last byte,
// after the last backslash that remains ("C:\\PROJECTS\\TMP\\" gives "TMP", "C:\\" gives "C:").
std::string_view LastComponent(std::string_view entry);

// Positions, in index order, of the entries whose last component contains `key` as an exact
// run of bytes. The caller upper-cases the term into the key once, by the system's locale.
std::vector<std::size_t> FindMatches(const FolderList& list, std::string_view key);

}  // namespace kv

namespace kv {

// The term upper-cased by the system's locale rule (CharUpperBuffA on Windows: é becomes É
// under code page 1252). Search_win.cpp on Windows, a fake in the native tests.
std::string SearchKey(std::string_view term);

}  // namespace kv
