// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/HandInMessage.h"

#include "classroom/JsonLimits.h"
#include "classroom/RoomNames.h"

#include <cmath>

namespace vp7 {
namespace {

using Json = nlohmann::json;
constexpr std::size_t kTextMaxBytes = 1000; // a check's text, an exercise's title

} // namespace

std::string ToJson(const HandInMessage& h) {
    Json checks = Json::array();
    for (const SeatHandIn::Check& check : h.result.checks)
        checks.push_back({{"text", check.text}, {"passed", check.passed}});
    Json j = {{"seat", h.seat},
              {"room", h.room},
              {"kind", "handin"},
              {"id", h.id},
              {"exercise", h.result.exercise},
              {"checks", checks},
              {"passed", h.result.passed},
              {"total", h.result.total}};
    j["question"] = h.result.question ? Json(*h.result.question) : Json(nullptr);
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::variant<HandInMessage, std::string> HandInFromJson(std::string_view payload) {
    std::string why;
    const auto j = ParseBoundedObject(payload, kHandInMaxBytes, why);
    if (!j) return "hand-in " + why;
    if (StringMember(*j, "kind", 16) != "handin") return std::string("not a hand-in");
    HandInMessage h;
    const auto seat = StringMember(*j, "seat", kRoomNameMaxBytes);
    const auto room = StringMember(*j, "room", kRoomNameMaxBytes);
    const auto id = StringMember(*j, "id", 2 * kRoomNameMaxBytes + 32);
    const auto exercise = StringMember(*j, "exercise", kTextMaxBytes);
    const auto passed = NumberMember(*j, "passed");
    const auto total = NumberMember(*j, "total");
    if (!seat || !room || !id || id->empty() || !exercise || !passed || !total)
        return std::string("hand-in without seat, room, id, exercise, passed or total");
    if (const auto problem = RoomNameProblem("seat", *seat)) return "hand-in: " + *problem;
    if (!std::isfinite(*total) || *total < 0 || *total > double(kHandInMaxChecks) ||
        !std::isfinite(*passed) || *passed < 0 || *passed > *total)
        return std::string("hand-in with a count out of range");
    h.seat = *seat;
    h.room = *room;
    h.id = *id;
    h.result.exercise = *exercise;
    h.result.passed = static_cast<int>(*passed);
    h.result.total = static_cast<int>(*total);
    const auto checks = j->find("checks");
    if (checks == j->end() || !checks->is_array() || checks->size() > kHandInMaxChecks)
        return std::string("hand-in without its checks");
    for (const Json& check : *checks) {
        const auto text = check.is_object() ? StringMember(check, "text", kTextMaxBytes) : std::nullopt;
        const auto ok = check.is_object() ? BoolMember(check, "passed") : std::nullopt;
        if (!text || !ok) return std::string("hand-in with a check that is no text and result");
        h.result.checks.push_back({*text, *ok});
    }
    if (const auto question = j->find("question"); question != j->end() && !question->is_null()) {
        if (!question->is_boolean()) return std::string("hand-in with a question that is no true or false");
        h.result.question = question->get<bool>();
    }
    return h;
}

} // namespace vp7
