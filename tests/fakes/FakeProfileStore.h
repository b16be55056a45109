#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/SettingsFile.h"

namespace kv::fakes {

// A settings file in memory that records every call, in order ("Pad=...", "flush"), and can be
// made to refuse writes from one key on, as a file on a read-only disk would.
class FakeProfileStore : public ProfileStore {
public:
    std::map<std::string, std::string, std::less<>> values;
    std::vector<std::string> calls;
    std::optional<std::string> refuseFrom;  // this key and every write after it fail

    std::optional<std::string> Read(std::string_view key) override {
        calls.push_back("read " + std::string(key));
        const auto found = values.find(key);
        if (found == values.end()) return std::nullopt;
        return found->second;
    }
    bool Write(std::string_view key, std::string_view value) override {
        calls.push_back(std::string(key) + "=" + std::string(value));
        if (refuseFrom && *refuseFrom == key) refusing_ = true;
        if (refusing_) return false;
        values[std::string(key)] = std::string(value);
        return true;
    }
    void Flush() override { calls.push_back("flush"); }

private:
    bool refusing_ = false;
};

}  // namespace kv::fakes
