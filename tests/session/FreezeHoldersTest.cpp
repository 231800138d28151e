// SPDX-License-Identifier: GPL-3.0-or-later
// A freeze has holders: the time stands while any holds it, and each one's continue lifts only its own
// hold, so a trainee's pause neither lifts nor shortens the instructor's. Shown on the runner's time,
// whose script's waits then leave the device's clock where it stood.
#include "platform/VirtualClock.h"
#include "session/Steering.h"
#include "session/script/ScriptTime.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vp7;

namespace {

struct Step {
    FreezeHolder holder;
    bool frozen;      // asked for
    bool standsAfter; // the time, once asked
};

constexpr FreezeHolder kRoom = FreezeHolder::Instructor, kTrainee = FreezeHolder::Trainee;

} // namespace

TEST(FreezeHolders, TheTimeStandsWhileAnyHolderHoldsIt) {
    const struct {
        const char* story;
        std::vector<Step> steps;
    } stories[] = {
        {"the trainee's continue leaves the room's freeze",
         {{kRoom, true, true},
          {kTrainee, false, true},
          {kTrainee, true, true},
          {kTrainee, false, true},
          {kRoom, false, false}}},
        {"the room's continue leaves the trainee's freeze",
         {{kTrainee, true, true}, {kRoom, true, true}, {kRoom, false, true}, {kTrainee, false, false}}},
        {"a freeze asked twice is lifted by one continue",
         {{kRoom, true, true}, {kRoom, true, true}, {kRoom, false, false}}},
        {"a continue of a running device changes nothing", {{kTrainee, false, false}, {kRoom, false, false}}},
    };
    for (const auto& story : stories) {
        VirtualClock clock;
        ScriptTime time(&clock);
        Steering steering(time, [] { return nullptr; });
        int step = 0;
        for (const Step& s : story.steps) {
            steering.SetFrozen(s.frozen, s.holder);
            EXPECT_EQ(steering.Frozen(), s.standsAfter) << story.story << ", step " << step;
            EXPECT_EQ(steering.HeldBy(s.holder), s.frozen) << story.story << ", step " << step;
            const int64_t before = clock.NowMs();
            time.Pass(100);
            EXPECT_EQ(clock.NowMs() - before, s.standsAfter ? 0 : 100) << story.story << ", step " << step;
            ++step;
        }
    }
}
