// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/Steering.h"

#include "sim/Simulator.h"

#include <stdexcept>

namespace vp7 {

Steering::Steering(SteeredTime& time, std::function<Simulator*()> device)
    : time_(time), device_(std::move(device)) {}

void Steering::SetFrozen(bool frozen, FreezeHolder holder) {
    const unsigned holders =
        frozen ? time_.FreezeHolders() | FreezeBit(holder) : time_.FreezeHolders() & ~FreezeBit(holder);
    time_.SetFreezeHolders(holders);
    const bool stands = holders != 0;
    if (stands == time_.Frozen()) return;
    if (stands)
        if (Simulator* sim = device_()) LetGoOfHolds(*sim);
    time_.SetFrozen(stands);
}

// The left button is the one whose hold the device times (a key held for its long function); it is
// released where the pointer is, as the hand lifting it would. The host forgets it first, as a
// script's `up` does, so the release's handling sees no button down.
void Steering::LetGoOfHolds(Simulator& sim) {
    if (!sim.host.LeftButtonDown()) return;
    sim.host.RestoreLeftButton(false);
    sim.PointerUp(MouseButton::Left, sim.MouseX, sim.MouseY);
}

void Steering::SetSpeed(double speed) {
    if (!SpeedAllowed(speed)) throw std::range_error("speed out of range");
    time_.SetRate(speed);
}

} // namespace vp7
