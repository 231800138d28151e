// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A recording (or any script of the runner) made ready for playing in the window: checked whole
// before anything plays, then split into the lines before `start` and the timed lines after it.
#include "session/language/ScriptWords.h"

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vp7 {

class Runner;

struct PlayStep {
    int64_t atMs; // on the simulated clock, which starts at 0 with the window
    int line;     // 1-based, for messages
    std::string text;
};

struct PlayScript {
    std::vector<std::string> setup; // the lines before `start`: screen, seed, settings, early answers
    std::string start = "start";    // or `exercise PATH`, which starts an exercise's session
    std::vector<PlayStep> steps;    // the lines after `start` without the waits
    int64_t startMs = 0;            // when the start-up is over; the recording ends at endMs
    int64_t endMs = 0;
    bool truncated = false; // a recording's last line was cut off (a crash) and is left out
};

// The text of a recording as the player takes it: a recording whose last line has no line end was cut
// off while being written, and that line is left out. Output commands (print, snapshot, trend) are
// left out as well: playing shows, it does not write.
// The script is then run whole on a virtual clock in `scratchDir`, printing nothing and saving files
// only there, so every bad line is found, with its number, before the window plays anything.
std::variant<PlayScript, ScriptProblem> ReadPlayScript(std::string_view text, const std::string& scratchDir);

// Runs the script's lines after its start in `runner`, whose device has started: `advanceTo` moves the
// clock to each line's moment and at last to the script's end. What they print (into `output`, the
// runner's) is dropped; a line that fails is passed over, as the check ran the same lines without fault.
void PlayAfterStart(Runner& runner, const PlayScript& script, const std::function<void(int64_t)>& advanceTo,
                    std::ostringstream& output);

} // namespace vp7
