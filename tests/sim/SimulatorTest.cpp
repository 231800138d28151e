// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/FormChanges.h"
#include "support/SimFixture.h"

#include <string>
#include <vector>

using namespace vp7;
using SimulatorStart = vp7::test::SimFixture;

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

// A view is told just what changed since it last looked, and nothing when nothing did.
TEST_F(SimulatorStart, FormChangesNameWhatChangedSinceTheyWereLastTaken) {
    FormState& f = sim->form;
    FormChanges changes;
    const FormChanges::Taken first = changes.Take(f);
    EXPECT_EQ(first.controls.size(), f.All().size());
    EXPECT_TRUE(first.window && first.smallWindows);
    EXPECT_FALSE(changes.Take(f).Any());

    f.FrictionSelect.caption = "Reibung";
    f.LeakageSelect.checked = true;
    f.initInfo.errorText = "Fehler";
    const FormChanges::Taken taken = changes.Take(f);
    EXPECT_EQ(taken.controls, (std::vector<const Control*>{&f.FrictionSelect, &f.LeakageSelect}));
    EXPECT_FALSE(taken.window);
    EXPECT_TRUE(taken.smallWindows);
    f.title = "Übung";
    const FormChanges::Taken titled = changes.Take(f);
    EXPECT_TRUE(titled.window && titled.controls.empty() && !titled.smallWindows);
    EXPECT_FALSE(changes.Take(f).Any());
    changes.Refresh("FrictionSelect"); // its widget changed itself
    EXPECT_EQ(changes.Take(f).controls, (std::vector<const Control*>{&f.FrictionSelect}));
    EXPECT_FALSE(changes.Take(f).Any());
}
