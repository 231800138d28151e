// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SimFixture.h"

#include "platform/BmpFile.h"
#include "sim/display/Splash.h"

using namespace vp7;

namespace {

struct Panel : vp7::test::SimFixture {
    Rgb PixelOf(SpriteId id) const { return SpriteSet::FlatColor(id); }
};

// The smallest picture the splash check accepts: black, with its three marker pixels.
Picture MinimalSplash(int width = 701, int height = 208) {
    Picture p(width, height, 0);
    p.SetPixel(200, 135, MakeRgb(117, 0, 0));
    p.SetPixel(356, 177, MakeRgb(255, 124, 124));
    p.SetPixel(373, 91, MakeRgb(138, 255, 138));
    return p;
}

} // namespace

TEST_F(Panel, GearMarksSwitchOnlyFromTheOtherSetting) {
    const auto inside = [&](layout::Point sprite) { return sim->image1.Pixel(sprite.x + 1, sprite.y + 1); };
    const auto top = [&] { return inside(layout::GearTopPlace); };
    const auto bottom = [&] { return inside(layout::GearBottomPlace); };
    EXPECT_EQ(top(), PixelOf(SpriteId::GearTopOff));
    EXPECT_EQ(bottom(), PixelOf(SpriteId::GearBottemOn)) << "33 degrees at start";
    Click({438, 240}); // the upper mark while at 33 degrees: nothing
    EXPECT_EQ(S().GearIs33, 1);
    Click({439, 382}); // the lower mark: to 90 degrees, which no longer fits YAGL
    EXPECT_EQ(S().GearIs33, 0);
    EXPECT_EQ(top(), PixelOf(SpriteId::GearTopOn));
    EXPECT_EQ(bottom(), PixelOf(SpriteId::GearBottemOff));
    EXPECT_EQ(LastMessage(), "Position of gear is different to adjusted parameter");
    Click({439, 382}); // again: nothing
    EXPECT_EQ(S().GearIs33, 0);
    Click({438, 250});
    EXPECT_EQ(S().GearIs33, 1);
    Click({438, 250}, MouseButton::Right); // only the left button switches
    EXPECT_EQ(S().GearIs33, 1);
}

TEST_F(Panel, VariantChangeAsksAndTakesEffectAtTheNextStart) {
    host.QueueAnswer(MsgButton::Cancel);
    sim->UserSelect(sim->form.ControllerSelect, 1);
    ASSERT_EQ(host.Messages().size(), 1u) << "asks whether to restart now";
    EXPECT_EQ(sim->form.ControllerSelect.itemIndex, 1) << "the group keeps the new item";
    EXPECT_EQ(S().ControllerType, 0) << "the simulation keeps its variant";
    EXPECT_FALSE(host.CloseRequested());
    EXPECT_EQ(S().Updating, 0);
    host.QueueAnswer(MsgButton::OK);
    sim->UserSelect(sim->form.ControllerSelect, 2);
    EXPECT_EQ(S().RestartRequested, 1);
    EXPECT_TRUE(host.CloseRequested());
}

TEST_F(Panel, SplashPicturesAreCheckedBeforeUse) {
    EXPECT_TRUE(Splash::Passes(MinimalSplash()));
    const auto with = [](Picture p, int x, int y, Rgb colour) {
        p.SetPixel(x, y, colour);
        return p;
    };
    const std::pair<const char*, Picture> cases[] = {
        {"207 high", MinimalSplash(800, 207)},
        {"a wrong marker", with(MinimalSplash(), 356, 177, MakeRgb(255, 124, 125))},
        {"a lit pixel in a black band", with(MinimalSplash(), 500, 110, MakeRgb(1, 1, 1))}, // band 99..128
        {"a lit pixel in the last row", with(MinimalSplash(701, 300), 0, 299, MakeRgb(0, 0, 9))},
    };
    for (const auto& [what, picture] : cases)
        EXPECT_FALSE(Splash::Passes(picture)) << what;
}

