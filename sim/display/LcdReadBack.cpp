// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/display/LcdReadBack.h"

#include "platform/Picture.h"
#include "sim/display/LcdTables.h"

#include <cstdio>
#include <vector>

namespace vp7 {
namespace {

// A segment counts as lit only when every pixel its line would draw is black.
bool AllBlack(const Picture& pic, int x0, int y0, int x1, int y1, int width) {
    bool lit = true;
    Picture::ForEachLinePixel(x0, y0, x1, y1, width,
                              [&](int x, int y) { lit = lit && pic.Pixel(x, y) == 0; });
    return lit;
}

uint16_t LitPattern(const Picture& pic, const lcd::Cell& cell, int penWidth) {
    const lcd::Segment* segments = lcd::Geometry(cell.kind);
    const int ox = lcd::kOriginX + cell.x, oy = lcd::kOriginY + cell.y;
    uint16_t pattern = 0;
    for (int bit = 0; bit < lcd::SegmentCount(cell.kind); ++bit) {
        const lcd::Segment& s = segments[bit];
        if ((cell.mask & (1u << bit)) && s.Exists() &&
            AllBlack(pic, ox + s.x1, oy + s.y1, ox + s.x2, oy + s.y2, penWidth))
            pattern |= static_cast<uint16_t>(1u << bit);
    }
    return pattern;
}

// The order characters are tried in: blank, digits, letters, minus, full stop, then the rest.
const std::vector<unsigned>& SearchOrder() {
    static const std::vector<unsigned> order = [] {
        std::vector<unsigned> o{' '};
        for (unsigned c = '0'; c <= '9'; ++c)
            o.push_back(c);
        for (unsigned c = 'A'; c <= 'Z'; ++c)
            o.push_back(c);
        for (unsigned c = 'a'; c <= 'z'; ++c)
            o.push_back(c);
        o.push_back('-');
        o.push_back('.');
        for (unsigned c = 0x21; c <= 0x7F; ++c)
            o.push_back(c);
        for (unsigned c = 0x18; c <= 0x1F; ++c)
            o.push_back(c);
        return o;
    }();
    return order;
}

std::string Decode(uint16_t pattern, const lcd::Cell& cell) {
    for (unsigned c : SearchOrder()) {
        if ((lcd::Pattern(cell.kind, c) & cell.mask) != pattern) continue;
        if (c >= 0x20) return std::string(1, static_cast<char>(c));
        char code[8];
        std::snprintf(code, sizeof code, "{%02X}", c);
        return code;
    }
    return "?";
}

} // namespace

LcdReading ReadLcd(const Picture& pic) {
    LcdReading r;
    for (size_t k = 0; k < lcd::kUpperCells.size(); ++k) {
        const lcd::Cell& cell = lcd::kUpperCells[k];
        const uint16_t pattern = LitPattern(pic, cell, 2);
        // Position 0 can light only the middle bar: a minus sign or nothing.
        r.upper += k == 0 ? (pattern ? "-" : " ") : Decode(pattern, cell);
        for (const lcd::Dot& d : lcd::kDots) {
            if (d.after != static_cast<int>(k)) continue;
            const int px = lcd::kOriginX + d.x, py = lcd::kOriginY + d.y;
            if (AllBlack(pic, px, py, px + 2, py, 2) && AllBlack(pic, px, py + 1, px + 2, py + 1, 2))
                r.upper += '.';
        }
    }
    for (const lcd::Cell& cell : lcd::kLowerCells)
        r.lower += Decode(LitPattern(pic, cell, 1), cell);
    return r;
}

} // namespace vp7
