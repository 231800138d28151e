// SPDX-License-Identifier: GPL-3.0-or-later
// A saved state of a long session: today's kind replays the session's recording, a snapshot is the
// device as data of a constant size. An 8-hour session with a setpoint a minute.
#include "session/Backtracks.h"
#include "session/SavedState.h"
#include "session/StateFile.h"
#include "session/script/Runner.h"
#include "sim/Simulator.h"
#include "sim/Snapshot.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>

namespace {

constexpr int kSessionHours = 8;

// The recording of a session of `hours`: a setpoint a minute, alternating across the range.
std::string Recording(int hours) {
    std::string text = "start\n";
    for (int minute = 0; minute < hours * 60; ++minute)
        text += "wait 60000\nset SetPointText " + std::to_string(10 + (minute * 37) % 80) + "\nclick Enter\n";
    return text;
}

// A runner in a folder of its own that goes away with it.
struct Session {
    explicit Session(const std::string& name)
        : dir(std::filesystem::temp_directory_path() / ("vp7-bench-" + name)) {
        std::filesystem::create_directories(dir);
    }
    ~Session() { std::filesystem::remove_all(dir); }
    void Replay(const std::string& recording) {
        std::istringstream lines(recording);
        std::ostringstream errors;
        runner.Run(lines, errors);
    }
    std::filesystem::path dir;
    std::ostringstream out;
    vp7::Runner runner{out, dir.string()};
};

void BM_ReplaySession(benchmark::State& state) {
    const std::string recording = Recording(kSessionHours);
    for (auto _ : state) {
        Session session("replay");
        session.Replay(recording);
        benchmark::DoNotOptimize(session.runner.Sim());
    }
}
BENCHMARK(BM_ReplaySession)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SnapshotSave(benchmark::State& state) {
    Session session("save");
    const std::string recording = Recording(kSessionHours);
    session.Replay(recording);
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string file = vp7::SaveState(*session.runner.Sim(), recording);
        bytes = file.size();
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SnapshotSave)->Unit(benchmark::kMillisecond);

void BM_SnapshotLoad(benchmark::State& state) {
    Session session("load");
    const std::string recording = Recording(kSessionHours);
    session.Replay(recording);
    const std::string file = vp7::SaveState(*session.runner.Sim(), recording);
    for (auto _ : state)
        if (vp7::LoadState(*session.runner.Sim(), file)) state.SkipWithError("refused");
}
BENCHMARK(BM_SnapshotLoad)->Unit(benchmark::kMillisecond);

// Backtracks of an 8-hour session, one every ten seconds, as the window keeps them: the ring's packed
// size, and a rewind to a moment 9 s past the last backtrack before it (restore, then replay the gap).
void BM_BacktrackRing(benchmark::State& state) {
    Session session("ring");
    session.Replay("start\n");
    vp7::Simulator& sim = *session.runner.Sim();
    vp7::Backtracks ring;
    for (auto _ : state) {
        ring.Clear();
        for (int64_t at = 0; at < kSessionHours * 3600 * 1000; at += vp7::Backtracks::kEveryMs) {
            if (at % 60000 == 0)
                session.Replay("set SetPointText " + std::to_string(10 + (at / 60000 * 37) % 80) +
                               "\nclick Enter\n");
            session.Replay("wait 10000\n");
            ring.Add(at, vp7::TakeSnapshot(sim));
        }
    }
    state.counters["ring_bytes"] = static_cast<double>(ring.Bytes());
    state.counters["backtracks"] = static_cast<double>(ring.Count());
}
BENCHMARK(BM_BacktrackRing)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_RewindFromBacktrack(benchmark::State& state) {
    Session session("rewind");
    session.Replay(Recording(kSessionHours));
    const std::string snapshot = vp7::TakeSnapshot(*session.runner.Sim());
    vp7::Backtracks ring;
    ring.Add(0, snapshot);
    for (auto _ : state) {
        const auto backtrack = ring.Before(9000);
        if (!backtrack || vp7::RestoreSnapshot(*session.runner.Sim(), backtrack->snapshot))
            state.SkipWithError("refused");
        session.Replay("set SetPointText 55\nclick Enter\nwait 9000\n");
    }
}
BENCHMARK(BM_RewindFromBacktrack)->Unit(benchmark::kMillisecond);

} // namespace
