// SPDX-License-Identifier: GPL-3.0-or-later
// What a seat and the instructor's station read from the broker: room and seat names, commands and
// statuses, each refused with a reason when it is not what it claims.
#include "classroom/HandIn.h"
#include "classroom/RoomNames.h"
#include "classroom/SeatCommand.h"
#include "classroom/SeatEvent.h"
#include "classroom/SeatState.h"
#include "classroom/SeatStatus.h"
#include "session/StateFile.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

namespace vp7 {
namespace {

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

struct Refusal {
    std::string payload;
    const char* reason; // part of the message
};

// Each payload is refused by `read` with its reason.
template <typename Read> void ExpectRefused(const std::vector<Refusal>& rows, Read read) {
    for (const Refusal& row : rows) {
        const auto result = read(row.payload);
        ASSERT_TRUE(std::holds_alternative<std::string>(result)) << row.payload.substr(0, 200);
        EXPECT_NE(std::get<std::string>(result).find(row.reason), std::string::npos)
            << row.payload.substr(0, 200) << ": " << std::get<std::string>(result);
    }
}

TEST(RoomNames, RefusesWhatWouldSplitOrWidenATopic) {
    const struct {
        std::string name;
        const char* problem; // part of the message, or nullptr when the name is fine
    } rows[] = {
        {"seat-07", nullptr},
        {"Raum_2.OG", nullptr},
        {std::string(64, 'a'), nullptr},
        {"", "is empty"},
        {std::string(65, 'a'), "longer than 64"},
        {"a/b", "'/'"},
        {"a+", "'+'"},
        {"#", "'#'"},
        {"tab\there", "control characters"},
        {std::string("nul\0x", 5), "control characters"},
        {"del\x7f", "control characters"},
        {"blank here", "only letters"},
        {"Ümlaut", "only letters"},
    };
    for (const auto& row : rows) {
        const auto problem = RoomNameProblem("seat", row.name);
        if (!row.problem) {
            EXPECT_FALSE(problem) << row.name << ": " << *problem;
            continue;
        }
        ASSERT_TRUE(problem) << row.name;
        EXPECT_NE(problem->find(row.problem), std::string::npos) << *problem;
        EXPECT_EQ(problem->rfind("seat name ", 0), 0u) << *problem;
    }
}

TEST(SeatCommand, ReadsEachCommandAndRefusesTheRestWithAReason) {
    const struct {
        std::string payload;
        std::optional<SeatCommandKind> kind; // nullopt: refused
        const char* detail;                  // the text read, or part of the reason
    } rows[] = {
        {R"({"command":"freeze"})", SeatCommandKind::Freeze, ""},
        {R"({"command":"continue","id":"c-1"})", SeatCommandKind::Continue, ""},
        {R"({"command":"speed","value":2.5})", SeatCommandKind::Speed, ""},
        {R"({"command":"exercise","text":"title \"T\" \"T\"\nstart\n"})", SeatCommandKind::OpenExercise,
         "title \"T\" \"T\"\nstart\n"},
        {R"({"command":"state","data":"aGVsbG8="})", SeatCommandKind::LoadState, "hello"},
        {R"({"command":"state","data":"aGVsbG8"})", SeatCommandKind::LoadState, "hello"},
        {R"({"command":"fault","option":"FrictionSelect","on":true})", SeatCommandKind::SetHiddenFault,
         "FrictionSelect"},
        {R"({"command":"message","text":"Bitte warten"})", SeatCommandKind::Message, "Bitte warten"},
        {R"({"command":"handin","extra":[1,2,3]})", SeatCommandKind::HandIn, ""},
        {R"({"command":"savestate","id":"s-1"})", SeatCommandKind::SaveState, ""},
        {R"({"command":"rewind","seconds":1})", SeatCommandKind::Rewind, ""},
        {R"({"command":"rewind","seconds":86400})", SeatCommandKind::Rewind, ""},
        {"", std::nullopt, "not JSON"},
        {"{\"command\":", std::nullopt, "not JSON"},
        {"[1,2]", std::nullopt, "not a JSON object"},
        {"\"freeze\"", std::nullopt, "not a JSON object"},
        {std::string(100, '[') + std::string(100, ']'), std::nullopt, "nested too deeply"},
        {"{\"command\":\"freeze\",\"x\":" + std::string(20, '{') + "}", std::nullopt, "nested too deeply"},
        {"{\"command\":\"message\",\"text\":\"" + std::string(kCommandMaxBytes, 'x') + "\"}", std::nullopt,
         "larger than"},
        {R"({"command":"reboot"})", std::nullopt, "unknown command 'reboot'"},
        {R"({"command":7})", std::nullopt, "without a command"},
        {R"({"verb":"freeze"})", std::nullopt, "without a command"},
        {R"({"command":"speed","value":"2"})", std::nullopt, "needs a number"},
        {R"({"command":"speed"})", std::nullopt, "needs a number"},
        {R"({"command":"exercise","text":42})", std::nullopt, "needs the exercise"},
        {R"({"command":"exercise","text":"start\n","seed":-1})", std::nullopt, "\"seed\""},
        {R"({"command":"exercise","text":"start\n","seed":7.5})", std::nullopt, "\"seed\""},
        {R"({"command":"exercise","text":"start\n","seed":"7"})", std::nullopt, "\"seed\""},
        {R"({"command":"exercise","text":"start\n","seed":18446744073709551616})", std::nullopt, "\"seed\""},
        {R"({"command":"state","data":"a=b="})", std::nullopt, "base64"},
        {R"({"command":"state","data":"abcde"})", std::nullopt, "base64"},
        {R"({"command":"fault","option":"FrictionSelect","on":1})", std::nullopt, "\"on\""},
        {R"({"command":"fault","option":"SelfClosingSelect","on":true})", std::nullopt,
         "no option 'SelfClosingSelect' to hide"},
        {"{\"command\":\"message\",\"text\":\"" + std::string(kTraineeMessageMaxBytes + 1, 'x') + "\"}",
         std::nullopt, "at most 1000"},
        {R"({"command":"freeze","id":17})", std::nullopt, "bad id"},
        {R"({"command":"rewind"})", std::nullopt, "from 1 to 86400"},
        {R"({"command":"rewind","seconds":0})", std::nullopt, "from 1 to 86400"},
        {R"({"command":"rewind","seconds":-30})", std::nullopt, "from 1 to 86400"},
        {R"({"command":"rewind","seconds":86401})", std::nullopt, "from 1 to 86400"},
        {R"({"command":"rewind","seconds":2.5})", std::nullopt, "from 1 to 86400"},
        {R"({"command":"rewind","seconds":"30"})", std::nullopt, "from 1 to 86400"},
        {R"({"command":"rewind","seconds":1e300})", std::nullopt, "from 1 to 86400"},
        {"{\"command\":\"message\",\"text\":\"\xff\"}", std::nullopt, "not JSON"},
    };
    for (const auto& row : rows) {
        const auto read = ReadSeatCommand(row.payload);
        const std::string shown = row.payload.substr(0, 60);
        if (!row.kind) {
            ASSERT_TRUE(std::holds_alternative<std::string>(read)) << shown;
            EXPECT_NE(std::get<std::string>(read).find(row.detail), std::string::npos)
                << shown << ": " << std::get<std::string>(read);
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<SeatCommand>(read))
            << shown << ": " << std::get<std::string>(read);
        const SeatCommand& command = std::get<SeatCommand>(read);
        EXPECT_EQ(command.kind, *row.kind) << shown;
        EXPECT_EQ(command.text, row.detail) << shown;
    }
}

