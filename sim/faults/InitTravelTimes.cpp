// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/faults/InitTravelTimes.h"

#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Diagnostics.h"

#include <cmath>

namespace vp7 {

InitTravelTimes::InitTravelTimes(Simulator& sim) : sim_(sim) {}

void InitTravelTimes::Store(double up, double down) {
    auto& table = sim_.diagnostics.DiagTable;
    table[DiagTravelTimeUp].Value = static_cast<int32_t>(std::lround(10 * up));
    table[DiagTravelTimeDown].Value = static_cast<int32_t>(std::lround(10 * down));
    Measured = 1;
}

void InitTravelTimes::DoState(StateVisitor& v) {
    v("travelTimesMeasured", Measured);
}

} // namespace vp7
