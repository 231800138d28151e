// SPDX-License-Identifier: GPL-3.0-or-later
// What a room does to the runner's device: its session keeps it as `room` lines that replay to the same
// device, and a room's exercise or state keeps its settings apart from the runner's own.
#include "session/SavedState.h"
#include "session/exercise/Exercise.h"
#include "session/language/RoomLines.h"
#include "session/language/ScriptWords.h"
#include "session/script/Runner.h"

#include "support/Bytes.h"
#include "support/FolderFixture.h"

#include <fstream>
#include <functional>
#include <sstream>

using namespace vp7;
namespace fs = std::filesystem;

namespace {

using RoomActionTest = test::FolderFixture;
using Act = std::function<void(Runner&)>;

// A room that acts at the peer's polls, counted from the first: between the script's lines and inside
// its waits, as a broker's commands arrive.
class ScheduledRoom final : public RunnerPeer {
public:
    ScheduledRoom(Runner& runner, std::vector<std::pair<int, Act>> acts)
        : runner_(runner), acts_(std::move(acts)) {
        runner_.SetPeer(this);
    }
    ~ScheduledRoom() override { runner_.SetPeer(nullptr); }
    void Connect(const std::vector<std::string>&) override {}
    void Poll() override {
        for (const auto& [at, act] : acts_)
            if (at == polls_) act(runner_);
        ++polls_;
    }
    void HandedIn(const ExerciseResult&) override {}

private:
    Runner& runner_;
    std::vector<std::pair<int, Act>> acts_;
    int polls_ = 0;
};

// The device's end as a replay compares it.
const char* const kEnd[] = {"print statehash", "print FrictionSelect", "print Istwert"};

} // namespace

TEST(RoomLines, ReadBackAsWritten) {
    const std::pair<RoomAction, const char*> rows[] = {
        {{RoomAction::Kind::Freeze, true, 1, {}}, "room freeze 1"},
        {{RoomAction::Kind::Freeze, false, 1, {}}, "room freeze 0"},
        {{RoomAction::Kind::Speed, false, 0.1, {}}, "room speed 0.1"},
        {{RoomAction::Kind::Speed, false, 2.5, {}}, "room speed 2.5"},
        {{RoomAction::Kind::Fault, true, 1, "FrictionSelect"}, "room fault FrictionSelect 1"},
        {{RoomAction::Kind::Message, false, 1, "Bitte \"jetzt\"\r\n\tstarten"},
         R"(room message "Bitte \"jetzt\"\x0d\x0a\x09starten")"},
    };
    for (const auto& [action, line] : rows) {
        EXPECT_EQ(RoomLine(action), line);
        const RoomAction read = ReadRoomLine(line);
        EXPECT_EQ(read.kind, action.kind) << line;
        EXPECT_EQ(read.on, action.on) << line;
        EXPECT_EQ(read.speed, action.speed) << line;
        EXPECT_EQ(read.words, action.words) << line;
    }
    for (const char* bad : {"room", "room freeze", "room freeze yes", "room speed fast", "room speed 2x",
                            "room fault FrictionSelect", "room fault \"FrictionSelect\" 1",
                            "room message hello", "room message \"open", "room sing \"x\""})
        EXPECT_THROW(ReadRoomLine(bad), ScriptError) << bad;
}

// The seat's session is replayed by a runner of its own with no room: it ends on the same device.
TEST_F(RoomActionTest, ASeatsSessionReplaysWhatTheRoomDid) {
    const auto fault = [](bool on) { return [on](Runner& r) { r.SetHiddenOption("FrictionSelect", on); }; };
    const auto freeze = [](bool on) { return [on](Runner& r) { r.SetFrozen(on); }; };
    const auto speed = [](double s) { return [s](Runner& r) { r.SetSpeed(s); }; };
    const Act message = [](Runner& r) { r.ShowRoomMessage("Hub beobachten"); };
    // What the room does at which poll (one every 100 ms of the script's time) of waits of 4 s.
    const std::vector<std::pair<int, Act>> rows[] = {
        {{3, fault(true)}},
        {{5, speed(2)}, {17, speed(0.3)}},
        {{2, freeze(true)}, {13, freeze(false)}},
        {{1, fault(true)},
         {4, speed(10)},
         {9, freeze(true)},
         {12, message},
         {20, freeze(false)},
         {30, fault(false)}},
        {{0, speed(0.5)}, {6, fault(true)}, {7, speed(1)}},
    };
    int row = 0;
    for (const auto& acts : rows) {
        std::ostringstream seatOut, replayOut;
        Runner seat(seatOut, (dir / ("seat" + std::to_string(row))).string());
        ScheduledRoom room(seat, acts);
        seat.Execute("classroom host 1883 room seat");
        for (const char* line : {"start", "wait 1000", "set SetPointText 80", "click Enter", "wait 1500",
                                 "set SetPointText 20", "click Enter", "wait 1500"})
            seat.Execute(line);
        Runner replay(replayOut, (dir / ("replay" + std::to_string(row))).string());
        for (const std::string& line : Runner::SplitLines(seat.SessionRecording()))
            replay.Execute(line);
        for (const char* line : kEnd) {
            seat.Execute(line);
            replay.Execute(line);
        }
        EXPECT_EQ(replayOut.str(), seatOut.str()) << "row " << row << ":\n" << seat.SessionRecording();
        EXPECT_EQ(replay.NowMs(), seat.NowMs()) << "row " << row;
        // A rewind to this moment replays the session there at the room's speed of now: the same device.
        const std::string hash = seatOut.str().substr(seatOut.str().find("statehash"));
        seat.Execute("rewind " + std::to_string(seat.NowMs() - seat.StartedAtMs()));
        seatOut.str("");
        for (const char* line : kEnd)
            seat.Execute(line);
        EXPECT_EQ(seatOut.str(), hash) << "row " << row << " rewound";
        ++row;
    }
}

