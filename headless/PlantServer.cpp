// SPDX-License-Identifier: GPL-3.0-or-later
// Built with the plant layer: `modbus` serves the runner's device.
#include "headless/PlantServer.h"

#include "plant/RunnerPlant.h"

namespace vp7 {

std::unique_ptr<RunnerPlantPeer> AttachPlantServer(Runner& runner) {
    return std::make_unique<RunnerPlant>(runner);
}

} // namespace vp7
