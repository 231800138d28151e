// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/QtClock.h"

#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace vp7 {

// Simulated time starts as the system's tick count, so a seed taken from it differs between starts.
QtClock::QtClock() : baseSimulated_(RealNowMs()), baseReal_(baseSimulated_) {}

QtClock::~QtClock() {
    for (auto& [timer, entry] : timers_)
        delete entry.qtimer;
}

int64_t QtClock::RealNowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t QtClock::SimulatedNow() const {
    if (frozen_ || replaying_) return baseSimulated_;
    const auto passed = static_cast<double>(RealNowMs() - baseReal_) * rate_;
    return baseSimulated_ + static_cast<int64_t>(std::floor(passed));
}

int64_t QtClock::NowMs() const {
    if (firing_) return firingDue_;
    return held_ ? heldAt_ : SimulatedNow();
}

void QtClock::Rebase() {
    baseSimulated_ = SimulatedNow();
    baseReal_ = RealNowMs();
}

void QtClock::StartQTimer(Entry& entry) {
    if (frozen_ || replaying_) return;
    const double left = static_cast<double>(std::max<int64_t>(0, entry.due - SimulatedNow()));
    entry.qtimer->start(static_cast<int>(std::ceil(left / rate_)));
}

void QtClock::RestartAll() {
    for (auto& [timer, entry] : timers_) {
        if (frozen_ || replaying_)
            entry.qtimer->stop();
        else
            StartQTimer(entry);
    }
}

void QtClock::Schedule(Entry& entry, int64_t due) {
    const int64_t now = SimulatedNow();
    // After a long stall (a modal dialog) the timer starts afresh instead of firing a burst. A short one
    // (a busy machine) is caught up tick by tick, so the ticks keep the phase a replay gives them. A
    // replay never stalls.
    constexpr int64_t kLongStallMs = 1000;
    if (!replaying_ && due < now - std::max(entry.interval, kLongStallMs)) due = now;
    entry.due = due;
    StartQTimer(entry);
}

void QtClock::Arm(Timer& timer) {
    if (stopped_) return;
    auto it = timers_.find(&timer);
    if (it == timers_.end()) {
        auto* q = new QTimer;
        q->setTimerType(Qt::PreciseTimer);
        q->setSingleShot(true);
        Timer* t = &timer;
        QObject::connect(q, &QTimer::timeout, [this, t] { Tick(t); });
        it = timers_.emplace(&timer, Entry{q, 0, 0, 0}).first;
    }
    it->second.interval = timer.Interval();
    it->second.order = nextOrder_++;
    // Armed in a tick's handler (its own or another's), the new period starts at the tick's nominal
    // time, as on the simulated clock; in an input's handling from the input's moment; else from now.
    const int64_t from = NowMs();
    Schedule(it->second, from + timer.Interval());
}

void QtClock::ArmAt(Timer& timer, int64_t atMs) {
    if (stopped_) return;
    Arm(timer);
    Schedule(timers_.at(&timer), std::max(NowMs(), atMs));
}

std::optional<Clock::Due> QtClock::NextTick(const Timer& timer) const {
    const auto it = timers_.find(const_cast<Timer*>(&timer));
    if (it == timers_.end()) return std::nullopt;
    return Due{it->second.due, it->second.order};
}

// Due time, then arming order, as on the virtual clock; never the timers' places in memory.
bool QtClock::FiresBefore(const Entry& entry, const Entry* other) {
    return !other || entry.due < other->due || (entry.due == other->due && entry.order < other->order);
}

void QtClock::Disarm(Timer& timer) {
    const auto it = timers_.find(&timer);
    if (it == timers_.end()) return;
    it->second.qtimer->stop();
    it->second.qtimer->deleteLater(); // may be the timer whose handler is running right now
    timers_.erase(it);
}

void QtClock::Stop() {
    stopped_ = true;
    for (auto& [timer, entry] : timers_) {
        entry.qtimer->stop();
        entry.qtimer->deleteLater(); // may be the timer whose handler is running right now
    }
    timers_.clear();
}

void QtClock::BeginInput() {
    // Not from inside a tick or another input: time stands still there already.
    if (firing_ || inputDepth_++ > 0) return;
    for (;;) {
        const int64_t now = SimulatedNow();
        Timer* earliest = nullptr;
        const Entry* earliestEntry = nullptr;
        for (const auto& [timer, entry] : timers_)
            if (entry.qtimer->isActive() && entry.due <= now && FiresBefore(entry, earliestEntry)) {
                earliest = timer;
                earliestEntry = &entry;
            }
        if (!earliest) break;
        // Its queued timeout is taken here; the tick then sets the next period as a fired one does.
        timers_.at(earliest).qtimer->stop();
        Tick(earliest);
    }
    heldAt_ = SimulatedNow();
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
    it->second.order = nextOrder_++;
    Timer* const outer = std::exchange(firing_, timer);
    const int64_t outerDue = std::exchange(firingDue_, due);
    timer->Fire();
    firing_ = outer;
    firingDue_ = outerDue;
    // Still running and not re-armed by the handler: the next period follows on from this tick.
    const auto after = timers_.find(timer);
    if (after != timers_.end() && after->second.due == due && !after->second.qtimer->isActive())
        Schedule(after->second, due + timer->Interval());
    if (afterTick_ && !replaying_) afterTick_();
}

void QtClock::SetRate(double rate) {
    if (rate <= 0 || rate == rate_) return;
    Rebase();
    rate_ = rate;
    RestartAll();
}

void QtClock::SetFrozen(bool frozen) {
    if (frozen == frozen_) return;
    Rebase();
    frozen_ = frozen;
    if (!frozen_) baseReal_ = RealNowMs();
    RestartAll();
}

void QtClock::BeginReplay(int64_t startMs) {
    Rebase();
    replaying_ = true;
    baseSimulated_ = startMs;
    RestartAll();
}

void QtClock::ReplayUntil(int64_t ms) {
    for (;;) {
        Timer* next = nullptr;
        const Entry* nextEntry = nullptr;
        for (const auto& [timer, entry] : timers_)
            if (entry.due <= ms && FiresBefore(entry, nextEntry)) {
                next = timer;
                nextEntry = &entry;
            }
        if (!next) break;
        baseSimulated_ = std::max(baseSimulated_, nextEntry->due);
        Tick(next);
    }
    baseSimulated_ = std::max(baseSimulated_, ms);
}

void QtClock::EndReplay() {
    if (!replaying_) return;
    replaying_ = false;
    baseReal_ = RealNowMs();
    RestartAll();
}

} // namespace vp7
