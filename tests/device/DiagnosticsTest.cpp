#include "support/SimFixture.h"

#include <functional>

using namespace vp7;

using Diag = vp7::test::SimFixture;

TEST_F(Diag, ValuesAreShownDerivedAndPaged) {
    EnterDiagnostics();
    ASSERT_EQ(S().DiagnosticMode, 1);
    ExpectDisplay("0", " 1STRKS", "the first value on entry");
    EXPECT_EQ(sim->form.HilfeUnten.text, " Number of strokes ")
        << "the record is explained below the display";
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

TEST_F(Diag, TheFirstFiveCountersCanBeReset) {
    sim->diagnostics.DiagTable[0].Value = 42;
    EnterDiagnostics();
    Down(kIncKey);
    clock.Advance(1000);
    ExpectDisplay("RESET", " 1STRKS", "the refresh waits while RESET is shown");
    Up(kIncKey); // released before the hold time: nothing is reset
    clock.Advance(1000);
    ExpectDisplay("42", " 1STRKS", "the next refresh shows the value again");
    Down(kIncKey);
    clock.Advance(5000); // held
    EXPECT_EQ(sim->diagnostics.DiagTable[0].Value, 0);
    Up(kIncKey);
    clock.Advance(1000);
    ExpectDisplay("0", " 1STRKS", "shown from the next refresh on");
}
