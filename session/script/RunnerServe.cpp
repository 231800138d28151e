// SPDX-License-Identifier: GPL-3.0-or-later
// The runner's side of a plant's server: `modbus PORT` before `start` goes to the server the program
// attached (plant/RunnerPlant), and `serve MS` lets MS milliseconds pass at real time while its clients
// read and write. A program without one refuses both lines.
#include "session/script/Runner.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace vp7 {
namespace {

// How far the simulated clock may fall behind the wall clock while serving, at most.
constexpr int kServeStepMs = 10;

} // namespace

RunnerPlantPeer& Runner::Plant() const {
    if (!plant_) throw ScriptError("this program has no Modbus server");
    return *plant_;
}

void Runner::Modbus(const Args& a) {
    Plant().Configure(a.words);
}

// What the clients wrote, as the user's lines they amount to in the session's lines, after the time
// that passed before them.
void Runner::ApplyPlantWrites(int64_t& unnotedMs) {
    plant_->ApplyPending([&](const std::string& line) {
        if (unnotedMs > 0) NoteSession("wait " + std::to_string(unnotedMs));
        unnotedMs = 0;
        NoteSession(line);
    });
}

void Runner::Serve(const Args& a) {
    const int ms = ToInt(a.words[0], "time");
    if (ms < 0) throw ScriptError("bad time '" + a.words[0] + "'");
    if (!virtualClock_) throw ScriptError("'serve' needs the simulated clock");
    if (!Plant().Serving()) throw ScriptError("'serve' needs modbus before start");
    using WallClock = std::chrono::steady_clock;
    const auto begin = WallClock::now();
    auto step = begin;
    int64_t done = 0, unnoted = 0;
    for (;;) {
        ApplyPlantWrites(unnoted);
        const auto wall = std::chrono::duration_cast<std::chrono::milliseconds>(WallClock::now() - begin);
        const int64_t target = std::min<int64_t>(ms, wall.count());
        if (target > done) {
            virtualClock_->Advance(target - done);
            unnoted += target - done;
            done = target;
            plant_->Refresh();
        }
        if (done >= ms) break;
        // Writes wait for the next step: a client that floods the server gets its writes applied a
        // hundred times a second at most.
        step += std::chrono::milliseconds(kServeStepMs);
        std::this_thread::sleep_until(step);
    }
    if (unnoted > 0) NoteSession("wait " + std::to_string(unnoted));
}

} // namespace vp7
