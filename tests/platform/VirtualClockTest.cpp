#include "platform/VirtualClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vp7;

namespace {
struct Log {
    VirtualClock& clock;
    std::vector<std::string> entries;
    void Add(const std::string& what) { entries.push_back(what + "@" + std::to_string(clock.NowMs())); }
};
} // namespace

TEST(VirtualClock, EnablingStartsAPeriodAndReEnablingChangesNothing) {
    VirtualClock clock;
    Log log{clock, {}};
    Timer t(clock, "t", 100);
    t.SetHandler([&] { log.Add("t"); });
    clock.Advance(30);
    t.SetEnabled(true); // due at 130
    clock.Advance(60);
    t.SetEnabled(true); // already enabled: still due at 130
    clock.Advance(40);
    EXPECT_EQ(log.entries, (std::vector<std::string>{"t@130"}));
    t.SetEnabled(false);
    clock.Advance(20);
    t.SetEnabled(true); // a new period from 150
    clock.Advance(100);
    EXPECT_EQ(log.entries, (std::vector<std::string>{"t@130", "t@250"}));
    t.SetInterval(40); // a changed interval restarts the period
    clock.Advance(40);
    EXPECT_EQ(log.entries.back(), "t@290");
}

TEST(VirtualClock, HandlersMayDisableReEnableOrStartTimers) {
    VirtualClock clock;
    Log log{clock, {}};
    Timer once(clock, "once", 100), self(clock, "self", 50), other(clock, "other", 30);
    once.SetHandler([&] {
        once.SetEnabled(false); // one-shot, like the start-up timer
        log.Add("once");
        other.SetEnabled(true);
    });
    int selfTicks = 0;
    self.SetHandler([&] {
        self.SetEnabled(false);
        log.Add("self");
        if (++selfTicks < 3) self.SetEnabled(true); // re-armed by each step, like a motion step
    });
    other.SetHandler([&] { log.Add("other"); });
    once.SetEnabled(true);
    self.SetEnabled(true);
    clock.Advance(150);
    EXPECT_EQ(log.entries,
              (std::vector<std::string>{"self@50", "once@100", "self@100", "other@130", "self@150"}));
    EXPECT_FALSE(once.Enabled());
    EXPECT_FALSE(self.Enabled());
}

TEST(VirtualClock, SimultaneousTimersFireInArmingOrder) {
    VirtualClock clock;
    Log log{clock, {}};
    Timer a(clock, "a", 100), b(clock, "b", 50), c(clock, "c", 100);
    a.SetHandler([&] { log.Add("a"); });
    b.SetHandler([&] { log.Add("b"); });
    c.SetHandler([&] { log.Add("c"); });
    c.SetEnabled(true);
    a.SetEnabled(true);
    clock.Advance(25);
    b.SetEnabled(true); // due at 75, then 125
    clock.Advance(75);
    EXPECT_EQ(log.entries, (std::vector<std::string>{"b@75", "c@100", "a@100"}));
}

TEST(VirtualClock, LongAdvanceCatchesUpEveryTickIncludingTheEnd) {
    VirtualClock clock;
    int fast = 0, slow = 0;
    Timer f(clock, "f", 50), s(clock, "s", 1000);
    f.SetHandler([&] { ++fast; });
    s.SetHandler([&] { ++slow; });
    f.SetEnabled(true);
    s.SetEnabled(true);
    clock.Advance(3600 * 1000);
    EXPECT_EQ(fast, 72000);
    EXPECT_EQ(slow, 3600);
    EXPECT_EQ(clock.NowMs(), 3600 * 1000);
    EXPECT_EQ(clock.NextDue(), 3600 * 1000 + 50);
}

TEST(VirtualClock, ZeroIntervalAndDestroyedTimersNeverFire) {
    VirtualClock clock;
    int fired = 0;
    {
        Timer gone(clock, "gone", 10);
        gone.SetHandler([&] { ++fired; });
        gone.SetEnabled(true);
    }
    Timer zero(clock, "zero", 0);
    zero.SetHandler([&] { ++fired; });
    zero.SetEnabled(true);
    clock.Advance(100);
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(clock.NextDue(), -1);
}
