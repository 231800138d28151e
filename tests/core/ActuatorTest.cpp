#include "support/SimFixture.h"

#include "platform/SpriteSet.h"

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
        {0, false, 0, 0, 2.5, 2.5},      {0, true, 0, 0, 0.5, 0.5},       {1, false, 0, 0, 2.0, 2.0},
        {2, false, 0, 0, 1.0, 1.0},      {3, false, 0, 0, 0.5, 0.5},      {3, true, 0, 0, 0.1, 0.1},
        {0, false, 10, 3, 0.625, 6250.0 / 3000}, {0, false, -120, 3, 2.5, 2.5}, {2, true, 10, 0, 0.2, 0.2},
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
    EXPECT_DOUBLE_EQ(S().Istwert, 2.5);
    EXPECT_EQ(S().CurrentFrame, 1);
    for (int tick = 0; tick < 38; ++tick) clock.Advance(50);
    EXPECT_EQ(S().CurrentFrame, 39);
    EXPECT_EQ(sim->diagnostics.DiagTable[DiagStrokes].Value, 0);
    clock.Advance(50); // the 40th step
    EXPECT_EQ(S().CurrentFrame, 40);
    EXPECT_DOUBLE_EQ(S().Istwert, 100);
    EXPECT_EQ(sim->diagnostics.DiagTable[DiagStrokes].Value, 1);
    EXPECT_TRUE(sim->Timer2.Enabled());
    clock.Advance(50); // arrival
    EXPECT_FALSE(sim->Timer2.Enabled());
    EXPECT_EQ(S().MoveActive, 0);
    EXPECT_EQ(sim->image1.Pixel(330, 500), SpriteSet::FlatColor(KolbenFrame(40)));
}

TEST_F(ValveMotion, TargetsInsideAFrameAreReachedWithoutShowingOvershoot) {
    struct Case {
        const char* entry;
        std::vector<double> positions; // right after the entry, then after each tick until rest
    };
    const Case cases[] = {
        {"1", {1}},            // same frame: reached at once, no tick
        {"3", {2.5, 3}},       // frame 1: one step, then the snap
        {"1,3", {1.3, 1.3}},   // frame 1 ahead but the step would pass the target: held there
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

TEST_F(ValveMotion, ManualMovesObeySupplyAirAndBlocking) {
    struct Case {
        const char* option;
        const char* valve;
        double start, target, expected;
    };
    const Case cases[] = {
        {"NoPreasureSelect", "SelfOpeningSelect", 30, 10, 100},
        {"NoPreasureSelect", "SelfClosingSelect", 30, 80, 0},
        {"NoPreasureSelect", "DoubleActingSelect", 30, 80, 30},
        {"BlockDownSelect", "DoubleActingSelect", 50, 0, 10},
        {"BlockDownSelect", "DoubleActingSelect", 10, 0, 10},
        {"BlockDownSelect", "DoubleActingSelect", 10, 40, 40},
        {"BlockUpSelect", "DoubleActingSelect", 50, 100, 90},
        {"BlockUpSelect", "DoubleActingSelect", 90, 95, 90},
        {"BlockUpSelect", "DoubleActingSelect", 90, 60, 60},
    };
    for (const Case& c : cases) {
        Restart();
        Enter(std::to_string(static_cast<int>(c.start)));
        RunToRest();
        S().Mode = Mode::Manual;
        sim->UserCheck(*sim->form.Find(c.valve), true);
        sim->UserCheck(*sim->form.Find(c.option), true);
        RunToRest();
        S().ManuellTarget = c.target;
        sim->actuator.StartManuellMove();
        RunToRest();
        EXPECT_DOUBLE_EQ(S().Istwert, c.expected) << c.option << " " << c.start << "->" << c.target;
    }
}

TEST_F(ValveMotion, BlockingActsOnAutomaticTargetsToo) {
    sim->UserCheck(sim->form.BlockDownSelect, true);
    sim->UserCheck(sim->form.BlockUpSelect, true);
    struct Step {
        const char* entry;
        double expected;
    };
    for (const Step s : {Step{"95", 90}, Step{"50", 50}, Step{"5", 10}, Step{"60", 60}}) {
        Enter(s.entry);
        RunToRest();
        EXPECT_DOUBLE_EQ(S().Istwert, s.expected) << s.entry;
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
