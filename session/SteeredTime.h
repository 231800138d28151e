// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device's time as an instructor steers it: it stands while frozen, and otherwise runs at a rate of
// the time that drives it. The window's clock runs on the wall clock, the runner's on the script's
// waits; each keeps its own arithmetic, and Steering decides what is asked of it.
namespace vp7 {

// Who holds a freeze: the instructor (the room's, or the trainer's at a program standing alone) and
// the trainee at a seat. The time stands while any of them holds it, so the trainee's own pause can
// neither lift nor shorten the instructor's.
enum class FreezeHolder { Instructor, Trainee };

inline constexpr unsigned FreezeBit(FreezeHolder holder) {
    return 1u << static_cast<unsigned>(holder);
}

class SteeredTime {
public:
    virtual ~SteeredTime() = default;
    // Frozen, no time passes and no timer fires; thawed, each goes on with the time it had left.
    virtual void SetFrozen(bool frozen) = 0;
    virtual bool Frozen() const = 0;
    // Who holds the freeze, one FreezeBit each: kept with the time, so that every steering made over
    // it sees the holds of the ones before.
    virtual void SetFreezeHolders(unsigned holders) = 0;
    virtual unsigned FreezeHolders() const = 0;
    // Device milliseconds for each millisecond of the driving time; the timers armed keep their phase.
    virtual void SetRate(double rate) = 0;
    virtual double Rate() const = 0;
};

} // namespace vp7
