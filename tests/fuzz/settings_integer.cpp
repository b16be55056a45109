// The settings integers on any text, and the settings read from any file.
//
// ParseSettingsInteger is checked against a reading built on std::from_chars: decimal with one
// optional sign, or hexadecimal after "0x"/"0X" (with a digit after it) or "$", and nothing but
// a valid 32-bit value is taken (hex up to FFFFFFFF, which wraps). What the writer prints for any
// 32-bit value reads back the same.
//
// The whole input is also read as a settings file, the way the profile functions present it to
// ReadSettings: the keys of section Gebruik, names without regard to case, values trimmed of
// blanks and of one pair of enclosing quotes and cut at 2047 bytes. Each key read must give the
// integer or the default, and the settings written back read back equal.
//
// Input: the text of a settings file (or of one integer).
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "FakeProfileStore.h"
#include "link/SettingsFile.h"

namespace {

void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// The whole of `digits` as an unsigned number in `base`, or nullopt (empty, a stray byte, a
// sign, or more than 64 bits).
std::optional<std::uint64_t> Whole(std::string_view digits, int base) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    const char* const end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, base);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::optional<std::int32_t> Expected(std::string_view text) {
    std::optional<std::uint64_t> hex;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        hex = Whole(text.substr(2), 16);
    else if (!text.empty() && text[0] == '$')
        hex = Whole(text.substr(1), 16);
    else {
        const bool negative = !text.empty() && text[0] == '-';
        if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
        const std::optional<std::uint64_t> magnitude = Whole(text, 10);
        if (!magnitude || *magnitude > (negative ? 2147483648u : 2147483647u)) return std::nullopt;
        return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(*magnitude)
                                                  : static_cast<std::int64_t>(*magnitude));
    }
    if (!hex || *hex > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(*hex));
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

constexpr std::array<std::string_view, 4> kKeys{"Pad", "Taal", "LaatsteUpdate", "Progress"};

// Fills `store` with the four keys as the profile functions would give them from `file`: the
// first line of each key in the section counts.
void Load(std::string_view file, kv::fakes::FakeProfileStore& store) {
    bool inSection = false;
    while (!file.empty()) {
        const std::size_t end = file.find_first_of("\r\n");
        std::string_view line = Trim(file.substr(0, end));
        file.remove_prefix(end == std::string_view::npos ? file.size() : end + 1);
        if (!line.empty() && line.front() == '[') {
            const std::size_t close = line.find(']');
            inSection = SameName(
                Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1)),
                kv::kSettingsSection);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) continue;
        const std::string_view name = Trim(line.substr(0, equals));
        std::string_view value = Trim(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        value = value.substr(0, 2047);
        for (const std::string_view key : kKeys)
            if (SameName(name, key) && !store.values.contains(key))
                store.values.emplace(std::string(key), std::string(value));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    Require(kv::ParseSettingsInteger(text) == Expected(text), "the integer reading");

    // What the writer prints reads back: decimal, and both hex forms of the same bits.
    if (size >= 4) {
        std::uint32_t bits;
        std::memcpy(&bits, data, 4);
        const auto value = static_cast<std::int32_t>(bits);
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%X", bits);
        Require(kv::ParseSettingsInteger(std::to_string(value)) == value, "decimal reads back");
        Require(kv::ParseSettingsInteger(hex) == value, "0x hex reads back");
        hex[1] = '$';
        Require(kv::ParseSettingsInteger(hex + 1) == value, "$ hex reads back");
    }

    kv::fakes::FakeProfileStore file;
    Load(text, file);
    const kv::Settings read = kv::ReadSettings(file);
    const auto stored = [&](std::string_view key) {
        const auto found = file.values.find(key);
        return found == file.values.end() ? std::optional<std::string>() : found->second;
    };
    Require(read.commanderExe == stored("Pad").value_or(""), "Pad as stored");
    Require(read.lastUpdate == stored("LaatsteUpdate").value_or(""), "LaatsteUpdate as stored");
    Require(read.language == Expected(stored("Taal").value_or("")).value_or(0),
            "Taal is the integer or 0");
    Require(read.progressMax == Expected(stored("Progress").value_or("")).value_or(1000),
            "Progress is the integer or 1000");

    // Saved and read again, every setting comes back the same.
    kv::fakes::FakeProfileStore saved;
    Require(kv::WriteSettings(saved, read, read.lastUpdate), "a store that takes every write");
    const kv::Settings again = kv::ReadSettings(saved);
    Require(again.commanderExe == read.commanderExe && again.language == read.language &&
                again.lastUpdate == read.lastUpdate && again.progressMax == read.progressMax,
            "the settings read back as written");
    return 0;
}