TEST_F(Panel, TheSplashHoldsTheStartUpUntilItIsClicked) {
    ASSERT_TRUE(WriteBmp((dir / "Opening.bmp").string(), MinimalSplash(760, 240)));
    Restart();
    EXPECT_EQ(S().SplashValid, 1);
    EXPECT_TRUE(sim->form.Image2.visible);
    EXPECT_FALSE(sim->form.ZorizOptions.visible) << "the controls wait behind the splash";
    EXPECT_FALSE(sim->FormCloseQuery()) << "closing is refused while the splash waits";
    clock.Advance(500 + 5 * 380 + 100); // half a second, then the picture grows two points a step
    EXPECT_EQ(sim->splash.image2.Pixel(508 - 380 + 373, 357 - 120 + 91), MakeRgb(138, 255, 138));
    EXPECT_EQ(S().ScalesValid, 0);
    clock.Advance(60000);
    EXPECT_TRUE(sim->splash.Running()) << "it waits for the click";
    sim->Image2Click();
    EXPECT_FALSE(sim->form.Image2.visible);
    EXPECT_TRUE(sim->form.ZorizOptions.visible);
    EXPECT_TRUE(sim->FormCloseQuery());
    EXPECT_EQ(S().ScalesValid, 1) << "the start-up went on";
    EXPECT_TRUE(sim->DiagnosticTimer.Enabled());

    // A click while the picture still grows cuts the zoom short: the start-up goes on at the next step.
    Restart();
    clock.Advance(600);
    sim->Image2Click();
    EXPECT_TRUE(sim->splash.Running());
    clock.Advance(100);
    EXPECT_FALSE(sim->splash.Running());
    EXPECT_FALSE(sim->form.Image2.visible);
    EXPECT_EQ(S().ScalesValid, 1);

    // A damaged file, or a whole one that fails the check, is no splash at all.
    for (bool damaged : {true, false}) {
        if (damaged)
            std::filesystem::resize_file(dir / "Opening.bmp", 1000);
        else
            ASSERT_TRUE(WriteBmp((dir / "Opening.bmp").string(), MinimalSplash(700, 240)));
        Restart();
        EXPECT_EQ(S().SplashValid, 0) << damaged;
        EXPECT_FALSE(sim->splash.Running()) << damaged;
        EXPECT_EQ(S().ScalesValid, 1) << damaged;
    }
}

TEST_F(Panel, TheSupplyGaugeAndTheActuatorShowTheOptions) {
    const auto gaugeShows = [&](SpriteId id) {
        const Rect& g = layout::SupplyGaugeArea;
        return sim->image1.Pixel(g.left, g.top) == PixelOf(id) &&
               sim->image1.Pixel(g.right - 1, g.bottom - 1) == PixelOf(id);
    };
    const auto piston = [&] { return sim->image1.Pixel(330, 500); };
    EXPECT_TRUE(gaugeShows(SpriteId::SupplyGaugeAir));
    EXPECT_EQ(piston(), PixelOf(KolbenFrame(0))) << "double acting at start";
    MoveTo("50");
    const std::pair<Control*, SpriteId> valveTypes[] = {{&sim->form.SelfClosingSelect, SpringPistonFrame(20)},
                                                        {&sim->form.SelfOpeningSelect, SpringPistonFrame(20)},
                                                        {&sim->form.DoubleActingSelect, KolbenFrame(20)}};
    for (const auto& [valveType, frame] : valveTypes) {
        sim->UserCheck(*valveType, true);
        EXPECT_EQ(piston(), PixelOf(frame)) << valveType->name;
    }

    // The gauge shows the missing air (where the valve goes then is ActuatorTest's); after a restart a
    // spring-return valve shows its spring before anything moves.
    sim->UserCheck(sim->form.SelfClosingSelect, true);
    sim->UserCheck(sim->form.NoPreasureSelect, true);
    EXPECT_TRUE(gaugeShows(SpriteId::SupplyGaugeNoAir));
    sim->UserCheck(sim->form.NoPreasureSelect, false);
    EXPECT_TRUE(gaugeShows(SpriteId::SupplyGaugeAir));
    Enter("0");
    sim->FormClose();
    Restart();
    EXPECT_EQ(piston(), PixelOf(SpringPistonFrame(0)));
}

// Switching rewrites captions and list items and re-sends the setpoint; the choices made and the
// valve stay as they were, and the pictures with words on them follow.
TEST_F(Panel, ALanguageSwitchChangesTextsAndPicturesButNoSelection) {
    FormState& f = sim->form;
    sim->UserCheck(f.AlarmModulSelect, true);
    sim->UserCheck(f.FrictionSelect, true);
    sim->UserSelect(f.DrosselSelect, 2);
    sim->UserCheck(f.SelfOpeningSelect, true);
    MoveTo("40");
    sim->UserClick(f.Deutsch1);
    EXPECT_EQ(f.DrosselSelect.items[2], "2 Umdrehungen");
    EXPECT_EQ(sim->image1.Pixel(17, 41), PixelOf(SpriteId::Bin1Aus));
    EXPECT_TRUE(f.FrictionSelect.checked && f.SelfOpeningSelect.checked);
    EXPECT_EQ(f.DrosselSelect.itemIndex, 2);
    EXPECT_DOUBLE_EQ(S().Istwert, 40);
    sim->UserClick(f.English1);
    EXPECT_TRUE(f.English1.checked && !f.Deutsch1.checked);
    EXPECT_EQ(f.NoPreasureSelect.caption, "Loss of supply pressure");
    EXPECT_EQ(sim->image1.Pixel(17, 41), PixelOf(SpriteId::Bin1Off));
    // The scenario language.vp7s reads the A variant's title; the other two name theirs.
    Restart(2);
    EXPECT_EQ(sim->form.title, "KELDAR VP7-FF - Simulating the configuration");
}
