// SPDX-License-Identifier: GPL-3.0-or-later
// The ring of backtracks: the latest one before a moment, kept within its bounds all along a long
// session, and cut back when the session goes on from an earlier moment.
#include "session/Backtracks.h"
#include "session/SavedState.h"
#include "session/script/BacktrackReplay.h"
#include "session/script/RecordingLines.h"

#include <gtest/gtest.h>

#include <random>

namespace vp7 {
namespace {

// A snapshot that packs about as badly as `size` random bytes do, told apart by its moment.
std::string Snapshot(int64_t atMs, std::size_t size) {
    std::mt19937_64 rng(static_cast<uint64_t>(atMs));
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(rng());
    return std::to_string(atMs) + '|' + bytes;
}

TEST(Backtracks, TheLatestBeforeAMomentComesBackWhole) {
    Backtracks ring;
    for (int64_t at = 0; at <= 60'000; at += Backtracks::kEveryMs)
        ring.Add(at, Snapshot(at, 100));
    const struct {
        int64_t ms;
        std::optional<int64_t> found;
    } cases[] = {{-1, std::nullopt}, {0, 0},           {9'999, 0},
                 {10'000, 10'000},   {59'999, 50'000}, {1'000'000, 60'000}};
    for (const auto& c : cases) {
        const auto found = ring.Before(c.ms);
        ASSERT_EQ(found.has_value(), c.found.has_value()) << c.ms;
        if (!found) continue;
        EXPECT_EQ(found->atMs, *c.found) << c.ms;
        EXPECT_EQ(found->snapshot, Snapshot(*c.found, 100)) << c.ms;
    }
    ring.KeepUpTo(35'000);
    EXPECT_EQ(ring.Before(1'000'000)->atMs, 30'000);
    ring.Add(20'000, Snapshot(20'000, 100)); // before the last one: not taken
    EXPECT_EQ(ring.Count(), 4u);
}

// Eight hours of backtracks stay within the count; snapshots that do not pack stay within the bytes.
// Either way the oldest ones are thinned, not dropped: the session's start can still be rewound to.
TEST(Backtracks, ALongSessionIsThinnedOutWithinItsBounds) {
    const struct {
        const char* what;
        std::size_t snapshotBytes;
        int64_t sessionMs;
    } cases[] = {
        {"eight hours of small ones", 64, 8 * 3600 * 1000},
        {"two hours of large ones", 100'000, 2 * 3600 * 1000},
    };
    for (const auto& c : cases) {
        Backtracks ring;
        std::size_t largest = 0;
        for (int64_t at = 0; at < c.sessionMs; at += Backtracks::kEveryMs) {
            ring.Add(at, Snapshot(at, c.snapshotBytes));
            largest = std::max(largest, ring.Bytes());
            ASSERT_LE(ring.Count(), Backtracks::kMostCount) << c.what;
        }
        EXPECT_LE(largest, Backtracks::kMostBytes + c.snapshotBytes + 64) << c.what;
        EXPECT_EQ(ring.Before(0)->atMs, 0) << c.what;
        // Near now they lie as they were taken.
        const int64_t last = (c.sessionMs - 1) / Backtracks::kEveryMs * Backtracks::kEveryMs;
        EXPECT_EQ(ring.Before(last - 1)->atMs, last - Backtracks::kEveryMs) << c.what;
    }
}

// A rewind goes back from the latest backtrack at or before the moment and replays only the actions
// at or after it, timed from it, up to the moment; before the first backtrack the cut replays whole.
TEST(Backtracks, ARewindReplaysOnlyTheActionsAfterItsBacktrack) {
    // After the start: press at 4 s, release at 10 s (a backtrack's moment), the friction at 15 s.
    const std::string recording = "seed 1\nstart\nwait 4000\npress mode\nwait 6000\nrelease mode\nwait 5000\n"
                                  "set FrictionSelect 1\nwait 5000\n";
    Backtracks ring;
    for (int64_t at = 0; at <= 20'000; at += Backtracks::kEveryMs)
        ring.Add(at, Snapshot(at, 10));
    Backtracks none;
    struct Step {
        int64_t atMs;
        std::string line;
        bool operator==(const Step&) const = default;
    };
    const struct {
        const Backtracks* ring;
        int64_t ms;
        std::optional<int64_t> from; // the backtrack's moment
        std::vector<Step> steps;
        int64_t endMs;
    } cases[] = {
        {&none, 16'000, std::nullopt, {}, 0},
        {&ring, 3'000, 0, {}, 3'000},
        {&ring, 4'000, 0, {{4'000, "press mode"}}, 4'000},
        {&ring, 10'000, 10'000, {{0, "release mode"}}, 0},
        {&ring, 12'000, 10'000, {{0, "release mode"}}, 2'000},
        {&ring, 16'000, 10'000, {{0, "release mode"}, {5'000, "set FrictionSelect 1"}}, 6'000},
        {&ring, 20'000, 20'000, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ms);
        const auto replay = ReplayFromBacktrack(*c.ring, CutRecording(recording, c.ms), c.ms);
        ASSERT_EQ(replay.has_value(), c.from.has_value());
        if (!replay) continue;
        EXPECT_EQ(replay->backtrack.atMs, *c.from);
        EXPECT_EQ(replay->backtrack.snapshot, Snapshot(*c.from, 10));
        std::vector<Step> steps;
        for (const PlayStep& step : replay->script.steps)
            steps.push_back({step.atMs, step.text});
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(replay->script.endMs, c.endMs);
    }
}

} // namespace
} // namespace vp7
