// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the page shows of an exercise beside the runner's own lines: a file checked before a device is
// given up for it, the running exercise as its panel shows it, and the hand-in with the report and the
// session's recording, which the page offers as downloads. Answers are JSON texts.
#include <string>

namespace vp7 {

class Runner;
class RunnerPeer;

// The exercise at `path` read and checked whole, as `exercise` checks it, with nothing else touched:
// {"ok": true, "title": {"de", "en"}} or {"ok": false, "error": "error LINE: REASON"}.
std::string CheckedExerciseJson(const std::string& path);

// The exercise `runner` runs, as its panel shows it: {"open", "title", "tasks", "limitMs", "elapsedMs",
// "timeLeftMs" (null without a limit), "speed" (the device's time to the page's), "question": {"text",
// "choices"} or null}, texts as {"de", "en"};
// {"open": false} without one.
std::string RunningExerciseJson(Runner& runner);

// Whether `runner`'s device is an exercise's.
bool ExerciseRuns(Runner& runner);

// What the report says besides the judgement: who, when, from which files.
struct HandInFacts {
    std::string trainee, date, exercisePath, recordingFile;
    bool german = true;
    // The room's seat the result goes to, as the `handin` line sends it; none for the trainee's own.
    RunnerPeer* room = nullptr;
};
// Hands the exercise in as `handin` does: {"ok", "error", "passed", "total", "takenMs", "checks": [{"text",
// "passed", "value"}], "question": true/false or null, "report": the report's HTML in the language
// asked, "recording": the session's lines}. The report names the recording by `recordingFile` with its
// digest, and the exercise at `exercisePath` by its file's name and digest: kept in one folder, the
// three check with `verify`.
std::string HandInJson(Runner& runner, const HandInFacts& facts);

} // namespace vp7
