#include "platform/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace vp7 {
namespace {

struct FormatCase {
    FloatFormat format;
    double value;
    int precision;
    int digits;
    const char* expected;
};

TEST(NumberFormatTest, FloatToStrFForms) {
    const double inf = std::numeric_limits<double>::infinity();
    const FormatCase cases[] = {
        // Fixed: one rounding at the precision or the last decimal, whichever comes first.
        {FloatFormat::Fixed, 50.0, 5, 1, "50.0"},
        {FloatFormat::Fixed, 100, 5, 1, "100.0"},
        {FloatFormat::Fixed, 12.5, 7, 2, "12.50"},
        {FloatFormat::Fixed, 3.14159, 7, 3, "3.142"},
        {FloatFormat::Fixed, 0.0005, 5, 3, "0.001"},
        {FloatFormat::Fixed, 0.0004, 5, 3, "0.000"},
        {FloatFormat::Fixed, -0.04, 5, 1, "0.0"},
        {FloatFormat::Fixed, -0.05, 5, 1, "-0.1"},
        {FloatFormat::Fixed, 99.95, 4, 1, "100.0"},
        {FloatFormat::Fixed, 123.456, 4, 2, "123.50"},
        {FloatFormat::Fixed, 1.2345, 4, 2, "1.23"}, // not 1.24 by way of 1.235
        {FloatFormat::Fixed, 999.96, 4, 2, "1000.00"},
        {FloatFormat::Fixed, 2.5, 5, 0, "3"},
        {FloatFormat::Fixed, 0.15, 5, 1, "0.2"},      // the typed 0.15, not its binary 0.1499...
        {FloatFormat::Fixed, 12345, 4, 1, "1.235E4"}, // too many integer digits: general form
        {FloatFormat::Fixed, 999.96, 3, 2, "1E3"},    // ...also when rounding adds the digit
        // Exponent: a full mantissa of precision digits and a zero-padded, always-signed exponent.
        {FloatFormat::Exponent, 100, 8, 2, "1.0000000E+02"},
        {FloatFormat::Exponent, 123456, 3, 1, "1.23E+5"},
        {FloatFormat::Exponent, 1000000000, 3, 1, "1.00E+9"},
        {FloatFormat::Exponent, 0, 8, 2, "0.0000000E+00"},
        {FloatFormat::Exponent, -0.00123, 3, 2, "-1.23E-03"},
        {FloatFormat::Exponent, 9.999, 3, 2, "1.00E+01"},
        {FloatFormat::Exponent, 1e-300, 2, 1, "1.0E-300"},
        {FloatFormat::Exponent, 7, 1, 0, "7E+0"},
        // General: trailing zeros dropped, fixed only from 0.00001 up to precision integer digits.
        {FloatFormat::General, 1e20, 7, 0, "1E20"},
        {FloatFormat::General, 1.5e-7, 7, 0, "1.5E-7"},
        {FloatFormat::General, 12345678, 7, 0, "1.234568E7"},
        {FloatFormat::General, 1234567, 7, 0, "1234567"},
        {FloatFormat::General, 50, 7, 0, "50"},
        {FloatFormat::General, 50.5, 7, 0, "50.5"},
        {FloatFormat::General, 1.0 / 3, 7, 0, "0.3333333"},
        {FloatFormat::General, -0.25, 7, 0, "-0.25"},
        {FloatFormat::General, 0.00001, 7, 0, "0.00001"},
        {FloatFormat::General, 0.0000099, 7, 0, "9.9E-6"},
        {FloatFormat::General, 0.99999999, 7, 0, "1"},
        {FloatFormat::General, -0.0, 7, 0, "0"},
        {FloatFormat::General, 1e-320, 7, 0, "1E-320"}, // subnormal
        // Not numbers never fail, whatever the form.
        {FloatFormat::General, std::nan(""), 7, 0, "NAN"},
        {FloatFormat::Fixed, inf, 7, 2, "INF"},
        {FloatFormat::Exponent, -inf, 7, 2, "-INF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits), c.expected)
            << c.value << " form " << static_cast<int>(c.format) << " " << c.precision << "," << c.digits;
}

TEST(NumberFormatTest, ShorthandsPassArgumentsInTheirOrder) {
    EXPECT_EQ(FormatFixed(123.456, 2, 4), "123.50");
    EXPECT_EQ(FormatGeneral(12345678, 7), "1.234568E7");
    EXPECT_EQ(FormatExponent(100, 8, 2), "1.0000000E+02");
    EXPECT_EQ(FormatExponentNoPlus(1000000000, 3, 1), "1.00E9");
    EXPECT_EQ(FormatExponentNoPlus(123456, 3, 1), "1.23E5");
    EXPECT_EQ(FormatExponentNoPlus(-0.00123, 3, 1), "-1.23E-3");
}

TEST(NumberFormatTest, ReadDecimal) {
    const struct {
        std::string text;
        double expected;
    } accepted[] = {
        {"50,5", 50.5},       {" 12 ", 12},
        {"\t-3.5e2\t", -350}, {"+7", 7},
        {".5", 0.5},          {"5.", 5},
        {"1.7e308", 1.7e308}, {"-1.7E+308", -1.7e308},
        {"2,5E-3", 0.0025},   {"1e-400", 0},
        {"007", 7},           {std::string(300, '1') + "e-299", 1.111111111111111},
    };
    for (const auto& c : accepted) {
        auto value = ReadDecimal(c.text);
        ASSERT_TRUE(value.has_value()) << c.text;
        EXPECT_DOUBLE_EQ(*value, c.expected) << c.text;
    }
    const std::string refused[] = {"",      "-",       "+",        ".",   "abc",
                                   "1e",    "1,2,3",   "nan",      "inf", "0x10",
                                   "1e999", "1.8e308", "xx-yy-zz", "1 2", "1.2.3",
                                   "--1",   "1e+",     "e5",       "1x",  std::string(10000, '1')};
    for (const auto& text : refused)
        EXPECT_FALSE(ReadDecimal(text).has_value()) << text;
}

TEST(NumberFormatTest, ReadInt32) {
    const struct {
        const char* text;
        int32_t expected;
    } accepted[] = {{"$FFFFFB50", -1200},
                    {"$fffffb50", -1200},
                    {"$0005", 5},
                    {"  -42", -42},
                    {"\t+17", 17},
                    {"$7FFFFFFF", INT32_MAX},
                    {"-2147483648", INT32_MIN},
                    {"2147483647", INT32_MAX},
                    {"-$1", -1},
                    {"-$80000000", INT32_MIN},
                    {"00000000000000000009", 9}};
    for (const auto& c : accepted) {
        auto value = ReadInt32(c.text);
        ASSERT_TRUE(value.has_value()) << c.text;
        EXPECT_EQ(*value, c.expected) << c.text;
    }
    const char* refused[] = {
        "",           "$",           "$123456789",           "abc", "xx-yy-zz", "1.5", "0x10", "12 ",
        "2147483648", "-2147483649", "99999999999999999999", "-",   "$G",       "1 2", "--1"};
    for (const char* text : refused)
        EXPECT_FALSE(ReadInt32(text).has_value()) << text;
}

TEST(NumberFormatTest, WriteHex32RoundTripsThroughReadInt32) {
    const struct {
        int32_t value;
        const char* text;
    } cases[] = {{5, "$0005"},        {300, "$012C"},           {-1200, "$FFFFFB50"},
                 {0x12345, "$12345"}, {INT32_MAX, "$7FFFFFFF"}, {INT32_MIN, "$80000000"},
                 {0, "$0000"},        {-1, "$FFFFFFFF"}};
    for (const auto& c : cases) {
        EXPECT_EQ(WriteHex32(c.value), c.text);
        EXPECT_EQ(ReadInt32(WriteHex32(c.value)), c.value) << c.text;
    }
}

} // namespace
} // namespace vp7
