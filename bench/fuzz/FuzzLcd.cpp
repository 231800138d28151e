// SPDX-License-Identifier: GPL-3.0-or-later
// LCDWrite with any text and field, and the display read back afterwards.
#include "FuzzSupport.h"

#include "sim/display/Lcd.h"
#include "sim/display/LcdReadBack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vp7::fuzz;
    Device& d = StartedDevice();
    if (size == 0) return 0;
    const int field = static_cast<int8_t>(data[0]) % 6; // valid and invalid fields
    d.sim->lcd.LCDWrite(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), field);
    vp7::ReadLcd(d.sim->image1);
    return 0;
}
