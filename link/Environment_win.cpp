#include <windows.h>

#include "link/DataDirectory.h"

namespace kv {

// The first call asks for the size, counting the terminating zero; the second reads the
// value. Should the variable grow between the two calls, the read is made again with the
// new size rather than taking a cut value.
std::optional<std::string> EnvironmentValue(const char* name) {
    DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    for (int attempt = 0; attempt < 4 && size > 0; ++attempt) {
        std::string value(size, '\0');
        SetLastError(ERROR_SUCCESS);
        const DWORD copied = GetEnvironmentVariableA(name, value.data(), size);
        if (copied == 0)
            return GetLastError() == ERROR_ENVVAR_NOT_FOUND
                       ? std::nullopt
                       : std::optional<std::string>(std::string());
        if (copied < size) {
            value.resize(copied);
            return value;
        }
        size = copied;
    }
    return std::nullopt;
}

}  // namespace kv
