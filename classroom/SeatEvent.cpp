// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/SeatEvent.h"

#include "classroom/JsonLimits.h"
#include "classroom/RoomNames.h"
#include "classroom/SeatStatus.h"

#include <algorithm>
#include <cmath>

namespace vp7 {
namespace {

using Json = nlohmann::json;

// Beyond any device clock a run reaches: a century in milliseconds.
constexpr double kLatestMs = 3.2e12;

template <typename Message> EventChannelMessage Widened(std::variant<Message, std::string> read) {
    if (auto* message = std::get_if<Message>(&read)) return std::move(*message);
    return std::move(std::get<std::string>(read));
}

} // namespace

std::string WriteSeatEvent(const SeatEventMessage& m) {
    const Json j = {{"seat", m.seat},
                    {"room", m.room},
                    {"kind", "event"},
                    {"timeMs", m.event.timeMs},
                    {"text", m.event.text}};
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::variant<SeatEventMessage, std::string> ReadSeatEvent(std::string_view payload) {
    std::string why;
    const auto j = ParseBoundedObject(payload, kStatusMaxBytes, why);
    if (!j) return "event " + why;
    if (StringMember(*j, "kind", 16) != "event") return std::string("not an event");
    const auto seat = StringMember(*j, "seat", kRoomNameMaxBytes);
    const auto room = StringMember(*j, "room", kRoomNameMaxBytes);
    if (!seat || !room || RoomNameProblem("seat", *seat) || RoomNameProblem("room", *room))
        return std::string("event without a good seat or room");
    const auto time = NumberMember(*j, "timeMs");
    const auto text = StringMember(*j, "text", kEventTextMaxBytes);
    if (!time || !std::isfinite(*time) || *time < 0 || *time > kLatestMs || *time != std::floor(*time) ||
        !text)
        return std::string("event without its time or text");
    return SeatEventMessage{*seat, *room, {static_cast<int64_t>(*time), *text}};
}

EventChannelMessage ReadEventChannel(std::string_view payload) {
    std::string why;
    // A hand-in with its recording, or a state, is the largest message on the channel; each reader
    // bounds its own.
    const auto j = ParseBoundedObject(payload, std::max(kHandInMaxBytes, kSeatStateMessageMaxBytes), why);
    if (!j) return "event " + why;
    const auto kind = StringMember(*j, "kind", 16);
    if (kind == "event") return Widened(ReadSeatEvent(payload));
    if (kind == "handin") return Widened(ReadHandIn(payload));
    if (kind == "state") return Widened(ReadSeatState(payload));
    return std::string("neither an event, a hand-in nor a state");
}

} // namespace vp7
