// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A hand-in's result as a seat sends it on its event topic, and as the instructor's station reads it:
// the id makes each unique, so that one sent again after a reconnection is counted once.
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vp7 {

struct SeatHandIn {
    struct Check {
        std::string text; // English
        bool passed = false;
        bool operator==(const Check&) const = default;
    };
    std::string exercise; // the English title
    std::vector<Check> checks;
    std::optional<bool> question; // answered right, when there is a question
    int passed = 0, total = 0;
    bool operator==(const SeatHandIn&) const = default;
};

struct HandInMessage {
    std::string seat, room, id;
    SeatHandIn result;
    bool operator==(const HandInMessage&) const = default;
};

// An exercise has some checks; a hundred is more than any has.
inline constexpr std::size_t kHandInMaxChecks = 100;

std::string WriteHandIn(const HandInMessage& message);
// The hand-in a payload holds, or why it is none (bounded as a status is).
std::variant<HandInMessage, std::string> ReadHandIn(std::string_view payload);

} // namespace vp7
