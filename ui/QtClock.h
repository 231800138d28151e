#pragma once
// Runs the simulator's timers on Qt's precise timers, so the 50-ms motion step keeps its rate.
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
    // Runs after every timer handler: the window then repaints what changed.
    void AfterEachTick(std::function<void()> f) { afterTick_ = std::move(f); }

protected:
    void Arm(Timer& timer) override;
    void Disarm(Timer& timer) override;

private:
    std::map<Timer*, QTimer*> timers_;
    std::function<void()> afterTick_;
};

} // namespace vp7
