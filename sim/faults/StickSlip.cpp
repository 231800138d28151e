// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/faults/StickSlip.h"

#include "sim/Simulator.h"
#include "sim/faults/ExtendedFaults.h"
#include "sim/operation/ParamSet.h"

#include <algorithm>

namespace vp7 {
namespace {
// How much the automatic dead band widens for each jump it sees, and its widest.
constexpr double kDeadBandGrowth = 0.2, kDeadBandWidest = 3.0;
} // namespace

StickSlip::StickSlip(Simulator& sim) : sim_(sim) {}

bool StickSlip::Grips() const {
    const SimState& s = sim_.state;
    return sim_.extendedFaults.On() && sim_.form.FrictionSelect.checked && s.Mode == Mode::Automatic &&
           !s.MoveActive;
}

double StickSlip::HoldBand(double deadBand) const {
    return Grips() ? std::max(deadBand, BreakawayBand) : deadBand;
}

void StickSlip::BreakLoose(double deviation) {
    // A large step is a stroke, not a jump the adaptation would answer.
    if (!Grips() || deviation >= 2 * BreakawayBand || sim_.params.store.DEBA >= 0) return;
    double& deadBand = sim_.state.DeadBand;
    deadBand = std::min(kDeadBandWidest, deadBand + kDeadBandGrowth);
}

} // namespace vp7
