// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/script/ScriptTime.h"

#include "platform/VirtualClock.h"

namespace vp7 {

void ScriptTime::Pass(int64_t ms) {
    if (frozen_ || !clock_) return;
    carryMs_ += static_cast<double>(ms) * rate_;
    const auto whole = static_cast<int64_t>(carryMs_);
    carryMs_ -= static_cast<double>(whole);
    if (whole > 0) clock_->Advance(whole);
}

} // namespace vp7
