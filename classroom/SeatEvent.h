// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An event of a seat's device as the trend shows it, told to the room on the seat's event channel
// beside the hand-ins and the states asked for; the `kind` member tells them apart.
#include "classroom/HandIn.h"
#include "classroom/SeatState.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace vp7 {

struct SeatEvent {
    int64_t timeMs = 0; // the device's clock
    std::string text;   // English, as the trend shows it
    bool operator==(const SeatEvent&) const = default;
};

struct SeatEventMessage {
    std::string seat, room;
    SeatEvent event;
    bool operator==(const SeatEventMessage&) const = default;
};

// A trend event's text is a line or two.
inline constexpr std::size_t kEventTextMaxBytes = 1000;

std::string WriteSeatEvent(const SeatEventMessage& message);
// The event a payload holds, or why it is none (bounded as a status is).
std::variant<SeatEventMessage, std::string> ReadSeatEvent(std::string_view payload);
using EventChannelMessage = std::variant<SeatEventMessage, HandInMessage, SeatStateMessage, std::string>;
// Whichever of the three the event channel's payload holds, or why it is none of them.
EventChannelMessage ReadEventChannel(std::string_view payload);

} // namespace vp7
