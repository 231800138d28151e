// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SimFixture.h"

#include "sim/motion/Controller.h"

#include <tuple>

using namespace vp7;
using ControllerRun = vp7::test::SimFixture;

// An entry in % or mA becomes the setpoint, limited to 0..100 %; a split range (SPRE: its end) and the
// falling direction (SDIR) then map it onto the controller's range.
TEST_F(ControllerRun, EntriesAreConvertedLimitedAndMappedOntoTheControllerRange) {
    // The unit (0 %, 1 mA), SCUR (1: 4-20 mA, 0: 0-20 mA), SPRE (tenths of %), SDIR (1: falling) and the
    // text; the setpoint, the controller's setpoint and the text shown after.
    // clang-format off
    const std::tuple<int, int, int, int, const char*, double, double, const char*> cases[] = {
        {0, 1, 1000, 0, "50,5", 50.5, 50.5, "50,5"}, {0, 1, 1000, 0, " 12 ", 12, 12, " 12 "},
        {1, 1, 1000, 0, "4", 0, 0, "4"},             {1, 0, 1000, 0, "5", 25, 25, "5"},
        {0, 1, 1000, 0, "120", 100, 100, "100.0"},   {0, 1, 1000, 0, "-5", 0, 0, "0.0"},
        {1, 1, 1000, 0, "25", 100, 100, "20.0"},     {1, 0, 1000, 0, "-1", 0, 0, "0.0"},
        {0, 1, 500, 0, "25", 25, 50, "25"},          {0, 1, 500, 0, "75", 75, 100, "75"},
        {0, 1, 500, 1, "25", 25, 50, "25"},          {0, 1, 500, 1, "10", 10, 80, "10"}};
    // clang-format on
    for (const auto& [unit, scur, spre, sdir, text, sollwert, regler, shownAfter] : cases) {
        SCOPED_TRACE(testing::Message()
                     << text << " unit " << unit << " SCUR " << scur << " SPRE " << spre << " SDIR " << sdir);
        Restart();
        Param("SCUR", scur);
        Param("SPRE", spre);
        Param("SDIR", sdir);
        sim->UserSelect(sim->form.SetpointDimSelect, unit);
        Enter(text);
        EXPECT_DOUBLE_EQ(S().Sollwert, sollwert);
        EXPECT_DOUBLE_EQ(S().ReglerSollwert, regler);
        EXPECT_EQ(sim->form.SetPointText.text, shownAfter);
    }
    EXPECT_TRUE(host.Messages().empty());
}

// Which texts are numbers is the reader's table; here a refused text must leave everything as it was.
TEST_F(ControllerRun, ATextThatIsNoNumberIsRefusedAndChangesNothing) {
    MoveTo("40");
    Enter("abc");
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(LastMessage(), "Setpoint is incorrect");
    EXPECT_EQ(host.Messages().back().type, MsgType::Error);
    EXPECT_DOUBLE_EQ(S().Sollwert, 40);
    EXPECT_FALSE(sim->Timer2.Enabled());
    EXPECT_DOUBLE_EQ(S().Istwert, 40);
}

TEST_F(ControllerRun, DeadBandDecidesHowFarShortTheValveStops) {
    // DEBA in tenths; how far short the valve stops at least and at most.
    for (const auto& [deba, minShort, maxShort] :
         {std::tuple{1, 0.0, 0.0}, {10, 0.5, 1.0}, {3, 0.0, 0.3}, {0, 0.0, 0.0}}) {
        for (int run = 0; run < 5; ++run) {
            Restart();
            sim->random.seed(run * 7919 + 1);
            Param("DEBA", deba);
            MoveTo("50");
            EXPECT_GE(50 - S().Istwert, minShort) << deba;
            EXPECT_LE(50 - S().Istwert, maxShort) << deba;
        }
    }
    // Inside the band a new entry leaves the valve where it is.
    Param("DEBA", 10);
    MoveTo("50");
    const double rest = S().Istwert;
    Enter("50,4");
    EXPECT_FALSE(sim->Timer2.Enabled());
    EXPECT_DOUBLE_EQ(S().Istwert, rest);
}

