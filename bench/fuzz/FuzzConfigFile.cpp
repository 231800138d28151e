// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes of any length as a configuration file.
#include "FuzzSupport.h"

#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vp7::fuzz;
    Device& d = StartedDevice();
    d.host.ClearMessages();
    const auto path = (ProgramDir() / "Data" / "fuzz.vp7").string();
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    d.host.QueueFile(path);
    d.sim->UserClick(d.sim->form.Konfigurationladen1);
    d.clock.Advance(100); // a few ticks of every timer with the values loaded
    return 0;
}
