// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/exercise/CheckExpression.h"

#include "platform/FloatChars.h"
#include "session/language/Output.h"
#include "session/language/ScriptWords.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <utility>

namespace vp7 {
namespace {

using Op = CheckExpression::Op;

constexpr std::array<std::pair<std::string_view, Op>, 7> kOps{{{"=", Op::Equal},
                                                               {"!=", Op::NotEqual},
                                                               {"<", Op::Less},
                                                               {"<=", Op::LessEqual},
                                                               {">", Op::Greater},
                                                               {">=", Op::GreaterEqual},
                                                               {"within", Op::Within}}};

std::optional<double> Number(std::string_view text) {
    text = Trimmed(text);
    double v = 0;
    const auto [end, error] = FromChars(text.data(), text.data() + text.size(), v);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// A single quoted text stands for its content; anything else (a number, several texts) as written.
std::string Unquoted(const std::string& printed) {
    std::string text;
    return printed.starts_with('"') && UnquoteText(printed, text) ? text : printed;
}

} // namespace

CheckExpression ParseCheck(std::string_view expression) {
    const auto words = SplitWords(expression);
    const std::string form = "a check is NAME OP VALUE or NAME within LOW HIGH";
    if (!words) throw ScriptError(form);
    CheckExpression check;
    size_t at = 0;
    std::optional<Op> op;
    for (; at < words->size() && !op; ++at) {
        const ScriptWord& word = (*words)[at];
        for (const auto& [text, which] : kOps)
            if (!word.quoted && word.text == text) op = which;
        if (!op) {
            if (word.quoted) throw ScriptError(form);
            check.name.push_back(word.text);
        }
    }
    const size_t values = words->size() - at;
    if (!op || check.name.empty() || values != (*op == Op::Within ? 2u : 1u)) throw ScriptError(form);
    check.op = *op;
    check.value = (*words)[at].text;
    if (*op == Op::Within) {
        check.high = (*words)[at + 1].text;
        const auto low = Number(check.value), high = Number(check.high);
        if (!low || !high || *low > *high)
            throw ScriptError("'within' takes LOW and HIGH numbers, LOW first");
    } else if (*op != Op::Equal && *op != Op::NotEqual && !Number(check.value)) {
        throw ScriptError("'" + std::string(kOps[static_cast<size_t>(*op)].first) + "' compares numbers");
    }
    return check;
}

std::vector<CheckExpression> ParseChecks(std::string_view expression) {
    std::vector<CheckExpression> parts;
    const auto words = SplitWords(expression);
    size_t from = 0;
    if (words)
        for (const ScriptWord& word : *words)
            if (!word.quoted && word.text == "and") {
                parts.push_back(ParseCheck(expression.substr(from, word.begin - from)));
                from = word.begin + word.text.size();
            }
    parts.push_back(ParseCheck(expression.substr(from)));
    return parts;
}

CheckOutcome JudgeCheck(const CheckExpression& check, const std::string& printed) {
    const std::string actual = std::string(Trimmed(Unquoted(printed)));
    const std::optional<double> number = Number(actual), expected = Number(check.value);
    bool passed = false;
    if (number && expected) {
        switch (check.op) {
        case Op::Equal:
            passed = *number == *expected;
            break;
        case Op::NotEqual:
            passed = *number != *expected;
            break;
        case Op::Less:
            passed = *number < *expected;
            break;
        case Op::LessEqual:
            passed = *number <= *expected;
            break;
        case Op::Greater:
            passed = *number > *expected;
            break;
        case Op::GreaterEqual:
            passed = *number >= *expected;
            break;
        case Op::Within:
            passed = *number >= *expected && *number <= *Number(check.high);
            break;
        }
    } else if (check.op == Op::Equal || check.op == Op::NotEqual) {
        passed = (actual == Trimmed(check.value)) == (check.op == Op::Equal);
    }
    return {passed, actual};
}

} // namespace vp7
