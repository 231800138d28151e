// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SimFixture.h"

#include "model/SpriteSet.h"
#include "sim/motion/Controller.h"

using namespace vp7;
using ControllerRun = vp7::test::SimFixture;

// An entry in % or mA becomes the setpoint, limited to 0..100 %; a split range (SPRE: its end) and the
// falling direction (SDIR) then map it onto the controller's range.
TEST_F(ControllerRun, EntriesAreConvertedLimitedAndMappedOntoTheControllerRange) {
    struct Case {
        int unit;       // SetpointDimSelect: 0 %, 1 mA
        int scur;       // 1: 4-20 mA, 0: 0-20 mA
        int spre, sdir; // tenths of %; 1: falling
        const char* text;
        double sollwert, regler;
        const char* shownAfter;
    };
    // clang-format off
    const Case cases[] = {
        {0, 1, 1000, 0, "50,5", 50.5, 50.5, "50,5"}, {0, 1, 1000, 0, " 12 ", 12, 12, " 12 "},
        {1, 1, 1000, 0, "4", 0, 0, "4"},             {1, 0, 1000, 0, "5", 25, 25, "5"},
        {0, 1, 1000, 0, "120", 100, 100, "100.0"},   {0, 1, 1000, 0, "-5", 0, 0, "0.0"},
        {1, 1, 1000, 0, "25", 100, 100, "20.0"},     {1, 0, 1000, 0, "-1", 0, 0, "0.0"},
        {0, 1, 500, 0, "25", 25, 50, "25"},          {0, 1, 500, 0, "75", 75, 100, "75"},
        {0, 1, 500, 1, "25", 25, 50, "25"},          {0, 1, 500, 1, "10", 10, 80, "10"}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " unit " << c.unit << " SCUR " << c.scur << " SPRE "
                                        << c.spre << " SDIR " << c.sdir);
        Restart();
        Param("SCUR", c.scur);
        Param("SPRE", c.spre);
        Param("SDIR", c.sdir);
        sim->UserSelect(sim->form.SetpointDimSelect, c.unit);
        Enter(c.text);
        EXPECT_DOUBLE_EQ(S().Sollwert, c.sollwert);
        EXPECT_DOUBLE_EQ(S().ReglerSollwert, c.regler);
        EXPECT_EQ(sim->form.SetPointText.text, c.shownAfter);
    }
    EXPECT_TRUE(host.Messages().empty());
}

// Which texts are numbers is the reader's table; here a refused text must leave everything as it was.
TEST_F(ControllerRun, ATextThatIsNoNumberIsRefusedAndChangesNothing) {
    Enter("40");
    RunToRest();
    Enter("abc");
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(LastMessage(), "Setpoint is incorrect");
    EXPECT_EQ(host.Messages().back().type, MsgType::Error);
    EXPECT_DOUBLE_EQ(S().Sollwert, 40);
    EXPECT_FALSE(sim->Timer2.Enabled());
    EXPECT_DOUBLE_EQ(S().Istwert, 40);
}

TEST_F(ControllerRun, DeadBandDecidesHowFarShortTheValveStops) {
    struct Case {
        int deba; // tenths
        double minShort, maxShort;
    };
    for (const Case c : {Case{1, 0, 0}, Case{10, 0.5, 1.0}, Case{3, 0, 0.3}, Case{0, 0, 0}}) {
        for (int run = 0; run < 5; ++run) {
            Restart();
            sim->random.seed(run * 7919 + 1);
            Param("DEBA", c.deba);
            Enter("50");
            RunToRest();
            const double shortBy = 50 - S().Istwert;
            EXPECT_GE(shortBy, c.minShort) << c.deba;
            EXPECT_LE(shortBy, c.maxShort) << c.deba;
        }
    }
    // Inside the band a new entry leaves the valve where it is.
    Param("DEBA", 10);
    Enter("50");
    RunToRest();
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
    Enter("30");
    RunToRest();
    struct Step {
        int ycls;
        const char* entry;
        double position;
        bool open, closed;
    };
    const Step steps[] = {
        {2, "1,5", 0, false, true},      {2, "3", 0, false, true},      {2, "3,5", 3.5, false, false},
        {2, "1", 0, false, true},        {1, "98,5", 100, true, false}, {1, "97", 100, true, false},
        {1, "96,5", 96.5, false, false}, {1, "1", 1, false, false},     {3, "1", 0, false, true},
        {3, "99", 100, true, false},     {3, "50", 50, false, false},   {3, "2", 0, false, true},
    };
    for (const Step& s : steps) {
        Param("YCLS", s.ycls);
        Enter(s.entry);
        RunToRest();
        EXPECT_DOUBLE_EQ(S().Istwert, s.position) << s.ycls << " " << s.entry;
        EXPECT_EQ(sim->controller.TightOpenActive != 0, s.open) << s.ycls << " " << s.entry;
        EXPECT_EQ(sim->controller.TightCloseActive != 0, s.closed) << s.ycls << " " << s.entry;
        const Rgb upper = SpriteSet::FlatColor(s.open ? SpriteId::DichtAuf : SpriteId::DichtBlank);
        const Rgb lower = SpriteSet::FlatColor(s.closed ? SpriteId::DichtZu : SpriteId::DichtBlank);
        for (int x : {292, 493}) {
            EXPECT_EQ(sim->image1.Pixel(x, 526), upper) << s.ycls << " " << s.entry << " at " << x;
            EXPECT_EQ(sim->image1.Pixel(x, 659), lower) << s.ycls << " " << s.entry << " at " << x;
        }
    }
}

TEST_F(ControllerRun, BinaryInputModesForceOrFreezeTheValve) {
    Param("YA", 100);
    Param("YE", 900);
    Enter("50");
    RunToRest();
    const double middle = S().Istwert;
    struct Case {
        uint8_t binMode;
        const char* entry;
        double expected;
    };
    for (const Case c :
         {Case{3, "90", middle}, Case{1, "10", 90}, Case{2, "90", 10}, Case{0, "50", middle}}) {
        S().BinMode = c.binMode;
        Enter(c.entry);
        RunToRest();
        EXPECT_NEAR(S().Istwert, c.expected, 1e-9) << int(c.binMode);
    }
}

// Inside a split range of 0..2 % at the slowest step the ramp turns at both ends, holding each once.
TEST_F(ControllerRun, RampRunsBackAndForthWithinTheSplitRange) {
    Param("SPRE", 20);
    Enter("1");
    RunToRest();
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
    Enter("50");
    RunToRest();
    sim->UserSelect(sim->form.SetpointDimSelect, 1);
    EXPECT_EQ(sim->form.SetPointText.text, "12.000");
    EXPECT_FALSE(sim->Timer2.Enabled());
    sim->UserSelect(sim->form.SetpointDimSelect, 0);
    EXPECT_EQ(sim->form.SetPointText.text, "50.0");
}
