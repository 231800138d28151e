// SPDX-License-Identifier: GPL-3.0-or-later
// The runner's Modbus server: `modbus PORT` before `start` serves the device's registers on the
// loopback, and `serve MS` lets MS milliseconds pass at real time while clients read and write.
#include "session/plant/PlantLink.h"
#include "session/script/Runner.h"

#include <algorithm>
#include <chrono>
#include <ostream>
#include <thread>

namespace vp7 {
namespace {

// How far the simulated clock may fall behind the wall clock while serving, at most.
constexpr int kServeStepMs = 10;

} // namespace

void Runner::Modbus(const Args& a) {
    auto options = std::make_unique<ModbusServerOptions>();
    options->port = ToInt(a.words[0], "port");
    if (options->port < 0 || options->port > 65535) throw ScriptError("bad port '" + a.words[0] + "'");
    for (size_t i = 1; i < a.words.size(); ++i) {
        if (a.words[i] == "readonly") {
            options->access = modbus::Access::ReadOnly;
        } else if (a.words[i] == "unit" && i + 1 < a.words.size()) {
            options->unitId = ToInt(a.words[++i], "unit id");
            if (options->unitId < 0 || options->unitId > 255)
                throw ScriptError("bad unit id '" + a.words[i] + "'");
        } else {
            throw ScriptError("bad argument '" + a.words[i] + "'");
        }
    }
    plantOptions_ = std::move(options);
}

// On the device `start` (or a state) made. A device made anew for a rewind keeps the server its
// clients are connected to.
void Runner::StartPlant() {
    std::unique_ptr<ModbusServer> server = std::move(keptServer_);
    if (!server && !plantOptions_) return;
    if (!server) {
        std::string error;
        server = ModbusServer::Start(*plantOptions_, error);
        if (!server) throw RunFailure("cannot serve Modbus: " + error);
        out_ << "modbus " << server->Port() << '\n';
    }
    plant_ = std::make_unique<PlantLink>(*sim_, std::move(server));
}

void Runner::StopPlant() {
    if (plant_) keptServer_ = plant_->TakeServer();
    plant_.reset();
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
    if (!plant_) throw ScriptError("'serve' needs modbus before start");
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
