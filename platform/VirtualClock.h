// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Simulated time: nothing happens until Advance() is called, which fires every due timer in time order
// (timers due at the same moment in the order they were armed). Minutes of device time run in
// milliseconds, and every run is repeatable.
#include "platform/Clock.h"

#include <cstdint>
#include <vector>

namespace vp7 {

class VirtualClock : public Clock {
public:
    int64_t NowMs() const override { return now_; }
    // Moves time forward by ms, firing every timer that falls due up to and including the end.
    // Handlers may arm and disarm timers and may call Advance again (a busy wait letting time pass).
    void Advance(int64_t ms);
    // Time of the next due timer, or -1 when none is armed.
    int64_t NextDue() const;
    // Number of timer handlers run so far (benchmarks, tests).
    uint64_t Fired() const { return fired_; }
    std::optional<Due> NextTick(const Timer& timer) const override;

protected:
    void Arm(Timer& timer) override;
    void Disarm(Timer& timer) override;
    void ArmAt(Timer& timer, int64_t atMs) override;

private:
    struct Entry {
        Timer* timer;
        int64_t due;
        uint64_t order;
    };
    int64_t now_ = 0;
    uint64_t nextOrder_ = 0;
    uint64_t fired_ = 0;
    std::vector<Entry> armed_;
};

} // namespace vp7
