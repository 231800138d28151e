// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One running device's session: the simulator, the trend it records (the sample observer) and the
// recording of the user's actions when one runs (the action observer). A window shows one session at
// a time and can take a new one in its place (a loaded state, a rewind).
#include "session/Backtracks.h"
#include "session/SessionRecorder.h"
#include "session/trend/TrendRecorder.h"
#include "sim/Simulator.h"

#include <functional>
#include <memory>
#include <optional>

namespace vp7 {

class Session {
public:
    // The device runs on `clock`, which outlives the session.
    Session(Clock& clock, Host& host, const SpriteSet& sprites, SimulatorOptions options);
    // The device runs on a clock of its own (a replay's), destroyed after the device and its timers.
    Session(std::unique_ptr<Clock> clock, Host& host, const SpriteSet& sprites, SimulatorOptions options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Simulator& Sim() { return sim_; }
    const Simulator& Sim() const { return sim_; }
    // Creates the device's form; `afterCreate` runs before the trend starts (an exercise sets its scene).
    void Start(const std::function<void()>& afterCreate = {});
    // The trend recorded since the form was created (none before).
    TrendRecorder& Trend() { return *trend_; }
    const TrendRecorder& Trend() const { return *trend_; }
    SessionRecorder* Recorder() const { return recorder_.get(); }
    void Record(std::unique_ptr<SessionRecorder> recorder) { recorder_ = std::move(recorder); }
    void StopRecording() { recorder_.reset(); }

    // From now on a backtrack every ten seconds of the device's clock, at the moment `recordedMs` tells
    // (the recording's time; none while nothing records the session).
    void KeepBacktracks(std::function<std::optional<int64_t>()> recordedMs);
    Backtracks& Backtracked() { return backtracks_; }

private:
    // Declared in the order they are built: the observers go before the device, the device before
    // the clock its timers are armed on.
    std::unique_ptr<Clock> ownClock_;
    Simulator sim_;
    std::unique_ptr<TrendRecorder> trend_;
    std::unique_ptr<SessionRecorder> recorder_;
    Backtracks backtracks_;
    std::unique_ptr<Timer> backtrackTimer_; // armed on the device's clock, gone before it
};

} // namespace vp7
