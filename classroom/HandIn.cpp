// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/HandIn.h"

#include "classroom/JsonLimits.h"
#include "classroom/RoomNames.h"
#include "classroom/SeatCommand.h"
#include "classroom/SeatStatus.h"

namespace vp7 {
namespace {

using Json = nlohmann::json;

// A check's or a title's text is a line.
constexpr std::size_t kTextMaxBytes = 256;

} // namespace

std::string WriteHandIn(const HandInMessage& m) {
    Json checks = Json::array();
    for (const SeatHandIn::Check& check : m.result.checks)
        checks.push_back({{"text", check.text}, {"passed", check.passed}});
    Json j = {{"seat", m.seat},
              {"room", m.room},
              {"kind", "handin"},
              {"id", m.id},
              {"exercise", m.result.exercise},
              {"checks", checks},
              {"passed", m.result.passed},
              {"total", m.result.total}};
    j["question"] = m.result.question ? Json(*m.result.question) : Json(nullptr);
    // A text from an exercise file may hold bytes that are no UTF-8: they become U+FFFD, not a throw.
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::variant<HandInMessage, std::string> ReadHandIn(std::string_view payload) {
    std::string why;
    const auto j = ParseBoundedObject(payload, kStatusMaxBytes, why);
    if (!j) return "hand-in " + why;
    if (StringMember(*j, "kind", 16) != "handin") return std::string("not a hand-in");
    HandInMessage m;
    const auto seat = StringMember(*j, "seat", kRoomNameMaxBytes);
    const auto room = StringMember(*j, "room", kRoomNameMaxBytes);
    const auto id = StringMember(*j, "id", kCommandIdMaxBytes);
    if (!seat || !room || !id || RoomNameProblem("seat", *seat) || RoomNameProblem("room", *room) ||
        RoomNameProblem("id", *id))
        return std::string("hand-in without a good seat, room or id");
    m.seat = *seat;
    m.room = *room;
    m.id = *id;
    const auto exercise = StringMember(*j, "exercise", kTextMaxBytes);
    const auto passed = NumberMember(*j, "passed");
    const auto total = NumberMember(*j, "total");
    const auto checks = j->find("checks");
    const auto question = j->find("question");
    if (!exercise || checks == j->end() || !checks->is_array() || checks->size() > kHandInMaxChecks ||
        question == j->end() || !(question->is_null() || question->is_boolean()))
        return std::string("hand-in without its exercise, checks or question");
    m.result.exercise = *exercise;
    if (question->is_boolean()) m.result.question = question->get<bool>();
    for (const Json& check : *checks) {
        const auto text = check.is_object() ? StringMember(check, "text", kTextMaxBytes) : std::nullopt;
        const auto ok = check.is_object() ? BoolMember(check, "passed") : std::nullopt;
        if (!text || !ok) return std::string("hand-in with a check that is not one");
        m.result.checks.push_back({*text, *ok});
    }
    // The score must be the one the checks and the answer make, or the message was made up.
    int made = m.result.question.value_or(false);
    for (const SeatHandIn::Check& check : m.result.checks)
        made += check.passed;
    const int count = static_cast<int>(m.result.checks.size()) + m.result.question.has_value();
    if (!passed || !total || *passed != made || *total != count)
        return std::string("hand-in whose score does not match its checks");
    m.result.passed = made;
    m.result.total = count;
    return m;
}

} // namespace vp7
