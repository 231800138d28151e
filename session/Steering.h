// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an instructor does to a running device's time, done once for every caller: the window's
// instructor controls, an exercise's panel, a classroom seat in the window or in the runner, and the
// runner itself. A freeze lets go of every key and button held first, through the device's own input
// calls, so the device is told as a recording keeps it and nothing stays pressed across the freeze;
// the time then stands. A speed within the range below multiplies the time.
//
// The state lives in the time steered (the window's clock, the runner's script time), so a steering
// may be made wherever a device and its time meet.
#include "session/SteeredTime.h"

#include <functional>

namespace vp7 {

class Simulator;

// The speeds an instructor may set: beyond them the device's timers no longer keep up with a human's
// eye, or hardly move.
inline constexpr double kSlowestSpeed = 0.1, kFastestSpeed = 100;

class Steering {
public:
    // `device` tells the device running now, none before one starts or after it closed.
    Steering(SteeredTime& time, std::function<Simulator*()> device);

    // `holder` takes or gives up its hold; the time stands while any holder holds it. Freezing a frozen
    // device or continuing a running one lets nothing go and starts nothing.
    void SetFrozen(bool frozen, FreezeHolder holder);
    bool Frozen() const { return time_.Frozen(); }
    bool HeldBy(FreezeHolder holder) const { return (time_.FreezeHolders() & FreezeBit(holder)) != 0; }
    // Throws std::range_error, changing nothing, for a speed outside kSlowestSpeed..kFastestSpeed.
    void SetSpeed(double speed);
    double Speed() const { return time_.Rate(); }
    static bool SpeedAllowed(double speed) { return speed >= kSlowestSpeed && speed <= kFastestSpeed; }

private:
    void LetGoOfHolds(Simulator& sim);

    SteeredTime& time_;
    std::function<Simulator*()> device_;
};

} // namespace vp7
