// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Without supply air the initialization does not wait: its move stands, and after a time-out the run
// stops with "no movement". Air back in time lets the move go on.
#include <cstdint>

namespace vp7 {

class Simulator;
class StateVisitor;

class InitSupplyTimeout {
public:
    explicit InitSupplyTimeout(Simulator& sim);

    static constexpr int32_t TimeoutTicks = 30; // sequencer ticks

    // The stem cannot move for want of air.
    bool Stalls() const;
    // A sequencer tick: counts those a move stands; at the time-out the run stops and the tick is taken.
    bool Tick();

    bool Holds() const { return StalledTicks != 0; }
    void Reset() { StalledTicks = 0; }
    void DoState(StateVisitor& v);

    int32_t StalledTicks = 0;

private:
    Simulator& sim_;
};

} // namespace vp7
