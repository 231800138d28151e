// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads the display back from the picture's pixels, as a person sees it: every position decodes to the
// first character whose segment pattern matches what is lit, so "S" and "5" read alike.
#include <string>

namespace vp7 {

class Picture;

struct LcdReading {
    std::string upper; // six positions with "." inserted where the decimal point is lit
    std::string lower; // seven positions
};

LcdReading ReadLcd(const Picture& picture);

} // namespace vp7
