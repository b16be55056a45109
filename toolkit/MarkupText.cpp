#include "toolkit/MarkupText.h"

#include <algorithm>

#include "toolkit/Gdi.h"

namespace kv {

namespace {

COLORREF FromRgb(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

SIZE Extent(HDC dc, HFONT font, const std::string& text) {
    const SelectGuard select(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

}  // namespace

HFONT MarkupText::FontFor(const markup::Style& style) {
    FontKey key{style.face.empty() ? defaults_.face : style.face,
                style.size > 0 ? PointsToPixels(style.size, defaults_.dpi) : defaults_.height,
                style.bold};
    for (const auto& [known, font] : fonts_)
        if (known.face == key.face && known.height == key.height && known.bold == key.bold)
            return font.get();
    FontHandle font = MakeFont({.face = key.face.c_str(), .height = key.height, .bold = key.bold});
    const HFONT handle = font.get();
    fonts_.emplace_back(std::move(key), std::move(font));
    return handle;
}

void MarkupText::Set(std::string_view markup, const MarkupDefaults& defaults) {
    defaults_ = defaults;
    lines_.clear();
    fonts_.clear();
    for (const markup::Line& parsed : markup::Parse(markup)) {
        Line line{parsed.align, {}};
        for (const markup::Run& run : parsed.runs)
            line.pieces.push_back({run.text, FontFor(run.style),
                                   run.style.hasColor ? FromRgb(run.style.color) : defaults_.color,
                                   run.style.shadow});
        lines_.push_back(std::move(line));
    }
}

// Pieces of one line share a baseline; the block of lines sits in the middle of the area.
void MarkupText::Draw(HDC dc, const RECT& area) const {
    if (lines_.empty()) return;
    struct Measured {
        int width = 0;
        int ascent = 0;
        int height = 0;
    };
    std::vector<Measured> measures;
    int total = 0;
    for (const Line& line : lines_) {
        Measured m;
        for (const Piece& piece : line.pieces) {
            m.width += Extent(dc, piece.font, piece.text).cx;
            const SelectGuard select(dc, piece.font);
            TEXTMETRICA tm{};
            GetTextMetricsA(dc, &tm);
            m.ascent = std::max(m.ascent, static_cast<int>(tm.tmAscent));
            m.height = std::max(m.height, static_cast<int>(tm.tmHeight));
        }
        measures.push_back(m);
        total += m.height;
    }
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const UINT oldAlign = SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    int top = area.top + (area.bottom - area.top - total) / 2;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        const Measured& m = measures[i];
        int x = area.left + defaults_.indent;
        if (line.align == markup::Align::Center)
            x = area.left + (area.right - area.left - m.width) / 2;
        else if (line.align == markup::Align::Right)
            x = area.right - defaults_.indent - m.width;
        const int baseline = top + m.ascent;
        for (const Piece& piece : line.pieces) {
            const SelectGuard select(dc, piece.font);
            const int length = static_cast<int>(piece.text.size());
            if (piece.shadow) {
                SetTextColor(dc, defaults_.shadowColor);
                TextOutA(dc, x + defaults_.shadowOffset, baseline + defaults_.shadowOffset,
                         piece.text.c_str(), length);
            }
            SetTextColor(dc, piece.color);
            TextOutA(dc, x, baseline, piece.text.c_str(), length);
            x += Extent(dc, piece.font, piece.text).cx;
        }
        top += m.height;
    }
    SetTextAlign(dc, oldAlign);
    SetBkMode(dc, oldMode);
}

}  // namespace kv
