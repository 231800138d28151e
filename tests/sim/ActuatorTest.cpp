// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SimFixture.h"

#include "sim/diagnosis/Diagnostics.h"
#include "sim/motion/Actuator.h"

#include <tuple>

using namespace vp7;
using ValveMotion = vp7::test::SimFixture;

TEST_F(ValveMotion, StepSizesFollowThrottleFrictionAndMinimumStrokeTimes) {
    // Throttle, friction, TSUP and TSDO (seconds; -120 is "Auto"); the steps up and down.
    const std::tuple<int, bool, int, int, double, double> cases[] = {
        {0, false, 0, 0, 2.5, 2.5},     {0, true, 0, 0, 0.5, 0.5},     {1, false, 0, 0, 2.0, 2.0},
        {2, false, 0, 0, 1.0, 1.0},     {3, false, 0, 0, 0.5, 0.5},    {3, true, 0, 0, 0.1, 0.1},
        {0, false, 10, 5, 0.625, 1.25}, {0, false, -120, 3, 2.5, 2.5}, {2, true, 10, 0, 0.2, 0.2},
    };
    for (const auto& [throttle, friction, tsup, tsdo, up, down] : cases) {
        SCOPED_TRACE(testing::Message() << throttle << friction << tsup);
        Restart();
        sim->UserSelect(sim->form.DrosselSelect, throttle);
        sim->UserCheck(sim->form.FrictionSelect, friction);
        Param("TSUP", tsup);
        Param("TSDO", tsdo);
        EXPECT_DOUBLE_EQ(S().StepUp, up);
        EXPECT_DOUBLE_EQ(S().StepDown, down);
    }
}

TEST_F(ValveMotion, AFullStrokeTakesFortyStepsAndCountsOneStroke) {
    Enter("100");
    EXPECT_DOUBLE_EQ(S().Istwert, 2.5) << "the first step is made at once";
    EXPECT_EQ(RunToRest(), 40); // 39 more steps and the arrival tick
    EXPECT_DOUBLE_EQ(S().Istwert, 100);
    EXPECT_EQ(S().CurrentFrame, 40);
    EXPECT_EQ(S().MoveActive, 0);
    EXPECT_EQ(sim->diagnostics.DiagTable[DiagStrokes].Value, 1);
    EXPECT_EQ(sim->image1.Pixel(330, 500), SpriteSet::FlatColor(KolbenFrame(40)));
}

TEST_F(ValveMotion, TargetsInsideAFrameAreReachedWithoutShowingOvershoot) {
    // The entry; the positions right after it, then after each tick until rest.
    const std::pair<const char*, std::vector<double>> cases[] = {
        {"1", {1}},          // same frame: reached at once, no tick
        {"3", {2.5, 3}},     // frame 1: one step, then the snap
        {"1,3", {1.3, 1.3}}, // frame 1 ahead but the step would pass the target: held there
    };
    for (const auto& [entry, positions] : cases) {
        Restart();
        Enter(entry);
        std::vector<double> seen{S().Istwert};
        for (; sim->Timer2.Enabled(); seen.push_back(S().Istwert))
            clock.Advance(50);
        EXPECT_EQ(seen, positions) << entry;
    }
}

// Without supply air a single-acting valve goes to its spring's end and a double-acting one stays.
// Blocking stops a move at 10 % or 90 % and lets the valve leave; beyond the block an automatic target
// short of it holds the valve, while a manual step away from the end is made.
TEST_F(ValveMotion, SupplyAirAndBlockingLimitAutomaticAndManualMoves) {
    const char *closing = "SelfClosingSelect", *opening = "SelfOpeningSelect", *both = "DoubleActingSelect";
    const char *noAir = "NoPreasureSelect", *up = "BlockUpSelect", *down = "BlockDownSelect";
    const bool automatic = false, manual = true;
    // Manual or automatic, the valve type, the option, start and target; where the valve ends up.
    const std::tuple<bool, const char*, const char*, int, int, double> cases[] = {
        {automatic, closing, noAir, 40, 80, 0}, {automatic, opening, noAir, 40, 80, 100},
        {automatic, both, noAir, 40, 80, 40},   {manual, opening, noAir, 30, 10, 100},
        {manual, both, noAir, 30, 80, 30},      {automatic, both, up, 50, 95, 90},
        {automatic, both, down, 50, 5, 10},     {automatic, both, down, 10, 60, 60},
        {manual, both, up, 50, 100, 90},        {manual, both, up, 90, 60, 60},
        {manual, both, down, 10, 0, 10},        {manual, both, down, 5, 8, 8},
        {automatic, both, down, 5, 8, 5},       {manual, both, up, 95, 92, 92},
        {automatic, both, up, 95, 92, 95}};
    for (const auto& [isManual, valve, option, start, target, expected] : cases) {
        Restart();
        MoveTo(std::to_string(start));
        sim->UserCheck(*sim->form.Find(valve), true);
        sim->UserCheck(*sim->form.Find(option), true);
        RunToRest();
        if (isManual) {
            S().Mode = Mode::Manual;
            S().ManuellTarget = target;
            sim->actuator.StartManuellMove();
        } else {
            Enter(std::to_string(target));
        }
        RunToRest();
        EXPECT_DOUBLE_EQ(S().Istwert, expected)
            << isManual << " " << option << " " << start << "->" << target;
    }
}

TEST_F(ValveMotion, DirectionChangesAndSwitchingAreCounted) {
    const auto& diag = sim->diagnostics.DiagTable;
    MoveTo("50"); // opening, as the last direction was: no change
    EXPECT_EQ(diag[DiagDirectionChanges].Value, 0);
    EXPECT_EQ(diag[DiagVent1].Value, 21);
    MoveTo("49"); // closing by 1 % inside the 3.8 % short step zone
    EXPECT_EQ(diag[DiagDirectionChanges].Value, 1);
    EXPECT_EQ(diag[DiagVent2].Value, 5); // round(19 * 1 / 3.8)
    // Manual moves compare with the opposite sense: opening after the automatic closing is not
    // counted, closing again is.
    S().Mode = Mode::Manual;
    S().ManuellTarget = 60;
    sim->actuator.StartManuellMove();
    RunToRest();
    EXPECT_EQ(diag[DiagDirectionChanges].Value, 1);
    EXPECT_EQ(diag[DiagVent1].Value, 42);
    S().ManuellTarget = 40;
    sim->actuator.StartManuellMove();
    RunToRest();
    EXPECT_EQ(diag[DiagDirectionChanges].Value, 2);

    sim->diagnostics.DiagTable[DiagStrokes].Value = 2147483647;
    sim->diagnostics.Increment(DiagStrokes);
    EXPECT_EQ(diag[DiagStrokes].Value, 2147483647);
}
