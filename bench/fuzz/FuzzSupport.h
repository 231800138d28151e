// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A simulator in a program folder of its own, for the fuzz targets.
#include "model/SpriteSet.h"
#include "platform/ScriptedHost.h"
#include "platform/VirtualClock.h"
#include "sim/Simulator.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace vp7::fuzz {

// The folder bench/fuzz.sh made for this run (memory-backed, as every run writes a file), else a
// temporary one.
inline std::filesystem::path ProgramDir() {
    static const std::filesystem::path dir = [] {
        const char* given = std::getenv("VP7_FUZZ_DIR");
        auto d = given && *given
                     ? std::filesystem::path(given)
                     : std::filesystem::temp_directory_path() / ("vp7-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(d / "Config");
        std::filesystem::create_directories(d / "Data");
        return d;
    }();
    return dir;
}

struct Device {
    VirtualClock clock;
    ScriptedHost host;
    SpriteSet sprites = SpriteSet::Flat();
    std::unique_ptr<Simulator> sim;
    void Start() {
        sim = std::make_unique<Simulator>(clock, host, sprites, SimulatorOptions{ProgramDir().string()});
        sim->FormCreate();
        clock.Advance(100);
    }
};

// One started device kept for the whole fuzzing run.
inline Device& StartedDevice() {
    static Device device; // started in place: the simulator keeps references to its clock and host
    static const bool started = (device.Start(), true);
    (void)started;
    return device;
}

} // namespace vp7::fuzz