// A room's exercise and state act on their own device: the runner's settings file stays byte for byte
// as it was, after the exercise ended and after the next runner started in the same folder.
TEST_F(RoomActionTest, ARoomsExerciseLeavesTheRunnersSettingsAlone) {
    const std::string exercise =
        "title \"Fremd\" \"Foreign\"\nini Modbus Server 1\nini Classroom Host evil.example\n"
        "start\ncheck Istwert > -1000 \"a\" \"a\"\n";
    const fs::path settings = dir / "Config" / "VP7.ini";
    const fs::path state = dir / "foreign.vp7state";
    {
        std::ostringstream out;
        Runner foreign(out, (dir / "foreign").string());
        for (const char* line : {"ini Modbus Server 1", "ini Classroom Host evil.example", "start"})
            foreign.Execute(line);
        foreign.Execute("savestate " + state.string());
    }
    const std::string stateBytes = test::Bytes(state);
    const std::pair<const char*, Act> rows[] = {
        {"exercise", [&](Runner& r) { r.OpenExerciseText(exercise); }},
        {"state", [&](Runner& r) { r.LoadStateBytes(stateBytes); }},
        {"exercise, then state",
         [&](Runner& r) {
             r.OpenExerciseText(exercise);
             r.LoadStateBytes(stateBytes);
         }},
    };
    for (const auto& [what, act] : rows) {
        const std::string before = "[Classroom]\r\nHost=room.example\r\n";
        fs::create_directories(settings.parent_path());
        std::ofstream(settings, std::ios::binary) << before;
        std::ostringstream out;
        {
            Runner seat(out, dir.string());
            seat.Execute("start");
            act(seat);
            seat.Execute("wait 500");
        }
        EXPECT_EQ(test::Bytes(settings), before) << what;
        {
            Runner next(out, dir.string());
            next.Execute("start");
        }
        EXPECT_EQ(test::Bytes(settings), before) << what;
    }
}

// While the room holds a runner seat's device (its exercise until handed in, its freeze, a fault it hid),
// the script's own lines that would undo it are refused with the window's reason, and the device, its
// session and its freeze stay as they were; without a hold each runs (or fails) as it always did.
TEST_F(RoomActionTest, TheScriptCannotUndoTheRoomsHold) {
    const std::string exercise = "title \"Raum\" \"Room\"\nini Config CheckScreen 0\nstart\n"
                                 "check Istwert > -1000 \"a\" \"a\"\n";
    const fs::path exerciseFile = dir / "own.vp7x";
    std::ofstream(exerciseFile, std::ios::binary) << exercise;
    const fs::path state = dir / "own.vp7s";
    std::ofstream(state, std::ios::binary)
        << MakeSavedState("# vp7sim test\nseed 3\nstart\nwait 500\n", 0, ProgramVersion());
    const std::pair<const char*, Act> holds[] = {
        {"", [](Runner&) {}},
        {"the room's exercise", [&](Runner& r) { r.OpenExerciseText(exercise); }},
        {"the instructor's freeze", [](Runner& r) { r.SetFrozen(true); }},
        {"a fault the room hid", [](Runner& r) { r.SetHiddenOption("FrictionSelect", true); }},
    };
    const std::pair<const char*, Act> released[] = {
        {"the room's exercise handed in",
         [&](Runner& r) {
             r.OpenExerciseText(exercise);
             r.HandInNow();
         }},
        {"the freeze let go",
         [](Runner& r) {
             r.SetFrozen(true);
             r.SetFrozen(false);
         }},
        {"the fault cleared",
         [](Runner& r) {
             r.SetHiddenOption("FrictionSelect", true);
             r.SetHiddenOption("FrictionSelect", false);
         }},
    };
    const std::string words[] = {"state " + state.string(), "exercise " + exerciseFile.string(), "rewind 0",
                                 "room freeze 0", "room fault FrictionSelect 0"};
    int row = 0;
    const auto attempt = [&](const char* hold, const Act& act, bool held) {
        for (const std::string& word : words) {
            const std::string what = std::string(*hold ? hold : "no hold") + ", " + word;
            std::ostringstream out, err;
            Runner seat(out, (dir / ("seat" + std::to_string(row++))).string());
            ScheduledRoom room(seat, {});
            seat.Execute("classroom host 1883 room seat");
            seat.Execute("start");
            seat.Execute("wait 1000");
            act(seat);
            EXPECT_EQ(seat.RoomHoldsDevice(), held) << what;
            seat.Execute("print statehash");
            const std::string before = out.str(), recording = seat.SessionRecording();
            const bool frozen = seat.Frozen();
            std::istringstream line(word + "\n");
            const int status = seat.Run(line, err);
            const bool refused = err.str().find(kRoomHoldsDeviceEnglish) != std::string::npos;
            EXPECT_EQ(refused, held) << what << ": " << err.str();
            if (!held) continue;
            EXPECT_EQ(status, 2) << what;
            seat.Execute("print statehash");
            EXPECT_EQ(out.str(), before + before.substr(before.rfind("statehash"))) << what;
            EXPECT_EQ(seat.SessionRecording(), recording) << what;
            EXPECT_EQ(seat.Frozen(), frozen) << what;
        }
    };
    for (const auto& [hold, act] : holds)
        attempt(hold, act, *hold != '\0');
    for (const auto& [hold, act] : released)
        attempt(hold, act, false);
}
