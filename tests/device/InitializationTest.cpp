#include "support/SimFixture.h"

#include "device/LcdReadBack.h"

#include <cmath>

using namespace vp7;

namespace {

struct Init : vp7::test::SimFixture {
    // From automatic mode: 5 s on the mode key into the configuration, then 5 s on the increase key
    // over INITA or INITM.
    void Start(bool automatic = true) {
        Down(kModeKey);
        clock.Advance(5000);
        Up(kModeKey);
        sim->configMenu.CurrentParam = automatic ? sim->params.INITAIndex : sim->params.INITMIndex;
        sim->configMenu.Run(KeyCode::Neutral, 1);
        Down(kIncKey);
        for (int t = 0; t < 60 && !S().InitRunning && !S().InitStepRunning; ++t) clock.Advance(100);
        Up(kIncKey);
        ASSERT_TRUE(automatic ? S().InitRunning : S().InitStepRunning);
        ASSERT_EQ(I().RunStep[0], 0) << "stopped before the first sequencer tick";
    }
    Initialization& I() { return sim->initialization; }
    std::string Lower() { return ReadLcd(sim->image1).lower; }
    // The lower line once a second until it shows "FINSH", each change recorded once.
    std::vector<std::string> RunToTheEnd(int limit = 300) {
        std::vector<std::string> seen;
        for (int i = 0; i < limit && Lower() != "  FIN5H"; ++i) {
            if (seen.empty() || seen.back() != Lower()) seen.push_back(Lower());
            clock.Advance(1000);
        }
        seen.push_back(Lower());
        return seen;
    }
};

} // namespace

TEST_F(Init, AFullRunFromTheClosedValve) {
    Start();
    EXPECT_DOUBLE_EQ(I().InitTarget, 8.0);
    EXPECT_FALSE(sim->form.Sprache1.visible);
    EXPECT_TRUE(sim->form.initInfo.visible);
    clock.Advance(1000 - (clock.NowMs() - 100) % 1000); // the next sequencer tick
    EXPECT_DOUBLE_EQ(I().InitTarget, 18.0) << "RUN 1 first moves up by 10.0";
    const std::vector<std::string> lower = RunToTheEnd();
    const std::vector<std::string> expected = {"  RUN 1",    "  RUN 2",    "  RUN 3",    "  d--{1A}U", "  U--{1A}d",
                                               "  d--{1A}U", "  U--{1A}d", "  d--{1A}U", "  U--{1A}d", "  RUN 4",
                                               "  RUN 5",    "  FIN5H"};
    EXPECT_EQ(lower, expected);
    EXPECT_EQ(sim->form.initInfo.currentRunText, "Finished");
    EXPECT_EQ(sim->form.initInfo.runLines, std::vector<std::string>{"Initialization finished"});
    // A stroke of 84 % at 2.1 % a tick takes 2 s of motion: measured as 2 s on the sequencer.
    EXPECT_NEAR(I().TravelTimeDown, 2 * 10.0 / 9.0, 1e-9);
    EXPECT_NEAR(I().TravelTimeUp, 2 * 1.25, 1e-9);
    clock.Advance(10000);
    EXPECT_EQ(Lower(), "  FIN5H") << "finished: it waits for the mode key";
    Click(kModeKey);
    EXPECT_EQ(S().InitRunning, 0);
    EXPECT_FALSE(sim->form.initInfo.visible);
    EXPECT_TRUE(sim->form.Sprache1.visible);
    EXPECT_DOUBLE_EQ(S().Istwert, (I().InitTarget - 8.0) / 0.84);
    EXPECT_EQ(Lower(), " 4INITA");
}

TEST_F(Init, FromTheOpenValveRunOneWaitsFirst) {
    Enter("100");
    RunToRest();
    Start(false);
    EXPECT_DOUBLE_EQ(I().InitTarget, 92.0);
    // The first tick sets the wait, five ticks wait, the next one ends the wait: the move starts on the 8th.
    for (int tick = 0; tick < 7; ++tick) {
        clock.Advance(1000);
        EXPECT_DOUBLE_EQ(I().InitTarget, 92.0) << tick;
        EXPECT_EQ(S().MoveActive, 0);
    }
    clock.Advance(1000);
    EXPECT_DOUBLE_EQ(I().InitTarget, 8.0);
    EXPECT_EQ(S().MoveActive, 1);
}

