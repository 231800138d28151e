// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/exercise/ExerciseRun.h"

#include "session/language/ScriptWords.h"
#include "session/trend/TrendRecorder.h"
#include "sim/Simulator.h"

#include <algorithm>

namespace vp7 {

// A fault is an option's check box; one greyed now (by the device, not by an exercise) is refused as the
// trainee's click on it would be, so that the instructor learns it did not take.
void SetHiddenFault(Simulator& sim, TrendRecorder* trend, std::set<std::string>& hidden,
                    const std::string& control, bool on) {
    Control* option = sim.form.Find(control);
    if (!option || option->kind != ControlKind::CheckBox) throw ScriptError("no option '" + control + "'");
    if (!option->enabled) throw ScriptError("option '" + control + "' cannot be set now");
    hidden.insert(control);
    if (trend) trend->Conceal(hidden); // before the change, which the trend would otherwise show
    sim.UserCheck(*option, on);
}

void ExerciseRun::Open(const Exercise& exercise, int64_t beganMs) {
    Close();
    exercise_ = exercise;
    hidden_.insert(exercise.hidden.begin(), exercise.hidden.end());
    locked_.insert(exercise.locked.begin(), exercise.locked.end());
    beganMs_ = beganMs;
    opened_ = true;
}

bool ExerciseRun::OutOfReach(const std::string& control) const {
    return hidden_.contains(control) || locked_.contains(control);
}

int64_t ExerciseRun::TakenMs(int64_t nowMs) const {
    const int64_t elapsed = ElapsedMs(nowMs);
    return exercise_.limitMs ? std::min(elapsed, *exercise_.limitMs) : elapsed;
}

std::optional<int64_t> ExerciseRun::TimeLeftMs(int64_t nowMs) const {
    if (!exercise_.limitMs) return std::nullopt;
    return std::max<int64_t>(0, *exercise_.limitMs - ElapsedMs(nowMs));
}

std::vector<std::pair<const ExerciseCheck*, CheckOutcome>>
ExerciseRun::JudgeChecks(const Evaluate& evaluate) const {
    std::vector<std::pair<const ExerciseCheck*, CheckOutcome>> judged;
    for (const ExerciseCheck& check : exercise_.checks) {
        CheckOutcome outcome;
        try {
            outcome = evaluate(check.expression);
        } catch (const std::exception& e) {
            outcome = {false, e.what(), false};
        }
        judged.emplace_back(&check, std::move(outcome));
    }
    return judged;
}

ExerciseResult ExerciseRun::Judge(int64_t nowMs, const Evaluate& evaluate) const {
    ExerciseResult result;
    result.exercise = exercise_.title;
    result.takenMs = TakenMs(nowMs);
    result.checks = JudgeChecks(evaluate);
    result.question = exercise_.question ? &*exercise_.question : nullptr;
    result.chosen = chosen_;
    return result;
}

int ExerciseRun::ChecksHolding(const Evaluate& evaluate) const {
    const auto checks = JudgeChecks(evaluate);
    return static_cast<int>(
        std::count_if(checks.begin(), checks.end(), [](const auto& check) { return check.second.passed; }));
}

} // namespace vp7
