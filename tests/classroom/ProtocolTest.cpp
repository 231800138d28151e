// SPDX-License-Identifier: GPL-3.0-or-later
// The room's protocol both ways: every message the station and the seats exchange, written and read
// back whole, so that a member one side writes and the other forgets (or reads otherwise) shows; each
// refused with a reason when it is not what it claims; and the topics, whose seat and channel the
// station reads back from what the seat publishes on.
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

// Empty when `sent` reads back equal to itself, else what went wrong.
template <typename Message, typename Write, typename Read>
std::string RoundTrip(const Message& sent, Write write, Read read) {
    const std::string payload = write(sent);
    const auto got = read(payload);
    if (const auto* why = std::get_if<std::string>(&got)) return "refused (" + *why + "): " + payload;
    const auto* back = std::get_if<Message>(&got);
    if (!back) return "read as another message: " + payload.substr(0, 300);
    if (!(*back == sent)) return "read back otherwise: " + payload.substr(0, 300);
    return {};
}

// Every member away from its default, so that a member lost on the way shows.
SeatStatus FullStatus() {
    return {"s07",     "r2",      true,  "VP7PA", "MAN",
            "  37.5 ", "  MAN 0", 37.5,  40.25,   {1, 7},
            true,      true,      true,  2.5,     "Recognise friction",
            3,         1,         540000};
}

HandInMessage FullHandIn() {
    return {"s07",
            "r2",
            "1796718193000-0001-0a1b2c3d",
            {"Recognise friction", {{"Valve at 40 %", true}, {"Dead band", false}}, true, 2, 3, {}},
            ""};
}

std::string EveryByte() {
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(255 - i);
    return bytes;
}

// Half an hour of a trainee's work as the recorder writes it, with a text that is no UTF-8.
std::string Recording() {
    std::string text = "# vp7sim 1.0, recorded\nscreen 1920 1080 32\nseed 18446744073709551615\n"
                       "ini Config Sprache Deutsch\nexercise /home/trainee/Classroom/e.vp7x\n";
    for (int i = 0; i < 600; ++i)
        text += "wait 2900\nset SetPointText \"" + std::to_string(i % 101) +
                " \xe4\"\nclick Enter\nwait 100\n"
                "press mode\nrelease mode\n";
    return text;
}

// The seat and channel the station reads from each topic a seat publishes on.
std::string Topics(std::string_view room, std::string_view seat) {
    const SeatTopics topics = TopicsOf(room, seat);
    const std::pair<const std::string*, SeatChannel> published[] = {{&topics.status, SeatChannel::Status},
                                                                    {&topics.event, SeatChannel::Event},
                                                                    {&topics.picture, SeatChannel::Picture}};
    for (const auto& [topic, channel] : published)
        if (ReadSeatTopic(room, *topic) != SeatChannelOf{std::string(seat), channel})
            return "read otherwise: " + *topic;
    if (topics.all != RoomCommandTopic(room) || topics.command != SeatCommandTopic(room, seat))
        return "commands elsewhere than the station sends them: " + topics.all + " " + topics.command;
    return {};
}

// A payload refused: `good` with `from` replaced by `to`, or `to` alone when `from` is empty; and part
// of the reason.
struct Refusal {
    std::string from, to;
    const char* reason;
};

// Each payload is refused by `read` with its reason.
template <typename Read>
void ExpectRefused(const std::string& good, const std::vector<Refusal>& rows, Read read) {
    for (const Refusal& row : rows) {
        std::string payload = row.to;
        if (!row.from.empty()) {
            payload = good;
            const size_t at = payload.find(row.from);
            ASSERT_NE(at, std::string::npos) << row.from;
            payload.replace(at, row.from.size(), row.to);
        }
        const auto result = read(payload);
        ASSERT_TRUE(std::holds_alternative<std::string>(result)) << payload.substr(0, 200);
        EXPECT_NE(std::get<std::string>(result).find(row.reason), std::string::npos)
            << payload.substr(0, 200) << ": " << std::get<std::string>(result);
    }
}

