// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An exercise's check, `NAME OP VALUE` (OP one of = != < <= > >=) or `NAME within LOW HIGH`, where
// NAME is anything `print` writes on one line ("Istwert", "param YWAY", "lcd upper"). Several joined by
// `and` pass together only: "back in automatic mode" counts once the initialization was run.
#include "session/exercise/Exercise.h"

#include <string>
#include <string_view>
#include <vector>

namespace vp7 {

struct CheckExpression {
    enum class Op { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual, Within };
    std::vector<std::string> name; // the words `print` takes
    Op op = Op::Equal;
    std::string value, high; // VALUE, or LOW and HIGH
};

// ScriptError when malformed: no operator, no NAME, VALUE missing or in excess, or an order or a range
// against something that is not a number.
CheckExpression ParseCheck(std::string_view expression);
// The parts of `A and B and ...`, each parsed as ParseCheck does.
std::vector<CheckExpression> ParseChecks(std::string_view expression);

// Judges a value as `print` writes it. When both sides read as numbers they compare as numbers
// ("50.0000" = 50), else as texts; a text compares without the blanks at its ends, so "77.1" matches
// the display's padded "  77.1 ". A text never passes an order or a range. `within` is inclusive.
CheckOutcome JudgeCheck(const CheckExpression& check, const std::string& printed);
// Judges every part with the value `print` gives its NAME: passed when all pass. The value is what
// `show` makes of each part's NAME and judged value, joined by " / " in the order of the parts.
template <typename Print, typename Show>
CheckOutcome JudgeChecks(const std::vector<CheckExpression>& parts, Print&& print, Show&& show) {
    CheckOutcome all{true, {}};
    for (const CheckExpression& part : parts) {
        const CheckOutcome one = JudgeCheck(part, print(part.name));
        all.passed = all.passed && one.passed;
        all.value += (all.value.empty() ? "" : " / ") + show(part.name, one.value);
    }
    return all;
}

} // namespace vp7
