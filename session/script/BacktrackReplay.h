// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a rewind to a moment goes back from: the latest backtrack at or before it, restored, with only
// the recorded actions after it replayed on a clock that starts at the backtrack. With none before the
// moment, the recording cut there replays whole instead.
#include "session/Backtracks.h"
#include "session/script/PlayScript.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace vp7 {

struct BacktrackReplay {
    Backtracks::Backtrack backtrack;
    PlayScript script; // the actions after the backtrack, timed from it, ending at the moment
};

// `cut` is the session's recording cut at `ms` (after its start line); none when no backtrack lies at
// or before `ms`.
std::optional<BacktrackReplay> ReplayFromBacktrack(const Backtracks& backtracks, std::string_view cut,
                                                   int64_t ms);

} // namespace vp7