TEST(SeatCommand, Base64CarriesEveryByte) {
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(255 - i);
    for (std::size_t length = 0; length <= bytes.size(); length += 37) {
        const std::string part = bytes.substr(0, length);
        EXPECT_EQ(DecodeBase64(EncodeBase64(part)), part) << length;
    }
    EXPECT_EQ(EncodeBase64("hi!?"), "aGkhPw==");
}

SeatStatus FullStatus() {
    SeatStatus s;
    s.seat = "s07";
    s.room = "r2";
    s.variant = "VP7PA";
    s.mode = "MAN";
    s.lcdUpper = "  37.5 ";
    s.lcdLower = "  MAN 0";
    s.position = 37.5;
    s.setpoint = 40;
    s.faults = {1, 7};
    s.alarm2 = true;
    s.frozen = true;
    s.speed = 5;
    s.exercise = "Recognise friction";
    s.checks = 3;
    s.checksHolding = 1;
    s.timeLeftMs = 540000;
    return s;
}

TEST(SeatStatus, RefusesAStatusThatIsNotOne) {
    const std::string full = WriteSeatStatus(FullStatus());
    const auto replaced = [&](const std::string& from, const std::string& to) {
        return Replaced(full, from, to);
    };
    ExpectRefused(
        {
            {"{}", "without seat"},
            {R"({"seat":"s","room":"r"})", "without seat"},
            {R"({"seat":"a/b","room":"r","online":false})", "'/'"},
            {R"({"seat":"s","room":"r","online":"yes"})", "without seat"},
            {replaced("\"position\":37.5", "\"position\":\"37.5\""), "missing or out of range"},
            {replaced("\"speed\":5.0", "\"speed\":-1"), "missing or out of range"},
            {replaced("\"checksHolding\":1", "\"checksHolding\":4"), "missing or out of range"},
            {replaced("\"faults\":[1,7]", "\"faults\":[0]"), "from 1 to 8"},
            {replaced("\"faults\":[1,7]", "\"faults\":[1.5]"), "from 1 to 8"},
            {replaced("\"faults\":[1,7]", "\"faults\":[1,1,1,1,1,1,1,1,1]"), "without its faults"},
            {replaced("\"lcd\":{", "\"lcd\":[],\"x\":{"), "display lines"},
            {replaced("\"timeLeftMs\":540000", "\"timeLeftMs\":-5"), "time left"},
            {replaced("\"exercise\":\"Recognise friction\"",
                      "\"exercise\":\"" + std::string(300, 'x') + "\""),
             "missing or out of range"},
            {std::string(kStatusMaxBytes + 1, ' '), "larger than"},
            {"nul", "not JSON"},
        },
        ReadSeatStatus);
}

