#include "support/SimFixture.h"

#include "device/LcdReadBack.h"

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
        int32_t step;
        const char* upper;
        const char* lower;
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
        {kRedraw, 1, " WAY ", " 1YFCT "},
        {kNext, 1, " 33~ ", " 2YAGL "},
        {kNext, 1, " OFF ", " 3YWAY "}, // a linear actuator has a stroke range
        {kPrevious, 1, " 33~ ", " 2YAGL "},
        {kPrevious, 1, " WAY ", " 1YFCT "},
        {kPrevious, 1, "oCAY ", "55PRST "}, // wraps to the last parameter
        {kNext, 1, " WAY ", " 1YFCT "},
        {kDecrease, 1, "turn ", " 1YFCT "}, // a part-turn actuator...
        {kNext, 1, " 90~ ", " 2YAGL "},     // ...forces the 90-degree feedback angle
        {kNext, 1, "89.1~", " 4INITA"},     // and skips the stroke range
        {kPrevious, 1, " 90~ ", " 2YAGL "},
    });
    GoTo("SFCT");
    Walk({
        {kNext, 1, "Auto ", "34DEBA "}, // the support values only follow the free characteristic
        {kPrevious, 1, " Lin ", "12SFCT "},
        {kIncrease, 7, "FrEE ", "12SFCT "},
        {kNext, 1, "  0.0 ", "13SL0  "},
        {kPrevious, 1, "FrEE ", "12SFCT "},
    });
    GoTo("DEBA");
    Key(kPrevious);
    ExpectDisplay("100.0 ", "33SL20 ", "back from DEBA onto SL20 with the free characteristic");
}

TEST_F(Menu, ValuesStepBySpecialValuesAndLimits) {
    GoTo("DEBA");
    Walk({
        {kIncrease, 1, "0.1 ", "34DEBA "},  // from "Auto " up to the minimum
        {kDecrease, 1, "Auto ", "34DEBA "}, // below the minimum: the special value
        {kIncrease, 10, "0.1 ", "34DEBA "},
        {kIncrease, 10, "1.1 ", "34DEBA "},
        {kDecrease, 1, "1.0 ", "34DEBA "},
        {kDecrease, 10, "0.0 ", "34DEBA "}, // a big step lands below the minimum...
        {kDecrease, 1, "Auto ", "34DEBA "}, // ...and the next one on "Auto "
    });
    GoTo("/STRK");
    Walk({{kIncrease, 1, "1", "50/STRK"}, {kDecrease, 1, " OFF ", "50/STRK"}});
    sim->params.ParamTable[sim->params.FindByName("/STRK")].Value = 1000;
    Walk({{kRedraw, 1, "1000", "50/STRK"}, {kIncrease, 1, "1005", "50/STRK"}});
    EXPECT_EQ(sim->configMenu.EditStep, 5);
    sim->params.ParamTable[sim->params.FindByName("/STRK")].Value = 999999990;
    Walk({{kIncrease, 10, "1.00E9", "50/STRK"}, {kIncrease, 1, "1.00E9", "50/STRK"}});
    EXPECT_EQ(sim->params.store.StoerSTRK, 1000000000);
    GoTo("TSUP");
    Walk({{kDecrease, 1, "Auto ", "10TSUP "},
          {kIncrease, 1, "0 ", "10TSUP "},
          {kIncrease, 10, "10 ", "10TSUP "}});
    EXPECT_EQ(sim->params.store.MinTimeUp, 10);
    GoTo("YE");
    Walk({{kIncrease, 1, "100.0 ", "36YE   "}, {kDecrease, 10, "99.0 ", "36YE   "}});
    GoTo("YWAY");
    Walk({{kIncrease, 10, " 60.0 ", " 3YWAY "},
          {kIncrease, 10, "130.0 ", " 3YWAY "},
          {kDecrease, 1, "110.0 ", " 3YWAY "}});
    EXPECT_EQ(sim->params.store.YE, 99 * 256);
}

TEST_F(Menu, ActionParametersShowTheirStateWhilePressed) {
    GoTo("PRST");
    Walk({{kRedraw, 1, "oCAY ", "55PRST "},
          {kIncrease, 1, "Strt ", "55PRST "},
          {kIncreaseReleased, 1, "oCAY ", "55PRST "}});
    GoTo("YA");
    Key(kIncrease);
    GoTo("PRST");
    Walk({{kRedraw, 1, "  no ", "55PRST "},
          {kDecrease, 1, "  no ", "55PRST "},
          {kIncreaseHeld, 1, "oCAY ", "55PRST "}});
    EXPECT_TRUE(sim->params.TableAtDefaults());
    EXPECT_EQ(sim->params.store.YA, 0);

    GoTo("INITM");
    // Pressed: "noini"; released: the travel found, none yet for a linear actuator without stroke range.
    Walk({{kDecrease, 1, "noini", " 5INITM"}, {kDecreaseReleased, 1, " ", " 5INITM"}});
    sim->params.ParamTable[sim->params.YWAYIndex].Value = 5; // a 25 mm stroke
    sim->params.StoreFromTable();
    Walk({{kIncrease, 1, "", " 5INITM"}, {kRedraw, 1, "24.7 ", " 5INITM"}});
    Key(kIncreaseHeld);
    EXPECT_EQ(S().InitStepRunning, 1);
}