// Tight closing (YCLS 2) and tight opening (YCLS 1) hold the valve at its end past their limits, with
// 1 % hysteresis, alone or together (3); the markers on both sides show which one holds.
TEST_F(ControllerRun, TightClosingAndOpeningHoldTheEndsWithHysteresis) {
    Param("YCDO", 20);  // 2.0 %: shut at or below, free again above 3.0 %
    Param("YCUP", 980); // 98.0 %: open at or above, free again below 97.0 %
    MoveTo("30");
    // YCLS and the entry; the position and which hold is on.
    const std::tuple<int, const char*, double, bool, bool> steps[] = {
        {2, "1,5", 0, false, true},      {2, "3", 0, false, true},      {2, "3,5", 3.5, false, false},
        {2, "1", 0, false, true},        {1, "98,5", 100, true, false}, {1, "97", 100, true, false},
        {1, "96,5", 96.5, false, false}, {1, "1", 1, false, false},     {3, "1", 0, false, true},
        {3, "99", 100, true, false},     {3, "50", 50, false, false},   {3, "2", 0, false, true},
    };
    for (const auto& [ycls, entry, position, open, closed] : steps) {
        SCOPED_TRACE(testing::Message() << ycls << " " << entry);
        Param("YCLS", ycls);
        MoveTo(entry);
        EXPECT_DOUBLE_EQ(S().Istwert, position);
        EXPECT_EQ(sim->controller.TightOpenActive != 0, open);
        EXPECT_EQ(sim->controller.TightCloseActive != 0, closed);
        const Rgb upper = SpriteSet::FlatColor(open ? SpriteId::DichtAuf : SpriteId::DichtBlank);
        const Rgb lower = SpriteSet::FlatColor(closed ? SpriteId::DichtZu : SpriteId::DichtBlank);
        for (int x : {292, 493}) {
            EXPECT_EQ(sim->image1.Pixel(x, 526), upper) << " at " << x;
            EXPECT_EQ(sim->image1.Pixel(x, 659), lower) << " at " << x;
        }
    }
}

TEST_F(ControllerRun, BinaryInputModesForceOrFreezeTheValve) {
    Param("YA", 100);
    Param("YE", 900);
    MoveTo("50");
    const double middle = S().Istwert;
    // The forced mode, the entry; where the valve goes.
    for (const auto& [binMode, entry, expected] :
         {std::tuple{3, "90", middle}, {1, "10", 90.0}, {2, "90", 10.0}, {0, "50", middle}}) {
        S().BinMode = static_cast<uint8_t>(binMode);
        MoveTo(entry);
        EXPECT_NEAR(S().Istwert, expected, 1e-9) << binMode;
    }
}

// Inside a split range of 0..2 % at the slowest step the ramp turns at both ends, holding each once.
TEST_F(ControllerRun, RampRunsBackAndForthWithinTheSplitRange) {
    Param("SPRE", 20);
    MoveTo("1");
    sim->UserSelect(sim->form.SetpointRampSelect, 3);
    sim->controller.SetpointRampButtonClick();
    std::vector<std::string> shown;
    for (int step = 0; step < 7; ++step) {
        clock.Advance(10000);
        RunToRest();
        shown.push_back(sim->form.SetPointText.text);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"2.0", "2.0", "1.0", "0.0", "0.0", "1.0", "2.0"}));
    sim->controller.SetpointRampButtonClick();
    EXPECT_FALSE(sim->SetpointRampTimer.Enabled());
}

TEST_F(ControllerRun, UnitSwitchRewritesTheEntryWithoutMovingTheValve) {
    MoveTo("50");
    sim->UserSelect(sim->form.SetpointDimSelect, 1);
    EXPECT_EQ(sim->form.SetPointText.text, "12.000");
    EXPECT_FALSE(sim->Timer2.Enabled());
    sim->UserSelect(sim->form.SetpointDimSelect, 0);
    EXPECT_EQ(sim->form.SetPointText.text, "50.0");
}
