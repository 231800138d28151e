// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the simulator's timers on Qt's precise timers. Each tick is scheduled from the nominal time of
// the one before, so a handler that re-arms its own timer (the motion step does, every 50 ms) keeps
// the period's phase instead of adding its own run time and the timer's latency to every period.
//
// The clock's time is simulated time: it runs at a rate of real time (an instructor's 0.5x to 10x),
// can be frozen (every timer keeps its phase and goes on from it), and can be driven by hand, as the
// virtual clock is, while a saved session is replayed into the window's device before it goes live.
#include "platform/Clock.h"

#include <QObject>

#include <functional>
#include <map>
#include <optional>

class QTimer;

namespace vp7 {

class QtClock : public Clock {
public:
    QtClock();
    ~QtClock() override;
    int64_t NowMs() const override;
    // Fires the ticks already due whose timer events are still waiting in the queue, earliest first and
    // ties in arming order, so the input comes after them, as it would on the simulated clock; then time
    // holds still for the input's handling (and inside a tick it stands at the tick's nominal time), so
    // timers armed there start from the same moment a replay on the simulated clock gives them.
    void BeginInput() override;
    void EndInput() override;
    // A modal box or dialog lets time pass inside an input's handling.
    void Thaw() { held_ = false; }
    // Runs after every timer handler: the window then repaints what changed.
    void AfterEachTick(std::function<void()> f) { afterTick_ = std::move(f); }

    // Simulated milliseconds a real millisecond; the timers armed keep their phase.
    void SetRate(double rate);
    double Rate() const { return rate_; }
    // Frozen, no time passes and no timer fires; thawed, each goes on with the time it had left.
    void SetFrozen(bool frozen);
    bool Frozen() const { return frozen_; }
    // Who holds the freeze (session/SteeredTime.h's bits), kept here for every steering made over it.
    void SetFreezeHolders(unsigned holders) { freezeHolders_ = holders; }
    unsigned FreezeHolders() const { return freezeHolders_; }

    // Driven by hand from `startMs` on: ReplayUntil fires every due timer up to `ms` in time order,
    // ties in arming order, exactly as the virtual clock does; EndReplay lets real time take over.
    void BeginReplay(int64_t startMs);
    void ReplayUntil(int64_t ms);
    void EndReplay();
    bool Replaying() const { return replaying_; }

    // Stops for good, before the device it drives goes: no timer fires again, not even one whose tick is
    // queued already, and none is armed from now on.
    void Stop();

    // When a timer ticks next, for a snapshot of the device; a restored one ticks at its moment.
    std::optional<Due> NextTick(const Timer& timer) const override;

protected:
    void Arm(Timer& timer) override;
    void Disarm(Timer& timer) override;
    void ArmAt(Timer& timer, int64_t atMs) override;

private:
    struct Entry {
        QTimer* qtimer;
        int64_t due; // nominal time of the next tick
        int64_t interval;
        uint64_t order; // arming order, which decides between ticks due at the same moment
    };
    static bool FiresBefore(const Entry& entry, const Entry* other);
    int64_t SimulatedNow() const;
    // Takes the time reached as the new origin, so a change of rate or state starts from it.
    void Rebase();
    void Schedule(Entry& entry, int64_t due);
    void StartQTimer(Entry& entry);
    void RestartAll();
    void Tick(Timer* timer);

    std::map<Timer*, Entry> timers_;
    Timer* firing_ = nullptr;
    int64_t firingDue_ = 0;
    std::function<void()> afterTick_;
    int inputDepth_ = 0;
    bool held_ = false;
    int64_t heldAt_ = 0;
    int64_t baseSimulated_ = 0; // simulated time at baseReal_
    int64_t baseReal_ = 0;
    double rate_ = 1.0;
    bool frozen_ = false, replaying_ = false, stopped_ = false;
    unsigned freezeHolders_ = 0;
    uint64_t nextOrder_ = 0;
    static int64_t RealNowMs();
};

} // namespace vp7
