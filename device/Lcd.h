#pragma once
// The device's two-line segment display drawn on the device picture.
#include "platform/Picture.h"

namespace vp7 {

class Simulator;

class Lcd {
public:
    explicit Lcd(Simulator& sim);

    // Fills the four background bitmaps from the unlit display of the picture, once at start-up,
    // so that a field can later be cleared by drawing its bitmap back.
    void CaptureLcdBackgrounds();

    Picture UpperLineBackground{151, 40};
    Picture LowerLineBackground{151, 33};
    Picture LowerDigitsBackground{47, 33};
    Picture LowerTextBackground{105, 33};

private:
    Simulator& sim_;
};

} // namespace vp7
