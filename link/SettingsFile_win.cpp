#include "link/SettingsFile_win.h"

#include <windows.h>

namespace kv {

namespace {

constexpr DWORD kValueBuffer = 2048;

class Win32ProfileStore final : public ProfileStore {
public:
    explicit Win32ProfileStore(std::string path) : path_(std::move(path)) {}

    // The profile functions give no sign of a missing key but the default they were handed.
    // An empty answer is read again with a default that no stored value can equal at that
    // point (it is known to be empty), which tells an empty value from a missing key.
    std::optional<std::string> Read(std::string_view key) override {
        const std::string name(key);
        std::string value = Get(name, "");
        if (!value.empty()) return value;
        if (Get(name, "\x01") == "\x01") return std::nullopt;
        return value;
    }

    bool Write(std::string_view key, std::string_view value) override {
        return WritePrivateProfileStringA(kSettingsSection, std::string(key).c_str(),
                                          std::string(value).c_str(), path_.c_str()) != FALSE;
    }

    void Flush() override { WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str()); }

private:
    std::string Get(const std::string& key, const char* fallback) const {
        char buffer[kValueBuffer] = {};
        const DWORD length = GetPrivateProfileStringA(kSettingsSection, key.c_str(), fallback,
                                                      buffer, kValueBuffer, path_.c_str());
        return std::string(buffer, length < kValueBuffer ? length : kValueBuffer - 1);
    }

    std::string path_;
};

std::string Formatted(int(WINAPI* format)(LCID, DWORD, const SYSTEMTIME*, LPCSTR, LPSTR, int),
                      DWORD flags, const SYSTEMTIME& time) {
    char buffer[128] = {};
    const int length = format(LOCALE_USER_DEFAULT, flags, &time, nullptr, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer) : std::string();
}

}  // namespace

std::unique_ptr<ProfileStore> OpenProfileStore(const std::string& path) {
    return std::make_unique<Win32ProfileStore>(path);
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string LocalDateTimeText() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const bool midnight = now.wHour == 0 && now.wMinute == 0 && now.wSecond == 0;
    return DateTimeText(Formatted(GetDateFormatA, DATE_SHORTDATE, now),
                        Formatted(GetTimeFormatA, 0, now), midnight);
}

}  // namespace kv
