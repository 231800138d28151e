// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A simulator through its start-up on a virtual clock with flat sprites, in a folder of its own that
// goes away with it: what every benchmark of the library starts from.
#include "model/SpriteSet.h"
#include "platform/ScriptedHost.h"
#include "platform/VirtualClock.h"
#include "sim/Simulator.h"
#include "sim/motion/Controller.h"

#include <filesystem>
#include <string>

namespace vp7::bench {

struct StartedSimulator {
    explicit StartedSimulator(const std::string& name)
        : dir(std::filesystem::temp_directory_path() / ("vp7-bench-" + name)) {
        std::filesystem::create_directories(dir);
        sim.FormCreate();
        clock.Advance(100);
    }
    ~StartedSimulator() { std::filesystem::remove_all(dir); }
    void Enter(const char* text) {
        sim.UserEdit(sim.form.SetPointText, text);
        sim.UserKeyDown(sim.form.SetPointText, Controller::KeyEnter);
    }

    std::filesystem::path dir;
    VirtualClock clock;
    ScriptedHost host;
    SpriteSet sprites = SpriteSet::Flat();
    Simulator sim{clock, host, sprites, SimulatorOptions{dir.string()}};
};

} // namespace vp7::bench
