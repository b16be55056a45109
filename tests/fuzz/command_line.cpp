// The argument splitter on any command line. Whatever the line holds, splitting consumes all of
// it: no argument keeps a quote (quotes only switch quoting), every byte that is neither a quote
// nor a separator ends up in some argument, ParamCount and ParamStr tell the same story as the
// split itself, and the arguments quoted and joined again split back into themselves.
//
// Input: the command line itself, program name first.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"

namespace {

void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

bool IsSeparator(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 1 && byte <= 32;
}

// Whether `inner` can be had from `outer` by leaving bytes out.
bool IsSubsequence(std::string_view inner, std::string_view outer) {
    std::size_t at = 0;
    for (const char c : outer)
        if (at < inner.size() && inner[at] == c) ++at;
    return at == inner.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view whole(reinterpret_cast<const char*>(data), size);
    // The command line is a C string: nothing after a NUL counts.
    const std::string_view line = whole.substr(0, whole.find('\0'));

    const std::vector<std::string> arguments = kv::SplitCommandLine(whole);
    Require(!arguments.empty(), "the program name is always there");

    std::string joined;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        Require(i == 0 || !argument.empty(), "only the program name may be empty");
        Require(argument.find('"') == std::string::npos, "no argument keeps a quote");
        Require(argument.find('\0') == std::string::npos, "no argument holds a NUL");
        joined += argument;
    }
    Require(arguments[0].empty() <= (arguments.size() == 1),
            "an empty program name means a blank line with no arguments");
    Require(IsSubsequence(joined, line), "the arguments are bytes of the line, in order");

    // Every byte that is neither a quote nor a separator belongs to some argument; separators
    // in arguments come only from quoted runs.
    std::size_t plain = 0;
    std::size_t unquoted = 0;
    for (const char c : line) {
        if (c == '"') continue;
        ++unquoted;
        if (!IsSeparator(c)) ++plain;
    }
    Require(plain <= joined.size() && joined.size() <= unquoted, "no byte is lost or made up");
    if (line.find('"') == std::string_view::npos) {
        // Without quotes an argument is a run of at most 4096 non-separator bytes.
        std::string bare;
        for (const char c : line)
            if (!IsSeparator(c)) bare.push_back(c);
        Require(joined == bare, "an unquoted line splits into its words");
        for (const std::string& argument : arguments) {
            Require(argument.size() <= 4096, "an unquoted argument is cut after 4096 bytes");
            for (const char c : argument) Require(!IsSeparator(c), "no unquoted separator");
        }
    }

    // ParamCount counts what the split gives; ParamStr answers by position and gives nothing
    // past the end. Only a few positions are asked, as each answer splits the line anew.
    const std::size_t count = kv::ParamCount(whole);
    Require(count == arguments.size() - 1, "ParamCount counts the arguments");
    for (const std::size_t i : {std::size_t{0}, std::size_t{1}, std::size_t{2}, count})
        if (i < arguments.size())
            Require(kv::ParamStr(whole, i) == arguments[i], "ParamStr gives each argument");
    Require(kv::ParamStr(whole, count + 1).empty(), "ParamStr gives nothing past the end");

    // Each argument in quotes, joined by blanks, splits back into the same arguments: quoting
    // keeps blanks, long runs and every byte but the quote itself.
    std::string requoted;
    for (const std::string& argument : arguments) requoted += "\"" + argument + "\" ";
    Require(kv::SplitCommandLine(requoted) == arguments, "quoted arguments split back alike");
    return 0;
}
