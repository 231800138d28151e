// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FloatChars.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace vp7 {

namespace {

// printf's and strtod's decimal point is the C locale's, which a desktop program may have set to ",".
char LocalePoint() {
    const char* point = std::localeconv()->decimal_point;
    return point && point[0] ? point[0] : '.';
}

double ReadBack(std::string text) {
    const char point = LocalePoint();
    for (char& c : text)
        if (c == '.') c = point;
    return std::strtod(text.c_str(), nullptr);
}

// Room for {fmt}'s shortest text of any double: 17 digits, a sign, a point and "e+308", or a fixed form
// of no more than that many digits and zeros.
constexpr std::size_t kShortestTextMax = 32;

// The fewest digits that read back as `value` (finite, not zero), the nearest of them where several
// do, as "d.ddde±XX". {fmt}'s shortest form finds them exactly and without printf and strtod, whose
// long double arithmetic made them the browser's slowest calls; it writes fixed or scientific form,
// whichever is shorter, and is taken apart here.
std::string ShortestScientific(double value) {
    char text[kShortestTextMax];
    const auto written = fmt::format_to_n(text, sizeof text, "{}", std::fabs(value));
    const std::string_view shortest(text, std::min(written.size, sizeof text));
    const std::size_t e = shortest.find('e');
    int exponent = 0;
    if (e != std::string_view::npos)
        std::from_chars(shortest.data() + e + (shortest[e + 1] == '+' ? 2 : 1), shortest.end(), exponent);
    std::string digits;
    int point = -1;
    for (const char c : shortest.substr(0, e)) {
        if (c == '.')
            point = static_cast<int>(digits.size());
        else
            digits += c;
    }
    if (point < 0) point = static_cast<int>(digits.size());
    // "0.000123" and "12300": the first significant digit gives the power of ten, the zeros around
    // the digits go.
    const std::size_t first = digits.find_first_not_of('0');
    exponent += point - 1 - static_cast<int>(first);
    digits = digits.substr(first, digits.find_last_not_of('0') + 1 - first);
    std::string scientific = std::signbit(value) ? "-" : "";
    scientific += digits[0];
    if (digits.size() > 1) scientific.append(".").append(digits, 1);
    scientific += exponent < 0 ? "e-" : "e+";
    if (std::abs(exponent) < 10) scientific += '0';
    return scientific + std::to_string(std::abs(exponent));
}

std::to_chars_result Copy(char* first, char* last, std::string_view text) {
    if (static_cast<size_t>(last - first) < text.size()) return {last, std::errc::value_too_large};
    std::memcpy(first, text.data(), text.size());
    return {first + text.size(), std::errc()};
}

std::string_view NonFinite(double value) {
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    return value < 0 ? "-inf" : "inf";
}

// The scientific text's digits without the point, and its power of ten.
void SplitScientific(const std::string& text, std::string& digits, int& exponent) {
    const size_t e = text.find('e');
    for (char c : text.substr(0, e))
        if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
    exponent = std::atoi(text.c_str() + e + 1);
}

// The same digits written without an exponent; a whole number with all its digits, as printf writes
// it: the library's shortest form does not pad a large one with zeros.
std::string Fixed(double value, const std::string& digits, int exponent) {
    std::string text = std::signbit(value) ? "-" : "";
    const int count = static_cast<int>(digits.size());
    if (exponent < 0) {
        text += "0.";
        text.append(static_cast<size_t>(-exponent - 1), '0');
        text += digits;
    } else if (exponent + 1 >= count) {
        char buffer[400]; // the largest double has 309 digits
        std::snprintf(buffer, sizeof buffer, "%.0f", std::fabs(value));
        text += buffer;
    } else {
        text += digits.substr(0, static_cast<size_t>(exponent + 1));
        text += '.';
        text += digits.substr(static_cast<size_t>(exponent + 1));
    }
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) return false;
    return true;
}

} // namespace

