// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/VirtualClock.h"

#include <algorithm>

namespace vp7 {

void VirtualClock::Arm(Timer& timer) {
    Disarm(timer);
    armed_.push_back({&timer, now_ + timer.Interval(), nextOrder_++});
}

void VirtualClock::ArmAt(Timer& timer, int64_t atMs) {
    Disarm(timer);
    armed_.push_back({&timer, std::max(now_, atMs), nextOrder_++});
}

std::optional<Clock::Due> VirtualClock::NextTick(const Timer& timer) const {
    for (const Entry& e : armed_)
        if (e.timer == &timer) return Due{e.due, e.order};
    return std::nullopt;
}

void VirtualClock::Disarm(Timer& timer) {
    std::erase_if(armed_, [&](const Entry& e) { return e.timer == &timer; });
}

int64_t VirtualClock::NextDue() const {
    int64_t due = -1;
    for (const Entry& e : armed_)
        if (due < 0 || e.due < due) due = e.due;
    return due;
}

void VirtualClock::Advance(int64_t ms) {
    const int64_t end = now_ + std::max<int64_t>(0, ms);
    for (;;) {
        // Only a handful of timers exist, so a linear search beats keeping a heap consistent with
        // handlers that arm and disarm timers while they run.
        auto next = armed_.end();
        for (auto it = armed_.begin(); it != armed_.end(); ++it)
            if (it->due <= end && (next == armed_.end() || it->due < next->due ||
                                   (it->due == next->due && it->order < next->order)))
                next = it;
        if (next == armed_.end()) break;
        Timer* timer = next->timer;
        now_ = std::max(now_, next->due);
        next->due = now_ + timer->Interval();
        next->order = nextOrder_++;
        ++fired_;
        timer->Fire();
    }
    now_ = std::max(now_, end);
}

} // namespace vp7
