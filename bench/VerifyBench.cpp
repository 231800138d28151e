// SPDX-License-Identifier: GPL-3.0-or-later
// The instructor's station verifying a hand-in: half an hour of a trainee's exercise, a setpoint
// typed and entered every few seconds with the pointer moving to the field before, the mode key
// pressed now and then, replayed from the seat's recording and judged.
#include "classroom/DeviceStatus.h"
#include "classroom/HandInVerifier.h"
#include "classroom/RunnerSeat.h"
#include "platform/FileRead.h"
#include "session/SessionRecorder.h"
#include "session/exercise/KeptExercise.h"
#include "session/script/Runner.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

constexpr int kExerciseMinutes = 30;
constexpr int kActionEveryMs = 3000;
constexpr int kMovesBeforeAction = 10; // a second of the pointer on its way, as the recorder keeps it
constexpr uint64_t kSeatSeed = 1234567;

constexpr const char* kExercise = R"(title "Sollwerte" "Setpoints"
task "Fahren Sie die Sollwerte an." "Drive to the setpoints."
ini Config Controller VP7A
start
limit 1800000
check Mode = 0 "Im Automatikbetrieb" "In automatic mode"
check Sollwert within 0 100 "Sollwert im Bereich" "Setpoint in range"
question "Welcher Betrieb?" "Which mode?"
choice "Automatik" "Automatic" correct
choice "Hand" "Manual"
)";

// The seat's hand-in of the half hour: the runner's device recorded as the seat records it.
vp7::SeatHandIn HalfHourHandIn(const fs::path& dir) {
    const fs::path exercise = dir / vp7::KeptExerciseName(kExercise);
    std::ofstream(exercise) << kExercise;
    std::ostringstream out;
    vp7::Runner runner(out, (dir / "seat").string());
    runner.Execute("seed " + std::to_string(kSeatSeed));
    runner.Execute("exercise " + exercise.string());
    const fs::path recording = dir / "session.vp7s";
    {
        vp7::SessionRecorder recorder(*runner.Sim(), recording.string(), "vp7sim bench",
                                      "exercise " + exercise.string());
        const int actions = kExerciseMinutes * 60000 / kActionEveryMs;
        for (int i = 0; i < actions; ++i) {
            runner.Execute("wait " + std::to_string(kActionEveryMs - 100 * kMovesBeforeAction));
            for (int move = 0; move < kMovesBeforeAction; ++move) {
                runner.Execute("move " + std::to_string(300 + 7 * move) + " " +
                               std::to_string(200 + 3 * move));
                runner.Execute("wait 100");
            }
            if (i % 10 == 9) { // the mode key: to manual mode and back
                runner.Execute("press mode");
                runner.Execute("release mode");
                runner.Execute("press mode");
                runner.Execute("release mode");
                continue;
            }
            runner.Execute("set SetPointText " + std::to_string(10 + (i * 37) % 80));
            runner.Execute("click Enter");
        }
    }
    runner.Execute("choose 1");
    vp7::SeatHandIn handIn = vp7::HandInOf(runner.HandInNow());
    handIn.recording = *vp7::ReadWholeFile(recording.string(), vp7::kHandInRecordingMaxBytes) + "choose 1\n";
    return handIn;
}

void BM_VerifyHandIn(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "vp7-bench-verify";
    fs::create_directories(dir);
    const vp7::SeatHandIn handIn = HalfHourHandIn(dir);
    fs::remove_all(dir);
    for (auto _ : state) {
        const vp7::HandInVerdict verdict = vp7::VerifyHandIn({kExercise, kSeatSeed}, handIn);
        if (!verdict.Verified()) state.SkipWithError(verdict.refusal.c_str());
        benchmark::DoNotOptimize(verdict);
    }
    state.counters["lines"] =
        static_cast<double>(std::count(handIn.recording.begin(), handIn.recording.end(), '\n'));
    state.counters["bytes"] = static_cast<double>(handIn.recording.size());
}
BENCHMARK(BM_VerifyHandIn)->Unit(benchmark::kMillisecond);

} // namespace
