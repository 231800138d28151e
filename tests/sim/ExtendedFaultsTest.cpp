// SPDX-License-Identifier: GPL-3.0-or-later
// The extended fault effects' option, kept in a settings section of its own, so that with it off settings
// files are what they were without it, and in every snapshot and its compare. Each effect against
// its absence with the option off is a scenario: extended-leak.vp7s (with the leak shown with the option
// off in exercise 07), extended-friction.vp7s, extended-init-*.vp7s, extended-leak-test.vp7s.
#include "sim/Snapshot.h"
#include "sim/diagnosis/Diagnostics.h"
#include "support/FileFixture.h"

using namespace vp7;

using ExtendedFaultsOption = vp7::test::FileFixture;

TEST_F(ExtendedFaultsOption, WithItOffSnapshotsAndSettingsAreAsWithoutIt) {
    Control& option = sim->form.ExtendedFaultsSelect;
    const std::string plain = TakeSnapshot(*sim);
    sim->UserCheck(option, true);
    const std::string extended = TakeSnapshot(*sim);
    // A device whose option differs from the snapshot's compares unequal, never as alike.
    option.checked = false; // nothing else of the device changed
    const auto difference = SnapshotDifference(*sim, extended);
    ASSERT_TRUE(difference.has_value());
    EXPECT_NE(difference->find("extendedFaults"), std::string::npos) << *difference;
    // A snapshot taken with it off turns it off; one taken with it on keeps it.
    ASSERT_EQ(RestoreSnapshot(*sim, plain), std::nullopt);
    EXPECT_FALSE(option.checked);
    EXPECT_EQ(TakeSnapshot(*sim), plain);
    ASSERT_EQ(RestoreSnapshot(*sim, extended), std::nullopt);
    EXPECT_TRUE(option.checked);
    // Hidden by an exercise is kept too, though off.
    sim->UserCheck(option, false);
    option.visible = false;
    const std::string hidden = TakeSnapshot(*sim);
    option.visible = true;
    ASSERT_EQ(RestoreSnapshot(*sim, hidden), std::nullopt);
    EXPECT_FALSE(option.visible);
    option.visible = true;

    // The settings file gets the section once the option was on, and keeps it off thereafter.
    Close();
    EXPECT_EQ(vp7::test::Bytes(Ini()).find("[ExtendedFaults]"), std::string::npos);
    Restart();
    sim->UserCheck(sim->form.ExtendedFaultsSelect, true);
    Close();
    EXPECT_TRUE(IniHas("On=1"));
    Restart();
    EXPECT_TRUE(sim->form.ExtendedFaultsSelect.checked);
    sim->UserCheck(sim->form.ExtendedFaultsSelect, false);
    Close();
    EXPECT_TRUE(IniHas("On=0"));
    // Off, a leak leaves the leakage diagnostic at its stored rate.
    sim->UserCheck(sim->form.LeakageSelect, true);
    EXPECT_EQ(sim->diagnostics.ShownValue(DiagLeakage), sim->diagnostics.DiagTable[DiagLeakage].Value);
}
