// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An exercise: a scenario script with a title, tasks, hidden and locked controls, commands that run
// later (a fault that appears after a minute), a time limit, checks evaluated when the trainee hands
// in, and a multiple-choice question. The runner runs it as the start of a script, the window as the
// start of a recorded session.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vp7 {

struct BilingualText {
    std::string de, en;
    const std::string& In(bool german) const { return german ? de : en; }
};

struct ExerciseCheck {
    int line = 0;
    std::string expression; // NAME OP VALUE or NAME within LOW HIGH
    BilingualText text;
};

struct ExerciseQuestion {
    int line = 0;
    BilingualText text;
    std::vector<BilingualText> choices;
    int correct = -1; // index into choices
};

struct TimedCommand {
    int64_t afterMs = 0; // after the trainee began
    int line = 0;
    std::string command;
};

struct Exercise {
    BilingualText title;
    std::vector<BilingualText> tasks;
    std::vector<std::string> settings;       // the lines before `start` (ini, screen, seed)
    std::string state;                       // the saved state it starts from instead, when it does
    int stateLine = 0;                       // the line that names it
    std::vector<std::string> prepare;        // the lines after `start` that set the scene (param, set, ...)
    std::vector<std::string> hidden, locked; // control names
    std::vector<TimedCommand> timed;
    std::optional<int64_t> limitMs;
    std::vector<ExerciseCheck> checks;
    std::optional<ExerciseQuestion> question;
};

// What a check found: passed or not, and the value NAME had (for the report); not evaluated, it fails
// with the reason as its value.
struct CheckOutcome {
    bool passed = false;
    std::string value;
    bool evaluated = true;
};

} // namespace vp7
