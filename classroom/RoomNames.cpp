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

namespace {

constexpr std::string_view kChannelNames[] = {"status", "event", "picture"};
constexpr SeatChannel kChannels[] = {SeatChannel::Status, SeatChannel::Event, SeatChannel::Picture};

std::string RoomTopic(std::string_view room) {
    return "vp7/" + std::string(room) + "/";
}

std::string SeatsTopic(std::string_view room) {
    return RoomTopic(room) + "seat/";
}

// One level of every seat: the broker's single-level wildcard.
constexpr std::string_view kEverySeat = "+";

} // namespace

std::string SeatChannelTopic(std::string_view room, std::string_view seat, SeatChannel channel) {
    return SeatsTopic(room) + std::string(seat) + "/" + std::string(kChannelNames[static_cast<int>(channel)]);
}

std::string RoomCommandTopic(std::string_view room) {
    return RoomTopic(room) + "cmd/all";
}

std::string SeatCommandTopic(std::string_view room, std::string_view seat) {
    return RoomTopic(room) + "cmd/seat/" + std::string(seat);
}

SeatTopics TopicsOf(std::string_view room, std::string_view seat) {
    return {SeatChannelTopic(room, seat, SeatChannel::Status),
            SeatChannelTopic(room, seat, SeatChannel::Event), RoomCommandTopic(room),
            SeatCommandTopic(room, seat), SeatChannelTopic(room, seat, SeatChannel::Picture)};
}

std::vector<std::string> StationTopics(std::string_view room) {
    std::vector<std::string> topics;
    for (const SeatChannel channel : kChannels)
        topics.push_back(SeatChannelTopic(room, kEverySeat, channel));
    return topics;
}

std::optional<SeatChannelOf> ReadSeatTopic(std::string_view room, std::string_view topic) {
    const std::string prefix = SeatsTopic(room);
    if (!topic.starts_with(prefix)) return std::nullopt;
    topic.remove_prefix(prefix.size());
    const std::size_t slash = topic.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string_view seat = topic.substr(0, slash), channel = topic.substr(slash + 1);
    if (RoomNameProblem("seat", seat)) return std::nullopt;
    for (const SeatChannel c : kChannels)
        if (channel == kChannelNames[static_cast<int>(c)]) return SeatChannelOf{std::string(seat), c};
    return std::nullopt;
}

} // namespace vp7
