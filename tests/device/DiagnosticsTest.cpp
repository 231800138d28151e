#include "support/SimFixture.h"

#include "device/LcdReadBack.h"

using namespace vp7;

namespace {
struct Diag : vp7::test::SimFixture {
    void Expect(const std::string& upper, const std::string& lower, const std::string& context) {
        ExpectDisplay(upper, lower, context);
    }
};
} // namespace

TEST_F(Diag, ValuesAreShownDerivedAndPaged) {
    EnterDiagnostics();
    ASSERT_EQ(S().DiagnosticMode, 1);
    Expect("0", " 1STRKS", "the first value on entry");
    EXPECT_EQ(sim->form.HilfeUnten.text, " Number of strokes ");
    sim->diagnostics.DiagKey(KeyCode::ModeRightPressed);
    Expect("1.0 ", "35PRDN ", "backwards from the first");
    struct Case {
        int index;
        std::function<void()> setUp;
        const char* upper;
    };
    const Case cases[] = {
        {7, [&] { sim->UserSelect(sim->form.DrosselSelect, 3); }, "20.0 "},
        {8, [&] { sim->UserSelect(sim->form.DrosselSelect, 1); }, "5.0 "},
        {14, [&] { S().DeadBand = 0.64; }, "0.6 "},
        {15, [&] { Param("DEBA", 12); }, "-1.2 "},
        {18, [] {}, "22.3C"},
        {0, [&] { sim->diagnostics.DiagTable[0].Value = 123456; }, "1.23E5"},
        {1, [&] { sim->diagnostics.DiagTable[1].Value = 99999; }, "99999"},
        {12, [] {}, "6 "},
        {6, [] {}, " "},
    };
    for (const Case& c : cases) {
        c.setUp();
        sim->diagnostics.DiagIndex = static_cast<uint8_t>(c.index);
        sim->diagnostics.DiagKey(KeyCode::Neutral);
        Expect(c.upper, sim->diagnostics.DiagTable[c.index].Name, "record " + std::to_string(c.index));
    }
    sim->diagnostics.DiagIndex = 18;
    sim->diagnostics.DiagKey(KeyCode::IncreasePressed); // the increase key switches to Fahrenheit
    Expect("72.1F", "19TEMP ", "Fahrenheit");
    sim->diagnostics.DiagKey(KeyCode::ModeReleased);
    Expect("60.6F", "20TMIN ", "the next temperature in Fahrenheit too");
}

TEST_F(Diag, TheFirstFiveCountersCanBeReset) {
    sim->diagnostics.DiagTable[0].Value = 42;
    EnterDiagnostics();
    Down(kIncKey);
    Expect("RESET", " 1STRKS", "pressed");
    clock.Advance(1000);
    Expect("RESET", " 1STRKS", "the refresh waits while RESET is shown");
    Up(kIncKey); // released before the hold time: nothing is reset
    clock.Advance(1000);
    Expect("42", " 1STRKS", "the next refresh shows the value again");
    Down(kIncKey);
    clock.Advance(5000); // held: code 19
    EXPECT_EQ(sim->diagnostics.DiagTable[0].Value, 0);
    Up(kIncKey);
    clock.Advance(1000);
    Expect("0", " 1STRKS", "shown from the next refresh on");
}
