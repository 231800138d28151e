// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SimFixture.h"

#include "sim/diagnosis/Monitoring.h"
#include "sim/operation/ConfigMenu.h"
#include "sim/operation/KeyInput.h"
#include "sim/operation/ModeLogic.h"

using namespace vp7;

using Keys = vp7::test::SimFixture;
constexpr auto kMode = Keys::kModeKey, kDec = Keys::kDecKey, kInc = Keys::kIncKey;

// keys.vp7s walks into the configuration and out again; this test sees the edges: no manual mode
// before the 5 s are up, and the load item of the file menu hidden while configuring.
TEST_F(Keys, TheModeKeySwitchesAtTheReleaseOrAfterFiveSecondsHeld) {
    Down(kMode);
    clock.Advance(4900);
    EXPECT_EQ(S().Mode, Mode::Automatic) << "a held key does not pass through manual mode";
    Up(kMode);
    EXPECT_EQ(S().Mode, Mode::Manual) << "released before the 5 s";
    Click(kMode);
    EXPECT_EQ(Lower(), "  AUT 0");
    Hold(kMode, 5000);
    EXPECT_FALSE(sim->form.Konfigurationladen1.visible);
    Hold(kMode, 5000);
    EXPECT_EQ(S().Mode, Mode::Manual);
    EXPECT_TRUE(sim->form.Konfigurationladen1.visible);
}

// Friction makes a tick 0.5 %: a 5.1 % step takes over half a second, so a step that does not wait
// for the valve shows.
TEST_F(Keys, HeldValueKeysMoveTheValveInGrowingStepsAfterEachArrival) {
    sim->UserCheck(sim->form.FrictionSelect, true);
    Click(kMode);
    std::vector<std::pair<int, double>> targets{{0, S().ManuellTarget}}; // time, target
    Down(kInc);
    for (int t = 10; t < 60000 && S().Istwert < 100; t += 10) {
        clock.Advance(10);
        if (S().ManuellTarget != targets.back().second) targets.push_back({t, S().ManuellTarget});
    }
    ASSERT_GE(targets.size(), 25u);
    for (size_t i = 1; i < targets.size() - 1; ++i) {
        const double step = targets[i].second - targets[i - 1].second;
        EXPECT_NEAR(step, i <= 10 ? 0.1 : i <= 20 ? 1.1 : 5.1, 1e-9) << i;
        EXPECT_TRUE(i <= 21 || targets[i].first - targets[i - 1].first >= 500)
            << "before the valve arrived " << i;
    }
    EXPECT_DOUBLE_EQ(targets.back().second, 100);
    EXPECT_DOUBLE_EQ(S().Istwert, 100);
    Up(kInc);
    EXPECT_DOUBLE_EQ(sim->modes.ManualStep, 0.1);
    Hold(kDec, 60000);
    EXPECT_DOUBLE_EQ(S().Istwert, 0);
}

// keys.vp7s sees the latches shown and taken back; here a plain key meanwhile, the 2 s edge and the way out.
TEST_F(Keys, ThreeLatchedKeysLeadIntoDiagnosticsAfterTwoSeconds) {
    Click(kMode, MouseButton::Right);
    Click(kDec, MouseButton::Right);
    Click(kMode); // a plain key does nothing while a key is latched
    EXPECT_EQ(S().Mode, Mode::Automatic);
    Click(kInc, MouseButton::Right);
    clock.Advance(1900);
    EXPECT_EQ(S().DiagnosticMode, 0);
    clock.Advance(100);
    EXPECT_EQ(S().DiagnosticMode, 1);
    EXPECT_FALSE(sim->form.StaticUmschalt.visible || sim->form.StaticKleiner.visible ||
                 sim->form.StaticGroesser.visible);
    Hold(kMode, 2000); // leaves the diagnostics
    EXPECT_EQ(S().DiagnosticMode, 0);
    EXPECT_EQ(S().Mode, Mode::Automatic);
    EXPECT_EQ(Lower(), "  AUT 0");
}

