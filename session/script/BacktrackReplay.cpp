// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/script/BacktrackReplay.h"

#include "session/SavedState.h"
#include "session/script/RecordingLines.h"

#include <utility>

namespace vp7 {

std::optional<BacktrackReplay> ReplayFromBacktrack(const Backtracks& backtracks, std::string_view cut,
                                                   int64_t ms) {
    auto backtrack = backtracks.Before(ms);
    if (!backtrack) return std::nullopt;
    // The replay's clock starts at the backtrack's moment; the actions after it play on it.
    PlayScript script;
    for (TimedLine& line : RecordedLines(cut))
        if (line.atMs >= backtrack->atMs)
            script.steps.push_back({line.atMs - backtrack->atMs, 0, std::move(line.text)});
    script.endMs = ms - backtrack->atMs;
    return BacktrackReplay{std::move(*backtrack), std::move(script)};
}

} // namespace vp7
