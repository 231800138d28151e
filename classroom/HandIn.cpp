// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/HandIn.h"

#include "classroom/JsonLimits.h"
#include "classroom/RoomNames.h"
#include "classroom/SeatCommand.h"
#include "classroom/SeatStatus.h"
#include "session/Packed.h"

namespace vp7 {
namespace {

using Json = nlohmann::json;

constexpr std::size_t kTextMaxBytes = kHandInTextMaxBytes;
constexpr std::size_t kPackedBase64MaxBytes = (kHandInRecordingPackedMaxBytes + 2) / 3 * 4;

// The recording packed, or why it is left out: none, or over a bound.
std::variant<std::string, std::string> PackedRecording(const std::string& recording) {
    using Result = std::variant<std::string, std::string>;
    if (recording.empty()) return Result(std::in_place_index<1>, "the hand-in has no recording");
    if (recording.size() > kHandInRecordingMaxBytes)
        return Result(std::in_place_index<1>,
                      "the recording has more than " + std::to_string(kHandInRecordingMaxBytes) + " bytes");
    std::string packed = Pack(recording);
    if (packed.empty() || packed.size() > kHandInRecordingPackedMaxBytes)
        return Result(std::in_place_index<1>, "the recording packs to more than " +
                                                  std::to_string(kHandInRecordingPackedMaxBytes) + " bytes");
    return Result(std::in_place_index<0>, std::move(packed));
}

// {"bytes": unpacked size, "zstd": the frame in base64}, or nothing when there is none or it breaks a bound.
std::optional<Json> RecordingMember(const std::string& recording) {
    const auto packed = PackedRecording(recording);
    if (packed.index() != 0) return std::nullopt;
    return Json{{"bytes", recording.size()}, {"zstd", EncodeBase64(std::get<0>(packed))}};
}

// The recording the member holds, or nothing and why; nothing is unpacked before every bound held.
std::optional<std::string> ReadRecording(const Json& member, std::string& why) {
    const auto bytes = member.is_object() ? member.find("bytes") : Json::const_iterator();
    const auto text = member.is_object() ? member.find("zstd") : Json::const_iterator();
    if (!member.is_object() || bytes == member.end() || !bytes->is_number_unsigned() ||
        text == member.end() || !text->is_string())
        why = "hand-in with a recording that is not one";
    else if (bytes->get<uint64_t>() > kHandInRecordingMaxBytes)
        why = "hand-in with a recording of more than " + std::to_string(kHandInRecordingMaxBytes) + " bytes";
    else if (text->get_ref<const std::string&>().size() > kPackedBase64MaxBytes)
        why = "hand-in with a recording packed larger than " +
              std::to_string(kHandInRecordingPackedMaxBytes) + " bytes";
    if (!why.empty()) return std::nullopt;
    const auto packed = DecodeBase64(text->get_ref<const std::string&>());
    auto unpacked = packed ? Unpack(*packed, bytes->get<uint64_t>()) : std::nullopt;
    if (unpacked && !unpacked->empty()) return unpacked; // a seat without a recording leaves it out
    why = "hand-in with a damaged recording";
    return std::nullopt;
}

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
    if (!m.trainee.empty()) j["trainee"] = m.trainee;
    j["question"] = m.result.question ? Json(*m.result.question) : Json(nullptr);
    if (auto recording = RecordingMember(m.result.recording)) j["recording"] = std::move(*recording);
    // A text from an exercise file may hold bytes that are no UTF-8: they become U+FFFD, not a throw.
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::optional<std::string> AttachRecording(SeatHandIn& handIn, std::string recording) {
    const auto packed = PackedRecording(recording);
    if (packed.index() != 0) return std::get<1>(packed) + ": the hand-in goes without it, not verified";
    handIn.recording = std::move(recording);
    return std::nullopt;
}

std::variant<HandInMessage, std::string> ReadHandIn(std::string_view payload) {
    std::string why;
    const auto j = ParseBoundedObject(payload, kHandInMaxBytes, why);
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
    // An older seat sends no name; one that sends it sends a line.
    if (const auto trainee = j->find("trainee"); trainee != j->end()) {
        const auto name = StringMember(*j, "trainee", kTextMaxBytes);
        if (!name) return std::string("hand-in with a trainee's name that is not one");
        m.trainee = *name;
    }
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
    if (const auto recording = j->find("recording"); recording != j->end()) {
        auto read = ReadRecording(*recording, why);
        if (!read) return why;
        m.result.recording = std::move(*read);
    }
    return m;
}

} // namespace vp7
