#include "device/Monitoring.h"

#include "core/Simulator.h"

#include <algorithm>

namespace vp7 {

Monitoring::Monitoring(Simulator& sim) : sim_(sim) {}

void Monitoring::ApplyDeadBandMonitoring() {
    const ParamStore& p = sim_.params.store;
    double& deadBand = sim_.state.DeadBand;
    if (p.DEBA < 0)
        deadBand = std::min(deadBand, 3.0);
    else
        deadBand = ParamSet::Fixed88ToReal(p.DEBA);
    if (p.StoerDEBA >= 0) DeadBandLimit = ParamSet::Fixed88ToReal(p.StoerDEBA);
}

} // namespace vp7
