// SPDX-License-Identifier: GPL-3.0-or-later
// Built without the plant layer (no libmodbus, no threads): the runner refuses `modbus` and `serve`.
#include "headless/PlantServer.h"

namespace vp7 {

std::unique_ptr<RunnerPlantPeer> AttachPlantServer(Runner&) {
    return nullptr;
}

} // namespace vp7