// The red circle on a latched key lies over the picture and takes the pointer where it is shown; hidden,
// the picture below takes it. A press keeps the pointer until its release.
TEST_F(Keys, ALatchCircleTakesThePointerWhereItIsShown) {
    // On the decrease key and its circle, and on the circle just beside the key's area.
    const std::pair<int, int> onKey = kDec, besideKey{layout::LatchCircles[1].right - 1, kDec.second};
    using enum KeyCode;
    using enum MouseButton;
    // Latched first (its circle shown), where and with which button; the last key code after the press
    // and after the release (Neutral: none sent); whether the press reached the picture, which takes the
    // pointer's position; latched afterwards.
    using Row = std::tuple<const char*, bool, std::pair<int, int>, MouseButton, KeyCode, KeyCode, bool, bool>;
    const Row rows[] = {
        {"circle, left", true, onKey, Left, DecreasePressed, DecreaseReleased, false, true},
        {"circle, middle", true, onKey, Middle, DecreasePressed, DecreaseReleased, false, true},
        // Right on the circle frees the key; the hidden circle's release goes to the key below.
        {"circle, right", true, onKey, Right, DecreaseRightPressed, DecreaseRightReleased, false, false},
        {"circle beside the key", true, besideKey, Left, DecreasePressed, DecreaseReleased, false, true},
        {"key, left", false, onKey, Left, DecreasePressed, DecreaseReleased, true, false},
        // Right on the key latches it; the release stays with the picture.
        {"key, right", false, onKey, Right, DecreaseRightPressed, DecreaseRightReleased, true, true},
        {"beside the key, no circle", false, besideKey, Left, Neutral, Neutral, true, false},
    };
    for (const auto& [what, latched, at, button, down, up, pictureSawIt, latchedAfter] : rows) {
        SCOPED_TRACE(what);
        Restart();
        if (latched) Click(kDec, Right);
        S().LastKeyCode = Neutral;
        sim->MouseX = sim->MouseY = -1;
        Down(at, button);
        EXPECT_EQ(int(S().LastKeyCode), int(down));
        EXPECT_EQ(sim->MouseX == at.first && sim->MouseY == at.second, pictureSawIt);
        Up(at, button);
        EXPECT_EQ(int(S().LastKeyCode), int(up));
        EXPECT_EQ(sim->modes.LatchKleiner != 0, latchedAfter);
        EXPECT_EQ(sim->form.StaticKleiner.visible, latchedAfter);
    }
}

// One step at once, then every 0.3 s, from 2.5 s every 0.1 s, from 3.3 s steps of ten.
TEST_F(Keys, HeldValueKeysInConfigurationSpeedUp) {
    Hold(kMode, 5000); // into the configuration
    sim->configMenu.CurrentParam = sim->params.FindByName("A1");
    sim->configMenu.Run(KeyCode::Neutral, 1);
    const int32_t& a1 = sim->params.ParamTable[sim->configMenu.CurrentParam].Value;
    const int32_t start = a1;
    Down(kInc);
    int elapsed = 0;
    for (const auto& [at, change] :
         {std::pair{0, 1}, {2400, 9}, {2500, 10}, {3200, 17}, {3300, 27}, {3500, 47}}) {
        clock.Advance(at - std::exchange(elapsed, at));
        EXPECT_EQ(a1 - start, change) << at;
    }
    Up(kInc);
}

TEST_F(Keys, ShiftDecreaseAndStrayReleases) {
    Click(kMode);
    Hold(kInc, 3000);
    clock.Advance(2000);
    const double before = S().ManuellTarget;
    Down(kDec, MouseButton::Left, true); // outside configuration: a plain decrease
    Up(kDec);
    EXPECT_NEAR(S().ManuellTarget, before - 0.1, 1e-9);

    Hold(kMode, 5000); // into the configuration
    sim->configMenu.CurrentParam = 5;
    sim->configMenu.Run(KeyCode::Neutral, 1);
    Down(kDec, MouseButton::Left, true); // inside: the previous parameter
    Up(kDec);
    EXPECT_EQ(sim->configMenu.CurrentParam, 4u);

    const KeyCode last = S().LastKeyCode;
    Down(kInc);
    Up({300, 200}); // released off the keys: nothing is sent
    EXPECT_EQ(S().LastKeyCode, KeyCode::IncreasePressed);
    EXPECT_NE(last, KeyCode::IncreasePressed);
}

