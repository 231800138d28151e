// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a seat needs to join a room, as the class sheet gives it: a code short enough to type
// ("07-K7QF-M2XA": the seat's number and its account's password) or a link with everything in it
// (SCHEME://ADDRESS:WEBPORT/#join=ROOM/CODE&mqtt=PORT&tls=0|1&fp=HEX). A browser opens the link; the
// desktop takes the link or, where it knows the room from an earlier join, the code alone. Both are
// typed or scanned by a trainee and read as hostile: bounded, every part checked.
#include <optional>
#include <string>
#include <string_view>

namespace vp7 {

// The signs a code's password is drawn from: none that looks like another (no 0 O 1 I L).
inline constexpr std::string_view kCodeAlphabet = "23456789ABCDEFGHJKMNPQRSTUVWXYZ";
inline constexpr std::size_t kCodePasswordLength = 8;
inline constexpr int kLargestSeatNumber = 99;
// Longer than any link the class sheet prints; more is no link of ours.
inline constexpr std::size_t kLongestJoinText = 1024;

struct JoinTicket {
    std::string address;     // the instructor's PC, as the link names it (a name, an IPv4 or [IPv6])
    int webPort = 0;         // the page and MQTT over WebSocket
    bool webTls = false;     // https and wss
    int mqttPort = 0;        // the broker for desktop seats
    bool mqttTls = false;    // then `fingerprint` is the room's certificate authority's
    std::string fingerprint; // SHA-256 of the authority's certificate (DER), 64 lower-case hex signs
    std::string room;
    std::string seat;     // "seat07"; the broker account has the seat's name
    std::string password; // the code's eight signs, in capitals
    bool operator==(const JoinTicket&) const = default;
};

enum class JoinProblem {
    None,
    TooLong,
    NotACode,       // neither a link nor a code of the right shape
    SeatOutOfRange, // seat 00, or above the largest
    NotOurLink,     // a link without the room's part, or of another scheme
    BadAddress,
    BadPort,
    BadRoom,
    BadFingerprint, // TLS without the authority's fingerprint, or one that is no SHA-256
    RoomUnknown,    // a code alone where no earlier join tells the room
};

struct JoinReading {
    std::optional<JoinTicket> ticket;
    JoinProblem problem = JoinProblem::None;
};

// Reads what a trainee typed or scanned: a link, or a code completed from `known` (the room of an
// earlier join: its address, ports, room and fingerprint). Case-blind; blanks and dashes in a code
// count for nothing.
JoinReading ReadJoin(std::string_view text, const std::optional<JoinTicket>& known = std::nullopt);

// A code alone ("07-K7QF-M2XA", as ReadJoin takes it) where no room is known yet: a ticket of only the
// seat and its password, for the room to be found by it.
std::optional<JoinTicket> ReadCodeAlone(std::string_view text);

// The seat's code as the class sheet prints it: "07-K7QF-M2XA". `seatNumber` 1 to 99, `password`
// eight signs of the alphabet.
std::string WriteSeatCode(int seatNumber, std::string_view password);
// The link the class sheet prints and its QR code holds.
std::string WriteJoinLink(const JoinTicket& ticket);
// The seat's name for its number: 7 -> "seat07".
std::string SeatNameOf(int seatNumber);

// A clear word for the trainee, in German or English.
std::string_view JoinProblemText(JoinProblem problem, bool german);

} // namespace vp7
