#include "link/DataDirectory.h"

#include <gtest/gtest.h>

#include "FakeEnvironment.h"

namespace kv {
namespace {

TEST(DataDirectoryFrom, AppendsABackslashUnlessThereIsOne) {
    struct Case {
        std::optional<std::string_view> value;
        std::string_view directory;
    };
    for (const auto& [value, directory] : std::initializer_list<Case>{
             {std::nullopt, "\\"},
             {"", "\\"},
             {"C:\\Totalcmd", "C:\\Totalcmd\\"},
             {"C:\\Totalcmd\\", "C:\\Totalcmd\\"},
             {"C:\\Totalcmd/", "C:\\Totalcmd/\\"},
             {"\\", "\\"},
             {" ", " \\"},
         })
        EXPECT_EQ(DataDirectoryFrom(value), directory) << value.value_or("(unset)");
}

class DataFiles : public testing::Test {
protected:
    void TearDown() override { fakes::ClearEnvironment(); }
};

TEST_F(DataFiles, FollowTheVariableAtEveryCall) {
    fakes::SetEnvironmentValue(kCommanderPath, "C:\\Totalcmd");
    EXPECT_EQ(DataDirectory(kCommanderPath), "C:\\Totalcmd\\");
    EXPECT_EQ(IndexPath(), "C:\\Totalcmd\\kovelar.dat");
    EXPECT_EQ(SettingsPath(), "C:\\Totalcmd\\kovelar.ini");

    fakes::SetEnvironmentValue(kCommanderPath, "D:\\tc\\");
    EXPECT_EQ(IndexPath(), "D:\\tc\\kovelar.dat");

    fakes::SetEnvironmentValue(kCommanderPath, "");
    EXPECT_EQ(IndexPath(), "\\kovelar.dat");

    fakes::SetEnvironmentValue(kCommanderPath, std::nullopt);
    EXPECT_EQ(DataDirectory(kCommanderPath), "\\");
    EXPECT_EQ(SettingsPath(), "\\kovelar.ini");
}

}  // namespace
}  // namespace kv
