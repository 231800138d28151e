// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/QtClock.h"

#include <QTimer>

#include <algorithm>
#include <chrono>
#include <utility>

namespace vp7 {

QtClock::~QtClock() {
    for (auto& [timer, entry] : timers_)
        delete entry.qtimer;
}

int64_t QtClock::RealNowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t QtClock::NowMs() const {
    if (firing_) return firingDue_;
    return held_ ? heldAt_ : RealNowMs();
}

void QtClock::Schedule(Entry& entry, int64_t due) {
    const int64_t now = RealNowMs();
    // After a long stall (a modal dialog) the timer starts afresh instead of firing a burst. A short one
    // (a busy machine) is caught up tick by tick, so the ticks keep the phase a replay gives them.
    constexpr int64_t kLongStallMs = 1000;
    if (due < now - std::max(entry.interval, kLongStallMs)) due = now;
    entry.due = due;
    entry.qtimer->start(static_cast<int>(std::max<int64_t>(0, due - now)));
}

void QtClock::Arm(Timer& timer) {
    auto it = timers_.find(&timer);
    if (it == timers_.end()) {
        auto* q = new QTimer;
        q->setTimerType(Qt::PreciseTimer);
        q->setSingleShot(true);
        Timer* t = &timer;
        QObject::connect(q, &QTimer::timeout, [this, t] { Tick(t); });
        it = timers_.emplace(&timer, Entry{q, 0, 0}).first;
    }
    it->second.interval = timer.Interval();
    // Armed in a tick's handler (its own or another's), the new period starts at the tick's nominal
    // time, as on the simulated clock; in an input's handling from the input's moment; else from now.
    const int64_t from = NowMs();
    Schedule(it->second, from + timer.Interval());
}

void QtClock::Disarm(Timer& timer) {
    const auto it = timers_.find(&timer);
    if (it == timers_.end()) return;
    it->second.qtimer->stop();
    it->second.qtimer->deleteLater(); // may be the timer whose handler is running right now
    timers_.erase(it);
}

void QtClock::BeginInput() {
    // Not from inside a tick or another input: time stands still there already.
    if (firing_ || inputDepth_++ > 0) return;
    for (;;) {
        const int64_t now = RealNowMs();
        Timer* earliest = nullptr;
        int64_t due = now + 1;
        for (const auto& [timer, entry] : timers_)
            if (entry.qtimer->isActive() && entry.due < due) {
                earliest = timer;
                due = entry.due;
            }
        if (!earliest) break;
        // Its queued timeout is taken here; the tick then sets the next period as a fired one does.
        timers_.at(earliest).qtimer->stop();
        Tick(earliest);
    }
    heldAt_ = RealNowMs();
    held_ = true;
}

void QtClock::EndInput() {
    if (firing_ || inputDepth_ == 0 || --inputDepth_ > 0) return;
    held_ = false;
}

void QtClock::Tick(Timer* timer) {
    const auto it = timers_.find(timer);
    if (it == timers_.end()) return;
    const int64_t due = it->second.due;
    Timer* const outer = std::exchange(firing_, timer);
    const int64_t outerDue = std::exchange(firingDue_, due);
    timer->Fire();
    firing_ = outer;
    firingDue_ = outerDue;
    // Still running and not re-armed by the handler: the next period follows on from this tick.
    const auto after = timers_.find(timer);
    if (after != timers_.end() && after->second.due == due && !after->second.qtimer->isActive())
        Schedule(after->second, due + timer->Interval());
    if (afterTick_) afterTick_();
}

} // namespace vp7
