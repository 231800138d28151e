// SPDX-License-Identifier: GPL-3.0-or-later
// The extended fault effects: their option, kept in a settings section of its own and behind the rest
// of a snapshot, so that with it off files and snapshots are what they were without it; and each effect
// against its absence with the option off.
#include "platform/NumberFormat.h"
#include "sim/Snapshot.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/diagnosis/Monitoring.h"
#include "support/FileFixture.h"

#include <vector>

using namespace vp7;

using ExtendedFaultsOption = vp7::test::FileFixture;

TEST_F(ExtendedFaultsOption, WithItOffSnapshotsAndSettingsAreAsWithoutIt) {
    Control& option = sim->form.ExtendedFaultsSelect;
    const std::string plain = TakeSnapshot(*sim);
    sim->UserCheck(option, true);
    const std::string extended = TakeSnapshot(*sim);
    ASSERT_GT(extended.size(), plain.size());
    // A snapshot without the part turns the option off; one with it keeps it.
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
}

using ExtendedFaultEffects = vp7::test::FileFixture;

// A leaking double-acting actuator sinks, and the leakage diagnostic shows a leak only where there is
// one, with the option on; off, both are as the device's own model has them.
TEST_F(ExtendedFaultEffects, LeakageSinksADoubleActingActuatorAndShowsInItsDiagnostic) {
    struct Case {
        bool option, leakage;
        double sinks; // % in five cycles
        int32_t shown;
    };
    for (const Case c : {Case{false, true, 0, 24}, Case{false, false, 0, 24}, Case{true, true, 0.2, 24},
                         Case{true, false, 0, 0}}) {
        Restart();
        Param("DEBA", 10); // 1.0 %: the drift stays inside the band for a while
        sim->UserCheck(sim->form.ExtendedFaultsSelect, c.option);
        sim->UserCheck(sim->form.DoubleActingSelect, true);
        MoveTo("50");
        const double start = S().Istwert;
        sim->UserCheck(sim->form.LeakageSelect, c.leakage);
        clock.Advance(5000);
        RunToRest();
        EXPECT_NEAR(start - S().Istwert, c.sinks, 1e-9) << c.option << c.leakage;
        EXPECT_EQ(sim->diagnostics.ShownValue(DiagLeakage), c.shown) << c.option << c.leakage;
    }
}

// With friction a standing stem ignores a deviation inside its breakaway band and jumps once it is
// exceeded; the automatic dead band widens with each jump until its monitoring reports fault 8.
TEST_F(ExtendedFaultEffects, FrictionSticksInsideItsBreakawayBandAndTheDeadBandMonitoringSeesIt) {
    for (const bool option : {false, true}) {
        Restart();
        Param("/DEBA", 5); // 0.5 %
        sim->UserCheck(sim->form.ExtendedFaultsSelect, option);
        sim->UserCheck(sim->form.FrictionSelect, true);
        MoveTo("50");
        const double deadBand = S().DeadBand;
        double setpoint = 50;
        std::vector<double> moves;
        for (int step = 0; step < 6; ++step) {
            const double before = S().Istwert;
            setpoint += 1.0;
            MoveTo(FormatFixed(setpoint, 1, 5));
            moves.push_back(S().Istwert - before);
        }
        if (option) {
            // Every second step of 1 % breaks loose, by the 2 % the deviation has grown to.
            for (size_t i = 0; i < moves.size(); ++i)
                EXPECT_NEAR(moves[i], i % 2 ? 2.0 : 0.0, S().DeadBand) << "step " << i;
            EXPECT_NEAR(S().DeadBand, deadBand + 3 * 0.2, 1e-9);
        } else {
            for (size_t i = 0; i < moves.size(); ++i)
                EXPECT_NEAR(moves[i], 1.0, deadBand) << "step " << i;
            EXPECT_DOUBLE_EQ(S().DeadBand, deadBand);
        }
        clock.Advance(2000);
        EXPECT_EQ(sim->monitoring.FaultFlags[8], option ? 1 : 0);
    }
}
