// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SimFixture.h"

#include "sim/diagnosis/Diagnostics.h"
#include "sim/display/FrontPanel.h"
#include "sim/display/OperatingDisplays.h"

#include <functional>

using namespace vp7;
namespace {

constexpr int kX = layout::LcdArea.left, kY = layout::LcdArea.top; // display origin

struct Display : vp7::test::SimFixture {
    // The feedback module's digits as drawn: a blank is ' ', anything but a digit '?'.
    std::string Digits() const {
        std::string s;
        const layout::Point module = layout::FeedbackModulePlace;
        for (int x : layout::FeedbackDigitX) {
            const Rgb c = sim->image1.Pixel(module.x + x, module.y + layout::FeedbackDigitY);
            s += c == SpriteSet::FlatColor(SpriteId::StromBlank) ? ' ' : '?';
            for (int d = 0; d < 10; ++d)
                if (c == SpriteSet::FlatColor(StromDigit(d))) s.back() = static_cast<char>('0' + d);
        }
        return s;
    }
};

} // namespace

TEST_F(Display, FieldTextsReadBackAsTheyAreLit) {
    // Text and field; the two lines read back. Each case starts from the display as the start-up left
    // it: "   0.0 " over "  AUT 0"; display.vp7s writes to fields 0 to 2 as well.
    const std::tuple<const char*, int, const char*, const char*> cases[] = {
        {"1234567", 0, " 23456", "  AUT 0"}, // too long: the first six, and position 0 is a minus or blank
        {"-23456", 0, "-23456", "  AUT 0"},
        {"1.2.3", 0, "  1.2.3", "  AUT 0"}, // only the last separator is the decimal point
        {"12,34", 0, "  12.34", "  AUT 0"},
        {"", 0, "      ", "  AUT 0"},
        {"A°B", 3, "   0.0 ", "    A B"},        // the degree sign is one blank position
        {"\x80\xff", 3, "   0.0 ", "       "},   // bytes beyond 127 show blank
        {"\032ABC", 3, "   0.0 ", "   {1A}ABC"}, // the arrow head of the direction texts
        {"88", 4, "   0.0 ", "  AUT 0"},         // no such field: nothing changes
        {"88", -1, "   0.0 ", "  AUT 0"},
    };
    for (const auto& [text, field, upper, lower] : cases) {
        SCOPED_TRACE(std::string(text) + " in field " + std::to_string(field));
        Restart();
        sim->lcd.LCDWrite(text, field);
        const LcdReading r = ReadLcd(sim->image1);
        EXPECT_EQ(r.upper, upper);
        EXPECT_EQ(r.lower, lower);
    }
}

// The read-back uses the drawing's own segment table, so only fixed pixels catch a segment or the
// decimal point drawn in the wrong place.
TEST_F(Display, SegmentsAreDrawnWhereTheDeviceLightsThem) {
    const Picture& pic = sim->image1;
    sim->lcd.LCDWrite("8.8", 0); // digits at positions 4 and 5, the dot between them
    EXPECT_EQ(pic.Pixel(kX + 129 + 1, kY + 4), 0u) << "top bar of position 5";
    EXPECT_EQ(pic.Pixel(kX + 124, kY + 36), 0u) << "the decimal point, two by three pixels";
    EXPECT_EQ(pic.Pixel(kX + 125, kY + 38), 0u);
    EXPECT_NE(pic.Pixel(kX + 126, kY + 36), 0u);
    sim->lcd.LCDWrite("W", 3); // 14 segments: the lower diagonals of a W
    EXPECT_EQ(pic.Pixel(kX + 134 + 6, kY + 43 + 16), 0u);
    EXPECT_EQ(pic.Pixel(kX + 134 + 7, kY + 43 + 2), LcdUnlitColor) << "no centre vertical in a W";
    sim->image1.TakeDirty();
    sim->lcd.LCDWrite("", 3);
    EXPECT_EQ(pic.Pixel(kX + 134 + 6, kY + 43 + 16), LcdUnlitColor) << "an empty text clears the field";
    EXPECT_EQ(sim->image1.Dirty(), layout::LcdLowerText) << "only the field is repainted";
}