TEST(HandIn, RefusesAMadeUpScore) {
    HandInMessage full{
        "s07",
        "r2",
        "1796718193000-0001-0a1b2c3d",
        {"Recognise friction", {{"Valve at 40 %", true}, {"Dead band", false}}, true, 2, 3, {}},
        ""};
    const std::string text = WriteHandIn(full);
    const auto replaced = [&](const std::string& from, const std::string& to) {
        return Replaced(text, from, to);
    };
    ExpectRefused(
        {
            {replaced("\"passed\":2", "\"passed\":3"), "score does not match"},
            {replaced("\"total\":3", "\"total\":2"), "score does not match"},
            {replaced("\"question\":true", "\"question\":null"), "score does not match"},
            {replaced("\"question\":true", "\"question\":1"), "without its exercise"},
            {replaced("\"kind\":\"handin\"", "\"kind\":\"event\""), "not a hand-in"},
            {replaced("\"id\":\"1796718193000-0001-0a1b2c3d\"", "\"id\":\"a/b\""), "good seat, room or id"},
            {replaced("{\"passed\":false,\"text\":\"Dead band\"}", "\"Dead band\""), "check that is not one"},
            {replaced("\"checks\":[", "\"checks\":{\"a\":["), "not JSON"},
            {replaced("\"kind\":", "\"trainee\":7,\"kind\":"), "trainee's name that is not one"},
            {replaced("\"kind\":", "\"trainee\":null,\"kind\":"), "trainee's name that is not one"},
            {replaced("\"kind\":",
                      "\"trainee\":\"" + std::string(kHandInTextMaxBytes + 1, 'n') + "\",\"kind\":"),
             "trainee's name that is not one"},
        },
        ReadHandIn);
}

