// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A recording or a saved state read line by line as the runner reads it: which lines act, when, and
// which may stand in a state follow from the runner's own command table.
#include "session/SavedState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vp7 {

// Why a saved state cannot be loaded into a device of `variant` (nullopt: any variant) by the program
// of `version`: not a state at all, a damaged state line, another variant (the one the state's own
// settings lines select, which the state line must name too), a newer program, a line too long or
// one that may not stand in a state. Lines the runner refuses are found by replaying it
// (ReadPlayScript). Reads the text line by line, copying none.
std::optional<StateRefusal> CheckSavedState(std::string_view text, std::optional<uint8_t> variant,
                                            std::string_view version);

// The recording up to `ms` simulated milliseconds after its start line: every line before the start,
// the actions up to and at that moment (with the answers written before them), and a last `wait` to
// it. A moment after the recording's end keeps it whole.
std::string CutRecording(std::string_view text, int64_t ms);

// The milliseconds of a `wait` line; 0 for any other.
int64_t WaitOf(std::string_view line);

struct TimedLine {
    int64_t atMs; // after the start line
    std::string text;
};
// The recording's lines after its start line that act (no waits, comments or output), each at its moment.
std::vector<TimedLine> RecordedLines(std::string_view text);

// The recording's length after its start line, in simulated milliseconds.
int64_t RecordingLengthMs(std::string_view text);

} // namespace vp7
