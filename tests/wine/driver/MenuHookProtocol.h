#pragma once

// What the driver and its hook library agree on: the driver hooks the target's thread,
// sends it the registered message, and the hook, running inside the target, writes the menu
// bar of the receiving window into the named mapping.
namespace kv::menuhook {

inline constexpr char kLibraryName[] = "kvmenuhook.dll";
inline constexpr char kProcedureName[] = "KvMenuHookProc";
inline constexpr char kMessageName[] = "KvMenuHookReadMenu";
inline constexpr char kMappingName[] = "KvMenuHookDump";
inline constexpr unsigned kMappingSize = 64 * 1024;

}  // namespace kv::menuhook
