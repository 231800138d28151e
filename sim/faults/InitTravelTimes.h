// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The travel times RUN 3 measured, friction and throttle included, kept as diagnostics 8 and 9 and
// shown as measured.
#include <cstdint>

namespace vp7 {

class Simulator;
class StateVisitor;

class InitTravelTimes {
public:
    explicit InitTravelTimes(Simulator& sim);

    // Both times in seconds.
    void Store(double up, double down);

    bool Holds() const { return Measured != 0; }
    void Reset() { Measured = 0; }
    void DoState(StateVisitor& v);

    // The diagnostics hold measured times, which the throttle must not lengthen again.
    uint8_t Measured = 0;

private:
    Simulator& sim_;
};

} // namespace vp7
