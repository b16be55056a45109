// The caption mark-up parser on any text. The parse is always well formed for the painter (no
// empty line or run, neighbouring runs differ in style, sizes and colours within their ranges),
// PlainText is the parse's text, tags and entities only ever shrink the text, and text without
// mark-up comes out unchanged.
//
// Input: the caption text.
#include "ui/Markup.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace markup = kv::markup;

void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::vector<markup::Line> lines = markup::Parse(text);
    std::string fromRuns;
    for (const markup::Line& line : lines) {
        Require(!line.runs.empty(), "a line without text is left out");
        Require(line.align == markup::Align::Left || line.align == markup::Align::Center ||
                    line.align == markup::Align::Right,
                "the alignment is one of three");
        for (std::size_t i = 0; i < line.runs.size(); ++i) {
            const markup::Run& run = line.runs[i];
            Require(!run.text.empty(), "a run holds text");
            Require(i == 0 || !(line.runs[i - 1].style == run.style),
                    "neighbouring runs of one style are joined");
            Require(run.text.find_first_of("\r\n") == std::string::npos,
                    "line breaks of the source are not text");
            const markup::Style& style = run.style;
            Require(style.size == 0 ||
                        (style.size >= markup::kMinSize && style.size <= markup::kMaxSize),
                    "a size is the default or within its range");
            Require(style.color <= 0xFFFFFF, "a colour is 0xRRGGBB");
            Require(style.hasColor || style.color == 0, "no colour without hasColor");
            Require(style.face.size() <= text.size(), "a face is part of the text");
            fromRuns += run.text;
        }
    }

    const std::string plain = markup::PlainText(text);
    Require(plain == fromRuns, "PlainText is the text of the parse");
    Require(plain.size() <= text.size(), "tags and entities only shrink the text");
    if (text.find_first_of("<&\r\n") == std::string_view::npos)
        Require(plain == text, "text without mark-up comes out unchanged");
    return 0;
}
