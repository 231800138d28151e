// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The runner's device time as an instructor steers it: a script's `wait` lets the script's time pass,
// and the device's follows it, multiplied by the speed, or stands while frozen. The parts of a
// millisecond a speed leaves over are carried to the next step, so many short steps add up as one.
#include "session/SteeredTime.h"

#include <cstdint>

namespace vp7 {

class VirtualClock;

class ScriptTime : public SteeredTime {
public:
    // `clock` is the device's when it is the runner's own simulated clock; none on a clock that runs by
    // itself, where only the state is kept.
    explicit ScriptTime(VirtualClock* clock) : clock_(clock) {}

    void SetFrozen(bool frozen) override { frozen_ = frozen; }
    bool Frozen() const override { return frozen_; }
    void SetFreezeHolders(unsigned holders) override { freezeHolders_ = holders; }
    unsigned FreezeHolders() const override { return freezeHolders_; }
    void SetRate(double rate) override { rate_ = rate; }
    double Rate() const override { return rate_; }
    // Whether the device's time is the script's, one to one.
    bool Plain() const { return !frozen_ && rate_ == 1; }
    // `ms` of the script's time passed: the device's passes as frozen and speed say.
    void Pass(int64_t ms);

private:
    VirtualClock* clock_;
    bool frozen_ = false;
    unsigned freezeHolders_ = 0;
    double rate_ = 1;
    double carryMs_ = 0; // the part of a millisecond a speed left over
};

} // namespace vp7
