#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

using namespace std::string_view_literals;
using Args = std::vector<std::string>;

TEST(SplitCommandLine, ArgumentRules) {
    struct Case {
        std::string_view line;
        Args arguments;  // program name first
    };
    const Case cases[] = {
        {"", {""}},
        {"j.exe", {"j.exe"}},
        {"j.exe tmp", {"j.exe", "tmp"}},
        {"\"C:\\Program Files\\j.exe\" tmp", {"C:\\Program Files\\j.exe", "tmp"}},
        {"j two words", {"j", "two", "words"}},
        {"j \"two words\"", {"j", "two words"}},
        {"j \t\x01\x1F tmp\r\n", {"j", "tmp"}},       // every byte 1 to 32 separates
        {"j \xE9t\xE9", {"j", "\xE9t\xE9"}},          // bytes above 127 are characters
        {"j \"\"", {"j"}},                            // a lone empty pair is no argument
        {"j \"\" tmp", {"j", "tmp"}},
        {"j \"\"\"\" tmp", {"j", "tmp"}},
        {"j \"\"tmp", {"j", "tmp"}},
        {"j a\"\"b", {"j", "ab"}},
        {"j \"a\"\"b\"", {"j", "ab"}},
        {"j a\"b c\"d e", {"j", "ab cd", "e"}},
        {"j \"unclosed  quote", {"j", "unclosed  quote"}},
        {"j \"", {"j"}},
        {"j \"\"\" x", {"j", " x"}},
        {"\"\" j tmp", {"j", "tmp"}},                // empty pairs go before the program too
        {"j tmp\0ignored"sv, {"j", "tmp"}},          // the line ends at a NUL
    };
    for (const auto& [line, arguments] : cases)
        EXPECT_EQ(SplitCommandLine(line), arguments) << testing::PrintToString(std::string(line));
}

TEST(SplitCommandLine, OutsideQuotesAnArgumentIsCutAfter4096Bytes) {
    const std::string a4096(4096, 'a'), b(5, 'b');
    EXPECT_EQ(SplitCommandLine("j " + a4096), (Args{"j", a4096}));
    EXPECT_EQ(SplitCommandLine("j " + a4096 + b + " c"), (Args{"j", a4096, b, "c"}));
    // The cut falls between characters, so a quote right after it starts the next argument.
    EXPECT_EQ(SplitCommandLine("j " + a4096 + "\"x y\""), (Args{"j", a4096, "x y"}));
}

TEST(SplitCommandLine, AQuotedRunIsKeptWholeWhateverItsLength) {
    const std::string q(5000, 'q');
    EXPECT_EQ(SplitCommandLine("j \"" + q + "\" t"), (Args{"j", q, "t"}));
    // It began before the limit, so it is taken whole; the limit then ends the argument.
    const std::string a(4000, 'a');
    EXPECT_EQ(SplitCommandLine("j " + a + "\"" + q + "\"zz"), (Args{"j", a + q, "zz"}));
}

TEST(SplitCommandLine, HundredThousandByteArguments) {
    const std::string big(100000, 'x');
    const Args unquoted = SplitCommandLine("j " + big);
    ASSERT_EQ(unquoted.size(), 1u + 25u);  // 24 full pieces of 4096 and one of 1696
    EXPECT_EQ(unquoted[1].size(), 4096u);
    EXPECT_EQ(unquoted[25].size(), 100000u - 24u * 4096u);

    EXPECT_EQ(SplitCommandLine("j \"" + big + "\""), (Args{"j", big}));
    EXPECT_EQ(SplitCommandLine("j \"" + big), (Args{"j", big}));
    EXPECT_EQ(SplitCommandLine(std::string(100000, ' ')), (Args{""}));
    EXPECT_EQ(SplitCommandLine(std::string(100000, '"')), (Args{""}));
    EXPECT_EQ(SplitCommandLine("j" + std::string(99999, '"')), (Args{"j"}));
}

TEST(ParamCount, CountsArgumentsAfterTheProgramName) {
    EXPECT_EQ(ParamCount(""), 0u);
    EXPECT_EQ(ParamCount("j"), 0u);
    EXPECT_EQ(ParamCount("j \"\""), 0u);
    EXPECT_EQ(ParamCount("j tmp"), 1u);
    EXPECT_EQ(ParamCount("j \"a b\" c"), 2u);
}

TEST(ParamStr, GivesTheArgumentOrNothing) {
    EXPECT_EQ(ParamStr("j \"two words\" x", 0), "j");
    EXPECT_EQ(ParamStr("j \"two words\" x", 1), "two words");
    EXPECT_EQ(ParamStr("j \"two words\" x", 2), "x");
    EXPECT_EQ(ParamStr("j \"two words\" x", 3), "");
    EXPECT_EQ(ParamStr("j", 1), "");
}

}  // namespace
}  // namespace kv
