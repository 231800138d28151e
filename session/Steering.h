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

// Who asks for a freeze. Every freeze today is the instructor's; the holder is named at every call so
// that a trainee's own pause can be told apart from it and cannot lift it.
enum class FreezeHolder { Instructor };

class Steering {
public:
    // `device` tells the device running now, none before one starts or after it closed.
    Steering(SteeredTime& time, std::function<Simulator*()> device);

    // Freezing a frozen device or continuing a running one changes nothing.
    void SetFrozen(bool frozen, FreezeHolder holder);
    bool Frozen() const { return time_.Frozen(); }
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
