#include "support/SimFixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace vp7;

namespace {
struct Windows : vp7::test::SimFixture {
    const ParTabState& T() const { return sim->form.parTab; }
    void Open() { sim->UserClick(sim->form.ParameterTabelle1); }
};
} // namespace

TEST_F(Windows, TheListingFollowsVariantActuatorAndCharacteristic) {
    struct Case {
        uint8_t variant;
        int yfct, sfct;
        size_t dataRows;
        const char* third; // column 0 of row 3
    };
    const Case cases[] = {
        {0, 1, 0, 30, "    YWAY "}, {0, 0, 0, 29, "    SDIR "}, {0, 2, 0, 28, "    SPRA "},
        {0, 1, 7, 51, "    YWAY "}, {1, 1, 0, 32, "    YWAY "}, {2, 1, 0, 29, "    YWAY "},
    };
    for (const Case& c : cases) {
        Restart(c.variant);
        sim->params.ParamTable[sim->params.YFCTIndex].Value = c.yfct;
        sim->params.ParamTable[sim->params.SFCTIndex].Value = c.sfct;
        Open();
        ASSERT_EQ(T().rows.size(), c.dataRows + 1) << int(c.variant) << " " << c.yfct << " " << c.sfct;
        EXPECT_EQ(T().rows[0][0], "Parameter");
        EXPECT_EQ(T().rows[1][0], "    YFCT ");
        EXPECT_EQ(T().rows[3][0], c.third);
        for (const auto& row : T().rows) EXPECT_NE(row[0], "    PRST ") << "the factory reset is not listed";
    }
}

TEST_F(Windows, ValueTextsPerKind) {
    struct Case {
        const char* name;
        int32_t value;
        const char* text;
    };
    const Case cases[] = {
        {"SPRA", 55, " 5.5 "},       {"DEBA", -1200, " Auto "},     {"DEBA", 12, " 1.2 "},
        {"TSUP", 0, " 0 "},          {"TSUP", -120, " Auto "},      {"/STRK", 123456, " 1.23E5"},
        {"/STRK", 0, " OFF "},       {"AFCT", 4, " -Mi -MA"},       {"YAGL", 0, " 90° "},
        {"INITA", 1, " noini"},      {"SFCT", 4, " n1-25"},         {"YWAY", 14, " 130.0 "},
    };
    for (const Case& c : cases) {
        const int index = sim->params.FindByName(c.name);
        sim->params.ParamTable[index].Value = c.value;
        EXPECT_EQ(sim->paramTableView.ParamValueText(index), c.text) << c.name << " " << c.value;
    }
    Restart(1);
    EXPECT_EQ(sim->paramTableView.ParamValueText(sim->params.FindByName("STNR")), " 126 ");
}

TEST_F(Windows, SizeRefreshAndCaption) {
    ParamTableView& view = sim->paramTableView;
    EXPECT_FALSE(view.FormCanResize(251, 200));
    EXPECT_FALSE(view.FormCanResize(260, 300)) << "the width is fixed";
    EXPECT_TRUE(view.FormCanResize(251, 300));
    EXPECT_EQ(T().height, 300);
    sim->FormKeyDown(ParamTableView::KeyF5, false, false, false); // hidden: nothing
    EXPECT_TRUE(T().rows.empty());
    Open();
    EXPECT_TRUE(T().visible && T().checked && sim->form.ParameterTabelle1.checked);
    EXPECT_EQ(T().caption, "Parameter list");
    sim->params.ParamTable[sim->params.FindByName("SPRA")].Value = 100;
    sim->FormKeyDown(ParamTableView::KeyF5, false, false, true); // with Ctrl: nothing
    EXPECT_EQ(T().rows[5][1], " 0.0 ");
    sim->FormKeyDown(ParamTableView::KeyF5, false, false, false);
    EXPECT_EQ(T().rows[5][1], " 10.0 ");
    view.FormClose();
    EXPECT_FALSE(T().visible || T().checked || sim->form.ParameterTabelle1.checked);
    Open();
    Open(); // the menu item closes the window it opened
    EXPECT_FALSE(T().visible || T().checked || sim->form.ParameterTabelle1.checked);
    sim->UserClick(sim->form.Deutsch1);
    EXPECT_EQ(T().caption, "Parameter list") << "hidden: its caption waits until it is shown";
}

