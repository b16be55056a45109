#include "app/CommandLine.h"

namespace kv {
namespace {

// Outside quotes an argument is cut after this many bytes and the rest starts the next one.
constexpr std::size_t kArgumentLimit = 4096;

// The command line is a C string: a NUL byte ends it wherever it stands.
class Cursor {
public:
    explicit Cursor(std::string_view line) : line_(line.substr(0, line.find('\0'))) {}

    [[nodiscard]] bool AtEnd() const { return pos_ >= line_.size(); }
    [[nodiscard]] bool At(char c, std::size_t ahead = 0) const {
        return pos_ + ahead < line_.size() && line_[pos_ + ahead] == c;
    }
    // Blank and control bytes (codes 1 to 32) separate arguments; bytes of 128 and above are
    // ordinary characters.
    [[nodiscard]] bool AtSeparator() const {
        return !AtEnd() && static_cast<unsigned char>(line_[pos_]) <= ' ';
    }
    char Take() { return line_[pos_++]; }
    void Skip(std::size_t n = 1) { pos_ += n; }

private:
    std::string_view line_;
    std::size_t pos_ = 0;
};

// Splits off the next argument. Separators and empty quote pairs before it are skipped, so a
// lone "" never yields an argument. A double quote switches quoting and is dropped; a quote
// that is never closed runs to the end of the line. The 4096-byte limit is checked only
// between characters outside quotes: a quoted run is always taken whole, however long, so that
// no part of a quoted path is silently split off into a term of its own.
std::string NextArgument(Cursor& c) {
    for (;;) {
        while (c.AtSeparator()) c.Skip();
        if (c.At('"') && c.At('"', 1)) {
            c.Skip(2);
            continue;
        }
        break;
    }
    std::string argument;
    while (!c.AtEnd() && !c.AtSeparator() && argument.size() < kArgumentLimit) {
        if (c.At('"')) {
            c.Skip();
            while (!c.AtEnd() && !c.At('"')) argument.push_back(c.Take());
            if (!c.AtEnd()) c.Skip();
        } else {
            argument.push_back(c.Take());
        }
    }
    return argument;
}

}  // namespace

// The program name is always the first element, even when it comes out empty; the arguments
// after it run until the first one that comes out empty, which only happens at the end of the
// line.
std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    Cursor cursor(commandLine);
    std::vector<std::string> arguments{NextArgument(cursor)};
    for (;;) {
        std::string argument = NextArgument(cursor);
        if (argument.empty()) break;
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::size_t ParamCount(std::string_view commandLine) {
    return SplitCommandLine(commandLine).size() - 1;
}

// Index 0 is the program name as the command line spells it; an index past the last argument
// gives an empty text.
std::string ParamStr(std::string_view commandLine, std::size_t index) {
    std::vector<std::string> arguments = SplitCommandLine(commandLine);
    return index < arguments.size() ? std::move(arguments[index]) : std::string();
}

}  // namespace kv
