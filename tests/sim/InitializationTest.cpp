// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/InitFixture.h"

#include <cmath>

using namespace vp7;

using Init = vp7::test::InitFixture;

// The scenario initialization.vp7s reads the info window, travel times and checkpoints of a run; this
// test sees every step of the lower line, the travel of a set stroke range and the language menu.
TEST_F(Init, AFullRunFromTheClosedValve) {
    sim->params.ParamTable[sim->params.YWAYIndex].Value = 3; // a 15 mm stroke
    sim->params.StoreFromTable();
    Start();
    EXPECT_FALSE(sim->form.Sprache1.visible);
    std::vector<std::string> seen;
    for (int i = 0; i < 300 && Lower() != "  FIN5H"; ++i, clock.Advance(1000))
        if (seen.empty() || seen.back() != Lower()) seen.push_back(Lower());
    const std::vector<std::string> expected = {"  RUN 1",    "  RUN 2",    "  RUN 3",    "  d--{1A}U",
                                               "  U--{1A}d", "  d--{1A}U", "  U--{1A}d", "  d--{1A}U",
                                               "  U--{1A}d", "  RUN 4",    "  RUN 5"};
    EXPECT_EQ(seen, expected);
    clock.Advance(10000);
    ExpectDisplay("14.1 ", "  FINSH", "finished: the travel found, waiting for the mode key");
    Click(kModeKey); // what the end leaves is read in initialization.vp7s
    EXPECT_TRUE(sim->form.Sprache1.visible);
}

TEST_F(Init, FromTheOpenValveRunOneWaitsFirst) {
    MoveTo("100");
    Start(false);
    EXPECT_DOUBLE_EQ(I().InitTarget, 92.0);
    // The first tick sets the wait, five ticks wait, the next one ends the wait: the move starts on the 8th.
    clock.Advance(7000);
    EXPECT_DOUBLE_EQ(I().InitTarget, 92.0);
    EXPECT_EQ(S().MoveActive, 0);
    clock.Advance(1000);
    EXPECT_DOUBLE_EQ(I().InitTarget, 8.0);
    EXPECT_EQ(S().MoveActive, 1);
}

// The info window's texts are read in initialization.vp7s; here they follow the language. Missing air
// holds the sequencer as the pause does: the off half of extended-init-supply.vp7s.
TEST_F(Init, PauseHoldsTheSequencerButNotTheMove) {
    S().Language = Language::German;
    Start();
    EXPECT_EQ(sim->form.initInfo.runErrorLabel, "Fehler");
    NextTick(100); // RUN 1 is moving up to 18.0
    ASSERT_EQ(S().MoveActive, 1);
    I().RunPauseButtonClick();
    EXPECT_EQ(sim->form.initInfo.pauseCaption, "Weiter");
    clock.Advance(5000);
    EXPECT_EQ(S().MoveActive, 0) << "the move finishes";
    EXPECT_DOUBLE_EQ(I().InitPosition, 18.0);
    EXPECT_DOUBLE_EQ(I().InitTarget, 18.0) << "the next step waits";
    I().RunPauseButtonClick();
    clock.Advance(1000);
    EXPECT_DOUBLE_EQ(I().InitTarget, 8.0);
}

// The soak test found the motion tick left running after an initialization ended in the middle of a move.
TEST_F(Init, TheModeKeyEndsItAtOnceWithThePositionTakenOver) {
    Start();
    NextTick(50); // RUN 1 on its way up to 18.0
    ASSERT_EQ(S().MoveActive, 1);
    Click(kModeKey);
    EXPECT_EQ(S().InitRunning, 0);
    EXPECT_EQ(S().Mode, Mode::Configuration);
    EXPECT_DOUBLE_EQ(S().Istwert, (18.0 - 8.0) / 0.84);
    EXPECT_DOUBLE_EQ(S().ManuellTarget, S().Istwert);
    EXPECT_FALSE(sim->Timer2.Enabled()) << "no motion tick left running in the configuration";
    EXPECT_EQ(S().CurrentFrame, static_cast<int>(std::nearbyint(0.4 * S().Istwert)));
    EXPECT_EQ(sim->image1.Pixel(330, 500), sim->sprites.Kolben(S().CurrentFrame).Pixel(10, 6));
}