// A frame of another packer (the zstd tool's, with its checksum) reads as well as the seats' own.
TEST(HandIn, ReadsARecordingPackedElsewhere) {
    const auto read = ReadHandIn(
        R"({"checks":[],"exercise":"E","id":"h-2","kind":"handin","passed":0,"question":null,"recording":)"
        R"({"bytes":53,"zstd":"KLUv/SQ1qQEAc2VlZCA3CmV4ZXJjaXNlIGUudnA3eAp3YWl0IDEwMDAKcHJlc3MgbW9kZQpjaG9vc2UgMQqr/5cm"},)"
        R"("room":"r1","seat":"s1","total":0})");
    ASSERT_TRUE(std::holds_alternative<HandInMessage>(read)) << std::get<std::string>(read);
    EXPECT_EQ(std::get<HandInMessage>(read).result.recording,
              "seed 7\nexercise e.vp7x\nwait 1000\npress mode\nchoose 1\n");
    EXPECT_EQ(std::get<HandInMessage>(read).trainee, ""); // an older seat's: no name
}

// The recording a hand-in carries is unpacked only within its bounds, to exactly the size it declares.
TEST(HandIn, RefusesARecordingThatBreaksABound) {
    const HandInMessage full{
        "s07",
        "r2",
        "h-1",
        {"E", {{"Valve at 40 %", true}}, std::nullopt, 1, 1, "seed 1\nexercise e.vp7x\nwait 100\n"},
        ""};
    const std::string text = WriteHandIn(full);
    const std::string packed = text.substr(text.find("\"zstd\":\"") + 8);
    const std::string zstd = packed.substr(0, packed.find('"'));
    const auto replaced = [&](const std::string& from, const std::string& to) {
        return Replaced(text, from, to);
    };
    const std::string declared = "\"bytes\":" + std::to_string(full.result.recording.size());
    const std::string huge(kHandInRecordingPackedMaxBytes / 3 * 4 + 8, 'A');
    ExpectRefused(
        {
            {replaced(declared, "\"bytes\":" + std::to_string(kHandInRecordingMaxBytes + 1)), "more than"},
            {replaced(declared, "\"bytes\":" + std::to_string(full.result.recording.size() - 1)), "damaged"},
            {replaced(declared, "\"bytes\":-1"), "not one"},
            {replaced(zstd, zstd.substr(0, zstd.size() - 8)), "damaged"},
            {replaced(zstd, "!!!!"), "damaged"},
            {replaced(zstd, huge), "packed larger than"},
            {replaced("\"zstd\":", "\"packed\":"), "not one"},
            {Replaced(text, "\"recording\":{", "\"recording\":7,\"x\":{"), "not one"},
            {std::string(kHandInMaxBytes + 1, ' '), "larger than"},
        },
        ReadHandIn);
}

TEST(SeatEvent, RefusesAnEventThatIsNotOne) {
    const std::string event = WriteSeatEvent({"s07", "r2", {5000, "Leakage on"}});
    const auto replaced = [&](const std::string& from, const std::string& to) {
        return Replaced(event, from, to);
    };
    ExpectRefused(
        {
            {replaced("\"kind\":\"event\"", "\"kind\":\"handin\""), "not an event"},
            {replaced("\"seat\":\"s07\"", "\"seat\":\"s/7\""), "good seat or room"},
            {replaced("\"timeMs\":5000", "\"timeMs\":-1"), "time or text"},
            {replaced("\"timeMs\":5000", "\"timeMs\":5.5"), "time or text"},
            {replaced("\"timeMs\":5000", "\"timeMs\":1e300"), "time or text"},
            {replaced("\"text\":\"Leakage on\"", "\"text\":7"), "time or text"},
            {replaced("Leakage on", std::string(kEventTextMaxBytes + 1, 'x')), "time or text"},
            {"[]", "not a JSON object"},
        },
        ReadSeatEvent);
    ExpectRefused({{replaced("\"kind\":\"event\"", "\"kind\":\"status\""), "neither"},
                   {replaced("\"timeMs\":5000", "\"timeMs\":-1"), "time or text"},
                   {"{", "not JSON"}},
                  ReadEventChannel);
}

