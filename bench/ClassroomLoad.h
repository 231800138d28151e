// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instructor station's part of the classroom's load figures, built only with the desktop program.
#include "classroom/Instructor.h"

#include <optional>
#include <string>
#include <vector>

namespace bench {

struct StationFigures {
    // Each message, on the wall clock: Received() with the layout and paint it caused; those that made a
    // seat's tile apart.
    std::vector<double> takenMs, tileMadeMs;
    std::vector<double> cpuMs; // the same on the thread's CPU clock, every message
    int paints = 0;            // paint events of the station's widgets meanwhile
};

// Feeds an instructor station (offscreen) every message at the moment it arrived from the broker,
// relative to the first; nothing when the program was built without the desktop program.
std::optional<StationFigures> ReplayToStation(const std::vector<vp7::test::Instructor::Message>& messages,
                                              const std::string& room);

} // namespace bench
