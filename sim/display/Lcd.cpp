// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/display/Lcd.h"

#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/display/LcdTables.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace vp7 {
namespace {

// One display position per character: a UTF-8 sequence is one character, and everything outside
// 0-127 shows blank, as the device's 8-bit characters did.
std::vector<unsigned> Characters(std::string_view text) {
    std::vector<unsigned> out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0xC0 && c < 0xF8) {
            const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            size_t k = 1;
            while (k < length && i + k < text.size() &&
                   (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80)
                ++k;
            if (k == length) {
                i += length - 1;
                out.push_back(0x80); // any code point beyond ASCII
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}

struct FieldInfo {
    const Picture Lcd::*background;
    const Rect& place;
};

// The cells of its line a field covers.
struct FieldCells {
    int firstCell, width;
    bool upper;
};
constexpr FieldCells kFieldCells[] = {{0, 6, true}, {0, 7, false}, {0, 2, false}, {2, 5, false}};

// The rectangle a field's background is copied from: one point smaller than the bitmap, which the copy
// stretches, as the device program's canvas copy did.
Rect CaptureSource(const Rect& field) {
    return {field.left, field.top, field.right - 1, field.bottom - 1};
}

} // namespace

Lcd::Lcd(Simulator& sim) : sim_(sim) {}

void Lcd::CaptureLcdBackgrounds() {
    const Picture& pic = sim_.image1;
    UpperLineBackground.CopyRect(UpperLineBackground.Bounds(), pic, CaptureSource(layout::LcdUpperLine));
    LowerLineBackground.CopyRect(LowerLineBackground.Bounds(), pic, CaptureSource(layout::LcdLowerLine));
    LowerDigitsBackground.CopyRect(LowerDigitsBackground.Bounds(), pic,
                                   CaptureSource(layout::LcdLowerDigits));
    LowerTextBackground.CopyRect(LowerTextBackground.Bounds(), pic, CaptureSource(layout::LcdLowerText));
}

void Lcd::LCDWrite(std::string_view text, int field) {
    static const FieldInfo kFields[] = {
        {&Lcd::UpperLineBackground, layout::LcdUpperLine},
        {&Lcd::LowerLineBackground, layout::LcdLowerLine},
        {&Lcd::LowerDigitsBackground, layout::LcdLowerDigits},
        {&Lcd::LowerTextBackground, layout::LcdLowerText},
    };
    if (field < 0 || field >= kFieldCount) return;
    written_[field] = text;
    writtenOrder_[field] = ++writes_;
    const FieldInfo& f = kFields[field];
    Picture& pic = sim_.image1;
    pic.Draw(f.place.left, f.place.top, this->*f.background);
    DrawLcdText(pic, text, static_cast<LcdField>(field), lcd::kOriginX, lcd::kOriginY);
}

void DrawLcdText(Picture& pic, std::string_view text, LcdField field, int originX, int originY) {
    const FieldCells& f = kFieldCells[field];
    std::vector<unsigned> chars = Characters(text);
    if (chars.empty()) return;

    // The decimal point: a separator with 4, 3, 2 or 1 characters after it, searched in that order.
    int dot = -1;
    if (f.upper) {
        for (size_t d = 0; d < lcd::kDots.size() && dot < 0; ++d) {
            const size_t fromEnd = 5 - d;
            if (chars.size() >= fromEnd) {
                const unsigned c = chars[chars.size() - fromEnd];
                if (c == '.' || c == ',') {
                    dot = static_cast<int>(d);
                    chars.erase(chars.end() - static_cast<std::ptrdiff_t>(fromEnd));
                }
            }
        }
    }
    if (chars.size() < static_cast<size_t>(f.width)) chars.insert(chars.begin(), f.width - chars.size(), ' ');

    pic.SetPenColor(0);
    pic.SetPenWidth(f.upper ? 2 : 1);
    for (int k = 0; k < f.width; ++k) {
        const lcd::Cell& cell = f.upper ? lcd::kUpperCells[k] : lcd::kLowerCells[f.firstCell + k];
        const uint16_t pattern = lcd::Pattern(cell.kind, chars[k]) & cell.mask;
        const lcd::Segment* segments = lcd::Geometry(cell.kind);
        const int ox = originX + cell.x, oy = originY + cell.y;
        for (int bit = 0; bit < lcd::SegmentCount(cell.kind); ++bit) {
            if (!(pattern & (1u << bit)) || !segments[bit].Exists()) continue;
            pic.MoveTo(ox + segments[bit].x1, oy + segments[bit].y1);
            pic.LineTo(ox + segments[bit].x2, oy + segments[bit].y2);
        }
    }
    if (dot >= 0) {
        const int px = originX + lcd::kDots[dot].x, py = originY + lcd::kDots[dot].y;
        pic.MoveTo(px, py);
        pic.LineTo(px + 2, py);
        pic.MoveTo(px, py + 1);
        pic.LineTo(px + 2, py + 1);
    }
    pic.SetPenWidth(1);
}

void Lcd::DoState(StateVisitor& v) {
    v.Part("lcd");
    v("UpperLineBackground", UpperLineBackground);
    v("LowerLineBackground", LowerLineBackground);
    v("LowerDigitsBackground", LowerDigitsBackground);
    v("LowerTextBackground", LowerTextBackground);
    v("LcdUpperText", LcdUpperText);
    v("LcdLowerText", LcdLowerText);
    v("written", written_);
    v("writtenOrder", writtenOrder_);
    v("writes", writes_);
}

void Lcd::Redraw() {
    CaptureLcdBackgrounds();
    std::array<int, kFieldCount> fields{};
    std::iota(fields.begin(), fields.end(), 0);
    std::sort(fields.begin(), fields.end(),
              [this](int a, int b) { return writtenOrder_[a] < writtenOrder_[b]; });
    // LCDWrite notes each field anew; the display's own record stays as it was.
    const auto written = written_;
    const auto order = writtenOrder_;
    const uint64_t writes = writes_;
    for (const int field : fields)
        if (order[field] != 0) LCDWrite(written[field], field);
    writtenOrder_ = order;
    writes_ = writes;
}

} // namespace vp7
