// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/Session.h"

#include "sim/Snapshot.h"

namespace vp7 {

Session::Session(Clock& clock, Host& host, const SpriteSet& sprites, SimulatorOptions options)
    : sim_(clock, host, sprites, std::move(options)) {}

Session::Session(std::unique_ptr<Clock> clock, Host& host, const SpriteSet& sprites, SimulatorOptions options)
    : ownClock_(std::move(clock)), sim_(*ownClock_, host, sprites, std::move(options)) {}

Session::~Session() = default;

void Session::Start(const std::function<void()>& afterCreate) {
    sim_.FormCreate();
    if (afterCreate) afterCreate();
    trend_ = std::make_unique<TrendRecorder>(sim_);
}

void Session::KeepBacktracks(std::function<std::optional<int64_t>()> recordedMs) {
    backtrackTimer_ =
        std::make_unique<Timer>(sim_.clock, "Backtracks", static_cast<int>(Backtracks::kEveryMs));
    backtrackTimer_->SetHandler([this, recordedMs = std::move(recordedMs)] {
        if (const auto at = recordedMs()) backtracks_.Add(*at, TakeSnapshot(sim_));
    });
    backtrackTimer_->SetEnabled(true);
}

} // namespace vp7
