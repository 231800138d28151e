// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Number to text and text to number in the classic Pascal manner the device program uses everywhere:
// FloatToStrF's fixed, general and exponent forms (always with "." as the separator), the lenient
// decimal reader that takes the first "," as a point, and the 32-bit integer reader/writer with "$" hex.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vp7 {

enum class FloatFormat { General, Exponent, Fixed };

// FloatToStrF(value, format, precision, digits). Precision is the number of significant digits
// (1..18), digits the decimals (fixed) or the minimum exponent digits (exponent); ignored by general.
std::string FloatToStrF(double value, FloatFormat format, int precision, int digits);

// Shorthands for the forms the program uses.
std::string FormatFixed(double value, int decimals, int significant); // fixed, precision = significant
std::string FormatGeneral(double value, int significant);             // general, up to N significant
std::string FormatExponent(double value, int significant, int expDigits);
// Exponent form with the first "+" removed, the way counters are shown: 1000000000 -> "1.00E9".
std::string FormatExponentNoPlus(double value, int significant, int expDigits);

// The decimal reader: the first "," counts as ".", blanks around the number are allowed, an exponent
// is allowed; the whole text must be one finite number between -1.7e308 and 1.7e308.
std::optional<double> ReadDecimal(std::string_view text);

// Signed 32-bit integer: optional leading blanks, an optional sign, then decimal digits or "$" and
// one to eight hex digits (32-bit two's complement, so "$FFFFFB50" is -1200). Nothing may follow.
std::optional<int32_t> ReadInt32(std::string_view text);

// "$" and the 32-bit two's complement in upper-case hex, at least four digits: 5 -> "$0005".
std::string WriteHex32(int32_t value);

} // namespace vp7
