// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the simulator's timers on Qt's precise timers. Each tick is scheduled from the nominal time of
// the one before, so a handler that re-arms its own timer (the motion step does, every 50 ms) keeps
// the period's phase instead of adding its own run time and the timer's latency to every period.
#include "platform/Clock.h"

#include <QObject>

#include <functional>
#include <map>

class QTimer;

namespace vp7 {

class QtClock : public Clock {
public:
    QtClock() = default;
    ~QtClock() override;
    int64_t NowMs() const override;
    // Fires the ticks already due whose timer events are still waiting in the queue, earliest first,
    // so the input comes after them, as it would on the simulated clock; then time holds still for the
    // input's handling (and inside a tick it stands at the tick's nominal time), so timers armed there
    // start from the same moment a replay on the simulated clock gives them.
    void BeginInput() override;
    void EndInput() override;
    // A modal box or dialog lets real time pass inside an input's handling.
    void Thaw() { held_ = false; }
    // Runs after every timer handler: the window then repaints what changed.
    void AfterEachTick(std::function<void()> f) { afterTick_ = std::move(f); }

protected:
    void Arm(Timer& timer) override;
    void Disarm(Timer& timer) override;

private:
    struct Entry {
        QTimer* qtimer;
        int64_t due; // nominal time of the next tick
        int64_t interval;
    };
    void Schedule(Entry& entry, int64_t due);
    void Tick(Timer* timer);

    std::map<Timer*, Entry> timers_;
    Timer* firing_ = nullptr;
    int64_t firingDue_ = 0;
    std::function<void()> afterTick_;
    int inputDepth_ = 0;
    bool held_ = false;
    int64_t heldAt_ = 0;
    static int64_t RealNowMs();
};

} // namespace vp7
