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
void Runner::ApplyPlantWrites() {
    plant_->ApplyPending([&](const std::string& line) { NoteSession(line); });
}

// The time passes as a wait's does, steered by the room and noted in parts before what the clients
// and the room did, and the room is heard between the steps: a seat that serves a plant is still in
// its room, frozen when the room freezes it.
void Runner::Serve(const Args& a) {
    const int ms = ToInt(a.words[0], "time");
    if (ms < 0) throw ScriptError("bad time '" + a.words[0] + "'");
    if (!virtualClock_) throw ScriptError("'serve' needs the simulated clock");
    if (!Plant().Serving()) throw ScriptError("'serve' needs modbus before start");
    using WallClock = std::chrono::steady_clock;
    const auto begin = WallClock::now();
    auto step = begin;
    int done = 0;
    for (;;) {
        ApplyPlantWrites();
        const auto wall = std::chrono::duration_cast<std::chrono::milliseconds>(WallClock::now() - begin);
        const int target = static_cast<int>(std::min<int64_t>(ms, wall.count()));
        if (target > done) {
            PassNoted(target - done);
            done = target;
            plant_->Refresh();
        }
        PollPeer();
        if (done >= ms) break;
        // Writes wait for the next step: a client that floods the server gets its writes applied a
        // hundred times a second at most.
        step += std::chrono::milliseconds(kServeStepMs);
        std::this_thread::sleep_until(step);
    }
    NoteSession({});
    waitNoted_ = true;
}

} // namespace vp7
