// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FloatChars.h"

#include <cctype>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace vp7 {

namespace {

// A double never needs more significant digits than this to read back as itself.
constexpr int kMaxSignificant = 17;

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

// "d.ddde±XX" with `significant` digits, the point as ".".
std::string Scientific(double value, int significant) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", significant - 1, value);
    std::string text(buffer);
    const char point = LocalePoint();
    for (char& c : text)
        if (c == point) c = '.';
    return text;
}

std::string ShortestScientific(double value) {
    for (int significant = 1; significant < kMaxSignificant; ++significant) {
        std::string text = Scientific(value, significant);
        if (ReadBack(text) == value) return text;
    }
    return Scientific(value, kMaxSignificant);
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
    return Copy(first, last, ShortestScientific(value));
}

std::to_chars_result ToCharsShortest(char* first, char* last, double value) {
    if (!std::isfinite(value)) return Copy(first, last, NonFinite(value));
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
