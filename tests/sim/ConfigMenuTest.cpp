// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/operation/ConfigMenu.h"
#include "support/SimFixture.h"

using namespace vp7;

namespace {

// The key events by what they do in the menu.
constexpr KeyCode kRedraw = KeyCode::Neutral, kNext = KeyCode::ModeReleased,
                  kPrevious = KeyCode::ModeRightPressed, kDecrease = KeyCode::DecreasePressed,
                  kDecreaseReleased = KeyCode::DecreaseReleased, kIncrease = KeyCode::IncreasePressed,
                  kIncreaseReleased = KeyCode::IncreaseReleased, kIncreaseHeld = KeyCode::IncreaseHeld;

struct Menu : vp7::test::SimFixture {
    void Key(KeyCode code, int32_t step = 1) { sim->configMenu.Run(code, step); }
    void GoTo(const char* name) {
        sim->configMenu.CurrentParam = static_cast<uint32_t>(sim->params.FindByName(name));
        Key(kRedraw);
    }
    struct Step {
        KeyCode code;
        const char *upper, *lower;
        int32_t step = 1;
    };
    void Walk(std::initializer_list<Step> steps) {
        int n = 0;
        for (const Step& s : steps) {
            Key(s.code, s.step);
            ExpectDisplay(s.upper, s.lower, "step " + std::to_string(n++));
        }
    }
};

} // namespace

TEST_F(Menu, NavigationSkipsAndWraps) {
    Walk({
        {kRedraw, " WAY ", " 1YFCT "},
        {kNext, " 33~ ", " 2YAGL "},
        {kNext, " OFF ", " 3YWAY "}, // a linear actuator has a stroke range
        {kPrevious, " 33~ ", " 2YAGL "},
        {kPrevious, " WAY ", " 1YFCT "},
        {kPrevious, "oCAY ", "55PRST "}, // wraps to the last parameter
        {kNext, " WAY ", " 1YFCT "},
        {kDecrease, "turn ", " 1YFCT "}, // a part-turn actuator...
        {kNext, " 90~ ", " 2YAGL "},     // ...forces the 90-degree feedback angle
        {kNext, "89.1~", " 4INITA"},     // and skips the stroke range
        {kPrevious, " 90~ ", " 2YAGL "},
    });
    GoTo("SFCT");
    Walk({
        {kNext, "Auto ", "34DEBA "}, // the support values only follow the free characteristic
        {kPrevious, " Lin ", "12SFCT "},
        {kIncrease, "FrEE ", "12SFCT ", 7},
        {kNext, "  0.0 ", "13SL0  "},
        {kPrevious, "FrEE ", "12SFCT "},
    });
    GoTo("DEBA");
    Key(kPrevious);
    ExpectDisplay("100.0 ", "33SL20 ", "back from DEBA onto SL20 with the free characteristic");
}

TEST_F(Menu, ValuesStepBySpecialValuesAndLimits) {
    GoTo("DEBA");
    Walk({
        {kIncrease, "0.1 ", "34DEBA "},  // from "Auto " up to the minimum
        {kDecrease, "Auto ", "34DEBA "}, // below the minimum: the special value
        {kIncrease, "0.1 ", "34DEBA ", 10},
        {kIncrease, "1.1 ", "34DEBA ", 10},
        {kDecrease, "1.0 ", "34DEBA "},
        {kDecrease, "0.0 ", "34DEBA ", 10}, // a big step lands below the minimum...
        {kDecrease, "Auto ", "34DEBA "},    // ...and the next one on "Auto "
    });
    GoTo("/STRK");
    Walk({{kIncrease, "1", "50/STRK"}, {kDecrease, " OFF ", "50/STRK"}});
    sim->params.ParamTable[sim->params.FindByName("/STRK")].Value = 1000;
    Walk({{kRedraw, "1000", "50/STRK"}, {kIncrease, "1005", "50/STRK"}});
    EXPECT_EQ(sim->configMenu.EditStep, 5);
    sim->params.ParamTable[sim->params.FindByName("/STRK")].Value = 999999990;
    Walk({{kIncrease, "1.00E9", "50/STRK", 10}, {kIncrease, "1.00E9", "50/STRK"}});
    EXPECT_EQ(sim->params.store.StoerSTRK, 1000000000);
    GoTo("TSUP");
    Walk({{kDecrease, "Auto ", "10TSUP "}, {kIncrease, "0 ", "10TSUP "}, {kIncrease, "10 ", "10TSUP ", 10}});
    EXPECT_EQ(sim->params.store.MinTimeUp, 10);
}

