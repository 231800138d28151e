// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SimFixture.h"

#include <string>
#include <vector>

using namespace vp7;
using SimulatorStart = vp7::test::SimFixture;

TEST_F(SimulatorStart, SmallScreensMaximizeTheWindow) {
    for (auto [width, maximized] : {std::pair{1024, true}, std::pair{1025, false}}) {
        host.SetScreen({width, 768, 24});
        Restart();
        EXPECT_EQ(sim->form.maximized, maximized) << width;
    }
}

// The handler sees the new state, and runs only for a real change.
TEST_F(SimulatorStart, UserActionsUpdateTheFormAndRunTheClickHandler) {
    FormState& f = sim->form;
    std::vector<std::string> clicks;
    sim->OnClick("FrictionSelect",
                 [&] { clicks.push_back("friction " + std::to_string(f.FrictionSelect.checked)); });
    sim->OnClick("SelfOpeningSelect", [&] { clicks.push_back("opening"); });
    sim->OnClick("DrosselSelect",
                 [&] { clicks.push_back("throttle " + std::to_string(f.DrosselSelect.itemIndex)); });

    sim->UserCheck(f.FrictionSelect, true);
    sim->UserCheck(f.FrictionSelect, true); // no change
    sim->UserCheck(f.SelfOpeningSelect, true);
    sim->UserCheck(f.SelfOpeningSelect, false); // only a sibling unchecks a radio button
    sim->UserSelect(f.DrosselSelect, 3);
    sim->UserSelect(f.DrosselSelect, 7); // no such item
    EXPECT_EQ(clicks, (std::vector<std::string>{"friction 1", "opening", "throttle 3"}));
    EXPECT_TRUE(f.SelfOpeningSelect.checked);
    EXPECT_FALSE(f.DoubleActingSelect.checked || f.SelfClosingSelect.checked) << "the radio group excludes";
}
