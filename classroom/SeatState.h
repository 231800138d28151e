// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A seat's answer to the instructor's "save state": its device as a snapshot state file, on the seat's
// event channel beside its events and hand-ins (`"kind": "state"`), or why the seat has none to give.
// The station keeps it as a file the program loads; read here as any message from a seat is, bounded
// and refused whole when malformed.
#include "classroom/SeatStatus.h"

#include <string>
#include <string_view>
#include <variant>

namespace vp7 {

// The largest state a seat sends: the broker takes packets of about a megabyte, the state's bytes go
// in base64, and the instructor's "load state" carries it back inside a command of kCommandMaxBytes.
inline constexpr std::size_t kSeatStateMaxBytes = 640u << 10;
inline constexpr std::size_t kSeatStateMessageMaxBytes = kStatusMaxBytes + (kSeatStateMaxBytes + 2) / 3 * 4;
// Why a seat has no state to give is a line.
inline constexpr std::size_t kSeatStateRefusalMaxBytes = 1000;

struct SeatStateMessage {
    std::string seat, room;
    std::string id;      // the id of the command it answers; empty when that had none
    std::string state;   // the state file's bytes; empty when refused
    std::string refusal; // why there is no state, in English; empty when there is one
    bool operator==(const SeatStateMessage&) const = default;
};

// A state over kSeatStateMaxBytes is sent as a refusal saying so, a refusal cut to its bound.
std::string WriteSeatState(SeatStateMessage message);
// The answer a payload holds, or why it is none: either a state that starts as a snapshot state file
// does, or a refusal, never both.
std::variant<SeatStateMessage, std::string> ReadSeatState(std::string_view payload);

} // namespace vp7
