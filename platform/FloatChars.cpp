// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FloatChars.h"

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

// A decimal number as its significant digits and the power of ten of the first.
struct Digits {
    std::string digits;
    int exponent = 0;
};

// `value`'s digits rounded to `significant` of them, as printf rounds (to nearest).
Digits Rounded(double value, int significant) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", significant - 1, std::fabs(value));
    Digits d;
    const char* p = buffer;
    for (; *p && *p != 'e'; ++p)
        if (std::isdigit(static_cast<unsigned char>(*p))) d.digits += *p;
    d.exponent = *p ? std::atoi(p + 1) : 0;
    return d;
}

// "d.ddde±XX", at least two exponent digits, as printf and to_chars write it.
std::string Scientific(bool negative, const Digits& d) {
    std::string text = negative ? "-" : "";
    text += d.digits[0];
    if (d.digits.size() > 1) text += "." + d.digits.substr(1);
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "e%c%02d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
    return text + exponent;
}

// The same number of digits one unit in the last place up or down; none where that leaves the digits'
// count (down from 1.000…).
Digits StepUp(Digits d) {
    int i = static_cast<int>(d.digits.size()) - 1;
    for (; i >= 0 && d.digits[i] == '9'; --i)
        d.digits[i] = '0';
    if (i >= 0) {
        ++d.digits[i];
    } else { // 9.99… became 10.0…: one more power of ten, as many digits
        d.digits.insert(d.digits.begin(), '1');
        d.digits.pop_back();
        ++d.exponent;
    }
    return d;
}
std::optional<Digits> StepDown(Digits d) {
    int i = static_cast<int>(d.digits.size()) - 1;
    for (; i >= 0 && d.digits[i] == '0'; --i)
        d.digits[i] = '9';
    if (i < 0) return std::nullopt;
    --d.digits[i];
    if (d.digits[0] == '0') { // 1.00… became 0.99…: one power of ten less, as many digits
        d.digits.erase(d.digits.begin());
        d.digits += '9';
        --d.exponent;
    }
    return d;
}

// The fewest digits that read back as `value`; among those the nearest, which printf's rounding gives
// unless a neighbour of it in the last place reads back where it does not.
std::string ShortestScientific(double value) {
    const bool negative = std::signbit(value);
    // Decimals of up to this many digits lie further apart than any two normal doubles, so at most one
    // of them reads back as such a `value`, and only the nearest can: when it does, it is the shortest
    // with its trailing zeros dropped. A value the device computed mostly needs more, which saves the
    // fifteen tries of printf and strtod (the browser's slowest calls) with fewer digits. Subnormal
    // doubles lie further apart and take the tries.
    constexpr int kDistinctDigits = 15;
    const bool normal = std::isnormal(value) || value == 0;
    Digits distinct = Rounded(value, kDistinctDigits);
    if (normal && ReadBack(Scientific(negative, distinct)) == value) {
        const size_t last = distinct.digits.find_last_not_of('0');
        distinct.digits.resize(last == std::string::npos ? 1 : last + 1);
        return Scientific(negative, distinct);
    }
    for (int significant = normal ? kDistinctDigits + 1 : 1; significant < kMaxSignificant; ++significant) {
        const Digits nearest = Rounded(value, significant);
        std::string text = Scientific(negative, nearest);
        if (ReadBack(text) == value) return text;
        text = Scientific(negative, StepUp(nearest));
        if (ReadBack(text) == value) return text;
        if (const auto down = StepDown(nearest)) {
            text = Scientific(negative, *down);
            if (ReadBack(text) == value) return text;
        }
    }
    return Scientific(negative, Rounded(value, kMaxSignificant));
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
