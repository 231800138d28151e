// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/SeatState.h"

#include "classroom/JsonLimits.h"
#include "classroom/RoomNames.h"
#include "classroom/SeatCommand.h"
#include "session/StateFile.h"

namespace vp7 {
namespace {

using Json = nlohmann::json;

} // namespace

std::string WriteSeatState(SeatStateMessage m) {
    if (m.state.size() > kSeatStateMaxBytes) {
        m.refusal = "the state's " + std::to_string(m.state.size()) + " bytes are more than a seat sends (" +
                    std::to_string(kSeatStateMaxBytes) + ")";
        m.state.clear();
    }
    if (m.refusal.size() > kSeatStateRefusalMaxBytes) m.refusal.resize(kSeatStateRefusalMaxBytes);
    Json j = {{"seat", m.seat}, {"room", m.room}, {"kind", "state"}};
    if (!m.id.empty()) j["id"] = m.id;
    if (m.refusal.empty())
        j["data"] = EncodeBase64(m.state);
    else
        j["refusal"] = m.refusal;
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::variant<SeatStateMessage, std::string> ReadSeatState(std::string_view payload) {
    std::string why;
    const auto j = ParseBoundedObject(payload, kSeatStateMessageMaxBytes, why);
    if (!j) return "state " + why;
    if (StringMember(*j, "kind", 16) != "state") return std::string("not a state");
    SeatStateMessage m;
    const auto seat = StringMember(*j, "seat", kRoomNameMaxBytes);
    const auto room = StringMember(*j, "room", kRoomNameMaxBytes);
    if (!seat || !room || RoomNameProblem("seat", *seat) || RoomNameProblem("room", *room))
        return std::string("state without a good seat or room");
    m.seat = *seat;
    m.room = *room;
    if (j->contains("id")) {
        const auto id = StringMember(*j, "id", kCommandIdMaxBytes);
        if (!id) return std::string("state with a bad id");
        m.id = *id;
    }
    const bool hasData = j->contains("data"), hasRefusal = j->contains("refusal");
    if (hasData == hasRefusal) return std::string("state with neither data nor a refusal, or both");
    if (hasRefusal) {
        const auto refusal = StringMember(*j, "refusal", kSeatStateRefusalMaxBytes);
        if (!refusal || refusal->empty()) return std::string("state with a bad refusal");
        m.refusal = *refusal;
        return m;
    }
    const auto data = StringMember(*j, "data", (kSeatStateMaxBytes + 2) / 3 * 4);
    auto bytes = data ? DecodeBase64(*data) : std::nullopt;
    if (!bytes || bytes->size() > kSeatStateMaxBytes)
        return std::string("state whose data is no base64 of a state");
    if (!IsSnapshotFile(*bytes)) return std::string("state whose data is no snapshot state file");
    m.state = std::move(*bytes);
    return m;
}

} // namespace vp7