TEST_F(Init, PauseAndMissingAirHoldTheSequencerButNotTheMove) {
    Start();
    clock.Advance(1000 - (clock.NowMs() - 100) % 1000 + 100); // RUN 1 is moving up to 18.0
    ASSERT_EQ(S().MoveActive, 1);
    I().RunPauseButtonClick();
    EXPECT_EQ(sim->form.initInfo.pauseCaption, "Continue");
    clock.Advance(5000);
    EXPECT_EQ(S().MoveActive, 0) << "the move finishes";
    EXPECT_DOUBLE_EQ(I().InitPosition, 18.0);
    EXPECT_DOUBLE_EQ(I().InitTarget, 18.0) << "the next step waits";
    I().RunPauseButtonClick();
    EXPECT_EQ(sim->form.initInfo.pauseCaption, "Pause");
    clock.Advance(1000);
    EXPECT_DOUBLE_EQ(I().InitTarget, 8.0);
    sim->UserCheck(sim->form.NoPreasureSelect, true);
    clock.Advance(5000);
    EXPECT_EQ(I().InitRun, 0) << "no supply air holds it too";
    sim->UserCheck(sim->form.NoPreasureSelect, false);
    clock.Advance(2000);
    EXPECT_EQ(I().InitRun, 1);
}

TEST_F(Init, TheModeKeyEndsItAtOnceWithThePositionConvertedBack) {
    Start();
    while (I().InitRun < 2) clock.Advance(1000);
    clock.Advance(1000);
    const double target = I().InitTarget;
    Click(kModeKey);
    EXPECT_EQ(S().InitRunning, 0);
    EXPECT_DOUBLE_EQ(S().Istwert, (target - 8.0) / 0.84);
    EXPECT_DOUBLE_EQ(S().ManuellTarget, S().Istwert);
    EXPECT_EQ(S().Mode, Mode::Configuration);
}

TEST_F(Init, InfoWindowTextsFollowTheLanguage) {
    S().Language = Language::English;
    Start();
    while (I().InitRun < 1) clock.Advance(1000);
    EXPECT_EQ(sim->form.initInfo.currentRunText, "RUN 2");
    EXPECT_EQ(sim->form.initInfo.runLines,
              (std::vector<std::string>{"Checking of travel and adjustment of zero", "and stroke (from stop to stop)", ""}));
    Click(kModeKey);
    S().Language = Language::German;
    Down(kIncKey);
    clock.Advance(5000);
    Up(kIncKey);
    EXPECT_EQ(sim->form.initInfo.runErrorLabel, "Fehler");
    while (I().InitRun < 2) clock.Advance(1000);
    EXPECT_EQ(sim->form.initInfo.runLines,
              (std::vector<std::string>{"Ermittlung und Anzeige der Stellzeiten", "down (dxx.x), up (Uxx.x)",
                                        "Stop mit \"-\" Taste", "Leckage-Messung mit \"+\" Taste"}));
    I().RunPauseButtonClick();
    EXPECT_EQ(sim->form.initInfo.pauseCaption, "Weiter");
    EXPECT_TRUE(sim->form.initInfo.errorText.empty() && sim->form.initInfo.measureText.empty());
}

TEST_F(Init, TheDeterminedTravelIsShownAtTheEnd) {
    sim->params.ParamTable[sim->params.YWAYIndex].Value = 3; // a 15 mm stroke
    sim->params.StoreFromTable();
    Start();
    RunToTheEnd();
    ExpectDisplay("14.1 ", "  FINSH", "the travel of a 15 mm stroke");
}

TEST_F(Init, EndingDuringAMoveLeavesThePistonWhereThePositionIs) {
    Start();
    clock.Advance(1000 - (clock.NowMs() - 100) % 1000 + 50); // RUN 1 on its way up to 18.0
    ASSERT_EQ(S().MoveActive, 1);
    Click(kModeKey);
    EXPECT_DOUBLE_EQ(S().Istwert, (18.0 - 8.0) / 0.84);
    EXPECT_FALSE(sim->Timer2.Enabled()) << "no motion tick left running in the configuration";
    EXPECT_EQ(S().CurrentFrame, static_cast<int>(std::nearbyint(0.4 * S().Istwert)));
    EXPECT_EQ(sim->image1.Pixel(330, 500), sim->sprites.Kolben(S().CurrentFrame).Pixel(10, 6));
}
