#pragma once
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Handle.h"
#include "ui/Markup.h"

namespace kv {

// What a caption's mark-up does not say itself.
struct MarkupDefaults {
    const char* face = "Arial";
    int height = 18;  // character height in pixels
    COLORREF color = RGB(255, 255, 255);
    COLORREF shadowColor = RGB(0x40, 0x40, 0x40);
    int shadowOffset = 2;
    int indent = 4;  // from the left and right edges
    int dpi = 96;    // of the window it is drawn in, for the sizes in points of the mark-up
};

// A mark-up caption ready to draw: parsed, with one font per distinct style made when the
// text is set, so that painting creates nothing.
class MarkupText {
public:
    void Set(std::string_view markup, const MarkupDefaults& defaults);
    // The lines stacked and centred as a block in `area`, each aligned by its paragraph.
    void Draw(HDC dc, const RECT& area) const;

private:
    struct Piece {
        std::string text;
        HFONT font = nullptr;
        COLORREF color = 0;
        bool shadow = false;
    };
    struct Line {
        markup::Align align = markup::Align::Left;
        std::vector<Piece> pieces;
    };
    HFONT FontFor(const markup::Style& style);

    MarkupDefaults defaults_{};
    std::vector<Line> lines_;
    struct FontKey {
        std::string face;
        int height;
        bool bold;
    };
    std::vector<std::pair<FontKey, FontHandle>> fonts_;
};

}  // namespace kv