namespace portable {

std::to_chars_result ToCharsScientific(char* first, char* last, double value) {
    if (!std::isfinite(value)) return Copy(first, last, NonFinite(value));
    if (value == 0) return Copy(first, last, std::signbit(value) ? "-0e+00" : "0e+00");
    return Copy(first, last, ShortestScientific(value));
}

std::to_chars_result ToCharsShortest(char* first, char* last, double value) {
    if (!std::isfinite(value)) return Copy(first, last, NonFinite(value));
    if (value == 0) return Copy(first, last, std::signbit(value) ? "-0" : "0");
    const std::string scientific = ShortestScientific(value);
    std::string digits;
    int exponent = 0;
    SplitScientific(scientific, digits, exponent);
    // Zero has one digit and exponent 0 in both forms.
    const std::string fixed = Fixed(value, digits, exponent);
    return Copy(first, last, fixed.size() <= scientific.size() ? fixed : scientific);
}

std::from_chars_result FromChars(const char* first, const char* last, double& value) {
    const std::string_view text(first, static_cast<size_t>(last - first));
    size_t pos = 0;
    const bool negative = pos < text.size() && text[pos] == '-';
    if (negative) ++pos;
    const std::string_view rest = text.substr(pos);
    if (StartsWithNoCase(rest, "inf")) {
        value = negative ? -HUGE_VAL : HUGE_VAL;
        return {first + pos + (StartsWithNoCase(rest, "infinity") ? 8 : 3), std::errc()};
    }
    if (StartsWithNoCase(rest, "nan")) {
        size_t end = pos + 3;
        // "nan(chars)" takes its parenthesis only when it is closed around letters, digits and "_".
        if (end < text.size() && text[end] == '(') {
            size_t close = end + 1;
            while (close < text.size() &&
                   (std::isalnum(static_cast<unsigned char>(text[close])) || text[close] == '_'))
                ++close;
            if (close < text.size() && text[close] == ')') end = close + 1;
        }
        value = negative ? -std::nan("") : std::nan("");
        return {first + end, std::errc()};
    }
    size_t digitsSeen = 0;
    bool nonZero = false;
    auto digits = [&] {
        for (; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])); ++pos) {
            ++digitsSeen;
            nonZero = nonZero || text[pos] != '0';
        }
    };
    digits();
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        digits();
    }
    if (digitsSeen == 0) return {first, std::errc::invalid_argument};
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        size_t exponent = pos + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        const size_t exponentDigits = exponent;
        while (exponent < text.size() && std::isdigit(static_cast<unsigned char>(text[exponent])))
            ++exponent;
        if (exponent > exponentDigits) pos = exponent; // an "e" without digits is not part of the number
    }
    const double read = ReadBack(std::string(text.substr(0, pos)));
    if (std::isinf(read) || (read == 0 && nonZero)) return {first + pos, std::errc::result_out_of_range};
    value = read;
    return {first + pos, std::errc()};
}

} // namespace portable

// libc++ announces floating to_chars only where it has it; libstdc++ has had it since version 11.
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
std::to_chars_result ToCharsScientific(char* first, char* last, double value) {
    return std::to_chars(first, last, value, std::chars_format::scientific);
}
std::to_chars_result ToCharsShortest(char* first, char* last, double value) {
    return std::to_chars(first, last, value);
}
std::from_chars_result FromChars(const char* first, const char* last, double& value) {
    return std::from_chars(first, last, value);
}
#else
std::to_chars_result ToCharsScientific(char* first, char* last, double value) {
    return portable::ToCharsScientific(first, last, value);
}
std::to_chars_result ToCharsShortest(char* first, char* last, double value) {
    return portable::ToCharsShortest(first, last, value);
}
std::from_chars_result FromChars(const char* first, const char* last, double& value) {
    return portable::FromChars(first, last, value);
}
#endif

} // namespace vp7
