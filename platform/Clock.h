// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Timers with the semantics of a window toolkit's timer component: enabling a disabled timer or
// changing the interval of an enabled one starts a new period from now; setting Enabled to the value it
// already has changes nothing; a handler may disable or re-enable its own timer. A Clock runs them: the
// Qt clock on real time, the virtual clock on simulated time for tests and the headless runner.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vp7 {

class Clock;

class Timer {
public:
    using Handler = std::function<void()>;

    Timer(Clock& clock, std::string name, int intervalMs);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::string& Name() const { return name_; }
    int Interval() const { return interval_; }
    void SetInterval(int ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    void SetHandler(Handler h) { handler_ = std::move(h); }
    // Put back as a snapshot had it: its next tick at `atMs` when it runs (a clock that cannot tell
    // when starts a full period from now instead).
    void Restore(bool enabled, int intervalMs, int64_t atMs);

    // Called by the clock when a period has passed.
    void Fire();

private:
    // An interval of 0 or less never fires, like a toolkit timer without a period.
    bool Running() const { return enabled_ && interval_ > 0; }

    Clock& clock_;
    std::string name_;
    int interval_;
    bool enabled_ = false;
    Handler handler_;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, like the system's tick count.
    virtual int64_t NowMs() const = 0;
    // An input is handed to the device: every timer tick already due runs first, in order, and the
    // input's handling happens at one moment, as on the simulated clock. A clock whose ticks always
    // fire on time and whose time stands still in a handler has nothing to do.
    virtual void BeginInput() {}
    virtual void EndInput() {}
    // When an armed timer ticks next, and its place among those due at the same time (a larger order
    // ticks later); nullopt when the timer is not armed or the clock cannot tell.
    struct Due {
        int64_t atMs;
        uint64_t order;
    };
    virtual std::optional<Due> NextTick(const Timer&) const { return std::nullopt; }

protected:
    friend class Timer;
    // Start a new period of `timer` from now (it may already be running).
    virtual void Arm(Timer& timer) = 0;
    virtual void Disarm(Timer& timer) = 0;
    // Arms `timer` with its first tick at `atMs` (later ones a period apart).
    virtual void ArmAt(Timer& timer, int64_t) { Arm(timer); }
};

} // namespace vp7
