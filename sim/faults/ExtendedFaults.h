// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fault effects beyond the device's own model, so that a fault can be found on the device as on a real
// rig: one option (ExtendedFaultsSelect), off by default. With it off every effect is absent and the
// device behaves and saves its settings exactly as without this piece.
#include "model/DeviceCodes.h"
#include "sim/faults/DoubleActingLeak.h"
#include "sim/faults/InitError.h"
#include "sim/faults/InitStops.h"
#include "sim/faults/InitSupplyTimeout.h"
#include "sim/faults/InitTravelTimes.h"
#include "sim/faults/LeakageTest.h"
#include "sim/faults/ManualInit.h"
#include "sim/faults/StickSlip.h"

namespace vp7 {

class Simulator;
class StateVisitor;

class ExtendedFaults {
public:
    explicit ExtendedFaults(Simulator& sim);

    bool On() const;
    // The option's control and the effects' fields, behind the rest of a snapshot. A format 2 snapshot
    // had them only while there was something to keep; one without them loads with the option off.
    void DoState(StateVisitor& v);

    // The effects without fields of their own: what they change is the device's state.
    DoubleActingLeak leak;
    StickSlip stickSlip;

    // The initialization's hooks, called with the option on. A sequencer tick or a key that an effect
    // takes (an error shown, a manual RUN 2, a leakage measurement) is not the runs' own.
    bool InitTick();
    bool InitKey(KeyCode code);
    // An initialization started or left: what the last one stopped at, asked for or measured is gone.
    // Always called: with the option never on there is nothing to clear.
    void InitReset();

    InitError initError;
    InitStops initStops;
    ManualInit manualInit;
    InitTravelTimes travelTimes;
    InitSupplyTimeout supplyTimeout;
    LeakageTest leakTest;

private:
    // Reading format 2: whether the part is there (tagged), else the device takes a fresh one's.
    bool PresentInFormat2(StateVisitor& v);
    void Reset();
    Simulator& sim_;
};

} // namespace vp7
