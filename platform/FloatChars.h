// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// std::to_chars and std::from_chars for doubles, for standard libraries that have them only for
// integers (the browser's): the same results, the same end pointers and error codes. Where the library
// has them, these are they; elsewhere the stand-ins below, which the tests also run beside the library's.
#include <charconv>
#include <system_error>

namespace vp7 {

// The shortest text that reads back as `value`, in scientific form ("1.5e+00"), as
// std::to_chars(first, last, value, std::chars_format::scientific).
std::to_chars_result ToCharsScientific(char* first, char* last, double value);
// The shortest text that reads back as `value`, fixed or scientific, whichever is shorter, as
// std::to_chars(first, last, value).
std::to_chars_result ToCharsShortest(char* first, char* last, double value);
// A double read as std::from_chars(first, last, value) reads one (general format): no blanks, no "+",
// "inf" and "nan" in any case; result_out_of_range, with `value` untouched, for a number too large or
// too small to be a double.
std::from_chars_result FromChars(const char* first, const char* last, double& value);

// The stand-ins themselves, whatever the library has.
namespace portable {
std::to_chars_result ToCharsScientific(char* first, char* last, double value);
std::to_chars_result ToCharsShortest(char* first, char* last, double value);
std::from_chars_result FromChars(const char* first, const char* last, double& value);
} // namespace portable

} // namespace vp7
