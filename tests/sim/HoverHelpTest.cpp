// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/diagnosis/Diagnostics.h"
#include "sim/operation/ConfigMenu.h"
#include "sim/operation/HelpTexts.h"
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
    void Move(std::pair<int, int> at) { sim->PointerMove(at.first, at.second); }
};

// Points on the device picture.
constexpr std::pair<int, int> kUpper{400, 280}, kModePart{430, 315}, kSetpointPart{480, 315},
    kUmschalt = vp7::test::SimFixture::kModeKey, kKleiner = vp7::test::SimFixture::kDecKey,
    kGroesser = vp7::test::SimFixture::kIncKey, kLowerGear{439, 382}, kUpperGear{438, 240},
    kNowhere{300, 100};
constexpr int kLowerRow = layout::HelpLowerLineRow, kKeysRow = layout::HelpKeysRow;

} // namespace

// language.vp7s reads the position, the mode key and the mode part in automatic mode, with the places.
TEST_F(Hover, DisplayAndKeysExplainThemselvesPerMode) {
    using enum Mode;
    // Where in which mode; the text (nullptr: nothing shown, the label keeps its state) and its row.
    const std::tuple<Mode, std::pair<int, int>, const char*, int> cases[] = {
        {Automatic, kSetpointPart, " Setpoint", kLowerRow},
        {Automatic, kKleiner, nullptr, 0},
        {Manual, kModePart, " Mode Manual", kLowerRow},
        {Manual, kKleiner, " Left mouse button: move valve down ", kKeysRow},
        {Manual, kGroesser, " Left mouse button: move valve up ", kKeysRow},
        {Configuration, kGroesser, " Left mouse button: inkrement value ", kKeysRow},
        {ConfigurationLeft, kUmschalt, nullptr, 0},
    };
    for (const auto& [mode, at, text, row] : cases) {
        SCOPED_TRACE(int(mode));
        S().Mode = mode;
        Click(kNowhere, MouseButton::Middle); // a fresh start: nothing shown
        Move(kNowhere);
        ASSERT_FALSE(Help().visible);
        Move(at);
        EXPECT_EQ(Help().visible, text != nullptr);
        if (!text) continue;
        EXPECT_EQ(Help().text, text);
        EXPECT_EQ(Help().left, layout::HelpAtDisplayRight - Width(text)) << "right edge left of the display";
        EXPECT_EQ(Help().top, row);
    }
}

TEST_F(Hover, ConfigurationAndDiagnosticsUseTheirOwnLabels) {
    S().Mode = Mode::Configuration;
    sim->configMenu.CurrentParam = sim->params.FindByName("DEBA");
    sim->configMenu.Run(KeyCode::Neutral, 1);
    Move(kUpper);
    EXPECT_TRUE(sim->form.HilfeOben.visible) << "the value's description, ConfigMenuTest reads it";
    Move(kModePart);
    EXPECT_TRUE(sim->form.HilfeUnten.visible);
    EXPECT_FALSE(sim->form.HilfeOben.visible);
    sim->configMenu.CurrentParam = sim->params.PRSTIndex;
    Move(kGroesser);
    EXPECT_EQ(Help().text, " 5s left mouse button: factory reset");
    sim->configMenu.CurrentParam = sim->params.INITAIndex;
    Move(kKleiner);
    EXPECT_EQ(Help().text, sim->helpTexts.Text(HelpSpecial::KleinerInit));
    sim->PointerUp(MouseButton::Left, kNowhere.first, kNowhere.second);
    EXPECT_FALSE(sim->form.HilfeUnten.visible) << "a release hides the two menu labels";

    S().Mode = Mode::Automatic;
    S().DiagnosticMode = 1;
    for (auto [index, text] :
         {std::pair{2, " 5s left mouse button: set parmeter to 0"},
          std::pair{19, " Left mouse button: change between °C and °F"}, std::pair{6, ""}}) {
        sim->diagnostics.DiagIndex = static_cast<uint8_t>(index);
        Move(kGroesser);
        EXPECT_EQ(Help().text, text) << index;
    }
    Move(kUmschalt);
    EXPECT_EQ(Help().text.substr(0, 40), " Left mouse button: next diagnostic valu");
}

TEST_F(Hover, ScalesAndMarkersReadOutValues) {
    MoveTo("37,4");
    // Where; the value shown, and how far right of the pointer.
    const std::tuple<std::pair<int, int>, const char*, int> cases[] = {
        {{12, 570}, " 50 ", 20},
        {{12, 470}, " 100 ", 20},
        {{85, 571}, " 49.5 ", 20},
        {{155, 520}, " 75.0 ", 20},
        {{35, S().SollwertMarkY + 4}, " 37.4 ", 30},
        {{100, S().ReglerMarkY - 4}, " 37.4 ", 40},
        {{170, S().VentilMarkY + 4}, " 37.40 ", 20},
    };
    for (const auto& [at, text, offset] : cases) {
        SCOPED_TRACE(at.first);
        Move(at);
        EXPECT_EQ(Help().text, text);
        EXPECT_EQ(Help().left, layout::PictureInWindow.x + at.first + offset);
        EXPECT_EQ(Help().top, at.second);
    }
    sim->PointerMove(170, S().VentilMarkY + 5); // the valve marker's band ends one row earlier
    EXPECT_FALSE(Help().visible);
}

TEST_F(Hover, OnlyTheGearMarksHelpWithoutTheCheckBoxes) {
    sim->form.HelpOthers.checked = sim->form.HelpKeys.checked = false;
    for (auto at : {kUpper, kUmschalt, std::pair{12, 570}}) {
        Move(at);
        EXPECT_FALSE(Help().visible) << at.first;
    }
    Move(kLowerGear); // placed as language.vp7s reads it
    EXPECT_EQ(Help().text, " Transmission ratio selector 33° ");
    Move(kUpperGear); // the 90-degree mark while at 33: no match
    EXPECT_FALSE(Help().visible);
    S().Language = Language::German;
    S().GearIs33 = 0;
    Move(kUpperGear);
    EXPECT_EQ(Help().text, " Getriebeübersetzung 90°");
    EXPECT_EQ(Help().left, layout::HelpGearRight - Width(Help().text));
    EXPECT_EQ(Help().top, layout::GearTopPlace.y);
    sim->FormMouseMove();
    EXPECT_FALSE(Help().visible);
}
