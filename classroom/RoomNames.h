// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A classroom's room and seat names and every broker topic made from them, for the seat, the
// instructor's station and the runner alike. A name becomes one level of a topic, so it may hold none
// of the characters that split or widen one.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vp7 {

inline constexpr std::size_t kRoomNameMaxBytes = 64;

// Why `name` cannot name a room or seat ("WHAT ..."), or nothing when it can.
std::optional<std::string> RoomNameProblem(std::string_view what, std::string_view name);

// What a seat publishes, each on a topic of its own under vp7/ROOM/seat/SEAT/.
enum class SeatChannel {
    Status,  // .../status, retained
    Event,   // .../event: the trend's events and the hand-ins
    Picture, // .../picture: the live view's frames
};

// The names here must have passed RoomNameProblem.
std::string SeatChannelTopic(std::string_view room, std::string_view seat, SeatChannel channel);
std::string RoomCommandTopic(std::string_view room);                        // vp7/ROOM/cmd/all
std::string SeatCommandTopic(std::string_view room, std::string_view seat); // vp7/ROOM/cmd/seat/SEAT

struct SeatTopics {
    std::string status;
    std::string event;
    std::string all;     // the room's commands
    std::string command; // the seat's own
    std::string picture;
    bool operator==(const SeatTopics&) const = default;
};
SeatTopics TopicsOf(std::string_view room, std::string_view seat);

// What the instructor's station subscribes to: every seat's channels.
std::vector<std::string> StationTopics(std::string_view room);

struct SeatChannelOf {
    std::string seat;
    SeatChannel channel = SeatChannel::Status;
    bool operator==(const SeatChannelOf&) const = default;
};
// The seat and channel a topic of `room` names, or none when it is no seat's channel of that room.
std::optional<SeatChannelOf> ReadSeatTopic(std::string_view room, std::string_view topic);

} // namespace vp7
