// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/Session.h"

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

} // namespace vp7
