// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An exercise while a trainee works on it, kept once for the runner and for the exercise window (which
// runs it through a runner of its own): the controls it hides and locks, the faults an instructor set
// unseen since, when the trainee began, the answer chosen, and the judgement of the work. What a front
// end keeps beside it is only showing: the widgets hidden, the time and the result shown, the report
// written.
#include "session/exercise/ExerciseReport.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vp7 {

class Simulator;
class TrendRecorder;

// Sets or clears the device's option `control` (FrictionSelect, ...) without the trainee seeing it. It is
// refused, with the reason and nothing changed, when the device has no such option or the option cannot
// be set now; otherwise `control` joins `hidden`, `trend` (when there is one) is told to conceal all of
// `hidden`, so the change leaves no mark in it, and the option is checked as the user's entry would check
// it. Whether a recording sees the entry is the caller's to say, through the device's action observer.
void SetHiddenFault(Simulator& sim, TrendRecorder* trend, std::set<std::string>& hidden,
                    const std::string& control, bool on);

class ExerciseRun {
public:
    // `exercise` opened with the trainee beginning at `beganMs`: its hidden and locked controls, no
    // fault of an instructor's, no answer yet.
    void Open(const Exercise& exercise, int64_t beganMs);
    // Back to no exercise: nothing hidden or locked, nothing declared.
    void Close() { *this = {}; }
    // Whether an exercise was opened (and not closed since).
    bool Opened() const { return opened_; }
    const Exercise& Definition() const { return exercise_; }
    // The exercise a script declares by its own lines as they come; they hide and lock nothing until it
    // is opened.
    Exercise& Declared() { return exercise_; }

    const std::set<std::string>& Hidden() const { return hidden_; }
    const std::set<std::string>& Locked() const { return locked_; }
    // Hidden or locked: out of the trainee's reach.
    bool OutOfReach(const std::string& control) const;
    // An instructor's fault on the exercise's device, as SetHiddenFault: hidden until the exercise ends.
    void HideFault(Simulator& sim, TrendRecorder* trend, const std::string& control, bool on) {
        SetHiddenFault(sim, trend, hidden_, control, on);
    }

    // The trainee begins (again) at `ms`: the exercise's time counts from there.
    void Begin(int64_t ms) { beganMs_ = ms; }
    int64_t BeganMs() const { return beganMs_; }
    int64_t ElapsedMs(int64_t nowMs) const { return nowMs - beganMs_; }
    // The time the report gives: at most the limit, however long after it the work was handed in.
    int64_t TakenMs(int64_t nowMs) const;
    // Until the limit, never below zero; none without a limit.
    std::optional<int64_t> TimeLeftMs(int64_t nowMs) const;

    // The answer to the question, an index into its choices (checked by the caller).
    void Choose(int choice) { chosen_ = choice; }

    // The work judged as it stands at `nowMs`: each check through `evaluate` (a check that throws is
    // not evaluated and fails, its reason as its value), the question by the answer chosen, the title and
    // the time taken. The result points into this run's exercise.
    using Evaluate = std::function<CheckOutcome(const std::string& expression)>;
    ExerciseResult Judge(int64_t nowMs, const Evaluate& evaluate) const;
    // How many of the checks hold now.
    int ChecksHolding(const Evaluate& evaluate) const;

private:
    std::vector<std::pair<const ExerciseCheck*, CheckOutcome>> JudgeChecks(const Evaluate& evaluate) const;

    Exercise exercise_;
    std::set<std::string> hidden_, locked_;
    int64_t beganMs_ = 0;
    std::optional<int> chosen_;
    bool opened_ = false;
};

} // namespace vp7
