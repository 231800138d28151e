#include "support/SimFixture.h"

#include "platform/SpriteSet.h"

using namespace vp7;

using LanguageSwitch = vp7::test::SimFixture;

// Switching rewrites captions and list items and re-sends the setpoint; the choices made and the
// valve stay as they were, and the pictures with words on them follow.
TEST_F(LanguageSwitch, TextsAndPicturesChangeButNoSelection) {
    FormState& f = sim->form;
    sim->UserCheck(f.AlarmModulSelect, true);
    sim->UserCheck(f.FrictionSelect, true);
    sim->UserSelect(f.DrosselSelect, 2);
    sim->UserCheck(f.SelfOpeningSelect, true);
    Enter("40");
    RunToRest();
    sim->UserClick(f.Deutsch1);
    EXPECT_TRUE(f.Deutsch1.checked && !f.English1.checked);
    EXPECT_EQ(f.DrosselSelect.items[2], "2 Umdrehungen");
    EXPECT_EQ(sim->image1.Pixel(17, 41), SpriteSet::FlatColor(SpriteId::Bin1Aus));
    EXPECT_TRUE(f.FrictionSelect.checked && f.SelfOpeningSelect.checked);
    EXPECT_EQ(f.DrosselSelect.itemIndex, 2);
    EXPECT_DOUBLE_EQ(S().Istwert, 40);
    sim->UserClick(f.English1);
    EXPECT_TRUE(f.English1.checked && !f.Deutsch1.checked);
    EXPECT_EQ(f.NoPreasureSelect.caption, "Lost of supply preasure");
    EXPECT_EQ(sim->image1.Pixel(17, 41), SpriteSet::FlatColor(SpriteId::Bin1Off));
    // The scenario language.vp7s reads the A variant's title; the other two name theirs.
    Restart(2);
    EXPECT_EQ(sim->form.title, "KELDAR VP7-FF - Simulating the configuration");
}
