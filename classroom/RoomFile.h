// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The room file (room.json) the room's set-up writes on the instructor's PC: where the room's broker and
// page are, the instructor's account, and each seat's code for the class sheet. The station opens it to
// connect to the room and to print the sheet; it is read as hostile like every file the program reads:
// bounded, of the right types, every seat's code one that a trainee's join accepts for that very seat.
#include "classroom/JoinTicket.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vp7 {

inline constexpr std::string_view kRoomFileFormat = "vp7-room 1";
// A room of 99 seats is some kilobytes; more is no room file of ours.
inline constexpr std::size_t kLargestRoomFile = 64 * 1024;

struct RoomSeat {
    std::string seat;     // "seat07"
    std::string password; // the code's eight signs, in capitals
    bool operator==(const RoomSeat&) const = default;
};

struct RoomFile {
    std::string room;
    std::string address; // the instructor's PC as the seats reach it
    int webPort = 0;
    bool webTls = false;
    int mqttPort = 0;
    bool mqttTls = false;
    std::string fingerprint; // the room's authority, 64 lower-case hex signs; empty without TLS
    std::string instructorUser, instructorPassword;
    std::vector<RoomSeat> seats; // as the file lists them
    std::string created;         // when the room was made, as the file says it
    bool operator==(const RoomFile&) const = default;
};

// The room `text` describes, or why it is none.
std::variant<RoomFile, std::string> ReadRoomFile(std::string_view text);
std::string WriteRoomFile(const RoomFile& room);

// What the class sheet gives `seat` of `room`: its code ("07-K7QF-M2XA") and its join link.
JoinTicket SeatTicket(const RoomFile& room, const RoomSeat& seat);
std::string SeatCode(const RoomSeat& seat);

} // namespace vp7
