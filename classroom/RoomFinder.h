// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the room by a seat's code alone, on a PC that never joined it: the seat asks the local
// network for its room (a datagram to the finder's port), and the instructor's station, while it has
// the room open, answers with the seat's join link less the code and a MAC over the answer keyed by
// the seat's code. The seat takes only an answer whose MAC is right: what it learns (the address and
// the fingerprint of the room's authority) then comes from whoever knows its code, so a stranger on
// the network cannot send it to another broker. The key is stretched (PBKDF2) so that a captured
// answer does not give the code away by trying every one.
//
// The messages are text, one line, of bounded length:
//   question  "VP7-FIND 1 seat07 NONCE"        NONCE: 32 lower-case hex signs, new for every search
//   answer    "VP7-ROOM 1 NONCE LINK MAC"      MAC: HMAC-SHA-256 of what precedes " MAC", 64 hex signs
// LINK is the seat's join link with the code's signs all kPlaceholderSign.
#include "classroom/JoinTicket.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vp7 {

inline constexpr uint16_t kRoomFinderPort = 18830;
// A question is some 50 bytes, an answer a link and some 110 more; anything longer is none of ours.
inline constexpr std::size_t kLongestFinderMessage = kLongestJoinText + 128;
inline constexpr std::size_t kFinderNonceLength = 32;
inline constexpr std::size_t kFinderMacLength = 64;
// Some 70 ms on a PC of today: once per seat on the station, once per answer on the seat; a code
// tried by brute force costs as many times more.
inline constexpr int kFinderKeyIterations = 50000;

struct FinderQuestion {
    std::string seat;  // "seat07"
    std::string nonce; // lower-case hex
    bool operator==(const FinderQuestion&) const = default;
};

std::string WriteFinderQuestion(const FinderQuestion& question);
std::optional<FinderQuestion> ReadFinderQuestion(std::string_view message);

struct FinderAnswer {
    std::string nonce;
    JoinTicket room;     // the seat's ticket without its password
    std::string mac;     // lower-case hex
    std::string signed_; // the part of the message the MAC is over
};

// The answer to `nonce` for `seat` (its password is left out); `mac` computes the MAC over the part
// given to it, as FinderMac does with the seat's key.
template <typename Mac>
std::string WriteFinderAnswer(const std::string& nonce, JoinTicket seat, const Mac& mac);
std::string FinderAnswerSigned(const std::string& nonce, JoinTicket seat);
std::optional<FinderAnswer> ReadFinderAnswer(std::string_view message);

// The salt of the seat's key: its room's own (the authority's fingerprint, drawn anew for every room,
// else the room's name) and the seat's name, so no table made beforehand serves another room.
std::string FinderKeySalt(const JoinTicket& seat);

template <typename Mac>
std::string WriteFinderAnswer(const std::string& nonce, JoinTicket seat, const Mac& mac) {
    const std::string signedPart = FinderAnswerSigned(nonce, std::move(seat));
    return signedPart + " " + mac(signedPart);
}

} // namespace vp7
