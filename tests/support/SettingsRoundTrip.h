// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Settings read from a settings file's text, written again, and read back from what was written.
#include "formats/IniFile.h"

#include <string>

namespace vp7::test {

template <typename Settings> struct RoundTrip {
    Settings read, again;
    std::string written;
};

template <typename Settings> RoundTrip<Settings> ReadWriteAgain(const std::string& file) {
    IniFile ini;
    ini.SetText(file);
    RoundTrip<Settings> trip;
    trip.read.Read(ini);
    IniFile written;
    trip.read.Write(written);
    trip.again.Read(written);
    trip.written = written.Text();
    return trip;
}

} // namespace vp7::test
