// SPDX-License-Identifier: GPL-3.0-or-later
// Any content of the settings file is read into a running device, which keeps working; what it then
// writes reads back to the same values.
#include "FuzzSupport.h"
#include "sim/diagnosis/Monitoring.h"
#include "sim/files/Settings.h"
#include "sim/operation/ParamSet.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {
std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vp7::fuzz;
    Device& d = StartedDevice();
    d.host.ClearMessages();
    const auto ini = ProgramDir() / "Config" / "VP7.ini";
    {
        std::ofstream(ini, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    vp7::Simulator& sim = *d.sim;
    if (!sim.settings.LoadSettings()) std::abort();
    // What the start-up does with the values read, then a few ticks of the running device.
    sim.params.StoreFromTable();
    sim.monitoring.ApplyDeadBandMonitoring();
    sim.monitoring.ApplyDeviationMonitoring();
    sim.monitoring.ApplyEndStopMonitoring();
    d.clock.Advance(100);
    // Written to a fresh file, so lines the device does not know stay out of the comparison.
    std::filesystem::remove(ini);
    sim.settings.SaveSettings();
    const std::string first = ReadAll(ini);
    if (!sim.settings.LoadSettings()) std::abort();
    std::filesystem::remove(ini);
    sim.settings.SaveSettings();
    if (ReadAll(ini) != first) std::abort(); // a value read was not written back as read
    return 0;
}
