#include "support/SimFixture.h"

#include "platform/SpriteSet.h"

using namespace vp7;
using OperatingDisplay = vp7::test::SimFixture;

// A setpoint run as it shows on both lines is the scenario display.vp7s; these are the formats.
TEST_F(OperatingDisplay, LowerLineShowsModeAndSetpoint) {
    constexpr Mode kAuto = Mode::Automatic, kManual = Mode::Manual;
    // Mode, forced mode, setpoint; the lower line.
    const std::tuple<Mode, uint8_t, double, const char*> cases[] = {
        {kAuto, 0, 100, "  AU100"},  {kAuto, 0, 0.4, "  AUT 0"}, {kAuto, 0, 130, "  AU100"},
        {kManual, 0, 7, "  MAN 7"},  {kAuto, 0, -4, "  AUT 0"},  {kManual, 0, 100, "  MA100"},
        {kManual, 1, 50, "  MAN50"}, // a forced mode shows in automatic only (the EX texts: MonitoringTest)
    };
    for (const auto& [mode, binMode, setpoint, lower] : cases) {
        SCOPED_TRACE(setpoint);
        S().Mode = mode;
        S().BinMode = binMode;
        sim->displays.SollwertAnzeige(setpoint);
        EXPECT_EQ(Lower(), lower);
    }
}

TEST_F(OperatingDisplay, UpperLineShowsThePositionNormalisedAndLimited) {
    // YNRM, the position; the line and the value shown. Short numbers and the falling direction are read
    // in display.vp7s.
    const std::tuple<uint8_t, double, const char*, double> cases[] = {
        {0, 100, " 100.0 ", 100},    {0, -2.5, "  -2.5 ", -2.5},   {1, 1200, " 999.9 ", 999.9},
        {1, -150, " -99.9 ", -99.9}, {0, 37.44, "  37.4 ", 37.44},
    };
    for (const auto& [ynrm, position, upper, shown] : cases) {
        SCOPED_TRACE(position);
        sim->params.store.YNRM = ynrm;
        sim->displays.IstwertAnzeige(position);
        EXPECT_EQ(ReadLcd(sim->image1).upper, upper);
        EXPECT_DOUBLE_EQ(sim->displays.IstwertShown, shown);
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
