// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window's device as the session steers it: the freeze and the rate are those of the window's clock,
// which keeps its timers' phase across both. Made where a window steers its device, for that call.
#include "session/Steering.h"
#include "ui/qt/QtClock.h"

namespace vp7 {

class SteeredQtClock : public SteeredTime {
public:
    SteeredQtClock(QtClock& clock, Simulator& device)
        : clock_(clock), steering_(*this, [&device] { return &device; }) {}
    Steering& Steer() { return steering_; }

    void SetFrozen(bool frozen) override { clock_.SetFrozen(frozen); }
    bool Frozen() const override { return clock_.Frozen(); }
    void SetFreezeHolders(unsigned holders) override { clock_.SetFreezeHolders(holders); }
    unsigned FreezeHolders() const override { return clock_.FreezeHolders(); }
    void SetRate(double rate) override { clock_.SetRate(rate); }
    double Rate() const override { return clock_.Rate(); }

private:
    QtClock& clock_;
    Steering steering_;
};

} // namespace vp7
