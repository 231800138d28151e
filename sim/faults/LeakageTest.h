// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The leakage measurement of RUN 3, asked for with the increase key: once the travel times are
// measured the run holds while the stem stands, a leaking actuator drifts, and the drift is shown as
// "L" and %/min until "-" or a few ticks end the display.
#include "model/DeviceCodes.h"

#include <cstdint>

namespace vp7 {

class Simulator;
class StateVisitor;

class LeakageTest {
public:
    explicit LeakageTest(Simulator& sim);

    static constexpr int32_t MeasureTicks = 10, ShowTicks = 4; // sequencer ticks

    bool Key(KeyCode code);
    // A sequencer tick taken while the measurement holds RUN 3.
    bool Tick();

    bool Holds() const { return Phase != Idle || Rate != 0; }
    void Reset();
    void DoState(StateVisitor& v);

    enum Step : uint8_t { Idle = 0, Asked = 1, Measuring = 2, Showing = 3 };
    uint8_t Phase = Idle;
    int32_t Ticks = 0;
    double Start = 0; // the position the measurement began at
    double Rate = 0;  // %/min measured

private:
    void Drift();
    Simulator& sim_;
};

} // namespace vp7
