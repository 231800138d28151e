// SPDX-License-Identifier: GPL-3.0-or-later
// A room's exercise whose device is not simply made on the room's seed: one that starts from a saved
// state, one that names a seed of its own. Each runner seat's device draws from the seed the station
// chose for it, the state still replays to the device it was saved from, and the seat's session
// replays to the same device for the station's verifier and for the seat's own rewind.
#include "classroom/DeviceStatus.h"
#include "classroom/HandInVerifier.h"
#include "session/SavedState.h"
#include "session/script/Runner.h"
#include "sim/Simulator.h"
#include "support/FolderFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

namespace vp7 {
namespace {

namespace fs = std::filesystem;

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
constexpr const char* kWork[] = {"set SetPointText 20", "click Enter", "wait 15000",
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
    for (const char* line : kWork)
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