TEST_F(Windows, TheScaleDialogAcceptsOnlyConsistentScales) {
    struct Case {
        const char* xe;
        const char* xa;
        bool accepted;
    };
    const Case cases[] = {{"100", "90", true}, {"100", "91", false}, {"59", "50", false},
                          {"80", "12,5", true}, {"x", "0", false},   {"100,5", "0", false}};
    for (const Case& c : cases) {
        Restart();
        host.OnModalDialog([&](ModalDialog) {
            sim->form.scaleDialog.setpoint100Edit = c.xe;
            sim->form.scaleDialog.setpoint0Edit = c.xa;
            EXPECT_EQ(sim->scaleDialog.Button1Click(), c.accepted) << c.xe << " " << c.xa;
        });
        const size_t before = host.Messages().size();
        Click({30, 440}, MouseButton::Right); // the setpoint scale's heading
        EXPECT_EQ(host.Messages().size(), before + (c.accepted ? 0 : 1));
        if (c.accepted) {
            EXPECT_EQ(sim->form.SetPointText.text, c.xa) << "the text as typed";
            EXPECT_EQ(sim->scales.PV100, c.xe);
        } else {
            EXPECT_EQ(LastMessage(), "Value of scale is incorrect");
            EXPECT_EQ(sim->scales.PV0, "0");
        }
    }
    EXPECT_DOUBLE_EQ(sim->scales.SollwertMin, 0);
    Restart();
    host.OnModalDialog([&](ModalDialog) {
        EXPECT_EQ(sim->form.scaleDialog.setpoint100Edit, "100.00");
        EXPECT_EQ(sim->form.scaleDialog.setpoint0Edit, "0.00");
        EXPECT_EQ(sim->form.scaleDialog.caption, "Change setpoint scale");
    });
    Click({30, 440}, MouseButton::Right);
}

TEST_F(Windows, TheScreenCheckWarnsOnSmallScreens) {
    struct Case {
        ScreenInfo screen;
        bool checkOn;
        bool shown;
    };
    const Case cases[] = {{{1024, 768, 16}, true, true},
                          {{1280, 1024, 16}, true, true},
                          {{1280, 1024, 24}, true, false},
                          {{800, 600, 32}, false, false}};
    for (const Case& c : cases) {
        host.SetScreen(c.screen);
        std::filesystem::remove_all(dir / "Config");
        if (!c.checkOn) {
            std::filesystem::create_directories(dir / "Config");
            std::ofstream(dir / "Config" / "VP7.ini") << "[Config]\nCheckScreen=0\n";
        }
        int shown = 0;
        host.OnModalDialog([&](ModalDialog d) { shown += d == ModalDialog::ScreenCheck; });
        Restart();
        EXPECT_EQ(shown == 1, c.shown) << c.screen.width << "x" << c.screen.bitsPerPixel;
    }
    // Closing from the dialog ends the start-up; closing writes the settings as usual.
    host.SetScreen({1024, 768, 16});
    std::filesystem::remove_all(dir / "Config");
    host.OnModalDialog([&](ModalDialog) {
        sim->screenCheck.ScreenCheckClick(false);
        sim->screenCheck.Button2Click();
    });
    Restart();
    EXPECT_TRUE(host.CloseRequested());
    EXPECT_EQ(S().ScalesValid, 0) << "the start-up ended";
    ASSERT_TRUE(sim->FormCloseQuery());
    sim->FormClose();
    std::ifstream ini(dir / "Config" / "VP7.ini");
    std::string text((std::istreambuf_iterator<char>(ini)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("CheckScreen=0"), std::string::npos);
}
