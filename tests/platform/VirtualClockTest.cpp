// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/VirtualClock.h"
#include "platform/StateVisitor.h"

#include <gtest/gtest.h>

#include <optional>

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

// The device's timers re-arm or stop themselves and start others from their handlers.
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

    // Ties fire in arming order whatever the timers' places in memory (c lies above a), period after
    // period; the desktop clock keeps the same order (tests/ui/QtHostTest.cpp).
    log.clear();
    other.SetEnabled(false);
    Timer abc[3] = {{clock, "a", 100}, {clock, "b", 50}, {clock, "c", 100}};
    for (Timer& t : abc)
        Logs(t);
    abc[2].SetEnabled(true);
    abc[0].SetEnabled(true);
    clock.Advance(25);
    abc[1].SetEnabled(true); // due at 225, then 275
    clock.Advance(175);
    EXPECT_EQ(log, (Log{"b@225", "c@250", "a@250", "b@275", "b@325", "c@350", "a@350"}));
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

// A timer's saved period as read back: the tick falls due that far from the clock's now, a tick the
// saving PC's clock had already passed falls due at once, and a period no timer can have is refused.
TEST_F(VirtualClockTest, ASavedTimerFallsDueAtItsPhaseAndAnOverdueOneAtOnce) {
    struct Row {
        int32_t interval;
        int64_t phase;
        uint32_t rank;
        std::optional<int64_t> dueAt; // none: refused
    };
    clock.Advance(1000);
    for (const Row& row :
         {Row{50, 20, 0, 1020}, Row{50, 0, 0, 1000}, Row{50, -35, 0, 1000}, Row{50, 51, 0, std::nullopt},
          Row{-1, 0, 0, std::nullopt}, Row{50, 20, 1, std::nullopt}}) {
        SCOPED_TRACE(std::to_string(row.interval) + " " + std::to_string(row.phase));
        StateWriter saved(1);
        saved.Value("enabled", true);
        saved.Value("interval", row.interval);
        saved.Value("armed", true);
        saved.Value("phase", row.phase);
        saved.Value("rank", row.rank);
        const std::string bytes = saved.Take();
        Timer t(clock, "t", 10);
        Timer* const timers[] = {&t};
        StateReader load(StateVisitor::Mode::Load, bytes, 1);
        if (!row.dueAt) {
            EXPECT_THROW(VisitTimers(load, clock, timers), StateError);
            continue;
        }
        VisitTimers(load, clock, timers);
        ASSERT_TRUE(clock.NextTick(t));
        EXPECT_EQ(clock.NextTick(t)->atMs, *row.dueAt);
    }
}
