// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/script/RewindPlan.h"

#include <utility>

namespace vp7 {

std::variant<RewindPlan, StateRefusal> PlanRewind(std::string_view recording, int64_t ms,
                                                  const Backtracks& backtracks,
                                                  const RewindSettings& settings) {
    if (settings.unreadable) return UnreadableSettings(settings.path);
    RewindPlan plan{CutRecording(recording, ms), std::nullopt};
    plan.fromBacktrack = ReplayFromBacktrack(backtracks, plan.cut, ms);
    return plan;
}

} // namespace vp7
