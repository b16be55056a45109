#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The small mark-up of the panels' captions: FONT (size in points, face, color), B, SHAD and
// P with align, plus BR and the entities &amp; &lt; &gt; &quot; &nbsp;. Unknown tags are
// dropped, so is a tag that never closes; the text between tags is kept byte for byte
// (Windows-1252, blanks included). Any input is accepted.
namespace kv::markup {

enum class Align { Left, Center, Right };

struct Style {
    int size = 0;        // points; 0: the painter's default size
    std::string face{};  // empty: the painter's default face
    bool bold = false;
    bool hasColor = false;    // false: the painter's default colour
    std::uint32_t color = 0;  // 0xRRGGBB
    bool shadow = false;

    bool operator==(const Style&) const = default;
};

struct Run {
    std::string text;
    Style style;

    bool operator==(const Run&) const = default;
};

// One line of runs. P starts a new line with its alignment; </P> ends it, and what follows
// goes on a new line aligned to the left; BR starts a new line with the same alignment.
struct Line {
    Align align = Align::Left;
    std::vector<Run> runs;

    bool operator==(const Line&) const = default;
};

inline constexpr int kMinSize = 4;
inline constexpr int kMaxSize = 200;

// Lines that hold no text are left out; neighbouring runs of the same style are joined.
std::vector<Line> Parse(std::string_view text);

// The text without its tags, entities resolved, lines joined by nothing.
std::string PlainText(std::string_view text);

}  // namespace kv::markup
