// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/RoomNames.h"

namespace vp7 {

std::optional<std::string> RoomNameProblem(std::string_view what, std::string_view name) {
    const std::string prefix = std::string(what) + " name ";
    if (name.empty()) return prefix + "is empty";
    if (name.size() > kRoomNameMaxBytes)
        return prefix + "is longer than " + std::to_string(kRoomNameMaxBytes) + " bytes";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        // '+' and '#' are the broker's wildcards, '/' splits a topic.
        if (c == '+' || c == '#' || c == '/') return prefix + "may not contain '" + std::string(1, c) + "'";
        if (byte < 0x20 || byte == 0x7F) return prefix + "may not contain control characters";
        // A seat's name is its broker account's too: plain ASCII keeps both alike on every system.
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '_' || c == '.';
        if (!plain) return prefix + "may hold only letters, digits, '-', '_' and '.'";
    }
    return std::nullopt;
}

SeatTopics TopicsOf(std::string_view room, std::string_view seat) {
    const std::string base = "vp7/" + std::string(room) + "/";
    return {base + "seat/" + std::string(seat) + "/status", base + "seat/" + std::string(seat) + "/event",
            base + "cmd/all", base + "cmd/seat/" + std::string(seat),
            base + "seat/" + std::string(seat) + "/picture"};
}

} // namespace vp7
