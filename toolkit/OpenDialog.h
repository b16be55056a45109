#pragma once
#include <windows.h>

#include <string>

namespace kv {

// The system's dialog for choosing one existing file (GetOpenFileNameA). It offers a single
// file type and keeps the file chosen last for its next opening.
class OpenDialog {
public:
    std::string filterName;     // e.g. "Totalcommander"
    std::string filterPattern;  // e.g. "totalcmd.exe;totalcmd64.exe"
    std::string defaultExt;     // without the dot
    std::string initialDir;
    std::string fileName;  // preset before, the choice after a confirmed Execute

    // True when the user confirmed a file; a cancel leaves fileName as it was.
    bool Execute(HWND owner);
};

}  // namespace kv
