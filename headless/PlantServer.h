// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The runner's server for a plant's control system where the build has one (plant/), and none where it
// does not: the runner then refuses `modbus` and `serve`. Which of the two is linked in is the build's
// choice, so the runner's main needs no conditions of its own.
#include "session/script/Runner.h"

#include <memory>

namespace vp7 {

// Attached to `runner` until it is gone, which must be before the runner.
std::unique_ptr<RunnerPlantPeer> AttachPlantServer(Runner& runner);

} // namespace vp7
