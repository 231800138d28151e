// SPDX-License-Identifier: GPL-3.0-or-later
// The number readers on any text, and the formatters on the doubles and digit counts they give.
#include "platform/NumberFormat.h"

#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto v = vp7::ReadDecimal(text)) {
        for (int precision : {1, 4, 7, 15, 18})
            for (int digits : {0, 1, 2, 4}) {
                vp7::FloatToStrF(*v, vp7::FloatFormat::Fixed, precision, digits);
                vp7::FloatToStrF(*v, vp7::FloatFormat::Exponent, precision, digits);
            }
        vp7::FormatGeneral(*v, 7);
    }
    if (const auto i = vp7::ReadInt32(text)) {
        if (vp7::ReadInt32(vp7::WriteHex32(*i)) != *i) __builtin_trap(); // the writer's text reads back
    }
    if (size >= sizeof(double) + 2) { // any bit pattern, NaN and infinities included
        double v;
        std::memcpy(&v, data, sizeof v);
        vp7::FloatToStrF(v, static_cast<vp7::FloatFormat>(data[8] % 3), data[9] % 24 - 2, data[8] % 20 - 1);
    }
    return 0;
}
