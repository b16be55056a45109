#include "link/SettingsFile.h"

#include <gtest/gtest.h>

#include "FakeProfileStore.h"

namespace kv {
namespace {

using fakes::FakeProfileStore;
using Calls = std::vector<std::string>;

TEST(ParseSettingsInteger, DecimalAndBothHexForms) {
    struct Case {
        std::string_view text;
        std::optional<std::int32_t> value;
    };
    for (const auto& [text, value] : std::initializer_list<Case>{
             {"0", 0},
             {"7", 7},
             {"-5", -5},
             {"+5", 5},
             {"007", 7},
             {"2147483647", 2147483647},
             {"-2147483648", INT32_MIN},
             {"2147483648", std::nullopt},
             {"-2147483649", std::nullopt},
             {"99999999999", std::nullopt},
             {"99999999999999999999999", std::nullopt},
             {"0x2", 2},
             {"0X1f", 31},
             {"0x7FFFFFFF", 2147483647},
             {"0x80000000", INT32_MIN},
             {"0xFFFFFFFF", -1},
             {"0x000000001", 1},
             {"0x100000000", std::nullopt},
             {"$1F", 31},
             {"$ffffffff", -1},
             {"$", std::nullopt},
             {"0x", std::nullopt},
             {"0X", std::nullopt},
             {"0xG", std::nullopt},
             {"0x-1", std::nullopt},
             {"", std::nullopt},
             {"abc", std::nullopt},
             {"-", std::nullopt},
             {"+", std::nullopt},
             {"1 ", std::nullopt},
             {"1.5", std::nullopt},
             {"12abc", std::nullopt},
         })
        EXPECT_EQ(ParseSettingsInteger(text), value) << text;
}

TEST(ReadSettings, DefaultsForMissingAndUnreadableKeys) {
    FakeProfileStore store;
    Settings read = ReadSettings(store);
    EXPECT_EQ(read.commanderExe, "");
    EXPECT_EQ(read.language, 0);
    EXPECT_EQ(read.lastUpdate, "");
    EXPECT_EQ(read.progressMax, 1000);
    EXPECT_EQ(store.calls, (Calls{"read Pad", "read Taal", "read LaatsteUpdate", "read Progress"}));

    store.values = {{"Taal", "abc"}, {"Progress", ""}};
    read = ReadSettings(store);
    EXPECT_EQ(read.language, 0);
    EXPECT_EQ(read.progressMax, 1000);
}

TEST(ReadSettings, TakesStoredValuesWithoutLimits) {
    FakeProfileStore store;
    store.values = {{"Pad", "c:\\totalcmd\\totalcmd.exe"},
                    {"Taal", "7"},
                    {"LaatsteUpdate", "11-12-2026 13:45:00"},
                    {"Progress", "0x2"}};
    const Settings read = ReadSettings(store);
    EXPECT_EQ(read.commanderExe, "c:\\totalcmd\\totalcmd.exe");
    EXPECT_EQ(read.language, 7);
    EXPECT_EQ(read.lastUpdate, "11-12-2026 13:45:00");
    EXPECT_EQ(read.progressMax, 2);
}

TEST(WriteSettings, KeyOrderAndTheStamp) {
    const Settings values{"c:\\tc\\totalcmd.exe", -1, "ignored", 800};

    FakeProfileStore plain;
    EXPECT_TRUE(WriteSettings(plain, values, std::nullopt));
    EXPECT_EQ(plain.calls, (Calls{"Pad=c:\\tc\\totalcmd.exe", "Taal=-1", "Progress=800", "flush"}));

    FakeProfileStore stamped;
    stamped.values = {{"LaatsteUpdate", "old"}};
    EXPECT_TRUE(WriteSettings(stamped, values, "11-12-2026"));
    EXPECT_EQ(stamped.calls, (Calls{"Pad=c:\\tc\\totalcmd.exe", "Taal=-1", "Progress=800",
                                    "LaatsteUpdate=11-12-2026", "flush"}));
}

TEST(WriteSettings, StopsAtTheFirstRefusedWrite) {
    struct Case {
        std::string refuseFrom;
        Calls calls;
    };
    const Settings values{"x.exe", 2, "", 1000};
    for (const auto& [refuseFrom, calls] : std::initializer_list<Case>{
             {"Pad", {"Pad=x.exe"}},
             {"Taal", {"Pad=x.exe", "Taal=2"}},
             {"Progress", {"Pad=x.exe", "Taal=2", "Progress=1000"}},
             {"LaatsteUpdate", {"Pad=x.exe", "Taal=2", "Progress=1000", "LaatsteUpdate=now"}},
         }) {
        FakeProfileStore store;
        store.values = {{"LaatsteUpdate", "before"}};
        store.refuseFrom = refuseFrom;
        EXPECT_FALSE(WriteSettings(store, values, "now")) << refuseFrom;
        EXPECT_EQ(store.calls, calls) << refuseFrom;
        // The writes before the failure stay; the stored stamp is untouched.
        EXPECT_EQ(store.values.at("LaatsteUpdate"), "before");
    }
}

TEST(DateTimeText, LeavesTheTimeOutAtMidnight) {
    EXPECT_EQ(DateTimeText("11-12-2026", "13:45:07", false), "11-12-2026 13:45:07");
    EXPECT_EQ(DateTimeText("12/11/2026", "12:00:00 AM", true), "12/11/2026");
}

}  // namespace
}  // namespace kv
