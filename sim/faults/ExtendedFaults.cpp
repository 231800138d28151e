// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/faults/ExtendedFaults.h"

#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/Snapshot.h"
#include "sim/display/Captions.h"

#include <cstdint>

namespace vp7 {
namespace {
constexpr uint32_t kFormat2Tag = 0x46545845; // "EXTF"
} // namespace

ExtendedFaults::ExtendedFaults(Simulator& sim)
    : leak(sim), stickSlip(sim), initError(sim), initStops(sim), manualInit(sim), travelTimes(sim),
      supplyTimeout(sim), leakTest(sim), sim_(sim) {}

bool ExtendedFaults::On() const {
    return sim_.form.ExtendedFaultsSelect.checked;
}

bool ExtendedFaults::PresentInFormat2(StateVisitor& v) {
    if (v.AtEnd()) {
        if (v.Loading()) Reset();
        return false;
    }
    // Its word ahead told it from bytes of another kind behind a snapshot, which stay what they were:
    // bytes after the device's state.
    bool tagged = false;
    try {
        tagged = v.Value("tag", kFormat2Tag) == kFormat2Tag;
    } catch (const StateError&) {
    }
    if (!tagged) throw StateError("bytes after the device's state");
    return true;
}

void ExtendedFaults::Reset() {
    Control& option = sim_.form.ExtendedFaultsSelect;
    option.checked = false;
    option.visible = sim_.form.ZorizOptions.visible;
    option.enabled = true;
    sim_.captions.SetCaption(option);
    InitReset();
    travelTimes.Reset();
}

bool ExtendedFaults::InitTick() {
    return initError.Tick() || supplyTimeout.Tick() || leakTest.Tick() || manualInit.Tick();
}

bool ExtendedFaults::InitKey(KeyCode code) {
    return manualInit.Key(code) || leakTest.Key(code);
}

void ExtendedFaults::InitReset() {
    initError.Reset();
    initStops.Reset();
    manualInit.Reset();
    supplyTimeout.Reset();
    leakTest.Reset();
}

void ExtendedFaults::DoState(StateVisitor& v) {
    v.Part("extendedFaults");
    if (v.Format() < kSnapshotFormatExtendedFaultsAlways && !PresentInFormat2(v)) return;
    v("control", sim_.form.ExtendedFaultsSelect);
    initError.DoState(v);
    initStops.DoState(v);
    manualInit.DoState(v);
    travelTimes.DoState(v);
    supplyTimeout.DoState(v);
    leakTest.DoState(v);
}

} // namespace vp7
