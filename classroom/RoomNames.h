// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A classroom's room and seat names and the broker topics made from them. A name becomes one level of
// a topic, so it may hold none of the characters that split or widen one.
#include <optional>
#include <string>
#include <string_view>

namespace vp7 {

inline constexpr std::size_t kRoomNameMaxBytes = 64;

// Why `name` cannot name a room or seat ("WHAT ..."), or nothing when it can.
std::optional<std::string> RoomNameProblem(std::string_view what, std::string_view name);

struct SeatTopics {
    std::string status;  // vp7/ROOM/seat/SEAT/status, retained
    std::string event;   // vp7/ROOM/seat/SEAT/event
    std::string all;     // vp7/ROOM/cmd/all
    std::string command; // vp7/ROOM/cmd/seat/SEAT
    std::string picture; // vp7/ROOM/seat/SEAT/picture, the live view's frames
};

// The names must have passed RoomNameProblem.
SeatTopics TopicsOf(std::string_view room, std::string_view seat);

} // namespace vp7