// A setpoint run as it shows on both lines is the scenario display.vp7s; these are the formats.
TEST_F(Display, LowerLineShowsModeAndSetpoint) {
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

TEST_F(Display, UpperLineShowsThePositionNormalisedAndLimited) {
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

TEST_F(Display, DiagnosticModeOwnsTheDisplay) {
    sim->lcd.LCDWrite("RESET", 0);
    sim->lcd.LCDWrite("1STRK", 3);
    const LcdReading before = ReadLcd(sim->image1);
    S().DiagnosticMode = 1;
    sim->UserCheck(sim->form.StromModulSelect, true);
    sim->displays.IstwertAnzeige(50);
    sim->displays.SollwertAnzeige(50);
    EXPECT_EQ(ReadLcd(sim->image1).upper, before.upper);
    EXPECT_EQ(Lower(), "  15TRK");
    EXPECT_DOUBLE_EQ(sim->displays.IstwertShown, 50);
    EXPECT_EQ(Digits(), "12000") << "the module still follows";
}

TEST_F(Display, FeedbackModuleShowsTheCurrentOnlyWhenFitted) {
    EXPECT_EQ(sim->image1.Pixel(10, 250), SpriteSet::FlatColor(SpriteId::StromModulBlack));
    sim->UserCheck(sim->form.StromModulSelect, true);
    EXPECT_EQ(sim->image1.Pixel(10, 250), SpriteSet::FlatColor(SpriteId::StromModul));
    const std::pair<double, const char*> cases[] = {{-3, " 4000"},  {0, " 4000"},   {50, "12000"},
                                                    {100, "20000"}, {104, "20000"}, {37.5, "10000"}};
    for (const auto& [position, shown] : cases) {
        sim->frontPanel.DrawFeedbackDigits(position);
        EXPECT_EQ(Digits(), shown) << position;
    }
    sim->UserCheck(sim->form.StromModulSelect, false);
    EXPECT_EQ(sim->image1.Pixel(8 + 26, 276), SpriteSet::FlatColor(SpriteId::StromModulBlack));
    sim->frontPanel.DrawFeedbackDigits(50); // not fitted: nothing is drawn
    EXPECT_EQ(sim->image1.Pixel(8 + 26, 276), SpriteSet::FlatColor(SpriteId::StromModulBlack));
}

// The first five counters are reset by a 5 s hold; other records are derived from the settings.
TEST_F(Display, DiagnosticValuesAreShownResetDerivedAndPaged) {
    sim->diagnostics.DiagTable[0].Value = 42;
    EnterDiagnostics();
    ASSERT_EQ(S().DiagnosticMode, 1);
    ExpectDisplay("42", " 1STRKS", "the first value on entry");
    EXPECT_EQ(sim->form.HilfeUnten.text, " Number of strokes ")
        << "the record is explained below the display";
    Down(kIncKey);
    clock.Advance(1000);
    ExpectDisplay("RESET", " 1STRKS", "the refresh waits while RESET is shown");
    Up(kIncKey); // released before the hold time: nothing is reset
    clock.Advance(1000);
    ExpectDisplay("42", " 1STRKS", "the next refresh shows the value again");
    Hold(kIncKey, 5000);
    EXPECT_EQ(sim->diagnostics.DiagTable[0].Value, 0);
    clock.Advance(1000);
    ExpectDisplay("0", " 1STRKS", "shown from the next refresh on");
    // The record, what is set up first, the value shown.
    const std::tuple<int, std::function<void()>, const char*> cases[] = {
        // The throttle lengthens the times.
        {7, [&] { sim->UserSelect(sim->form.DrosselSelect, 3); }, "20.0 "},
        {8, [&] { sim->UserSelect(sim->form.DrosselSelect, 1); }, "5.0 "},
        {14, [&] { S().DeadBand = 0.64; }, "0.6 "}, // the automatic dead band as it is now
        {15, [&] { Param("DEBA", 12); }, "-1.2 "},  // a fixed one from the parameter
        {18, [] {}, "22.3C"},
        {0, [&] { sim->diagnostics.DiagTable[0].Value = 123456; }, "1.23E5"},
        {1, [&] { sim->diagnostics.DiagTable[1].Value = 99999; }, "99999"},
        {12, [] {}, "6 "},
        {6, [] {}, " "}, // no travel before an initialization
    };
    for (const auto& [index, setUp, upper] : cases) {
        setUp();
        sim->diagnostics.DiagIndex = static_cast<uint8_t>(index);
        sim->diagnostics.DiagKey(KeyCode::Neutral);
        ExpectDisplay(upper, sim->diagnostics.DiagTable[index].Name, "record " + std::to_string(index));
    }
    sim->diagnostics.DiagIndex = 18;
    sim->diagnostics.DiagKey(KeyCode::IncreasePressed); // the increase key switches to Fahrenheit
    ExpectDisplay("72.1F", "19TEMP ", "Fahrenheit");
    sim->diagnostics.DiagKey(KeyCode::ModeReleased);
    ExpectDisplay("60.6F", "20TMIN ", "the next temperature in Fahrenheit too");
}
