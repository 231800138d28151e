// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simulator fixture with an initialization started as a person starts it.
#include "sim/diagnosis/Initialization.h"
#include "sim/operation/ConfigMenu.h"
#include "support/SimFixture.h"

namespace vp7::test {

struct InitFixture : SimFixture {
    // From automatic mode: 5 s on the mode key into the configuration, then 5 s on the increase key
    // over INITA or INITM.
    void Start(bool automatic = true) {
        Hold(kModeKey, 5000);
        sim->configMenu.CurrentParam = automatic ? sim->params.INITAIndex : sim->params.INITMIndex;
        sim->configMenu.Run(KeyCode::Neutral, 1);
        Down(kIncKey);
        for (int t = 0; t < 60 && !S().InitRunning && !S().InitStepRunning; ++t)
            clock.Advance(100);
        Up(kIncKey);
        ASSERT_TRUE(automatic ? S().InitRunning : S().InitStepRunning);
        ASSERT_EQ(I().RunStep[0], 0) << "stopped before the first sequencer tick";
    }
    Initialization& I() { return sim->initialization; }
    // To the moment just after the next sequencer tick.
    void NextTick(int after = 0) { clock.Advance(1000 - (clock.NowMs() - 100) % 1000 + after); }
};

} // namespace vp7::test
