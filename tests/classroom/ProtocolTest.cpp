// SPDX-License-Identifier: GPL-3.0-or-later
// The room's protocol both ways: every message the station and the seats exchange, written and read
// back whole, so that a member one side writes and the other forgets (or reads otherwise) shows; and the
// topics, whose seat and channel the station reads back from what the seat publishes on.
#include "classroom/HandIn.h"
#include "classroom/RoomNames.h"
#include "classroom/SeatCommand.h"
#include "classroom/SeatEvent.h"
#include "classroom/SeatState.h"
#include "classroom/SeatStatus.h"
#include "session/StateFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <variant>

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

std::string Command(const SeatCommand& command) {
    return RoundTrip(command, WriteSeatCommand, ReadSeatCommand);
}

std::string Status(const SeatStatus& status) {
    return RoundTrip(status, WriteSeatStatus, ReadSeatStatus);
}

// Every member away from its default, so that a member lost on the way shows.
SeatStatus FullStatus() {
    return {"s07",     "r2",      true,  "VP7PA", "MAN",
            "  37.5 ", "  MAN 0", 37.5,  40.25,   {1, 7},
            true,      true,      true,  2.5,     "Recognise friction",
            3,         1,         540000};
}

SeatStatus Offline() {
    SeatStatus offline;
    offline.seat = "s07";
    offline.room = "r2";
    offline.online = false;
    return offline;
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

TEST(RoomProtocol, EveryMessageReadsBackAsItWasWritten) {
    SeatStatus noLimit = FullStatus();
    noLimit.timeLeftMs.reset();
    const HandInMessage handIn{
        "s07",
        "r2",
        "1796718193000-0001-0a1b2c3d",
        {"Recognise friction", {{"Valve at 40 %", true}, {"Dead band", false}}, true, 2, 3, {}},
        ""};
    const SeatEventMessage event{"s07", "r2", {123456789012, "Leakage on"}};
    const HandInMessage bareHandIn{"s1", "r1", "x", {"", {}, std::nullopt, 0, 0, {}}, ""};
    const HandInMessage unanswered{"s1", "r1", "y", {"Stroke", {{"Closed", true}}, false, 1, 2, {}}, ""};
    HandInMessage named = handIn;
    named.trainee = "Jörg \"Jo\" Müller, 2b";
    HandInMessage longestName = handIn;
    longestName.trainee = std::string(kHandInTextMaxBytes, 'n');
    HandInMessage recorded = handIn;
    recorded.result.recording = Recording();
    // A state file's header and every byte after it; the largest one a seat sends.
    const std::string stateFile = EncodeStateFile({0, "1.0", 0, EveryByte(), Recording()});
    const SeatStateMessage state{"s07", "r2", "station-1-2", stateFile, ""};
    SeatStateMessage largest{"s07", "r2", "", stateFile, ""};
    largest.state.resize(kSeatStateMaxBytes, '\xff');
    const SeatStateMessage refused{"s07", "r2", "", "", "a dialog is open on the seat"};
    SeatCommand seeded{SeatCommandKind::OpenExercise, "start\n", 1, false, "c-2"};
    seeded.seed = UINT64_MAX;
    const struct {
        const char* what;
        std::function<std::string()> trip;
    } rows[] = {
        {"open an exercise",
         [] {
             return Command({SeatCommandKind::OpenExercise, "title \"Ü\" \"T\"\nstart\n", 1, false, "c-1"});
         }},
        {"open an exercise on the largest seed", [&] { return Command(seeded); }},
        {"load a state of every byte",
         [] {
             return Command({SeatCommandKind::LoadState, EveryByte()});
         }},
        {"load an empty state",
         [] {
             return Command({SeatCommandKind::LoadState, ""});
         }},
        {"freeze", [] { return Command({SeatCommandKind::Freeze}); }},
        {"continue",
         [] {
             return Command({SeatCommandKind::Continue, "", 1, false, "station-17-3"});
         }},
        {"speed",
         [] {
             return Command({SeatCommandKind::Speed, {}, 0.5, false, "s"});
         }},
        {"a speed no decimal shows exactly",
         [] {
             return Command({SeatCommandKind::Speed, {}, 0.1});
         }},
        {"set a hidden fault",
         [] {
             return Command({SeatCommandKind::SetHiddenFault, "LeakageSelect", 1, true});
         }},
        {"clear a hidden fault",
         [] {
             return Command({SeatCommandKind::SetHiddenFault, "BlockUpSelect"});
         }},
        {"a message",
         [] {
             return Command({SeatCommandKind::Message, "Bitte \"warten\" – 5 min\n", 1, false, "m"});
         }},
        {"hand in",
         [] {
             return Command({SeatCommandKind::HandIn, "", 1, false, "h-1"});
         }},
        {"watch",
         [] {
             return Command({SeatCommandKind::Watch, {}, 1, true});
         }},
        {"watch no longer", [] { return Command({SeatCommandKind::Watch}); }},
        {"save state",
         [] {
             return Command({SeatCommandKind::SaveState, {}, 1, false, "s-1"});
         }},
        {"rewind a day",
         [] {
             return Command({SeatCommandKind::Rewind, {}, 86400});
         }},
        {"a state among the events", [&] { return RoundTrip(state, WriteSeatState, ReadEventChannel); }},
        {"the largest state", [&] { return RoundTrip(largest, WriteSeatState, ReadSeatState); }},
        {"no state, and why", [&] { return RoundTrip(refused, WriteSeatState, ReadEventChannel); }},
        {"a full status", [] { return Status(FullStatus()); }},
        {"a status without a time limit", [&] { return Status(noLimit); }},
        {"the last will", [] { return Status(Offline()); }},
        {"an event", [&] { return RoundTrip(event, WriteSeatEvent, ReadSeatEvent); }},
        {"an event among the hand-ins", [&] { return RoundTrip(event, WriteSeatEvent, ReadEventChannel); }},
        {"a hand-in", [&] { return RoundTrip(handIn, WriteHandIn, ReadHandIn); }},
        {"a hand-in among the events", [&] { return RoundTrip(handIn, WriteHandIn, ReadEventChannel); }},
        {"a hand-in with the trainee's name", [&] { return RoundTrip(named, WriteHandIn, ReadHandIn); }},
        {"a hand-in with the longest name", [&] { return RoundTrip(longestName, WriteHandIn, ReadHandIn); }},
        {"a hand-in without checks", [&] { return RoundTrip(bareHandIn, WriteHandIn, ReadHandIn); }},
        {"a hand-in with a wrong answer", [&] { return RoundTrip(unanswered, WriteHandIn, ReadHandIn); }},
        {"a hand-in with its recording", [&] { return RoundTrip(recorded, WriteHandIn, ReadHandIn); }},
        {"a hand-in with its recording among the events",
         [&] { return RoundTrip(recorded, WriteHandIn, ReadEventChannel); }},
        {"the topics", [] { return Topics("r2", "s07"); }},
        {"the topics of the longest names",
         [] { return Topics(std::string(64, 'r'), std::string(64, 's')); }},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.trip(), "") << row.what;
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

} // namespace
} // namespace vp7
