#include "link/SettingsFile.h"

namespace kv {
namespace {

// Hex digits of a settings integer. Values up to FFFFFFFF are taken and wrap to the signed
// 32-bit value ($FFFFFFFF is -1), as the files that older versions wrote may hold them so;
// leading zeros do not count against the eight digits.
std::optional<std::int32_t> ParseHex(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit) return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::int32_t ReadInteger(ProfileStore& store, std::string_view key, std::int32_t fallback) {
    return ParseSettingsInteger(store.Read(key).value_or(std::string())).value_or(fallback);
}

}  // namespace

// "0x" counts as a hex prefix only with at least one byte after it, so a bare "0x" is no
// number at all; "$" is the older hex prefix. Blanks are not skipped: the profile functions
// have trimmed the value already.
std::optional<std::int32_t> ParseSettingsInteger(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseHex(text.substr(2));
    if (!text.empty() && text[0] == '$') return ParseHex(text.substr(1));
    return ParseDecimal(text);
}

// No range is imposed on the integers: an edited file may give any language code or scale.
Settings ReadSettings(ProfileStore& store) {
    Settings settings;
    settings.commanderExe = store.Read("Pad").value_or(std::string());
    settings.language = ReadInteger(store, "Taal", settings.language);
    settings.lastUpdate = store.Read("LaatsteUpdate").value_or(std::string());
    settings.progressMax = ReadInteger(store, "Progress", settings.progressMax);
    return settings;
}

// A new file gets its keys in this order, and every write reaches the file at once; after the
// first failure nothing more is tried, and the writes before it stay in the file.
bool WriteSettings(ProfileStore& store, const Settings& values,
                   const std::optional<std::string>& stamp) {
    if (!store.Write("Pad", values.commanderExe)) return false;
    if (!store.Write("Taal", std::to_string(values.language))) return false;
    if (!store.Write("Progress", std::to_string(values.progressMax))) return false;
    if (stamp && !store.Write("LaatsteUpdate", *stamp)) return false;
    store.Flush();
    return true;
}

// At exactly midnight the time is left out and the date stands alone.
std::string DateTimeText(std::string_view date, std::string_view time, bool midnight) {
    std::string text(date);
    if (!midnight) {
        text.push_back(' ');
        text.append(time);
    }
    return text;
}

}  // namespace kv
