// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/VirtualClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vp7;

namespace {
// Timers that write "name@time" into a log when they fire.
struct VirtualClockTest : ::testing::Test {
    VirtualClock clock;
    std::vector<std::string> log;
    void Note(const std::string& name) { log.push_back(name + "@" + std::to_string(clock.NowMs())); }
    void Logs(Timer& t) {
        t.SetHandler([this, &t] { Note(t.Name()); });
    }
    using Log = std::vector<std::string>;
};
} // namespace

// Enabling an enabled timer keeps its phase; enabling after a pause or a new interval starts a period.
TEST_F(VirtualClockTest, EnablingStartsAPeriodAndReEnablingChangesNothing) {
    Timer t(clock, "t", 100);
    Logs(t);
    clock.Advance(30);
    t.SetEnabled(true); // due at 130
    clock.Advance(60);
    t.SetEnabled(true);
    clock.Advance(40);
    EXPECT_EQ(log, (Log{"t@130"}));
    t.SetEnabled(false);
    clock.Advance(20);
    t.SetEnabled(true);
    clock.Advance(100);
    EXPECT_EQ(log, (Log{"t@130", "t@250"}));
    t.SetInterval(40);
    clock.Advance(40);
    EXPECT_EQ(log.back(), "t@290");
}

// The device's timers re-arm or stop themselves and start others from their handlers; timers due at
// the same moment fire in the order they were armed.
TEST_F(VirtualClockTest, HandlersMayDisableReEnableOrStartTimersAndTiesKeepArmingOrder) {
    Timer once(clock, "once", 100), self(clock, "self", 50), other(clock, "other", 30);
    Logs(other);
    once.SetHandler([&] {
        once.SetEnabled(false);
        Note("once");
        other.SetEnabled(true);
    });
    int selfTicks = 0;
    self.SetHandler([&] {
        self.SetEnabled(false);
        Note("self");
        if (++selfTicks < 3) self.SetEnabled(true);
    });
    once.SetEnabled(true);
    self.SetEnabled(true);
    clock.Advance(150);
    EXPECT_EQ(log, (Log{"self@50", "once@100", "self@100", "other@130", "self@150"}));
    EXPECT_FALSE(once.Enabled() || self.Enabled());

    log.clear();
    other.SetEnabled(false);
    Timer a(clock, "a", 100), b(clock, "b", 50), c(clock, "c", 100);
    for (Timer* t : {&a, &b, &c})
        Logs(*t);
    c.SetEnabled(true);
    a.SetEnabled(true);
    clock.Advance(25);
    b.SetEnabled(true); // due at 225, then 275
    clock.Advance(75);
    EXPECT_EQ(log, (Log{"b@225", "c@250", "a@250"}));
}

// Two timers due in the same millisecond fire in arming order, whatever their places in memory; the
// desktop clock keeps the same order (tests/ui/QtHostTest.cpp).
TEST_F(VirtualClockTest, TiesInTheSameMillisecondFireInArmingOrder) {
    Timer pair[2] = {{clock, "low", 20}, {clock, "high", 20}};
    for (Timer& t : pair)
        Logs(t);
    pair[1].SetEnabled(true);
    pair[0].SetEnabled(true);
    clock.Advance(40);
    EXPECT_EQ(log, (Log{"high@20", "low@20", "high@40", "low@40"}));
}

TEST_F(VirtualClockTest, ZeroIntervalAndDestroyedTimersNeverFire) {
    {
        Timer gone(clock, "gone", 10);
        Logs(gone);
        gone.SetEnabled(true);
    }
    Timer zero(clock, "zero", 0);
    Logs(zero);
    zero.SetEnabled(true);
    clock.Advance(100);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(clock.NextDue(), -1);
}
