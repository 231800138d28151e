// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Clock.h"

namespace vp7 {

Timer::Timer(Clock& clock, std::string name, int intervalMs)
    : clock_(clock), name_(std::move(name)), interval_(intervalMs) {}

Timer::~Timer() {
    clock_.Disarm(*this);
}

void Timer::SetInterval(int ms) {
    if (ms == interval_) return;
    interval_ = ms;
    if (Running())
        clock_.Arm(*this);
    else
        clock_.Disarm(*this);
}

void Timer::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    if (Running())
        clock_.Arm(*this);
    else
        clock_.Disarm(*this);
}

void Timer::Restore(bool enabled, int intervalMs, int64_t atMs) {
    enabled_ = false;
    clock_.Disarm(*this);
    interval_ = intervalMs;
    enabled_ = enabled;
    if (Running()) clock_.ArmAt(*this, atMs);
}

void Timer::Fire() {
    if (enabled_ && handler_) handler_();
}

} // namespace vp7
