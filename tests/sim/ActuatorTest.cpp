// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SimFixture.h"

#include "model/SpriteSet.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/motion/Actuator.h"

using namespace vp7;
using ValveMotion = vp7::test::SimFixture;

TEST_F(ValveMotion, StepSizesFollowThrottleFrictionAndMinimumStrokeTimes) {
    struct Case {
        int throttle;
        bool friction;
        int tsup, tsdo; // seconds; -120 is "Auto"
        double up, down;
    };
    const Case cases[] = {
        {0, false, 0, 0, 2.5, 2.5},     {0, true, 0, 0, 0.5, 0.5},     {1, false, 0, 0, 2.0, 2.0},
        {2, false, 0, 0, 1.0, 1.0},     {3, false, 0, 0, 0.5, 0.5},    {3, true, 0, 0, 0.1, 0.1},
        {0, false, 10, 5, 0.625, 1.25}, {0, false, -120, 3, 2.5, 2.5}, {2, true, 10, 0, 0.2, 0.2},
    };
    for (const Case& c : cases) {
        Restart();
        sim->UserSelect(sim->form.DrosselSelect, c.throttle);
        sim->UserCheck(sim->form.FrictionSelect, c.friction);
        Param("TSUP", c.tsup);
        Param("TSDO", c.tsdo);
        EXPECT_DOUBLE_EQ(S().StepUp, c.up) << c.throttle << c.friction << c.tsup;
        EXPECT_DOUBLE_EQ(S().StepDown, c.down) << c.throttle << c.friction << c.tsup;
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
    struct Case {
        const char* entry;
        std::vector<double> positions; // right after the entry, then after each tick until rest
    };
    const Case cases[] = {
        {"1", {1}},          // same frame: reached at once, no tick
        {"3", {2.5, 3}},     // frame 1: one step, then the snap
        {"1,3", {1.3, 1.3}}, // frame 1 ahead but the step would pass the target: held there
    };
    for (const Case& c : cases) {
        Restart();
        Enter(c.entry);
        std::vector<double> seen{S().Istwert};
        while (sim->Timer2.Enabled()) {
            clock.Advance(50);
            seen.push_back(S().Istwert);
        }
        EXPECT_EQ(seen, c.positions) << c.entry;
    }
}

// Without supply air a single-acting valve goes to its spring's end and a double-acting one stays.
// Blocking stops a move at 10 % or 90 % and lets the valve leave; beyond the block an automatic target
// short of it holds the valve, while a manual step away from the end is made.
TEST_F(ValveMotion, SupplyAirAndBlockingLimitAutomaticAndManualMoves) {
    const char *closing = "SelfClosingSelect", *opening = "SelfOpeningSelect", *both = "DoubleActingSelect";
    const char *noAir = "NoPreasureSelect", *up = "BlockUpSelect", *down = "BlockDownSelect";
    const bool automatic = false, manual = true;
    struct Case {
        bool manual;
        const char* valve;
        const char* option;
        int start, target;
        double expected;
    };
    const Case cases[] = {{automatic, closing, noAir, 40, 80, 0}, {automatic, opening, noAir, 40, 80, 100},
                          {automatic, both, noAir, 40, 80, 40},   {manual, opening, noAir, 30, 10, 100},
                          {manual, both, noAir, 30, 80, 30},      {automatic, both, up, 50, 95, 90},
                          {automatic, both, down, 50, 5, 10},     {automatic, both, down, 10, 60, 60},
                          {manual, both, up, 50, 100, 90},        {manual, both, up, 90, 60, 60},
                          {manual, both, down, 10, 0, 10},        {manual, both, down, 5, 8, 8},
                          {automatic, both, down, 5, 8, 5},       {manual, both, up, 95, 92, 92},
                          {automatic, both, up, 95, 92, 95}};
    for (const Case& c : cases) {
        Restart();
        Enter(std::to_string(c.start));
        RunToRest();
        sim->UserCheck(*sim->form.Find(c.valve), true);
        sim->UserCheck(*sim->form.Find(c.option), true);
        RunToRest();
        if (c.manual) {
            S().Mode = Mode::Manual;
            S().ManuellTarget = c.target;
            sim->actuator.StartManuellMove();
        } else {
            Enter(std::to_string(c.target));
        }
        RunToRest();
        EXPECT_DOUBLE_EQ(S().Istwert, c.expected)
            << c.manual << " " << c.option << " " << c.start << "->" << c.target;
    }
}

TEST_F(ValveMotion, DirectionChangesAndSwitchingAreCounted) {
    const auto& diag = sim->diagnostics.DiagTable;
    Enter("50"); // opening, as the last direction was: no change
    RunToRest();
    EXPECT_EQ(diag[DiagDirectionChanges].Value, 0);
    EXPECT_EQ(diag[DiagVent1].Value, 21);
    Enter("49"); // closing by 1 % inside the 3.8 % short step zone
    RunToRest();
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
