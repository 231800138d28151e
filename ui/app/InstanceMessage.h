// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a second start of the program tells the running one over its local socket, one line a
// connection: "raise" (show your window), or "open state|play|exercise|room PATH" for a second start
// given --state, --play, --exercise or --room, so that the file opens in the program that runs instead
// of being dropped. Whoever connects is not trusted: a line that is not exactly one of these is refused.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vp7 {

enum class OpenKind { State, Recording, Exercise, Room };

struct OpenRequest {
    OpenKind kind = OpenKind::State;
    std::string path; // absolute, UTF-8
};

struct InstanceMessage {
    std::optional<OpenRequest> open; // none: only "raise"
};

// The longest line: a path as long as the system allows, and its words.
inline constexpr std::size_t kInstanceMessageMaxBytes = 4096 + 32;

// The line for `message`, with its newline.
std::string InstanceMessageLine(const InstanceMessage& message);
// `line` as sent, with or without its newline; none for anything else (an unknown word, a path that is
// not absolute or carries control characters, a line too long).
std::optional<InstanceMessage> ReadInstanceMessage(std::string_view line);

} // namespace vp7
