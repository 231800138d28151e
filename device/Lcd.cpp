#include "device/Lcd.h"

#include "core/Simulator.h"

namespace vp7 {

Lcd::Lcd(Simulator& sim) : sim_(sim) {}

void Lcd::CaptureLcdBackgrounds() {
    // The source rectangles are one point smaller than the bitmaps; the copy stretches them, as the
    // device program's canvas copy did.
    const Picture& pic = sim_.image1;
    UpperLineBackground.CopyRect(UpperLineBackground.Bounds(), pic, {355, 260, 505, 299});
    LowerLineBackground.CopyRect(LowerLineBackground.Bounds(), pic, {355, 299, 505, 331});
    LowerDigitsBackground.CopyRect(LowerDigitsBackground.Bounds(), pic, {355, 299, 401, 331});
    LowerTextBackground.CopyRect(LowerTextBackground.Bounds(), pic, {401, 299, 505, 331});
}

} // namespace vp7