TEST_F(Keys, BinaryInputLocksAndTheInitializationAcknowledgement) {
    Param("BIN1", 4); // "bLoc2": configuring and manual operation blocked while closed
    Click({40, 80});  // close binary input 1
    clock.Advance(1000);
    ASSERT_EQ(sim->monitoring.Bin1BlockConfigManual, 1);
    Click(kMode);
    EXPECT_EQ(S().Mode, Mode::Automatic);
    Hold(kMode, 5000); // into the configuration
    EXPECT_EQ(S().Mode, Mode::Automatic);
    Param("BIN1", 3); // "bLoc1": only configuring blocked
    clock.Advance(1000);
    Hold(kMode, 5000); // into the configuration
    EXPECT_EQ(S().Mode, Mode::Manual) << "configuring is blocked; the release still switches to manual";
    Click(kMode);
    EXPECT_EQ(S().Mode, Mode::Automatic);
    Click({40, 80}); // open the input again
    clock.Advance(1000);

    Hold(kMode, 5000); // into the configuration
    S().InitRunning = 1;
    Click(kInc);
    EXPECT_EQ(S().InitRunning, 1) << "only the mode key's release acknowledges";
    Click(kMode);
    EXPECT_EQ(S().InitRunning, 0);
    EXPECT_EQ(S().Mode, Mode::Configuration);
}

TEST_F(Keys, GearWarningsFollowFeedbackAngleAndStrokeRange) {
    const std::string differs = "Position of gear is different to adjusted parameter",
                      to33 = "A stroke range <= 20mm needs to set the gear to 33°",
                      to90 = "A stroke range >= 25mm needs to set the gear to 90°";
    // At 33 degrees, YAGL, YFCT, YWAY; the warnings shown.
    const std::tuple<uint8_t, uint8_t, uint8_t, uint8_t, std::vector<std::string>> cases[] = {
        {1, 1, 1, 0, {}},     {0, 1, 1, 0, {differs}},       {0, 0, 1, 3, {to33}},
        {1, 1, 1, 5, {to90}}, {1, 0, 1, 9, {differs, to90}}, {1, 1, 0, 9, {}}};
    for (const auto& [gear33, yagl, yfct, yway, messages] : cases) {
        const size_t before = host.Messages().size();
        S().GearIs33 = gear33;
        sim->params.store.YAGL = yagl;
        sim->params.store.YFCT = yfct;
        sim->params.store.YWAY = yway;
        sim->modes.CheckGearSetting();
        std::vector<std::string> shown;
        for (size_t i = before; i < host.Messages().size(); ++i) {
            shown.push_back(host.Messages()[i].text);
            EXPECT_EQ(host.Messages()[i].type, MsgType::Warning);
        }
        EXPECT_EQ(shown, messages) << int(gear33) << int(yway);
    }
}

// Stopping the key timer lets queued events run: a release that arrives right then is handled inside
// the finished hold, and the device must end up where a release just after the hold leaves it.
TEST_F(Keys, AReleaseArrivingWhileAHoldFinishesEndsLikeOneJustAfter) {
    const auto holdMode = [&](bool releaseInside) {
        Restart();
        bool pending = releaseInside;
        host.OnProcessMessages([&] {
            if (!std::exchange(pending, false)) return;
            Up(kMode);
        });
        Down(kMode);
        clock.Advance(5000);
        host.OnProcessMessages({});
        if (!releaseInside) Up(kMode);
        EXPECT_FALSE(pending) << "the hold's end let events run";
        return std::tuple(S().Mode, sim->KeyTimer.Enabled(), Lower(), ReadLcd(sim->image1).upper);
    };
    EXPECT_EQ(holdMode(true), holdMode(false));
}
