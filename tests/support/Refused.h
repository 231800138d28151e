// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A script refused before it runs, with the line and the reason the runner gives.
#include "session/script/PlayScript.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace vp7::test {

// `read` (a play script or an exercise) was refused at `line` for `reason`; `text` names the case.
template <typename Script>
void ExpectRefused(const std::variant<Script, ScriptProblem>& read, int line, const std::string& reason,
                   const std::string& text) {
    const auto* problem = std::get_if<ScriptProblem>(&read);
    ASSERT_NE(problem, nullptr) << text;
    EXPECT_EQ(problem->line, line) << text;
    EXPECT_EQ(problem->reason, reason) << text;
}

} // namespace vp7::test