TEST(RoomProtocol, EveryCommandReadsBackAsItWasWritten) {
    SeatCommand seeded{SeatCommandKind::OpenExercise, "start\n", 1, false, "c-2"};
    seeded.seed = UINT64_MAX;
    const SeatCommand commands[] = {
        {SeatCommandKind::OpenExercise, "title \"Ü\" \"T\"\nstart\n", 1, false, "c-1"},
        seeded,
        {SeatCommandKind::LoadState, EveryByte()},
        {SeatCommandKind::LoadState, ""},
        {SeatCommandKind::Freeze},
        {SeatCommandKind::Continue, "", 1, false, "station-17-3"},
        {SeatCommandKind::Speed, {}, 0.5, false, "s"},
        {SeatCommandKind::Speed, {}, 0.1}, // a speed no decimal shows exactly
        {SeatCommandKind::SetHiddenFault, "LeakageSelect", 1, true},
        {SeatCommandKind::SetHiddenFault, "BlockUpSelect"}, // cleared
        {SeatCommandKind::Message, "Bitte \"warten\" – 5 min\n", 1, false, "m"},
        {SeatCommandKind::HandIn, "", 1, false, "h-1"},
        {SeatCommandKind::Watch, {}, 1, true},
        {SeatCommandKind::Watch},
        {SeatCommandKind::SaveState, {}, 1, false, "s-1"},
        {SeatCommandKind::Rewind, {}, 86400},
    };
    for (const SeatCommand& command : commands)
        EXPECT_EQ(RoundTrip(command, WriteSeatCommand, ReadSeatCommand), "");
}

TEST(RoomProtocol, EverySeatsMessageReadsBackAsItWasWritten) {
    SeatStatus noLimit = FullStatus();
    noLimit.timeLeftMs.reset();
    SeatStatus lastWill; // its seat and room alone
    lastWill.seat = "s07";
    lastWill.room = "r2";
    lastWill.online = false;
    for (const SeatStatus& status : {FullStatus(), noLimit, lastWill})
        EXPECT_EQ(RoundTrip(status, WriteSeatStatus, ReadSeatStatus), "");
    const SeatEventMessage event{"s07", "r2", {123456789012, "Leakage on"}};
    EXPECT_EQ(RoundTrip(event, WriteSeatEvent, ReadSeatEvent), "");
    EXPECT_EQ(RoundTrip(event, WriteSeatEvent, ReadEventChannel), "");

    HandInMessage named = FullHandIn(), longestName = FullHandIn(), recorded = FullHandIn();
    named.trainee = "Jörg \"Jo\" Müller, 2b";
    longestName.trainee = std::string(kHandInTextMaxBytes, 'n');
    recorded.result.recording = Recording();
    const HandInMessage handIns[] = {
        FullHandIn(),
        named,
        longestName,
        recorded,
        {"s1", "r1", "x", {"", {}, std::nullopt, 0, 0, {}}, ""},                // without checks
        {"s1", "r1", "y", {"Stroke", {{"Closed", true}}, false, 1, 2, {}}, ""}, // a wrong answer
    };
    for (const HandInMessage& handIn : handIns) {
        EXPECT_EQ(RoundTrip(handIn, WriteHandIn, ReadHandIn), "");
        EXPECT_EQ(RoundTrip(handIn, WriteHandIn, ReadEventChannel), "");
    }

    // A state file's header and every byte after it; the largest one a seat sends; none, and why.
    const std::string stateFile = EncodeStateFile({0, "1.0", 0, EveryByte(), Recording()});
    SeatStateMessage largest{"s07", "r2", "", stateFile, ""};
    largest.state.resize(kSeatStateMaxBytes, '\xff');
    EXPECT_EQ(RoundTrip(largest, WriteSeatState, ReadSeatState), "");
    for (const SeatStateMessage& state :
         {SeatStateMessage{"s07", "r2", "station-1-2", stateFile, ""},
          SeatStateMessage{"s07", "r2", "", "", "a dialog is open on the seat"}})
        EXPECT_EQ(RoundTrip(state, WriteSeatState, ReadEventChannel), "");
}

// A seat's recording goes with its hand-in only within both bounds; one over either goes without, and
// the seat is told why for its log.
TEST(RoomProtocol, ARecordingOverItsBoundsIsLeftOutAndSaidSo) {
    std::string noise; // packs to no less than it is
    for (uint64_t x = 88172645463325252u; noise.size() < kHandInRecordingPackedMaxBytes + 1000;) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        noise += static_cast<char>(x);
    }
    const struct {
        std::string recording;
        const char* leftOut; // part of the seat's log line; empty: attached
    } rows[] = {
        {Recording(), ""},
        {std::string(kHandInRecordingMaxBytes, '\n'), ""},
        {std::string(kHandInRecordingMaxBytes + 1, '\n'), "more than 4194304 bytes"},
        {noise, "packs to more than 262144 bytes"},
        {"", "has no recording"},
    };
    for (const auto& row : rows) {
        SeatHandIn handIn;
        const auto leftOut = AttachRecording(handIn, row.recording);
        EXPECT_EQ(handIn.recording.size(), *row.leftOut ? 0 : row.recording.size());
        ASSERT_EQ(leftOut.has_value(), *row.leftOut != '\0') << leftOut.value_or("");
        if (leftOut) {
            EXPECT_NE(leftOut->find(row.leftOut), std::string::npos) << *leftOut;
        }
    }
}

