#include "ui/Markup.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <utility>

namespace kv::markup {
namespace {

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

struct Attribute {
    std::string_view name;
    std::string_view value;
};

struct Tag {
    bool closing = false;
    std::string_view name;
    std::vector<Attribute> attributes;
};

// The inside of <...>: an optional slash, a name, then name=value pairs whose value is in
// double or single quotes or runs to the next blank. Anything else is skipped over.
Tag ReadTag(std::string_view inside) {
    Tag tag;
    std::size_t i = 0;
    while (i < inside.size() && IsBlank(inside[i])) ++i;
    if (i < inside.size() && inside[i] == '/') {
        tag.closing = true;
        ++i;
    }
    const std::size_t nameStart = i;
    while (i < inside.size() && !IsBlank(inside[i]) && inside[i] != '/') ++i;
    tag.name = inside.substr(nameStart, i - nameStart);
    while (i < inside.size()) {
        while (i < inside.size() && (IsBlank(inside[i]) || inside[i] == '/')) ++i;
        const std::size_t start = i;
        while (i < inside.size() && !IsBlank(inside[i]) && inside[i] != '=') ++i;
        const std::string_view name = inside.substr(start, i - start);
        while (i < inside.size() && IsBlank(inside[i])) ++i;
        std::string_view value;
        if (i < inside.size() && inside[i] == '=') {
            ++i;
            while (i < inside.size() && IsBlank(inside[i])) ++i;
            if (i < inside.size() && (inside[i] == '"' || inside[i] == '\'')) {
                const char quote = inside[i++];
                const std::size_t end = inside.find(quote, i);
                const std::size_t stop = end == std::string_view::npos ? inside.size() : end;
                value = inside.substr(i, stop - i);
                i = end == std::string_view::npos ? inside.size() : end + 1;
            } else {
                const std::size_t valueStart = i;
                while (i < inside.size() && !IsBlank(inside[i])) ++i;
                value = inside.substr(valueStart, i - valueStart);
            }
        }
        if (!name.empty()) tag.attributes.push_back({name, value});
        if (i == start) ++i;  // a stray character: step over it
    }
    return tag;
}

std::optional<int> ReadSize(std::string_view value) {
    if (value.empty() || value.size() > 6) return std::nullopt;
    int size = 0;
    for (const char c : value) {
        if (c < '0' || c > '9') return std::nullopt;
        size = size * 10 + (c - '0');
    }
    return std::clamp(size, kMinSize, kMaxSize);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = Lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "#RRGGBB", or a colour name with or without the "cl" prefix of the window descriptions.
std::optional<std::uint32_t> ReadColor(std::string_view value) {
    if (value.size() == 7 && value[0] == '#') {
        std::uint32_t color = 0;
        for (std::size_t i = 1; i < 7; ++i) {
            const int digit = HexDigit(value[i]);
            if (digit < 0) return std::nullopt;
            color = color * 16 + static_cast<std::uint32_t>(digit);
        }
        return color;
    }
    if (value.size() > 2 && SameWord(value.substr(0, 2), "cl")) value.remove_prefix(2);
    static constexpr std::array<std::pair<std::string_view, std::uint32_t>, 17> kNames{{
        {"black", 0x000000},
        {"white", 0xFFFFFF},
        {"red", 0xFF0000},
        {"green", 0x008000},
        {"blue", 0x0000FF},
        {"yellow", 0xFFFF00},
        {"gray", 0x808080},
        {"grey", 0x808080},
        {"navy", 0x000080},
        {"maroon", 0x800000},
        {"silver", 0xC0C0C0},
        {"lime", 0x00FF00},
        {"aqua", 0x00FFFF},
        {"fuchsia", 0xFF00FF},
        {"purple", 0x800080},
        {"olive", 0x808000},
        {"teal", 0x008080},
    }};
    for (const auto& [name, color] : kNames)
        if (SameWord(value, name)) return color;
    return std::nullopt;
}

std::optional<Align> ReadAlign(std::string_view value) {
    if (SameWord(value, "left")) return Align::Left;
    if (SameWord(value, "center") || SameWord(value, "centre")) return Align::Center;
    if (SameWord(value, "right")) return Align::Right;
    return std::nullopt;
}

// "&amp;" and its kin at the start of `text`: the character and the length taken, or nullopt.
std::optional<std::pair<char, std::size_t>> ReadEntity(std::string_view text) {
    static constexpr std::array<std::pair<std::string_view, char>, 5> kEntities{{
        {"&amp;", '&'},
        {"&lt;", '<'},
        {"&gt;", '>'},
        {"&quot;", '"'},
        {"&nbsp;", ' '},
    }};
    for (const auto& [name, c] : kEntities)
        if (text.size() >= name.size() && SameWord(text.substr(0, name.size()), name))
            return std::pair{c, name.size()};
    return std::nullopt;
}

class Builder {
public:
    void Text(char c) {
        Line& line = lines_.back();
        const Style style = Current();
        if (line.runs.empty() || !(line.runs.back().style == style))
            line.runs.push_back({std::string(), style});
        line.runs.back().text.push_back(c);
    }

    void Apply(const Tag& tag) {
        if (SameWord(tag.name, "FONT")) {
            if (tag.closing) {
                if (!fonts_.empty()) fonts_.pop_back();
                return;
            }
            Style font = fonts_.empty() ? Style{} : fonts_.back();
            for (const Attribute& a : tag.attributes) {
                if (SameWord(a.name, "size")) {
                    if (const auto size = ReadSize(a.value)) font.size = *size;
                } else if (SameWord(a.name, "face")) {
                    font.face = std::string(a.value);
                } else if (SameWord(a.name, "color")) {
                    if (const auto color = ReadColor(a.value)) {
                        font.hasColor = true;
                        font.color = *color;
                    }
                }
            }
            fonts_.push_back(std::move(font));
        } else if (SameWord(tag.name, "B")) {
            bold_ = tag.closing ? std::max(0, bold_ - 1) : bold_ + 1;
        } else if (SameWord(tag.name, "SHAD")) {
            shadow_ = tag.closing ? std::max(0, shadow_ - 1) : shadow_ + 1;
        } else if (SameWord(tag.name, "P")) {
            Align align = Align::Left;
            if (!tag.closing)
                for (const Attribute& a : tag.attributes)
                    if (SameWord(a.name, "align"))
                        if (const auto chosen = ReadAlign(a.value)) align = *chosen;
            NewLine(align);
        } else if (SameWord(tag.name, "BR") && !tag.closing) {
            NewLine(lines_.back().align);
        }
    }

    std::vector<Line> Finish() {
        std::erase_if(lines_, [](const Line& line) { return line.runs.empty(); });
        return std::move(lines_);
    }

private:
    Style Current() const {
        Style style = fonts_.empty() ? Style{} : fonts_.back();
        style.bold = bold_ > 0;
        style.shadow = shadow_ > 0;
        return style;
    }

    // An empty line only takes the new alignment; a line with text is closed.
    void NewLine(Align align) {
        if (lines_.back().runs.empty())
            lines_.back().align = align;
        else
            lines_.push_back({align, {}});
    }

    std::vector<Line> lines_{Line{}};
    std::vector<Style> fonts_;
    int bold_ = 0;
    int shadow_ = 0;
};

}  // namespace

std::vector<Line> Parse(std::string_view text) {
    Builder builder;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '<') {
            const std::size_t end = text.find('>', i + 1);
            if (end == std::string_view::npos) break;  // a tag that never closes is dropped
            builder.Apply(ReadTag(text.substr(i + 1, end - i - 1)));
            i = end + 1;
        } else if (c == '&') {
            if (const auto entity = ReadEntity(text.substr(i))) {
                builder.Text(entity->first);
                i += entity->second;
            } else {
                builder.Text(c);
                ++i;
            }
        } else if (c == '\r' || c == '\n') {
            ++i;  // line breaks in the source are not line breaks of the caption
        } else {
            builder.Text(c);
            ++i;
        }
    }
    return builder.Finish();
}

std::string PlainText(std::string_view text) {
    std::string plain;
    for (const Line& line : Parse(text))
        for (const Run& run : line.runs) plain += run.text;
    return plain;
}

}  // namespace kv::markup
