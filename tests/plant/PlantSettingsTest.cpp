// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/plant/PlantSettings.h"

#include "support/SettingsRoundTrip.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace vp7 {
namespace {

// An older program's file, hand edits that break a key, and what this program writes: read, and
// written again to the same choice; a file that never had the section gets none.
TEST(PlantSettings, ReadsTheServersSectionAndTakesADamagedKeyAsItsDefault) {
    struct Case {
        const char* file;
        bool serve;
        int port, unit;
        const char* address;
        bool readOnly;
    } cases[] = {
        {"[Config]\nCheckScreen=0\n[View]\nZoom=150\n", false, 502, 1, "127.0.0.1", false},
        {"[Modbus]\nServer=1\nPort=1502\nUnit=7\nInterface=0.0.0.0\nReadOnly=1\n", true, 1502, 7, "0.0.0.0",
         true},
        {"[modbus]\nserver=1\n", true, 502, 1, "127.0.0.1", false},
        {"[Modbus]\nServer=2\nPort=70000\nUnit=-1\nInterface=localhost\nReadOnly=yes\n", false, 502, 1,
         "127.0.0.1", false},
        {"[Modbus]\nPort=$5DE\n", false, 1502, 1, "127.0.0.1", false}, // hexadecimal, as every number key
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const auto trip = test::ReadWriteAgain<PlantSettings>(c.file);
        const auto fields = [](const PlantSettings& s) {
            return std::tuple(s.serve, s.options.port, s.options.unitId, s.options.address,
                              s.options.access == modbus::Access::ReadOnly);
        };
        EXPECT_EQ(fields(trip.read), std::tuple(c.serve, c.port, c.unit, std::string(c.address), c.readOnly));
        EXPECT_EQ(fields(trip.again), fields(trip.read));
        EXPECT_EQ(trip.written.find("Modbus") != std::string::npos,
                  std::string(c.file).find("odbus") != std::string::npos);
    }
}

} // namespace
} // namespace vp7
