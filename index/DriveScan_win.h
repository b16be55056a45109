#pragma once
#include "index/DriveScan.h"

namespace kv {

// The scan's view of the machine on Win32: the drive letters and types, directory listings
// through FindFirstFileA / FindNextFileA, and the process's current directory.
ScanPlatform& SystemScanPlatform();

}  // namespace kv
