// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <utility>

namespace vp7 {
namespace {

// The texts the display and the parameter table show, one row per rule.
// Fixed: one rounding at the precision or the last decimal, whichever comes first (1.2345 is not 1.24
// by way of 1.235; the typed 0.15 rounds up, not its binary 0.1499...); too many integer digits, also
// after rounding, give the general form. Exponent: a full mantissa of precision digits and a
// zero-padded, always-signed exponent. General: trailing zeros dropped, fixed only from 0.00001 up to
// precision integer digits. Not numbers never fail, whatever the form.
TEST(NumberFormatTest, FloatToStrFForms) {
    using enum FloatFormat;
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    // The form, the value, precision and digits; the text.
    // clang-format off
    const std::tuple<FloatFormat, double, int, int, const char*> cases[] = {
        {Fixed, 12.5, 7, 2, "12.50"},  {Fixed, 0.0005, 5, 3, "0.001"},   {Fixed, -0.04, 5, 1, "0.0"},
        {Fixed, -0.05, 5, 1, "-0.1"},  {Fixed, 99.95, 4, 1, "100.0"},    {Fixed, 123.456, 4, 2, "123.50"},
        {Fixed, 1.2345, 4, 2, "1.23"}, {Fixed, 999.96, 4, 2, "1000.00"}, {Fixed, 2.5, 5, 0, "3"},
        {Fixed, 0.15, 5, 1, "0.2"},    {Fixed, 12345, 4, 1, "1.235E4"},  {Fixed, 999.96, 3, 2, "1E3"},
        {Exponent, 100, 8, 2, "1.0000000E+02"}, {Exponent, 123456, 3, 1, "1.23E+5"},
        {Exponent, 0, 8, 2, "0.0000000E+00"},   {Exponent, -0.00123, 3, 2, "-1.23E-03"},
        {Exponent, 9.999, 3, 2, "1.00E+01"},    {Exponent, 1e-300, 2, 1, "1.0E-300"},  {Exponent, 7, 1, 0, "7E+0"},
        {General, 1e20, 7, 0, "1E20"},        {General, 12345678, 7, 0, "1.234568E7"}, {General, 1234567, 7, 0, "1234567"},
        {General, 50.5, 7, 0, "50.5"},        {General, 0.00001, 7, 0, "0.00001"},     {General, 0.0000099, 7, 0, "9.9E-6"},
        {General, 0.99999999, 7, 0, "1"},     {General, -0.0, 7, 0, "0"},              {General, 1e-320, 7, 0, "1E-320"},
        {General, nan, 7, 0, "NAN"},          {Fixed, inf, 7, 2, "INF"},               {Exponent, -inf, 7, 2, "-INF"}};
    // clang-format on
    for (const auto& [format, value, precision, digits, expected] : cases)
        EXPECT_EQ(FloatToStrF(value, format, precision, digits), expected)
            << value << " form " << static_cast<int>(format) << " " << precision << "," << digits;
    // The shorthands take digits and precision in their own order; one drops the exponent's plus.
    EXPECT_EQ(FormatFixed(123.456, 2, 4), "123.50");
    EXPECT_EQ(FormatExponentNoPlus(-0.00123, 3, 1), "-1.23E-3");
}

// Typed numbers: a comma or a point, blanks around them; anything else, or out of range, is refused.
TEST(NumberFormatTest, ReadDecimal) {
    const std::pair<std::string, double> accepted[] = {
        {"50,5", 50.5},          {" 12 ", 12},       {"\t-3.5e2\t", -350}, {"+7", 7}, {".5", 0.5}, {"5.", 5},
        {"-1.7E+308", -1.7e308}, {"2,5E-3", 0.0025}, {"1e-400", 0},        {"007", 7}};
    EXPECT_DOUBLE_EQ(ReadDecimal(std::string(300, '1') + "e-299").value_or(0), 1.111111111111111);
    for (const auto& [text, expected] : accepted)
        EXPECT_EQ(ReadDecimal(text), expected) << text;
    const std::string refused[] = {"",     "-",     ".",       "abc", "1e",  "1,2,3", "nan", "inf",
                                   "0x10", "1e999", "1.8e308", "1 2", "--1", "1e+",   "e5",  "1x"};
    for (const auto& text : refused)
        EXPECT_FALSE(ReadDecimal(text).has_value()) << text;
    EXPECT_FALSE(ReadDecimal(std::string(10000, '1')).has_value());
}

// Settings files hold numbers as $hex of the 32-bit pattern or as decimals.
TEST(NumberFormatTest, ReadInt32AndWriteHex32) {
    const std::pair<const char*, int32_t> accepted[] = {
        {"$FFFFFB50", -1200},      {"$fffffb50", -1200},       {"  -42", -42},  {"\t+17", 17}, {"-$1", -1},
        {"-$80000000", INT32_MIN}, {"-2147483648", INT32_MIN}, {"000000009", 9}};
    for (const auto& [text, expected] : accepted)
        EXPECT_EQ(ReadInt32(text), expected) << text;
    const char* refused[] = {
        "",     "$",   "-",          "--1",         "$123456789", "abc", "1.5",
        "0x10", "12 ", "2147483648", "-2147483649", "$G",         "1 2", "99999999999999999999"};
    for (const char* text : refused)
        EXPECT_FALSE(ReadInt32(text).has_value()) << text;
    // At least four digits; the largest and smallest values come back.
    const std::pair<const char*, int32_t> written[] = {
        {"$0005", 5},         {"$012C", 300},           {"$12345", 0x12345},
        {"$FFFFFB50", -1200}, {"$7FFFFFFF", INT32_MAX}, {"$80000000", INT32_MIN},
        {"$FFFFFFFF", -1}};
    for (const auto& [text, value] : written) {
        EXPECT_EQ(WriteHex32(value), text);
        EXPECT_EQ(ReadInt32(WriteHex32(value)), value) << text;
    }
}

} // namespace
} // namespace vp7
