// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FloatChars.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <string_view>

namespace vp7 {
namespace {

// The browser's standard library has no floating to_chars and from_chars; the stand-ins must give what
// this one's give, text for text and end for end, or a state, a check or a room's speed would read
// differently there.

// What a writer of the library's kind writes for `v`.
template <typename Write> std::string Written(Write write, double v) {
    char buffer[64];
    return std::string(buffer, write(buffer, buffer + sizeof buffer, v).ptr);
}
std::string LibraryScientific(double v) {
    return Written(
        [](char* a, char* b, double x) { return std::to_chars(a, b, x, std::chars_format::scientific); }, v);
}
std::string StandInScientific(double v) {
    return Written(portable::ToCharsScientific, v);
}
std::string LibraryShortest(double v) {
    return Written([](char* a, char* b, double x) { return std::to_chars(a, b, x); }, v);
}
std::string StandInShortest(double v) {
    return Written(portable::ToCharsShortest, v);
}

TEST(FloatChars, WritesWhatTheLibraryWrites) {
    // clang-format off
    const double values[] = {0.0, -0.0, 1.0, 0.1, 0.15, 1.0 / 3, 2.0 / 3, 50.5, 99.95, 0.5, 2.0, 10.0, 1234.5678,
                             -273.15, 1e21, 1e22, 123456789012345680.0, 9007199254740993.0, 5e-324, 1e-7,
                             std::numeric_limits<double>::max(), std::numeric_limits<double>::min()};
    // clang-format on
    for (double v : values) {
        EXPECT_EQ(StandInScientific(v), LibraryScientific(v)) << v;
        EXPECT_EQ(StandInShortest(v), LibraryShortest(v)) << v;
    }
    // Doubles of every magnitude, from their bits; the shortest text reads back to the same double.
    std::mt19937_64 random(7);
    for (int i = 0; i < 8000; ++i) {
        const double v = std::bit_cast<double>(random());
        if (!std::isfinite(v)) continue;
        ASSERT_EQ(StandInScientific(v), LibraryScientific(v)) << std::hexfloat << v;
        const std::string text = StandInShortest(v);
        ASSERT_EQ(text, LibraryShortest(v)) << std::hexfloat << v;
        double back = 0;
        const auto result = portable::FromChars(text.data(), text.data() + text.size(), back);
        ASSERT_EQ(result.ec, std::errc()) << text;
        ASSERT_EQ(back, v) << text;
    }
}

TEST(FloatChars, ReadsWhatTheLibraryReads) {
    // Where the reading stops, its error and its value, for texts a user or a damaged file may hold.
    // clang-format off
    const std::string_view texts[] = {"0", "-0", "1.5", ".5", "5.", "1e5", "1E-5", "1e", "1e+", "1e-x", "+1", " 1",
        "1,5", "-", "", ".", "e5", "inf", "-INF", "Infinity", "infx", "nan", "nan(abc)", "nan(a b)", "NaN()",
        "1e400", "-1e400", "1e-400", "0x10", "12abc", "0.1000000000000000055511151231257827",
        "2.2250738585072011e-308", "4.9e-324", "00012", "1..2", "--1"};
    // clang-format on
    for (std::string_view text : texts) {
        double library = -7, standIn = -7;
        const auto a = std::from_chars(text.data(), text.data() + text.size(), library);
        const auto b = portable::FromChars(text.data(), text.data() + text.size(), standIn);
        EXPECT_EQ(b.ptr - text.data(), a.ptr - text.data()) << text;
        EXPECT_EQ(b.ec, a.ec) << text;
        if (std::isnan(library))
            EXPECT_TRUE(std::isnan(standIn)) << text;
        else
            EXPECT_EQ(standIn, library) << text;
    }
}

} // namespace
} // namespace vp7
