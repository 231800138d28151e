// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A rewind to a moment, decided alike for the window's session and the runner's: the session's
// recording cut at the moment, and where the device comes back from, the latest backtrack at or before
// the moment with only the actions after it, or, with none, the cut replayed from the start. A settings
// file that cannot be read refuses the rewind whole, since the replay's settings lines would replace it.
#include "session/Backtracks.h"
#include "session/SavedState.h"
#include "session/script/BacktrackReplay.h"
#include "session/script/RecordingLines.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vp7 {

struct RewindPlan {
    std::string cut;                              // the recording up to the moment
    std::optional<BacktrackReplay> fromBacktrack; // none: the cut replays from the start
};

struct RewindSettings {
    std::string path;        // the settings file the replay writes
    bool unreadable = false; // there, but not to be read: nothing may replace it
};

// `recording` is the session's so far; a session that keeps no backtracks passes none.
std::variant<RewindPlan, StateRefusal> PlanRewind(std::string_view recording, int64_t ms,
                                                  const Backtracks& backtracks,
                                                  const RewindSettings& settings);

} // namespace vp7
