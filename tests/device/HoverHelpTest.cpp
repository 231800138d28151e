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
constexpr std::pair<int, int> kUpper{400, 280}, kModePart{430, 315}, kSetpointPart{480, 315}, kUmschalt{378, 356},
    kKleiner{428, 356}, kGroesser{480, 356}, kLowerGear{439, 382}, kUpperGear{438, 240}, kNowhere{300, 100};

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
        {Automatic, kUpper, " Position ", 270},
        {Automatic, kModePart, " Mode Automatic ", 309},
        {Automatic, kSetpointPart, " Setpoint", 309},
        {Automatic, kUmschalt,
         " Left mouse button: go to manual mode \r\n 5s left mouse button: go to configuration ", 346},
        {Automatic, kKleiner, nullptr, 0},
        {Manual, kModePart, " Mode Manual", 309},
        {Manual, kKleiner, " Left mouse button: move valve down ", 346},
        {Manual, kGroesser, " Left mouse button: move valve up ", 346},
        {Configuration, kGroesser, " Left mouse button: inkrement value ", 346},
        {ConfigurationLeft, kUmschalt, nullptr, 0},
    };
    for (const Case& c : cases) {
        S().Mode = c.mode;
        Click(kNowhere, MouseButton::Middle); // a fresh start: nothing shown
        sim->Image1MouseMove(kNowhere.first, kNowhere.second);
        ASSERT_FALSE(Help().visible);
        sim->Image1MouseMove(c.at.first, c.at.second);
        if (!c.text) {
            EXPECT_FALSE(Help().visible) << int(c.mode);
            continue;
        }
        EXPECT_EQ(Help().text, c.text) << int(c.mode);
        EXPECT_TRUE(Help().visible);
        EXPECT_EQ(Help().left, 734 - Width(c.text)) << "right edge left of the display";
        EXPECT_EQ(Help().top, c.row);
    }
}

TEST_F(Hover, ConfigurationAndDiagnosticsUseTheirOwnLabels) {
    S().Mode = Mode::Configuration;
    sim->configMenu.CurrentParam = sim->params.FindByName("DEBA");
    sim->configMenu.Run(KeyCode::Neutral, 1);
    sim->Image1MouseMove(kUpper.first, kUpper.second);
    EXPECT_TRUE(sim->form.HilfeOben.visible);
    EXPECT_EQ(sim->form.HilfeOben.text, " As measured during initialization ");
    sim->Image1MouseMove(kModePart.first, kModePart.second);
    EXPECT_TRUE(sim->form.HilfeUnten.visible);
    EXPECT_FALSE(sim->form.HilfeOben.visible);
    sim->configMenu.CurrentParam = sim->params.PRSTIndex;
    sim->Image1MouseMove(kGroesser.first, kGroesser.second);
    EXPECT_EQ(Help().text, " 5s left mouse button: factory reset");
    sim->configMenu.CurrentParam = sim->params.INITAIndex;
    sim->Image1MouseMove(kKleiner.first, kKleiner.second);
    EXPECT_EQ(Help().text, " 5s left mouse button: Set controller to No Init \r\n (not supported) \r\n PC shift key + "
                           "left mouse button: \r\n prior parameter ");
    sim->Image1MouseUp(MouseButton::Left, kNowhere.first, kNowhere.second);
    EXPECT_FALSE(sim->form.HilfeUnten.visible) << "a release hides the two menu labels";

    S().Mode = Mode::Automatic;
    S().DiagnosticMode = 1;
    for (auto [index, text] : {std::pair{2, " 5s left mouse button: set parmeter to 0"},
                               std::pair{19, " Left mouse button: change between °C and °F"}, std::pair{6, ""}}) {
        sim->diagnostics.DiagIndex = static_cast<uint8_t>(index);
        sim->Image1MouseMove(kGroesser.first, kGroesser.second);
        EXPECT_EQ(Help().text, text) << index;
    }
    sim->Image1MouseMove(kUmschalt.first, kUmschalt.second);
    EXPECT_EQ(Help().text.substr(0, 40), " Left mouse button: next diagnostic valu");
}

TEST_F(Hover, ScalesAndMarkersReadOutValues) {
    Enter("37,4");
    RunToRest();
    struct Case {
        std::pair<int, int> at;
        const char* text;
        int x;
    };
    const Case cases[] = {
        {{12, 570}, " 50 ", 384 + 12 + 20},     {{12, 470}, " 100 ", 384 + 12 + 20},
        {{85, 571}, " 49.5 ", 384 + 85 + 20},   {{155, 520}, " 75.0 ", 384 + 155 + 20},
        {{35, S().SollwertMarkY + 4}, " 37.4 ", 384 + 35 + 30},
        {{100, S().ReglerMarkY - 4}, " 37.4 ", 384 + 100 + 40},
        {{170, S().VentilMarkY + 4}, " 37.40 ", 384 + 170 + 20},
    };
    for (const Case& c : cases) {
        sim->Image1MouseMove(c.at.first, c.at.second);
        EXPECT_EQ(Help().text, c.text) << c.at.first << "," << c.at.second;
        EXPECT_EQ(Help().left, c.x);
        EXPECT_EQ(Help().top, c.at.second);
    }
    sim->Image1MouseMove(170, S().VentilMarkY + 5); // the valve marker's band ends one row earlier
    EXPECT_FALSE(Help().visible);
}

TEST_F(Hover, OnlyTheGearMarksHelpWithoutTheCheckBoxes) {
    sim->form.HelpOthers.checked = sim->form.HelpKeys.checked = false;
    for (auto at : {kUpper, kUmschalt, std::pair{12, 570}}) {
        sim->Image1MouseMove(at.first, at.second);
        EXPECT_FALSE(Help().visible) << at.first;
    }
    sim->Image1MouseMove(kLowerGear.first, kLowerGear.second);
    EXPECT_EQ(Help().text, " Transmission ratio selector 33° ");
    EXPECT_EQ(Help().left, 816 - 20 - Width(Help().text));
    EXPECT_EQ(Help().top, 377);
    sim->Image1MouseMove(kUpperGear.first, kUpperGear.second); // the 90-degree mark while at 33: no match
    EXPECT_FALSE(Help().visible);
    S().Language = Language::German;
    S().GearIs33 = 0;
    sim->Image1MouseMove(kUpperGear.first, kUpperGear.second);
    EXPECT_EQ(Help().text, " Getriebeübersetzung 90°");
    EXPECT_EQ(Help().top, 233);
    sim->FormMouseMove();
    EXPECT_FALSE(Help().visible);
}
