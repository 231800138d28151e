#include "ui/QtClock.h"

#include <QTimer>

#include <chrono>

namespace vp7 {

QtClock::~QtClock() {
    for (auto& [timer, qtimer] : timers_) delete qtimer;
}

int64_t QtClock::NowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void QtClock::Arm(Timer& timer) {
    QTimer*& q = timers_[&timer];
    if (!q) {
        q = new QTimer;
        q->setTimerType(Qt::PreciseTimer);
        Timer* t = &timer;
        QObject::connect(q, &QTimer::timeout, [this, t] {
            t->Fire();
            if (afterTick_) afterTick_();
        });
    }
    q->start(timer.Interval()); // (re)starts the period from now
}

void QtClock::Disarm(Timer& timer) {
    const auto it = timers_.find(&timer);
    if (it == timers_.end()) return;
    it->second->stop();
    it->second->deleteLater(); // may be the timer whose handler is running right now
    timers_.erase(it);
}

} // namespace vp7