TEST(SeatState, RefusesAStateThatIsNotOne) {
    const std::string file = EncodeStateFile({0, "1.0", 0, "snapshot", ""});
    const std::string good = WriteSeatState({"s07", "r1", "c-1", file, ""});
    const auto replaced = [&](const std::string& from, const std::string& to) {
        return Replaced(good, from, to);
    };
    const std::string data = EncodeBase64(file);
    ExpectRefused(
        {
            {replaced("\"kind\":\"state\"", "\"kind\":\"event\""), "not a state"},
            {replaced("\"seat\":\"s07\"", "\"seat\":\"s+7\""), "good seat or room"},
            {replaced("\"room\":\"r1\"", "\"room\":7"), "good seat or room"},
            {replaced("\"id\":\"c-1\"", "\"id\":1"), "bad id"},
            {replaced("\"data\":\"" + data + "\"", "\"data\":\"" + data + "\",\"refusal\":\"no\""),
             "or both"},
            {replaced("\"data\":\"" + data + "\"", "\"other\":1"), "neither data"},
            {replaced("\"data\":\"" + data + "\"", "\"refusal\":\"\""), "bad refusal"},
            {replaced("\"data\":\"" + data + "\"", "\"data\":\"a=b=\""), "no base64"},
            {replaced("\"data\":\"" + data + "\"", "\"data\":7"), "no base64"},
            {replaced("\"data\":\"" + data + "\"",
                      "\"data\":\"" + EncodeBase64("# vp7sim recording\nstart\n") + "\""),
             "no snapshot state file"},
            {replaced("\"data\":\"" + data + "\"",
                      "\"data\":\"" + EncodeBase64(file + std::string(kSeatStateMaxBytes, 'x')) + "\""),
             "no base64"},
            {"{\"kind\":\"state\",\"pad\":\"" + std::string(kSeatStateMessageMaxBytes, ' ') + "\"}",
             "larger than"},
        },
        ReadSeatState);
    ExpectRefused({{replaced("\"data\":\"" + data + "\"", "\"other\":1"), "neither data"}}, ReadEventChannel);
    // Sent too large, a state arrives as the refusal that says so.
    const auto read =
        ReadSeatState(WriteSeatState({"s07", "r1", "", std::string(kSeatStateMaxBytes + 1, 'x'), ""}));
    ASSERT_TRUE(std::holds_alternative<SeatStateMessage>(read));
    EXPECT_NE(std::get<SeatStateMessage>(read).refusal.find("more than a seat sends"), std::string::npos);
}

TEST(RoomNames, TheStationTakesOnlyItsRoomsSeatChannels) {
    const struct {
        const char* topic;
        std::optional<SeatChannelOf> read;
    } rows[] = {
        {"vp7/r1/seat/anna/status", SeatChannelOf{"anna", SeatChannel::Status}},
        {"vp7/r1/seat/anna/event", SeatChannelOf{"anna", SeatChannel::Event}},
        {"vp7/r1/seat/anna/picture", SeatChannelOf{"anna", SeatChannel::Picture}},
        {"vp7/r2/seat/anna/status", std::nullopt},
        {"vp7/r1/seat/anna/sideways", std::nullopt},
        {"vp7/r1/seat/anna/status/more", std::nullopt},
        {"vp7/r1/seat//status", std::nullopt},
        {"vp7/r1/seat/+/status", std::nullopt},
        {"vp7/r1/seat/anna", std::nullopt},
        {"vp7/r1/cmd/seat/anna", std::nullopt},
        {"vp7/r1", std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ReadSeatTopic("r1", row.topic), row.read) << row.topic;
}

} // namespace
} // namespace vp7