TEST_F(Menu, HelpLabelsDescribeParameterAndValue) {
    Key(kRedraw);
    EXPECT_EQ(sim->form.HilfeUnten.text, " Type of actuator ");
    EXPECT_EQ(sim->form.HilfeOben.text, " Linear actuator ");
    GoTo("DEBA");
    EXPECT_EQ(sim->form.HilfeOben.text, " As measured during initialization ");
    Key(kIncrease);
    EXPECT_EQ(sim->form.HilfeOben.text, "") << "a number has no value description";
    S().Language = Language::German;
    GoTo("/ZERO");
    EXPECT_EQ(sim->form.HilfeUnten.text,
              " Grenzwert für Anschlagüberwachung unten \r\n in % (nur wirksam bei Dichtschließen) ");
    EXPECT_EQ(sim->form.HilfeOben.text, " Keine Grenzwertüberwachung ");
}

TEST_F(Menu, HelpTextsAndNumberedNames) {
    const std::pair<std::string, std::string> wraps[] = {
        {"Short", " Short "},
        {std::string(41, 'x'), " " + std::string(41, 'x') + " "},
        {std::string(20, 'a') + " " + std::string(30, 'b'), " " + std::string(20, 'a') + " \r\n " + std::string(30, 'b') + " "},
        {std::string(50, 'c'), " \r\n " + std::string(50, 'c') + " "},
        {"Größter Wert von AUF und ZU, wie bei der Initialisierung ermittelt",
         " Größter Wert von AUF und ZU, wie bei der \r\n Initialisierung ermittelt "},
    };
    for (const auto& [text, wrapped] : wraps) EXPECT_EQ(ConfigMenu::WrapHelpText(text), wrapped) << text;
    EXPECT_EQ(ConfigMenu::NumberedName(1, "  YFCT "), " 1YFCT ");
    EXPECT_EQ(ConfigMenu::NumberedName(17, "  SL3  "), "17SL3  ");
    EXPECT_EQ(ConfigMenu::NumberedName(100, "  YFCT "), "  YFCT ");
}

TEST_F(Menu, EveryParameterOfEveryVariantIsReachableAndStaysInItsLimits) {
    for (uint8_t variant : {0, 1, 2}) {
        Restart(variant);
        ParamSet& p = sim->params;
        // Free characteristic and linear actuator: nothing is skipped.
        p.ParamTable[p.SFCTIndex].Value = 7;
        p.StoreFromTable();
        Key(kRedraw);
        std::vector<uint32_t> visited;
        do {
            visited.push_back(sim->configMenu.CurrentParam);
            Key(kNext);
        } while (sim->configMenu.CurrentParam != 0 && visited.size() < 100);
        EXPECT_EQ(visited.size(), static_cast<size_t>(p.ParamLastIndex + 1)) << int(variant);
        for (uint32_t index : visited) {
            if (static_cast<int>(index) == p.INITAIndex || static_cast<int>(index) == p.INITMIndex ||
                static_cast<int>(index) == p.PRSTIndex)
                continue;
            sim->configMenu.CurrentParam = index;
            TParamField& f = p.ParamTable[index];
            for (int i = 0; i < 3000 && f.Value != f.Max; ++i)
                Key(kIncrease, 10);
            EXPECT_EQ(f.Value, f.Max) << int(variant) << f.Name;
            for (int i = 0; i < 3000 && f.Value != (Has(f.Kind, ParamKind::Special) ? f.Special : f.Min); ++i)
                Key(kDecrease, 10);
            EXPECT_EQ(f.Value, Has(f.Kind, ParamKind::Special) ? f.Special : f.Min) << int(variant) << f.Name;
        }
    }
}

TEST_F(Menu, TheSimulationFollowsChangedParameters) {
    Enter("50");
    RunToRest();
    GoTo("YA");
    for (int i = 0; i < 2; ++i)
        Key(kIncrease, 10); // 2.0 %
    GoTo("YE");
    for (int i = 0; i < 2; ++i)
        Key(kDecrease, 10); // 98.0 %
    sim->ApplyParameters(); // as leaving the configuration does
    RunToRest();
    EXPECT_DOUBLE_EQ(S().Istwert, 50); // 50 % of 2..98 is 50
    Enter("0");
    RunToRest();
    EXPECT_DOUBLE_EQ(S().Istwert, 2);
    GoTo("TSUP");
    for (int i = 0; i < 4; ++i)
        Key(kIncrease); // 4 s for a full stroke up
    sim->ApplyParameters();
    EXPECT_DOUBLE_EQ(S().StepUp, 6250.0 / 4000);
}
