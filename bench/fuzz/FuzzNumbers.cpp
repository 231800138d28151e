// SPDX-License-Identifier: GPL-3.0-or-later
// The number readers on any text, and the formatters on the doubles and digit counts they give; the
// stand-ins for a browser's missing floating to_chars/from_chars against this library's own.
#include "platform/FloatChars.h"
#include "platform/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace {

void SameAsTheLibrary(std::string_view text) {
    double library = -1, standIn = -1;
    const auto a = std::from_chars(text.data(), text.data() + text.size(), library);
    const auto b = vp7::portable::FromChars(text.data(), text.data() + text.size(), standIn);
    if (a.ptr != b.ptr || a.ec != b.ec) __builtin_trap();
    if (!(std::isnan(library) && std::isnan(standIn)) && library != standIn) __builtin_trap();
}

void WritesAsTheLibrary(double v) {
    char x[64], y[64];
    const auto a = std::to_chars(x, x + sizeof x, v, std::chars_format::scientific);
    const auto b = vp7::portable::ToCharsScientific(y, y + sizeof y, v);
    if (std::string_view(x, a.ptr) != std::string_view(y, b.ptr)) __builtin_trap();
    const auto c = std::to_chars(x, x + sizeof x, v);
    const auto d = vp7::portable::ToCharsShortest(y, y + sizeof y, v);
    if (std::isfinite(v) && std::string_view(x, c.ptr) != std::string_view(y, d.ptr)) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SameAsTheLibrary(text);
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
        WritesAsTheLibrary(v);
    }
    return 0;
}
