// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NumberFormat.h"

#include "platform/FloatChars.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace vp7 {

namespace {

constexpr int MaxPrecision = 18;
constexpr double MaxDecimal = 1.7e308;

// A finite value as significant digits d1 d2 ... dn (no leading or trailing zeros) and the power of ten
// of d1, so 123.45 is {"12345", 2}. Zero has no digits.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

// The digits are those of the shortest text that reads back as the same double, not of its exact binary
// expansion: 0.15 must round like the 0.15 the user typed, and the result must not depend on the C library.
Decimal ToDecimal(double value) {
    Decimal result;
    result.negative = std::signbit(value);
    if (value == 0.0) return result;
    char buffer[64];
    auto [end, ec] = ToCharsScientific(buffer, buffer + sizeof(buffer), std::fabs(value));
    (void)ec; // 64 characters always hold a scientific double
    std::string_view text(buffer, static_cast<size_t>(end - buffer));
    size_t ePos = text.find('e');
    for (char c : text.substr(0, ePos))
        if (c != '.') result.digits += c;
    result.exponent = std::atoi(std::string(text.substr(ePos + 1)).c_str());
    while (result.digits.size() > 1 && result.digits.back() == '0')
        result.digits.pop_back();
    return result;
}

// Keeps the first `keep` significant digits (keep may be zero or negative when the rounding position lies
// left of the first digit). Ties go away from zero on these decimal digits, as the classic runtime does.
Decimal Round(Decimal value, int keep) {
    int count = static_cast<int>(value.digits.size());
    if (count == 0 || keep >= count) return value;
    if (keep < 0 || (keep == 0 && value.digits[0] < '5')) {
        value.digits.clear();
        return value;
    }
    bool up = value.digits[static_cast<size_t>(keep)] >= '5';
    value.digits.resize(static_cast<size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && value.digits[static_cast<size_t>(i)] == '9')
            value.digits[static_cast<size_t>(i--)] = '0';
        if (i >= 0) {
            ++value.digits[static_cast<size_t>(i)];
        } else {
            // All nines (or keep == 0): the carry becomes a new leading digit one power up.
            value.digits.insert(value.digits.begin(), '1');
            ++value.exponent;
        }
    }
    while (!value.digits.empty() && value.digits.back() == '0')
        value.digits.pop_back();
    return value;
}

// The digit standing at 10^power.
char DigitAt(const Decimal& value, int power) {
    int index = value.exponent - power;
    if (value.digits.empty() || index < 0 || index >= static_cast<int>(value.digits.size())) return '0';
    return value.digits[static_cast<size_t>(index)];
}

std::string Sign(const Decimal& value) {
    return value.negative && !value.digits.empty() ? "-" : "";
}

std::string General(const Decimal& value, int precision) {
    Decimal rounded = Round(value, precision);
    if (rounded.digits.empty()) return "0";
    std::string text = Sign(rounded);
    int last = rounded.exponent - static_cast<int>(rounded.digits.size()) + 1; // power of the last digit
    // Fixed while the integer part fits the precision and the value is at least 0.00001 (1E-5 itself too).
    if (rounded.exponent < precision && rounded.exponent >= -5) {
        for (int power = std::max(rounded.exponent, 0); power >= 0; --power)
            text += DigitAt(rounded, power);
        if (last < 0) {
            text += '.';
            for (int power = -1; power >= last; --power)
                text += DigitAt(rounded, power);
        }
        return text;
    }
    text += rounded.digits[0];
    if (rounded.digits.size() > 1) text += "." + rounded.digits.substr(1);
    return text + "E" + std::to_string(rounded.exponent);
}

std::string Exponent(const Decimal& value, int precision, int expDigits) {
    Decimal rounded = Round(value, precision);
    std::string text = Sign(rounded);
    text += DigitAt(rounded, rounded.exponent);
    // With a single significant digit there is nothing after the point, so the point is left out too.
    if (precision > 1) text += '.';
    for (int i = 1; i < precision; ++i)
        text += DigitAt(rounded, rounded.exponent - i);
    int exponent = rounded.digits.empty() ? 0 : rounded.exponent;
    std::string digits = std::to_string(std::abs(exponent));
    if (static_cast<int>(digits.size()) < expDigits)
        digits.insert(0, static_cast<size_t>(expDigits) - digits.size(), '0');
    return text + (exponent < 0 ? "E-" : "E+") + digits;
}