TEST(RoomProtocol, CommandsAreWrittenAsSeatsAlreadyReadThem) {
    // The bytes stations have always sent: seats in the room may be of an older build. A seat of an
    // older build takes an exercise with a seed as one without.
    SeatCommand seeded{SeatCommandKind::OpenExercise, "start\n", 1, false, "c-3"};
    seeded.seed = 7;
    const std::pair<SeatCommand, const char*> rows[] = {
        {{SeatCommandKind::OpenExercise, "start\n", 1, false, "station-5-1"},
         R"({"command":"exercise","id":"station-5-1","text":"start\n"})"},
        {seeded, R"({"command":"exercise","id":"c-3","seed":7,"text":"start\n"})"},
        {{SeatCommandKind::LoadState, "hello"}, R"({"command":"state","data":"aGVsbG8="})"},
        {{SeatCommandKind::Freeze}, R"({"command":"freeze"})"},
        {{SeatCommandKind::Continue}, R"({"command":"continue"})"},
        {{SeatCommandKind::Speed, {}, 0.5}, R"({"command":"speed","value":0.5})"},
        {{SeatCommandKind::SetHiddenFault, "FrictionSelect", 1, true},
         R"({"command":"fault","on":true,"option":"FrictionSelect"})"},
        {{SeatCommandKind::Message, "Pause"}, R"({"command":"message","text":"Pause"})"},
        {{SeatCommandKind::HandIn}, R"({"command":"handin"})"},
        {{SeatCommandKind::Watch, {}, 1, false}, R"({"command":"watch","on":false})"},
    };
    for (const auto& [command, bytes] : rows)
        EXPECT_EQ(WriteSeatCommand(command), bytes);
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

// What the station writes reads back in the round trips above; here what another sender may write, and
// what no command is.
TEST(SeatCommand, ReadsWhatOthersMayWriteAndRefusesTheRestWithAReason) {
    const struct {
        std::string payload;
        std::optional<SeatCommandKind> kind; // nullopt: refused
        const char* detail;                  // the text read, or part of the reason
    } rows[] = {
        {R"({"command":"state","data":"aGVsbG8"})", SeatCommandKind::LoadState, "hello"},
        {R"({"command":"handin","extra":[1,2,3]})", SeatCommandKind::HandIn, ""},
        {R"({"command":"rewind","seconds":1})", SeatCommandKind::Rewind, ""},
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

TEST(SeatStatus, RefusesAStatusThatIsNotOne) {
    ExpectRefused(WriteSeatStatus(FullStatus()),
                  {
                      {"", "{}", "without seat"},
                      {"", R"({"seat":"s","room":"r"})", "without seat"},
                      {"", R"({"seat":"a/b","room":"r","online":false})", "'/'"},
                      {"", R"({"seat":"s","room":"r","online":"yes"})", "without seat"},
                      {"\"position\":37.5", "\"position\":\"37.5\"", "missing or out of range"},
                      {"\"speed\":2.5", "\"speed\":-1", "missing or out of range"},
                      {"\"checksHolding\":1", "\"checksHolding\":4", "missing or out of range"},
                      {"\"faults\":[1,7]", "\"faults\":[0]", "from 1 to 8"},
                      {"\"faults\":[1,7]", "\"faults\":[1.5]", "from 1 to 8"},
                      {"\"faults\":[1,7]", "\"faults\":[1,1,1,1,1,1,1,1,1]", "without its faults"},
                      {"\"lcd\":{", "\"lcd\":[],\"x\":{", "display lines"},
                      {"\"timeLeftMs\":540000", "\"timeLeftMs\":-5", "time left"},
                      {"Recognise friction", std::string(300, 'x'), "missing or out of range"},
                      {"", std::string(kStatusMaxBytes + 1, ' '), "larger than"},
                      {"", "nul", "not JSON"},
                  },
                  ReadSeatStatus);
}

TEST(HandIn, RefusesAMadeUpScore) {
    const std::string name = "\"trainee\":\"" + std::string(kHandInTextMaxBytes + 1, 'n') + "\",\"kind\":";
    ExpectRefused(WriteHandIn(FullHandIn()),
                  {
                      {"\"passed\":2", "\"passed\":3", "score does not match"},
                      {"\"total\":3", "\"total\":2", "score does not match"},
                      {"\"question\":true", "\"question\":null", "score does not match"},
                      {"\"question\":true", "\"question\":1", "without its exercise"},
                      {"\"kind\":\"handin\"", "\"kind\":\"event\"", "not a hand-in"},
                      {"\"id\":\"1796718193000-0001-0a1b2c3d\"", "\"id\":\"a/b\"", "good seat, room or id"},
                      {"{\"passed\":false,\"text\":\"Dead band\"}", "\"Dead band\"", "check that is not one"},
                      {"\"checks\":[", "\"checks\":{\"a\":[", "not JSON"},
                      {"\"kind\":", "\"trainee\":7,\"kind\":", "trainee's name that is not one"},
                      {"\"kind\":", "\"trainee\":null,\"kind\":", "trainee's name that is not one"},
                      {"\"kind\":", name, "trainee's name that is not one"},
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
    const std::string recording = "seed 1\nexercise e.vp7x\nwait 100\n";
    const std::string text = WriteHandIn(
        {"s07", "r2", "h-1", {"E", {{"Valve at 40 %", true}}, std::nullopt, 1, 1, recording}, ""});
    const std::string packed = text.substr(text.find("\"zstd\":\"") + 8);
    const std::string zstd = packed.substr(0, packed.find('"'));
    const std::string declared = "\"bytes\":" + std::to_string(recording.size());
    const std::string huge(kHandInRecordingPackedMaxBytes / 3 * 4 + 8, 'A');
    ExpectRefused(text,
                  {
                      {declared, "\"bytes\":" + std::to_string(kHandInRecordingMaxBytes + 1), "more than"},
                      {declared, "\"bytes\":" + std::to_string(recording.size() - 1), "damaged"},
                      {declared, "\"bytes\":-1", "not one"},
                      {zstd, zstd.substr(0, zstd.size() - 8), "damaged"},
                      {zstd, "!!!!", "damaged"},
                      {zstd, huge, "packed larger than"},
                      {"\"zstd\":", "\"packed\":", "not one"},
                      {"\"recording\":{", "\"recording\":7,\"x\":{", "not one"},
                      {"", std::string(kHandInMaxBytes + 1, ' '), "larger than"},
                  },
                  ReadHandIn);
}

TEST(SeatEvent, RefusesAnEventThatIsNotOne) {
    const std::string event = WriteSeatEvent({"s07", "r2", {5000, "Leakage on"}});
    ExpectRefused(event,
                  {
                      {"\"kind\":\"event\"", "\"kind\":\"handin\"", "not an event"},
                      {"\"seat\":\"s07\"", "\"seat\":\"s/7\"", "good seat or room"},
                      {"\"timeMs\":5000", "\"timeMs\":-1", "time or text"},
                      {"\"timeMs\":5000", "\"timeMs\":5.5", "time or text"},
                      {"\"timeMs\":5000", "\"timeMs\":1e300", "time or text"},
                      {"\"text\":\"Leakage on\"", "\"text\":7", "time or text"},
                      {"Leakage on", std::string(kEventTextMaxBytes + 1, 'x'), "time or text"},
                      {"", "[]", "not a JSON object"},
                  },
                  ReadSeatEvent);
    ExpectRefused(event,
                  {{"\"kind\":\"event\"", "\"kind\":\"status\"", "neither"},
                   {"\"timeMs\":5000", "\"timeMs\":-1", "time or text"},
                   {"", "{", "not JSON"}},
                  ReadEventChannel);
}

TEST(SeatState, RefusesAStateThatIsNotOne) {
    const std::string file = EncodeStateFile({0, "1.0", 0, "snapshot", ""});
    const std::string good = WriteSeatState({"s07", "r1", "c-1", file, ""});
    const std::string data = "\"data\":\"" + EncodeBase64(file) + "\"";
    const auto dataOf = [](const std::string& bytes) { return "\"data\":\"" + EncodeBase64(bytes) + "\""; };
    ExpectRefused(
        good,
        {
            {"\"kind\":\"state\"", "\"kind\":\"event\"", "not a state"},
            {"\"seat\":\"s07\"", "\"seat\":\"s+7\"", "good seat or room"},
            {"\"room\":\"r1\"", "\"room\":7", "good seat or room"},
            {"\"id\":\"c-1\"", "\"id\":1", "bad id"},
            {data, data + ",\"refusal\":\"no\"", "or both"},
            {data, "\"other\":1", "neither data"},
            {data, "\"refusal\":\"\"", "bad refusal"},
            {data, "\"data\":\"a=b=\"", "no base64"},
            {data, "\"data\":7", "no base64"},
            {data, dataOf("# vp7sim recording\nstart\n"), "no snapshot state file"},
            {data, dataOf(file + std::string(kSeatStateMaxBytes, 'x')), "no base64"},
            {"", "{\"kind\":\"state\",\"pad\":\"" + std::string(kSeatStateMessageMaxBytes, ' ') + "\"}",
             "larger than"},
        },
        ReadSeatState);
    ExpectRefused(good, {{data, "\"other\":1", "neither data"}}, ReadEventChannel);
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
    EXPECT_EQ(Topics("r2", "s07"), "");
    EXPECT_EQ(Topics(std::string(64, 'r'), std::string(64, 's')), ""); // the longest names
}

} // namespace
} // namespace vp7
