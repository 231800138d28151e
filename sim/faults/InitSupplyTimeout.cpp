// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/faults/InitSupplyTimeout.h"

#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/faults/ExtendedFaults.h"

namespace vp7 {

InitSupplyTimeout::InitSupplyTimeout(Simulator& sim) : sim_(sim) {}

bool InitSupplyTimeout::Stalls() const {
    return sim_.form.NoPreasureSelect.checked;
}

bool InitSupplyTimeout::Tick() {
    if (!Stalls() || !sim_.state.MoveActive) {
        StalledTicks = 0;
        return false;
    }
    if (++StalledTicks < TimeoutTicks) return false;
    sim_.extendedFaults.initError.Stop("keine Bewegung", "no movement", "Druckluft prüfen",
                                       "Check the supply air");
    return true;
}

void InitSupplyTimeout::DoState(StateVisitor& v) {
    v("supplyStalledTicks", StalledTicks);
}

} // namespace vp7