TEST_F(Menu, ActionParametersShowTheirStateWhilePressed) {
    GoTo("PRST");
    Walk({{kRedraw, "oCAY ", "55PRST "},
          {kIncrease, "Strt ", "55PRST "},
          {kIncreaseReleased, "oCAY ", "55PRST "}});
    GoTo("YA");
    Key(kIncrease);
    GoTo("PRST");
    Walk({{kRedraw, "  no ", "55PRST "},
          {kDecrease, "  no ", "55PRST "},
          {kIncreaseHeld, "oCAY ", "55PRST "}});
    EXPECT_TRUE(sim->params.TableAtDefaults());
    EXPECT_EQ(sim->params.store.YA, 0);

    GoTo("INITM");
    // Pressed: "noini"; released: the travel found, none yet for a linear actuator without stroke range.
    Walk({{kDecrease, "noini", " 5INITM"}, {kDecreaseReleased, " ", " 5INITM"}});
    sim->params.ParamTable[sim->params.YWAYIndex].Value = 5; // a 25 mm stroke
    sim->params.StoreFromTable();
    Walk({{kIncrease, "", " 5INITM"}, {kRedraw, "24.7 ", " 5INITM"}});
    Key(kIncreaseHeld);
    EXPECT_EQ(S().InitStepRunning, 1);
}

// The help labels are the table's texts; what can go wrong is the value's description not following
// the value or the language.
TEST_F(Menu, HelpLabelsFollowTheValueAndTheLanguage) {
    GoTo("DEBA");
    EXPECT_EQ(sim->form.HilfeOben.text, " As measured during initialization ");
    Key(kIncrease);
    EXPECT_EQ(sim->form.HilfeOben.text, "") << "a number has no value description";
    S().Language = Language::German;
    GoTo("/ZERO");
    EXPECT_EQ(sim->form.HilfeOben.text, " Keine Grenzwertüberwachung ");
}

TEST_F(Menu, HelpTextsWrapAtTheLastBlankThatFits) {
    const std::pair<std::string, std::string> wraps[] = {
        {"Short", " Short "},
        {std::string(41, 'x'), " " + std::string(41, 'x') + " "},
        {std::string(20, 'a') + " " + std::string(30, 'b'),
         " " + std::string(20, 'a') + " \r\n " + std::string(30, 'b') + " "},
        {std::string(50, 'c'), " \r\n " + std::string(50, 'c') + " "},
        {"Größter Wert von AUF und ZU, wie bei der Initialisierung ermittelt",
         " Größter Wert von AUF und ZU, wie bei der \r\n Initialisierung ermittelt "},
    };
    for (const auto& [text, wrapped] : wraps)
        EXPECT_EQ(ConfigMenu::WrapHelpText(text), wrapped) << text;
}

TEST_F(Menu, EveryParameterOfEveryVariantIsReachableAndStaysInItsLimits) {
    for (uint8_t variant : {0, 1, 2}) {
        Restart(variant);
        ParamSet& p = sim->params;
        // Free characteristic and linear actuator: nothing is skipped.
        p.ParamTable[p.SFCTIndex].Value = 7;
        p.StoreFromTable();
        Key(kRedraw);
        int steps = 0;
        do
            Key(kNext);
        while (++steps < 100 && sim->configMenu.CurrentParam != 0);
        EXPECT_EQ(steps, p.ParamLastIndex + 1) << int(variant);
        for (int i = 0; i <= p.ParamLastIndex; ++i) {
            if (i == p.INITAIndex || i == p.INITMIndex || i == p.PRSTIndex) continue;
            sim->configMenu.CurrentParam = static_cast<uint32_t>(i);
            const TParamField& f = p.ParamTable[i];
            const int32_t lowest = Has(f.Kind, ParamKind::Special) ? f.Special : f.Min;
            for (int n = 0; n < 3000 && f.Value != f.Max; ++n)
                Key(kIncrease, 10);
            EXPECT_EQ(f.Value, f.Max) << int(variant) << f.Name;
            for (int n = 0; n < 3000 && f.Value != lowest; ++n)
                Key(kDecrease, 10);
            EXPECT_EQ(f.Value, lowest) << int(variant) << f.Name;
        }
    }
}
