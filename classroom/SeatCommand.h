// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A command the instructor sends a seat: `{"command": "NAME", ...}` on the room's command topics,
// written by the instructor's station and read by the seat. Every message is hostile until read here:
// bounded, of the right types, or refused with a reason.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace vp7 {

// The largest message a seat takes: an exercise or a state file inside one.
inline constexpr std::size_t kCommandMaxBytes = 1u << 20;
// A message for the trainee is a line or two.
inline constexpr std::size_t kTraineeMessageMaxBytes = 1000;
// Commands may carry an id; a command whose id was just seen came twice and is done once.
inline constexpr std::size_t kCommandIdMaxBytes = 64;

// A seat sends its live view's frames this long after the instructor last asked for them. A frame is a
// JPEG or PNG picture as it is, on the seat's picture channel.
inline constexpr int kWatchLeaseMs = 30000;

// The device's options an instructor may set unseen: the faults an exercise hides. A fault command
// naming any other is refused.
inline constexpr std::array<std::string_view, 5> kHideableFaults = {
    "NoPreasureSelect", "BlockDownSelect", "BlockUpSelect", "FrictionSelect", "LeakageSelect"};
bool IsHideableFault(std::string_view option);

enum class SeatCommandKind {
    OpenExercise, // text: the exercise file's text; seed, when the station chose the seat's device one
    LoadState,    // text: a snapshot state file's bytes (base64 in the message)
    Freeze,
    Continue,
    Speed,          // value
    SetHiddenFault, // text: the option's control name, on
    Message,        // text: shown to the trainee
    HandIn,
    Watch,     // on: the instructor looks at the seat's live view, or no longer
    SaveState, // the seat answers with its device's state on its event channel (SeatState.h)
    Rewind,    // value: the whole seconds to go back
};

// A rewind from the room goes back at least a second and at most a day of the device's time; a seat
// whose session is shorter goes back to its start.
inline constexpr int kRoomRewindMinSeconds = 1;
inline constexpr int kRoomRewindMaxSeconds = 24 * 60 * 60;

struct SeatCommand {
    SeatCommand() = default;
    // The members in their order, as a brace list names them; those a kind does not carry stay as they are.
    SeatCommand(SeatCommandKind kind, std::string text = {}, double value = 1, bool on = false,
                std::string id = {})
        : kind(kind), text(std::move(text)), value(value), on(on), id(std::move(id)) {}

    SeatCommandKind kind = SeatCommandKind::Freeze;
    std::string text;
    double value = 1;
    bool on = false;
    std::string id; // empty when the message had none
    // The random seed the seat's device starts the exercise with, chosen by the station for this seat
    // so that its hand-in's recording replays there; none from an older station.
    std::optional<uint64_t> seed;
    bool operator==(const SeatCommand&) const = default;
};

// The message for `command`, with only the members its kind carries.
std::string WriteSeatCommand(const SeatCommand& command);
std::variant<SeatCommand, std::string> ReadSeatCommand(std::string_view payload);

// The bytes base64 text stands for (RFC 4648, padding optional), or nullopt for anything else.
std::optional<std::string> DecodeBase64(std::string_view text);
std::string EncodeBase64(std::string_view bytes);

} // namespace vp7
