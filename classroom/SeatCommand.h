// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A command the instructor sends a seat: `{"command": "NAME", ...}` on the room's command topics.
// Every message is hostile until read here: bounded, of the right types, or refused with a reason.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vp7 {

// The largest message a seat takes: an exercise or a state file inside one.
inline constexpr std::size_t kCommandMaxBytes = 1u << 20;
// A message for the trainee is a line or two.
inline constexpr std::size_t kTraineeMessageMaxBytes = 1000;
// Commands may carry an id; a command whose id was just seen came twice and is done once.
inline constexpr std::size_t kCommandIdMaxBytes = 64;

// A seat sends its live view's frames this long after the instructor last asked for them.
inline constexpr int kWatchLeaseMs = 30000;

enum class SeatCommandKind {
    OpenExercise, // text: the exercise file's text
    LoadState,    // text: a snapshot state file's bytes (base64 in the message)
    Freeze,
    Continue,
    Speed,          // value
    SetHiddenFault, // text: the option's control name, on
    Message,        // text: shown to the trainee
    HandIn,
    Watch, // on: the instructor looks at the seat's live view, or no longer
};

struct SeatCommand {
    SeatCommandKind kind = SeatCommandKind::Freeze;
    std::string text;
    double value = 1;
    bool on = false;
    std::string id; // empty when the message had none
};

std::variant<SeatCommand, std::string> ReadSeatCommand(std::string_view payload);

// The bytes base64 text stands for (RFC 4648, padding optional), or nullopt for anything else.
std::optional<std::string> DecodeBase64(std::string_view text);
std::string EncodeBase64(std::string_view bytes);

} // namespace vp7
