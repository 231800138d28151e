#pragma once
// A simulator in a program folder of its own, for the fuzz targets.
#include "core/Simulator.h"
#include "platform/ScriptedHost.h"
#include "platform/SpriteSet.h"
#include "platform/VirtualClock.h"

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace vp7::fuzz {

inline std::filesystem::path ProgramDir() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("vp7-fuzz-" + std::to_string(getpid()));
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