std::string Fixed(const Decimal& value, int precision, int decimals) {
    Decimal byPrecision = Round(value, precision);
    if (!byPrecision.digits.empty() && byPrecision.exponent >= precision) return General(value, precision);
    // Round once, at the precision or at the last decimal, whichever comes first: 1.2345 with four
    // significant digits and two decimals is 1.23, where rounding twice (via 1.235) would give 1.24.
    Decimal rounded = Round(value, std::min(precision, value.exponent + 1 + decimals));
    std::string text = Sign(rounded);
    for (int power = std::max(rounded.exponent, 0); power >= 0; --power)
        text += DigitAt(rounded, power);
    if (rounded.digits.empty()) text = "0";
    if (decimals > 0) text += '.';
    for (int power = -1; power >= -decimals; --power)
        text += DigitAt(rounded, power);
    return text;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string FloatToStrF(double value, FloatFormat format, int precision, int digits) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    precision = std::clamp(precision, 1, MaxPrecision);
    digits = std::clamp(digits, 0, MaxPrecision);
    Decimal decimal = ToDecimal(value);
    switch (format) {
    case FloatFormat::Fixed:
        return Fixed(decimal, precision, digits);
    case FloatFormat::Exponent:
        return Exponent(decimal, precision, digits);
    case FloatFormat::General:
        break;
    }
    return General(decimal, precision);
}

std::string FormatFixed(double value, int decimals, int significant) {
    return FloatToStrF(value, FloatFormat::Fixed, significant, decimals);
}

std::string FormatGeneral(double value, int significant) {
    return FloatToStrF(value, FloatFormat::General, significant, 0);
}

std::string FormatExponent(double value, int significant, int expDigits) {
    return FloatToStrF(value, FloatFormat::Exponent, significant, expDigits);
}

std::string FormatExponentNoPlus(double value, int significant, int expDigits) {
    std::string text = FormatExponent(value, significant, expDigits);
    if (size_t plus = text.find('+'); plus != std::string::npos) text.erase(plus, 1);
    return text;
}

std::optional<double> ReadDecimal(std::string_view text) {
    std::string copy(text);
    if (size_t comma = copy.find(','); comma != std::string::npos) copy[comma] = '.';
    size_t begin = 0;
    size_t end = copy.size();
    while (begin < end && IsBlank(copy[begin]))
        ++begin;
    while (end > begin && IsBlank(copy[end - 1]))
        --end;

    // Validate the whole grammar here; from_chars alone would stop quietly at the first stray character
    // and would take "nan", "inf" and hex forms.
    size_t pos = begin;
    bool negative = false;
    if (pos < end && (copy[pos] == '+' || copy[pos] == '-')) negative = copy[pos++] == '-';
    size_t numberStart = pos;
    int digitCount = 0;
    int integerDigits = 0; // digits before the point
    int firstNonZero = -1; // index among the digits, to tell underflow from overflow below
    bool point = false;
    for (; pos < end && (IsDigit(copy[pos]) || (copy[pos] == '.' && !point)); ++pos) {
        if (copy[pos] == '.') {
            point = true;
            continue;
        }
        if (copy[pos] != '0' && firstNonZero < 0) firstNonZero = digitCount;
        ++digitCount;
        if (!point) ++integerDigits;
    }
    if (digitCount == 0) return std::nullopt;
    long exponent = 0;
    if (pos < end && (copy[pos] == 'e' || copy[pos] == 'E')) {
        ++pos;
        bool negativeExponent = false;
        if (pos < end && (copy[pos] == '+' || copy[pos] == '-')) negativeExponent = copy[pos++] == '-';
        size_t exponentStart = pos;
        for (; pos < end && IsDigit(copy[pos]); ++pos)
            exponent = std::min(exponent * 10 + (copy[pos] - '0'), 100000L);
        if (pos == exponentStart) return std::nullopt;
        if (negativeExponent) exponent = -exponent;
    }
    if (pos != end) return std::nullopt;

    double value = 0.0;
    auto [parsedEnd, ec] = FromChars(copy.data() + numberStart, copy.data() + end, value);
    // The power of ten of the first non-zero digit: negative means the out-of-range value is a tiny one.
    long magnitude = integerDigits - 1 - firstNonZero + exponent;
    if (ec == std::errc::result_out_of_range && firstNonZero >= 0 && magnitude < 0)
        return 0.0; // too small to represent: reads as zero, like any other tiny value would round
    if (ec != std::errc() || parsedEnd != copy.data() + end) return std::nullopt;
    if (!std::isfinite(value) || value > MaxDecimal) return std::nullopt;
    return negative ? -value : value;
}

std::optional<int32_t> ReadInt32(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    if (pos < text.size() && text[pos] == '$') {
        std::string_view hex = text.substr(pos + 1);
        if (hex.empty() || hex.size() > 8) return std::nullopt;
        uint32_t bits = 0;
        for (char c : hex) {
            int nibble = HexValue(c);
            if (nibble < 0) return std::nullopt;
            bits = (bits << 4) | static_cast<uint32_t>(nibble);
        }
        // Unsigned arithmetic so that "-$80000000" wraps instead of overflowing.
        if (negative) bits = 0u - bits;
        return static_cast<int32_t>(bits);
    }
    std::string_view decimal = text.substr(pos);
    if (decimal.empty()) return std::nullopt;
    int64_t magnitude = 0;
    for (char c : decimal) {
        if (!IsDigit(c)) return std::nullopt;
        magnitude = std::min<int64_t>(magnitude * 10 + (c - '0'), int64_t{1} << 32);
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::string WriteHex32(int32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "$%04X", static_cast<unsigned>(static_cast<uint32_t>(value)));
    return buffer;
}

} // namespace vp7
