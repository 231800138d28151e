// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/display/ScreenCheck.h"
#include "sim/motion/Scales.h"
#include "sim/operation/ParamTableView.h"
#include "sim/operation/ScaleDialog.h"
#include "support/SimFixture.h"

#include <tuple>

using namespace vp7;

namespace {
struct Windows : vp7::test::SimFixture {
    const ParTabState& T() const { return sim->form.parTab; }
    void Open() { sim->UserClick(sim->form.ParameterTabelle1); }
};
} // namespace

TEST_F(Windows, TheListingFollowsVariantActuatorAndCharacteristic) {
    // Variant, YFCT, SFCT; the rows below the heading and the name in row 3.
    const std::tuple<uint8_t, int, int, size_t, const char*> cases[] = {
        {0, 1, 0, 30, "    YWAY "}, {0, 0, 0, 29, "    SDIR "}, {0, 2, 0, 28, "    SPRA "},
        {0, 1, 7, 51, "    YWAY "}, {1, 1, 0, 32, "    YWAY "}, {2, 1, 0, 29, "    YWAY "},
    };
    for (const auto& [variant, yfct, sfct, dataRows, third] : cases) {
        SCOPED_TRACE(std::to_string(variant) + " " + std::to_string(yfct) + " " + std::to_string(sfct));
        Restart(variant);
        sim->params.ParamTable[sim->params.YFCTIndex].Value = yfct;
        sim->params.ParamTable[sim->params.SFCTIndex].Value = sfct;
        Open();
        ASSERT_EQ(T().rows.size(), dataRows + 1);
        EXPECT_EQ(T().rows[3][0], third);
        for (const auto& row : T().rows)
            EXPECT_NE(row[0], "    PRST ") << "the factory reset is not listed";
    }
}

// The scenario dialogs.vp7s reads every value of the default table; these are the kinds it does not show.
TEST_F(Windows, ValueTextsPerKind) {
    const std::tuple<uint8_t, const char*, int32_t, const char*> cases[] = {
        {0, "/STRK", 123456, " 1.23E5"}, // a large count
        {0, "AFCT", 4, " -Mi -MA"},      // the alarm functions spell out their "*"
        {0, "INITA", 1, " noini"},       // an action shows its resting text
        {1, "STNR", 126, " 126 "},       // a plain number
    };
    for (const auto& [variant, name, value, text] : cases) {
        Restart(variant);
        const int index = sim->params.FindByName(name);
        sim->params.ParamTable[index].Value = value;
        EXPECT_EQ(sim->paramTableView.ParamValueText(index), text) << name;
    }
}

TEST_F(Windows, RefreshAndToggle) {
    sim->FormKeyDown(ParamTableView::KeyF5, false, false, false); // hidden: nothing
    EXPECT_TRUE(T().rows.empty());
    Open();
    EXPECT_TRUE(T().visible && T().checked && sim->form.ParameterTabelle1.checked);
    sim->params.ParamTable[sim->params.FindByName("SPRA")].Value = 100;
    sim->FormKeyDown(ParamTableView::KeyF5, false, false, true); // with Ctrl: nothing
    EXPECT_EQ(T().rows[5][1], " 0.0 ");
    sim->FormKeyDown(ParamTableView::KeyF5, false, false, false);
    EXPECT_EQ(T().rows[5][1], " 10.0 ");
    sim->paramTableView.FormClose();
    EXPECT_FALSE(T().visible || T().checked || sim->form.ParameterTabelle1.checked);
    Open();
    Open(); // the menu item closes the window it opened
    EXPECT_FALSE(T().visible || T().checked || sim->form.ParameterTabelle1.checked);
}

TEST_F(Windows, TheScaleDialogAcceptsOnlyConsistentScales) {
    // dialogs.vp7s takes a scale and refuses one; here the limits and texts that are no number.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"100", "90", true}, {"100", "91", false},  {"80", "12,5", true},
        {"x", "0", false},   {"100,5", "0", false},
    };
    for (const auto& [xe, xa, accepted] : cases) {
        SCOPED_TRACE(std::string(xe) + " " + xa);
        Restart();
        host.OnModalDialog([&, xe = xe, xa = xa, accepted = accepted](ModalDialog) {
            EXPECT_EQ(sim->form.scaleDialog.setpoint100Edit, "100.00") << "opened on the current scale";
            EXPECT_EQ(sim->form.scaleDialog.setpoint0Edit, "0.00");
            sim->form.scaleDialog.setpoint100Edit = xe;
            sim->form.scaleDialog.setpoint0Edit = xa;
            EXPECT_EQ(sim->scaleDialog.Button1Click(), accepted);
        });
        const size_t before = host.Messages().size();
        Click({30, 440}, MouseButton::Right); // the setpoint scale's heading
        EXPECT_EQ(host.Messages().size(), before + (accepted ? 0 : 1));
        if (accepted) {
            EXPECT_EQ(sim->form.SetPointText.text, xa) << "the text as typed";
            EXPECT_EQ(sim->scales.PV100, xe);
        } else {
            EXPECT_EQ(LastMessage(), "Value of scale is incorrect");
            EXPECT_EQ(sim->scales.PV0, "0");
        }
    }
    EXPECT_DOUBLE_EQ(sim->scales.SollwertMin, 0);
}

TEST_F(Windows, SmallScreensMaximizeTheWindowAndTheScreenCheckWarnsUntilTurnedOff) {
    // A fresh start; how often the screen check showed.
    int shown = 0;
    const auto start = [&] {
        shown = 0;
        host.OnModalDialog([&](ModalDialog d) { shown += d == ModalDialog::ScreenCheck; });
        Restart();
        return shown;
    };
    // The screen; how often the check showed, and whether the window starts maximized (up to 1024 wide).
    const std::tuple<ScreenInfo, int, bool> cases[] = {{{1280, 1024, 16}, 1, false},
                                                       {{800, 600, 32}, 1, true},
                                                       {{1280, 1024, 24}, 0, false},
                                                       {{1024, 768, 24}, 0, true},
                                                       {{1025, 768, 24}, 0, false}};
    for (const auto& [screen, dialogs, maximized] : cases) {
        host.SetScreen(screen);
        EXPECT_EQ(start(), dialogs) << screen.width << "x" << screen.bitsPerPixel;
        EXPECT_EQ(sim->form.maximized, maximized) << screen.width;
    }
    // Turned off and closed from the dialog: the start-up ends, and the choice is kept for the next start.
    host.OnModalDialog([&](ModalDialog) {
        sim->screenCheck.ScreenCheckClick(false);
        sim->screenCheck.Button2Click();
    });
    host.SetScreen({1024, 768, 16});
    Restart();
    EXPECT_TRUE(host.CloseRequested());
    EXPECT_EQ(S().ScalesValid, 0) << "the start-up ended";
    ASSERT_TRUE(sim->FormCloseQuery());
    sim->FormClose();
    EXPECT_EQ(start(), 0);
}
