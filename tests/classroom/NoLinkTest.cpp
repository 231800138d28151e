// SPDX-License-Identifier: GPL-3.0-or-later
// A program built without a way to the broker: the seat and the runner's `classroom` line say so
// instead of joining, and the runner goes on without a room.
#include "classroom/RunnerSeat.h"
#include "classroom/Seat.h"
#include "session/script/Runner.h"
#include "support/FolderFixture.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vp7 {
namespace {

struct NoLink : test::FolderFixture {};

struct Idle final : SeatTarget {
    int64_t NowMs() const override { return 0; }
    SeatStatus Status() override { return {}; }
    std::vector<SeatEvent> TakeEvents() override { return {}; }
    void OpenExercise(const std::string&, std::optional<uint64_t>) override {}
    void LoadState(const std::string&) override {}
    void SetFrozen(bool) override {}
    void SetSpeed(double) override {}
    void SetHiddenFault(const std::string&, bool) override {}
    void ShowMessage(const std::string&) override {}
    std::optional<SeatHandIn> HandIn() override { return std::nullopt; }
    std::string SaveState() override { return {}; }
    void Rewind(int64_t) override {}
    void Log(const std::string&) override {}
};

TEST_F(NoLink, NeitherTheSeatNorTheRunnerJoinsARoom) {
    Idle target;
    Seat seat(target, {"127.0.0.1", 1883, "r1", "s1", "", "", {}, dir / "Outbox", ""}, {});
    EXPECT_EQ(seat.Start(), kNoRoomLink);
    EXPECT_FALSE(seat.Connected());
    seat.Poll(); // nothing to take, nothing to publish to

    std::ostringstream out, log;
    Runner runner(out, dir.string());
    RunnerSeat runnerSeat(runner, (dir / "Classroom").string(), log, {});
    try {
        runner.Execute("classroom 127.0.0.1 1883 r1 s1");
        ADD_FAILURE() << "joined without a link";
    } catch (const ScriptError& e) {
        EXPECT_STREQ(e.what(), kNoRoomLink);
    }
    runner.Execute("start");
    runner.Execute("wait 1000");
    runnerSeat.Finish(std::chrono::milliseconds(0));
    EXPECT_EQ(log.str(), "");
}

} // namespace
} // namespace vp7
