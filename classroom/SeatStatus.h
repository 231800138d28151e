// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a seat tells the room about itself, retained on its status topic: published by the seat, read
// by the instructor's station. Reading one is bounded and refuses anything malformed.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vp7 {

// A status or an event is a small page; anything larger is not one.
inline constexpr std::size_t kStatusMaxBytes = 64 * 1024;

struct SeatStatus {
    std::string seat, room;
    bool online = true;
    // The rest is absent from the offline status the broker sends as the seat's last will.
    std::string variant;  // VP7A, VP7PA, VP7FF
    std::string mode;     // AUT, MAN, CONF, DIAG, INIT
    std::string lcdUpper; // the display read back as a person sees it
    std::string lcdLower;
    double position = 0;     // %
    double setpoint = 0;     // %
    std::vector<int> faults; // the fault numbers raised, 1..8, ascending
    bool alarm1 = false, alarm2 = false;
    bool frozen = false;
    double speed = 1;
    std::string exercise; // the exercise's English title, empty without one
    int checks = 0;       // the exercise's checks, and how many hold now
    int checksHolding = 0;
    std::optional<int64_t> timeLeftMs; // while an exercise with a time limit runs

    bool operator==(const SeatStatus&) const = default;
};

std::string WriteSeatStatus(const SeatStatus& status);
// The status a payload holds, or why it is none.
std::variant<SeatStatus, std::string> ReadSeatStatus(std::string_view payload);

} // namespace vp7
