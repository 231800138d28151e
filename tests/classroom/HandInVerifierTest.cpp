// SPDX-License-Identifier: GPL-3.0-or-later
// The station's own judgement of a hand-in: a seat's genuine recording of an exercise replays to the
// score the seat claims, and a claim, a seed, an exercise or a recording that is not the seat's own work
// is not verified, with the reason, and quickly; nothing a recording names is written outside the
// verifier's scratch folder. A room's exercise whose device is not simply made on the room's seed (one
// that starts from a saved state, one that names a seed of its own) still draws from the seed the
// station chose for each runner seat, and the seat's session replays to the same device for the
// station's verifier and for the seat's own rewind.
#include "classroom/HandInVerifier.h"
#include "classroom/DeviceStatus.h"
#include "classroom/RunnerSeat.h"
#include "platform/FileRead.h"
#include "session/SavedState.h"
#include "session/SessionRecorder.h"
#include "session/exercise/KeptExercise.h"
#include "session/script/Runner.h"
#include "sim/Simulator.h"
#include "support/Bytes.h"
#include "support/FolderFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>

namespace vp7 {
namespace {

namespace fs = std::filesystem;

constexpr uint64_t kSeatSeed = 4242;
const std::string kExercise = VP7_TEST_SOURCE_DIR "/../../exercises/03-friction.vp7x";

// The trainee's work on the sluggish valve: strokes, then the initialization once the friction came.
constexpr const char* kWork = "set SetPointText 100\nclick Enter\nwait 30000\n"
                              "set SetPointText 0\nclick Enter\nwait 30000\n"
                              "set SetPointText 100\nclick Enter\nwait 30000\n"
                              "press mode\nwait 5000\nrelease mode\n"
                              "press mode\nrelease mode\npress mode\nrelease mode\npress mode\nrelease mode\n"
                              "press inc\nwait 5000\nrelease inc\nwait 240000\n"
                              "press mode\nrelease mode\npress mode\nwait 5000\nrelease mode\n"
                              "press mode\nrelease mode\n";

struct HandInCase {
    SentExercise sent;
    SeatHandIn handIn;
    ReplayBounds bounds;
};

class HandInVerifierTest : public test::FolderFixture {
protected:
    // A seat's hand-in as the runner makes it: the exercise saved under its digest's name, the device on
    // the station's seed, the session recorded from the start line, the answer after the hand-in.
    HandInCase Genuine() {
        const std::string text = *ReadWholeFile(kExercise, 1u << 20);
        const fs::path seat = dir / "seat";
        const fs::path exercise = seat / "Classroom" / KeptExerciseName(text);
        fs::create_directories(exercise.parent_path());
        test::WriteBytes(exercise, text);
        std::ostringstream out;
        Runner runner(out, seat.string());
        runner.Execute("seed " + std::to_string(kSeatSeed));
        runner.Execute("exercise " + exercise.string());
        const fs::path recording = seat / "session.vp7s";
        {
            SessionRecorder recorder(*runner.Sim(), recording.string(), "vp7sim test",
                                     "exercise " + exercise.string());
            for (const std::string& line : Runner::SplitLines(kWork))
                runner.Execute(line);
        }
        runner.Execute("choose 1");
        SeatHandIn handIn = HandInOf(runner.HandInNow());
        handIn.recording = test::Bytes(recording) + "choose 1\n";
        return {{text, kSeatSeed}, handIn, {}};
    }
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST_F(HandInVerifierTest, ReplaysTheRecordingAndJudgesTheClaim) {
    const HandInCase genuine = Genuine();
    ASSERT_EQ(genuine.handIn.passed, 4) << "the work no longer does the exercise";
    const fs::path outside = dir / "outside";
    const std::string after = "press mode\nrelease mode\n";
    const struct {
        const char* what;
        std::function<void(HandInCase&)> change;
        const char* refusal; // part of the reason; empty: verified
    } rows[] = {
        {"the seat's own work", [](HandInCase&) {}, ""},
        {"a file saved where the recording says stays in the scratch folder",
         [&](HandInCase& c) {
             const std::string first = "set SetPointText \"100\"\n";
             c.handIn.recording = Replaced(c.handIn.recording, first,
                                           "file " + (outside / "saved.vp7").string() +
                                               "\nmenu Konfigurationspeichern1\n" + first);
         },
         ""},
        // The station replays under its own settings: one the recording brings along (here the gear,
        // which changes every travel time) is passed over.
        {"a setting the recording brings along",
         [](HandInCase& c) { c.handIn.recording = "ini Config Getriebe 90\n" + c.handIn.recording; }, ""},
        {"what the room did to the seat's device",
         [](HandInCase& c) {
             const std::string first = "set SetPointText \"100\"\n";
             c.handIn.recording =
                 Replaced(c.handIn.recording, first,
                          "room message \"Los\"\nroom speed 2\nroom freeze 1\nroom freeze 0\n"
                          "room fault LeakageSelect 1\nroom fault LeakageSelect 0\n" +
                              first);
         },
         ""},
        {"a fault the room does not hide",
         [](HandInCase& c) { c.handIn.recording += "room fault ExtendedFaultsSelect 1\n"; },
         "an action the room does not take"},
        {"a room's action that is none", [](HandInCase& c) { c.handIn.recording += "room sing \"x\"\n"; },
         "an action the room does not take"},
        {"a check claimed passed",
         [](HandInCase& c) {
             c.handIn.checks[0].passed = false;
             --c.handIn.passed;
         },
         "the seat says failed, the replay passed"},
        {"a score its checks do not make", [](HandInCase& c) { --c.handIn.passed; }, "score is 3/4"},
        {"the answer claimed wrong", [](HandInCase& c) { c.handIn.question = false; },
         "the answer to the question"},
        {"no answer in the recording",
         [](HandInCase& c) { c.handIn.recording = Replaced(c.handIn.recording, "choose 1\n", ""); },
         "the seat says right, the replay wrong"},
        {"a neighbour's recording", [](HandInCase& c) { c.sent.seed = kSeatSeed + 1; }, "seed"},
        {"another exercise sent", [](HandInCase& c) { c.sent.text += "limit 600000\n"; }, "another exercise"},
        {"an exercise the station cannot start",
         [](HandInCase& c) {
             const std::string named = KeptExerciseName(c.sent.text);
             c.sent.text += "frobnicate\n";
             c.handIn.recording = Replaced(c.handIn.recording, named, KeptExerciseName(c.sent.text));
         },
         "exercise does not start here"},
        {"another exercise's title claimed", [](HandInCase& c) { c.handIn.exercise = "Stroke"; },
         "names the exercise"},
        {"no recording", [](HandInCase& c) { c.handIn.recording.clear(); }, "no recording"},
        {"a recording cut off", [](HandInCase& c) { c.handIn.recording.pop_back(); }, "cut off"},
        {"a garbled line",
         [&](HandInCase& c) { c.handIn.recording = Replaced(c.handIn.recording, after, "press nokey\n"); },
         "does not replay"},
        {"a damaged line",
         [&](HandInCase& c) { c.handIn.recording = Replaced(c.handIn.recording, after, "press \x01mode\n"); },
         "damaged"},
        {"a recording too large",
         [](HandInCase& c) { c.handIn.recording += std::string(kHandInRecordingMaxBytes, '\n'); },
         "larger than"},
        {"a million lines",
         [](HandInCase& c) {
             c.bounds.maxBytes = 16u << 20; // the lines' bound, not the bytes'
             for (int i = 0; i < 1'000'000; ++i)
                 c.handIn.recording += "wait 0\n";
         },
         "more than 200000 lines"},
        {"a ten-hour wait", [](HandInCase& c) { c.handIn.recording += "wait 36000000\n"; },
         "longer than 240 minutes"},
        {"a wait past the exercise's limit", [](HandInCase& c) { c.handIn.recording += "wait 3600000\n"; },
         "time limit"},
        {"a state saved where it names",
         [&](HandInCase& c) { c.handIn.recording += "savestate " + (outside / "state").string() + "\n"; },
         "holds 'savestate'"},
        {"a snapshot",
         [&](HandInCase& c) { c.handIn.recording += "snapshot " + (outside / "s.bmp").string() + "\n"; },
         "holds 'snapshot'"},
        {"a rewind", [](HandInCase& c) { c.handIn.recording += "rewind 1000\n"; }, "holds 'rewind'"},
        {"a second start", [](HandInCase& c) { c.handIn.recording = "start\n" + c.handIn.recording; },
         "holds 'start'"},
        {"the network", [](HandInCase& c) { c.handIn.recording = "modbus 1502\n" + c.handIn.recording; },
         "holds 'modbus'"},
        {"a setting that is none",
         [](HandInCase& c) { c.handIn.recording = "ini Config] Key x\n" + c.handIn.recording; },
         "names a setting"},
        {"a second seed",
         [](HandInCase& c) { c.handIn.recording = Replaced(c.handIn.recording, "\nini ", "\nseed 1\nini "); },
         "second or a bad seed"},
        {"a replay over its budget",
         [](HandInCase& c) { c.bounds.wallBudget = std::chrono::milliseconds(0); }, "took longer"},
    };
    for (const auto& row : rows) {
        HandInCase c = genuine;
        row.change(c);
        const auto began = std::chrono::steady_clock::now();
        const HandInVerdict verdict = VerifyHandIn(c.sent, c.handIn, c.bounds);
        const auto took = std::chrono::steady_clock::now() - began;
        if (*row.refusal == '\0') {
            EXPECT_TRUE(verdict.Verified()) << row.what << ": " << verdict.refusal;
            ASSERT_TRUE(verdict.replayed) << row.what;
            SeatHandIn claimed = c.handIn;
            claimed.recording.clear();
            EXPECT_EQ(*verdict.replayed, claimed) << row.what;
        } else {
            EXPECT_FALSE(verdict.Verified()) << row.what;
            EXPECT_NE(verdict.refusal.find(row.refusal), std::string::npos)
                << row.what << ": " << verdict.refusal;
        }
        // A refusal before the replay is immediate; no recording keeps the station waiting.
        EXPECT_LT(took, std::chrono::seconds(2)) << row.what;
        EXPECT_FALSE(fs::exists(outside)) << row.what;
    }
}

using StateExerciseTest = test::FolderFixture;

constexpr uint64_t kStateSeed = 7;
constexpr uint64_t kOwnSeed = 9;
constexpr uint64_t kAnnaSeed = 1111;
constexpr uint64_t kBenSeed = 2222;

// The valve moved on the state's own seed, so that its dead band drew from it.
const std::string kStateRecording = "# vp7sim test\nseed " + std::to_string(kStateSeed) +
                                    "\nini Config CheckScreen 0\nstart\nset SetPointText 60\nclick Enter\n"
                                    "wait 20000\n";
const std::string kChecks = "check Istwert within 0 100 \"Stellung\" \"Position\"\n";
// The trainee's strokes after the start: each one draws again.
constexpr const char* kStrokes[] = {"set SetPointText 20", "click Enter", "wait 15000",
                                    "set SetPointText 80", "click Enter", "wait 15000"};
// What the device at the exercise's start shows, whichever seed it draws from next.
constexpr const char* kShown[] = {"print Istwert", "print lcd upper"};

std::string Printed(Runner& runner, std::ostringstream& out, std::initializer_list<const char*> lines) {
    out.str("");
    for (const char* line : lines)
        runner.Execute(line);
    return out.str();
}

struct SeatRun {
    std::string shownAtStart, endHash, recording;
    uint64_t deviceSeed = 0;
    SeatHandIn handIn;
    std::string rewoundHash;
};

// A runner seat that takes the room's exercise on `seed`, works it, hands in and rewinds to its end.
SeatRun RunSeat(const fs::path& folder, const std::string& exercise, uint64_t seed) {
    std::ostringstream out;
    Runner seat(out, folder.string());
    seat.Execute("start");
    seat.OpenExerciseText(exercise, seed);
    SeatRun run;
    run.deviceSeed = seat.Sim()->RandomSeed;
    run.shownAtStart = Printed(seat, out, {kShown[0], kShown[1]});
    for (const char* line : kStrokes)
        seat.Execute(line);
    run.endHash = Printed(seat, out, {"print statehash"});
    run.recording = seat.SessionRecording();
    run.handIn = HandInOf(seat.HandInNow());
    run.handIn.recording = run.recording;
    seat.Execute("rewind " + std::to_string(seat.NowMs() - seat.StartedAtMs()));
    run.rewoundHash = Printed(seat, out, {"print statehash"});
    return run;
}

TEST_F(StateExerciseTest, EachSeatDrawsFromItsOwnSeedAndReplaysToItsDevice) {
    const fs::path state = dir / "stroke.vp7s";
    std::ofstream(state, std::ios::binary) << MakeSavedState(kStateRecording, 0, ProgramVersion());
    std::ostringstream plainOut;
    Runner plain(plainOut, (dir / "plain").string());
    plain.Execute("state " + state.string());
    const std::string savedShown = Printed(plain, plainOut, {kShown[0], kShown[1]});

    const struct {
        const char* what;
        std::string exercise;
        uint64_t ownSeed; // the device's seed without the room's
    } rows[] = {
        {"from a saved state", "title \"Zustand\" \"State\"\nstate " + state.string() + "\n" + kChecks,
         kStateSeed},
        {"with a seed of its own",
         "title \"Eigen\" \"Own\"\nseed " + std::to_string(kOwnSeed) + "\nini Config CheckScreen 0\nstart\n" +
             kChecks,
         kOwnSeed},
    };
    for (const auto& row : rows) {
        const fs::path folder = dir / row.what;
        const SeatRun anna = RunSeat(folder / "anna", row.exercise, kAnnaSeed);
        const SeatRun ben = RunSeat(folder / "ben", row.exercise, kBenSeed);
        EXPECT_EQ(anna.deviceSeed, kAnnaSeed) << row.what;
        EXPECT_EQ(ben.deviceSeed, kBenSeed) << row.what;
        EXPECT_NE(anna.endHash, ben.endHash) << row.what << ": the two seats' devices drew alike";
        if (row.ownSeed == kStateSeed) {
            EXPECT_EQ(anna.shownAtStart, savedShown) << row.what;
            EXPECT_EQ(ben.shownAtStart, savedShown) << row.what;
        }
        for (const SeatRun* seat : {&anna, &ben})
            EXPECT_EQ(seat->rewoundHash, seat->endHash) << row.what << ":\n" << seat->recording;

        // The station's verdicts: each seat's own work on its own seed, and a neighbour's recording.
        const struct {
            const char* whose;
            const SeatRun& run;
            uint64_t sentSeed;
            bool verified;
        } handIns[] = {
            {"anna's own", anna, kAnnaSeed, true},
            {"ben's own", ben, kBenSeed, true},
            {"ben's sent as anna's", ben, kAnnaSeed, false},
        };
        for (const auto& handIn : handIns) {
            const HandInVerdict verdict = VerifyHandIn({row.exercise, handIn.sentSeed}, handIn.run.handIn);
            EXPECT_EQ(verdict.Verified(), handIn.verified)
                << row.what << ", " << handIn.whose << ": " << verdict.refusal;
        }
    }
}

} // namespace
} // namespace vp7
