// Any content of the settings file: the program starts, and writing it back loses nothing it read.
#include "FuzzSupport.h"

#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vp7::fuzz;
    {
        std::ofstream(ProgramDir() / "Config" / "VP7.ini", std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Device d;
    d.Start();
    d.clock.Advance(2000);
    if (d.sim->FormCloseQuery()) d.sim->FormClose();
    return 0;
}
