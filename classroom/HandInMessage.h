// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A hand-in as it travels from a seat to the instructor's station, on the seat's event topic: the
// seat, an id that is the same however often it is sent, and the result. Written and read here alone;
// reading is bounded and refuses anything malformed.
#include "classroom/SeatTarget.h"

#include <string>
#include <string_view>
#include <variant>

namespace vp7 {

inline constexpr std::size_t kHandInMaxBytes = 256 * 1024;
inline constexpr std::size_t kHandInMaxChecks = 200;

struct HandInMessage {
    std::string seat, room, id;
    SeatHandIn result;
};

std::string ToJson(const HandInMessage& handIn);
// A message of kind "handin", or why it is none.
std::variant<HandInMessage, std::string> HandInFromJson(std::string_view payload);

} // namespace vp7
