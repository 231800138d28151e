#include "support/SimFixture.h"

using namespace vp7;

namespace {

struct Hover : vp7::test::SimFixture {
    void SetUp() override {
        SimFixture::SetUp();
        sim->form.HelpOthers.checked = sim->form.HelpKeys.checked = true;
    }
    const Control& Help() const { return sim->form.HelpText; }
    int Width(const std::string& text) const { return host.LabelWidth(text); }
};

// Points on the device picture.
constexpr std::pair<int, int> kUpper{400, 280}, kModePart{430, 315}, kSetpointPart{480, 315},
    kUmschalt = vp7::test::SimFixture::kModeKey, kKleiner = vp7::test::SimFixture::kDecKey,
    kGroesser = vp7::test::SimFixture::kIncKey, kLowerGear{439, 382}, kUpperGear{438, 240},
    kNowhere{300, 100};
constexpr int kUpperRow = layout::HelpUpperLineRow, kLowerRow = layout::HelpLowerLineRow,
              kKeysRow = layout::HelpKeysRow;

} // namespace

TEST_F(Hover, DisplayAndKeysExplainThemselvesPerMode) {
    struct Case {
        Mode mode;
        std::pair<int, int> at;
        const char* text; // nullptr: nothing shown, the label keeps its state
        int row;
    };
    using enum Mode;
    const Case cases[] = {
        {Automatic, kUpper, " Position ", kUpperRow},
        {Automatic, kModePart, " Mode Automatic ", kLowerRow},
        {Automatic, kSetpointPart, " Setpoint", kLowerRow},
        {Automatic, kUmschalt,
         " Left mouse button: go to manual mode \r\n 5s left mouse button: go to configuration ", kKeysRow},
        {Automatic, kKleiner, nullptr, 0},
        {Manual, kModePart, " Mode Manual", kLowerRow},
        {Manual, kKleiner, " Left mouse button: move valve down ", kKeysRow},
        {Manual, kGroesser, " Left mouse button: move valve up ", kKeysRow},
        {Configuration, kGroesser, " Left mouse button: inkrement value ", kKeysRow},
        {ConfigurationLeft, kUmschalt, nullptr, 0},
    };
    for (const Case& c : cases) {
        S().Mode = c.mode;
        Click(kNowhere, MouseButton::Middle); // a fresh start: nothing shown
        sim->PointerMove(kNowhere.first, kNowhere.second);
        ASSERT_FALSE(Help().visible);
        sim->PointerMove(c.at.first, c.at.second);
        if (!c.text) {
            EXPECT_FALSE(Help().visible) << int(c.mode);
            continue;
        }
        EXPECT_EQ(Help().text, c.text) << int(c.mode);
        EXPECT_TRUE(Help().visible);
        EXPECT_EQ(Help().left, layout::HelpAtDisplayRight - Width(c.text))
            << "right edge left of the display";
        EXPECT_EQ(Help().top, c.row);
    }
}

TEST_F(Hover, ConfigurationAndDiagnosticsUseTheirOwnLabels) {
    S().Mode = Mode::Configuration;
    sim->configMenu.CurrentParam = sim->params.FindByName("DEBA");
    sim->configMenu.Run(KeyCode::Neutral, 1);
    sim->PointerMove(kUpper.first, kUpper.second);
    EXPECT_TRUE(sim->form.HilfeOben.visible);
    EXPECT_EQ(sim->form.HilfeOben.text, " As measured during initialization ");
    sim->PointerMove(kModePart.first, kModePart.second);
    EXPECT_TRUE(sim->form.HilfeUnten.visible);
    EXPECT_FALSE(sim->form.HilfeOben.visible);
    sim->configMenu.CurrentParam = sim->params.PRSTIndex;
    sim->PointerMove(kGroesser.first, kGroesser.second);
    EXPECT_EQ(Help().text, " 5s left mouse button: factory reset");
    sim->configMenu.CurrentParam = sim->params.INITAIndex;
    sim->PointerMove(kKleiner.first, kKleiner.second);
    EXPECT_EQ(Help().text,
              " 5s left mouse button: Set controller to No Init \r\n (not supported) \r\n PC shift key + "
              "left mouse button: \r\n prior parameter ");
    sim->PointerUp(MouseButton::Left, kNowhere.first, kNowhere.second);
    EXPECT_FALSE(sim->form.HilfeUnten.visible) << "a release hides the two menu labels";

    S().Mode = Mode::Automatic;
    S().DiagnosticMode = 1;
    for (auto [index, text] :
         {std::pair{2, " 5s left mouse button: set parmeter to 0"},
          std::pair{19, " Left mouse button: change between °C and °F"}, std::pair{6, ""}}) {
        sim->diagnostics.DiagIndex = static_cast<uint8_t>(index);
        sim->PointerMove(kGroesser.first, kGroesser.second);
        EXPECT_EQ(Help().text, text) << index;
    }
    sim->PointerMove(kUmschalt.first, kUmschalt.second);
    EXPECT_EQ(Help().text.substr(0, 40), " Left mouse button: next diagnostic valu");
}

TEST_F(Hover, ScalesAndMarkersReadOutValues) {
    constexpr int kLeft = layout::PictureInWindow.x;
    Enter("37,4");
    RunToRest();
    struct Case {
        std::pair<int, int> at;
        const char* text;
        int x;
    };
    const Case cases[] = {
        {{12, 570}, " 50 ", kLeft + 12 + 20},
        {{12, 470}, " 100 ", kLeft + 12 + 20},
        {{85, 571}, " 49.5 ", kLeft + 85 + 20},
        {{155, 520}, " 75.0 ", kLeft + 155 + 20},
        {{35, S().SollwertMarkY + 4}, " 37.4 ", kLeft + 35 + 30},
        {{100, S().ReglerMarkY - 4}, " 37.4 ", kLeft + 100 + 40},
        {{170, S().VentilMarkY + 4}, " 37.40 ", kLeft + 170 + 20},
    };
    for (const Case& c : cases) {
        sim->PointerMove(c.at.first, c.at.second);
        EXPECT_EQ(Help().text, c.text) << c.at.first << "," << c.at.second;
        EXPECT_EQ(Help().left, c.x);
        EXPECT_EQ(Help().top, c.at.second);
    }
    sim->PointerMove(170, S().VentilMarkY + 5); // the valve marker's band ends one row earlier
    EXPECT_FALSE(Help().visible);
}

TEST_F(Hover, OnlyTheGearMarksHelpWithoutTheCheckBoxes) {
    sim->form.HelpOthers.checked = sim->form.HelpKeys.checked = false;
    for (auto at : {kUpper, kUmschalt, std::pair{12, 570}}) {
        sim->PointerMove(at.first, at.second);
        EXPECT_FALSE(Help().visible) << at.first;
    }
    sim->PointerMove(kLowerGear.first, kLowerGear.second);
    EXPECT_EQ(Help().text, " Transmission ratio selector 33° ");
    EXPECT_EQ(Help().left, layout::HelpGearRight - Width(Help().text));
    EXPECT_EQ(Help().top, layout::GearBottomPlace.y);
    sim->PointerMove(kUpperGear.first, kUpperGear.second); // the 90-degree mark while at 33: no match
    EXPECT_FALSE(Help().visible);
    S().Language = Language::German;
    S().GearIs33 = 0;
    sim->PointerMove(kUpperGear.first, kUpperGear.second);
    EXPECT_EQ(Help().text, " Getriebeübersetzung 90°");
    EXPECT_EQ(Help().top, layout::GearTopPlace.y);
    sim->FormMouseMove();
    EXPECT_FALSE(Help().visible);
}
