#include "support/SimFixture.h"

#include "device/LcdReadBack.h"
#include "platform/SpriteSet.h"

using namespace vp7;
using OperatingDisplay = vp7::test::SimFixture;

// A setpoint run as it shows on both lines is the scenario display.vp7s; these are the formats.
TEST_F(OperatingDisplay, LowerLineShowsModeAndSetpoint) {
    struct Case {
        Mode mode;
        uint8_t binMode;
        double setpoint;
        const char* lower;
    };
    constexpr Mode kAuto = Mode::Automatic, kManual = Mode::Manual;
    const Case cases[] = {
        {kAuto, 0, 37.4, "  AUT37"},  {kAuto, 0, 100, "  AU100"},
        {kAuto, 0, 0.4, "  AUT 0"},   {kAuto, 0, 130, "  AU100"},
        {kManual, 0, 7, "  MAN 7"},   {kManual, 0, 50, "  MAN50"},
        {kManual, 0, 100, "  MA100"}, {kAuto, 0, -4, "  AUT 0"},
        {kManual, 1, 50, "  MAN50"}, // a forced mode shows in automatic only (the EX texts: MonitoringTest)
    };
    for (const Case& c : cases) {
        S().Mode = c.mode;
        S().BinMode = c.binMode;
        sim->displays.SollwertAnzeige(c.setpoint);
        EXPECT_EQ(ReadLcd(sim->image1).lower, c.lower)
            << int(c.mode) << " " << int(c.binMode) << " " << c.setpoint;
    }
}

TEST_F(OperatingDisplay, UpperLineShowsThePositionNormalisedAndLimited) {
    struct Case {
        int ynrm;
        double position;
        const char* upper;
        double shown;
    };
    const Case cases[] = {
        // Short numbers and the falling direction are read in display.vp7s.
        {0, 100, " 100.0 ", 100},    {0, -2.5, "  -2.5 ", -2.5},   {1, 1200, " 999.9 ", 999.9},
        {1, -150, " -99.9 ", -99.9}, {0, 37.44, "  37.4 ", 37.44},
    };
    for (const Case& c : cases) {
        sim->params.store.YNRM = static_cast<uint8_t>(c.ynrm);
        sim->displays.IstwertAnzeige(c.position);
        EXPECT_EQ(ReadLcd(sim->image1).upper, c.upper) << c.position;
        EXPECT_DOUBLE_EQ(sim->displays.IstwertShown, c.shown) << c.position;
    }
}

TEST_F(OperatingDisplay, DiagnosticModeOwnsTheDisplay) {
    sim->lcd.LCDWrite("RESET", 0);
    sim->lcd.LCDWrite("1STRK", 3);
    const LcdReading before = ReadLcd(sim->image1);
    S().DiagnosticMode = 1;
    sim->UserCheck(sim->form.StromModulSelect, true);
    sim->displays.IstwertAnzeige(50);
    sim->displays.SollwertAnzeige(50);
    EXPECT_EQ(ReadLcd(sim->image1).upper, before.upper);
    EXPECT_EQ(ReadLcd(sim->image1).lower, "  15TRK");
    EXPECT_DOUBLE_EQ(sim->displays.IstwertShown, 50);
    const layout::Point module = layout::FeedbackModulePlace;
    EXPECT_EQ(sim->image1.Pixel(module.x + layout::FeedbackDigitX[0], module.y + layout::FeedbackDigitY),
              SpriteSet::FlatColor(StromDigit(1)))
        << "the module still follows";
}

TEST_F(OperatingDisplay, FeedbackModuleShowsTheCurrentOnlyWhenFitted) {
    const auto digits = [&] {
        std::string s;
        const layout::Point module = layout::FeedbackModulePlace;
        for (int x : layout::FeedbackDigitX) {
            const Rgb c = sim->image1.Pixel(module.x + x, module.y + layout::FeedbackDigitY);
            s += c == SpriteSet::FlatColor(SpriteId::StromBlank) ? ' ' : '?';
            for (int d = 0; d < 10; ++d)
                if (c == SpriteSet::FlatColor(StromDigit(d))) s.back() = static_cast<char>('0' + d);
        }
        return s;
    };
    EXPECT_EQ(sim->image1.Pixel(10, 250), SpriteSet::FlatColor(SpriteId::StromModulBlack));
    sim->UserCheck(sim->form.StromModulSelect, true);
    EXPECT_EQ(sim->image1.Pixel(10, 250), SpriteSet::FlatColor(SpriteId::StromModul));
    const std::pair<double, const char*> cases[] = {{-3, " 4000"},  {0, " 4000"},   {50, "12000"},
                                                    {100, "20000"}, {104, "20000"}, {37.5, "10000"}};
    for (const auto& [position, shown] : cases) {
        sim->frontPanel.DrawFeedbackDigits(position);
        EXPECT_EQ(digits(), shown) << position;
    }
    sim->UserCheck(sim->form.StromModulSelect, false);
    EXPECT_EQ(sim->image1.Pixel(8 + 26, 276), SpriteSet::FlatColor(SpriteId::StromModulBlack));
    sim->frontPanel.DrawFeedbackDigits(50); // not fitted: nothing is drawn
    EXPECT_EQ(sim->image1.Pixel(8 + 26, 276), SpriteSet::FlatColor(SpriteId::StromModulBlack));
}
