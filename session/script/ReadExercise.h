// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An exercise read from its lines: each declaration checked as it comes, the whole loaded in a
// scratch runner before anyone works on it, so the runner's own commands judge what may stand in it.
#include "session/exercise/Exercise.h"
#include "session/language/ScriptWords.h"

#include <string>
#include <string_view>
#include <variant>

namespace vp7 {

// The lines that declare an exercise rather than act: title, task, hide, lock, at, limit, check,
// question, choice.
bool IsExerciseDeclaration(std::string_view command);
// Adds one such line (`rest` is what follows the command word) to `exercise`; ScriptError when it is
// malformed: texts not "DE" "EN", an unknown control, a bad time, a timed command the runner does not
// know, a check that is not NAME OP VALUE, a choice without a question, a second correct choice.
void DeclareExerciseLine(Exercise& exercise, std::string_view command, std::string_view rest, int line);

// Reads an exercise and checks it whole before anyone works on it: every line known, every check's NAME
// one that `print` knows and its VALUE fitting, a question followed by choices with one correct, by
// loading it in a runner in `scratchDir`. A problem comes with its line and reason. `state FILE` may
// stand for `start`: FILE, relative to `folder` (the exercise's own), is loaded and checked whole.
std::variant<Exercise, ScriptProblem> ReadExercise(std::string_view text, const std::string& scratchDir,
                                                   const std::string& folder = {});

} // namespace vp7
