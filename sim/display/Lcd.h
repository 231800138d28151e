// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device's two-line segment display, drawn as short black lines onto the device picture over the
// unlit display area. Every part that shows something on the display goes through LCDWrite.
#include "model/PictureLayout.h"
#include "platform/Picture.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vp7 {

class StateVisitor;

class Simulator;

enum LcdField { UpperLine = 0, LowerLine = 1, LowerDigits = 2, LowerText = 3 };

// The segments of `text` in `field` drawn in black onto `pic`, whose display's top left corner lies at
// (originX, originY), over whatever is there: right-aligned, and on the upper line a "." or "," at one of
// four places from the end as the decimal point. The display draws its own this way; a picture of the
// display alone (an instructor's view of a seat) draws it at its corner.
void DrawLcdText(Picture& pic, std::string_view text, LcdField field, int originX, int originY);

class Lcd {
public:
    explicit Lcd(Simulator& sim);
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);

    // Fills the four background bitmaps from the unlit display of the picture, once at start-up,
    // so that a field can later be cleared by drawing its bitmap back.
    void CaptureLcdBackgrounds();
    // Restores the field's background and draws the text right-aligned into it; on the upper line a
    // "." or "," at one of four places from the end becomes the decimal point. Other fields are ignored.
    void LCDWrite(std::string_view text, int field);
    // The display drawn again as it was last written, over its backgrounds captured anew from the
    // picture: each field's last text, in the order the fields were written (the lower line covers the
    // two fields within it).
    void Redraw();

    Picture UpperLineBackground{layout::LcdUpperLine.Width(), layout::LcdUpperLine.Height()};
    Picture LowerLineBackground{layout::LcdLowerLine.Width(), layout::LcdLowerLine.Height()};
    Picture LowerDigitsBackground{layout::LcdLowerDigits.Width(), layout::LcdLowerDigits.Height()};
    Picture LowerTextBackground{layout::LcdLowerText.Width(), layout::LcdLowerText.Height()};

    // The texts last composed for the two lines by the displays, menus and diagnostics.
    std::string LcdUpperText;
    std::string LcdLowerText;

private:
    static constexpr int kFieldCount = 4;
    Simulator& sim_;
    std::array<std::string, kFieldCount> written_;     // each field's last text
    std::array<uint64_t, kFieldCount> writtenOrder_{}; // when, counted in writes; 0: never written
    uint64_t writes_ = 0;
};

} // namespace vp7
