#include "support/SimFixture.h"

#include "platform/SpriteSet.h"

using namespace vp7;

using LanguageSwitch = vp7::test::SimFixture;

TEST_F(LanguageSwitch, TheTitleNamesVariantAndLanguage) {
    const char* expected[3][2] = {
        {"KELDAR VP7-A - Nachbildung der Konfiguration", "KELDAR VP7-A - Simulating the configuration"},
        {"KELDAR VP7-PA - Nachbildung der Konfiguration", "KELDAR VP7-PA - Simulating the configuration"},
        {"KELDAR VP7-FF - Nachbildung der Konfiguration", "KELDAR VP7-FF - Simulating the configuration"}};
    for (uint8_t variant : {0, 1, 2}) {
        Restart(variant);
        EXPECT_EQ(sim->form.title, expected[variant][1]);
        sim->UserClick(sim->form.Deutsch1);
        EXPECT_EQ(sim->form.title, expected[variant][0]);
    }
}

TEST_F(LanguageSwitch, CaptionsChangeButNoSelection) {
    FormState& f = sim->form;
    EXPECT_EQ(f.BlockDownSelect.caption, "Block at 10% (down)");
    sim->UserCheck(f.FrictionSelect, true);
    sim->UserSelect(f.DrosselSelect, 2);
    sim->UserCheck(f.SelfOpeningSelect, true);
    Enter("40");
    RunToRest();
    sim->UserClick(f.Deutsch1);
    EXPECT_EQ(S().Language, Language::German);
    EXPECT_TRUE(f.Deutsch1.checked);
    EXPECT_FALSE(f.English1.checked);
    EXPECT_EQ(f.BlockDownSelect.caption, "Blockieren bei 10% (abwärts)");
    EXPECT_EQ(f.DrosselSelect.items[2], "2 Umdrehungen");
    EXPECT_EQ(f.NoPreasureSelect.caption, "Keine Druckluft");
    EXPECT_TRUE(f.FrictionSelect.checked);
    EXPECT_EQ(f.DrosselSelect.itemIndex, 2);
    EXPECT_TRUE(f.SelfOpeningSelect.checked);
    EXPECT_DOUBLE_EQ(S().Istwert, 40);
    sim->UserClick(f.English1);
    EXPECT_EQ(f.NoPreasureSelect.caption, "Lost of supply preasure");
    EXPECT_EQ(f.Datei1.caption, "File");
}

TEST_F(LanguageSwitch, MessagesAndPicturesFollow) {
    sim->UserCheck(sim->form.AlarmModulSelect, true);
    sim->UserClick(sim->form.Deutsch1);
    EXPECT_EQ(sim->image1.Pixel(17, 41), SpriteSet::FlatColor(SpriteId::Bin1Aus));
    Enter("abc");
    EXPECT_EQ(LastMessage(), "Sollwert ist fehlerhaft");
    sim->UserClick(sim->form.English1);
    EXPECT_EQ(sim->image1.Pixel(17, 41), SpriteSet::FlatColor(SpriteId::Bin1Off));
    Enter("abc");
    EXPECT_EQ(LastMessage(), "Setpoint is incorrect");
}
