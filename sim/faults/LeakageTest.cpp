// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/faults/LeakageTest.h"

#include "platform/NumberFormat.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/diagnosis/Initialization.h"
#include "sim/faults/ExtendedFaults.h"
#include "sim/motion/Actuator.h"

#include <algorithm>
#include <cmath>

namespace vp7 {

LeakageTest::LeakageTest(Simulator& sim) : sim_(sim) {}

bool LeakageTest::Key(KeyCode code) {
    if (sim_.initialization.InitRun != 2 || sim_.extendedFaults.initError.Stopped()) return false;
    if (code == KeyCode::IncreasePressed && Phase == Idle) {
        Phase = Asked;
        return true;
    }
    if (code == KeyCode::DecreasePressed && Phase == Showing) {
        Ticks = 1; // the display ends at the next tick
        return true;
    }
    return false;
}

bool LeakageTest::Tick() {
    Initialization& init = sim_.initialization;
    const SimState& s = sim_.state;
    switch (Phase) {
    case Asked:
        // The stem stands once both travel times are measured.
        if (init.InitRun != 2 || init.RunStep[2] != 3 || s.MoveActive) return false;
        Phase = Measuring;
        Ticks = 0;
        Start = init.InitPosition;
        init.ShowInitRun(2, Initialization::ShowLeakage);
        sim_.form.initInfo.measureText =
            s.Text("Leckage-Messung: das Ventil steht", "Leakage measurement: the valve stands");
        return true;
    case Measuring: {
        Drift();
        if (++Ticks < MeasureTicks) return true;
        Rate = std::fabs(init.InitPosition - Start) / Initialization::InitScale * 60.0 / MeasureTicks;
        Phase = Showing;
        Ticks = ShowTicks;
        init.ShowInitValue(Initialization::ShowLeakage, Rate);
        const std::string rate = FormatFixed(Rate, 1, 15) + " %/min";
        sim_.form.initInfo.measureText = s.Text("Leckage: ", "Leakage: ") + rate;
        return true;
    }
    case Showing:
        if (--Ticks > 0) return true;
        Phase = Idle;
        return false;
    default:
        return false;
    }
}

// A second's drift of a leaking actuator: diagnostic 10 holds the rate in tenths of %/min.
void LeakageTest::Drift() {
    const FormState& f = sim_.form;
    if (!f.LeakageSelect.checked || f.NoPreasureSelect.checked) return;
    Initialization& init = sim_.initialization;
    SimState& s = sim_.state;
    const double perSecond =
        sim_.diagnostics.DiagTable[DiagLeakage].Value / 10.0 / 60.0 * Initialization::InitScale;
    const double drifted = init.InitPosition + (f.SelfOpeningSelect.checked ? perSecond : -perSecond);
    init.InitPosition = init.InitTarget =
        std::clamp(drifted, Initialization::InitBottom, Initialization::InitTop);
    s.CurrentFrame = s.TargetFrame = InitStops::FrameOf(init.InitPosition);
    sim_.actuator.DrawPiston();
    init.ShowInitValue(0, init.InitPosition);
}

void LeakageTest::Reset() {
    Phase = Idle;
    Ticks = 0;
    Start = Rate = 0;
}

void LeakageTest::DoState(StateVisitor& v) {
    v("leakTestPhase", Phase);
    v("leakTestTicks", Ticks);
    v("leakTestStart", Start);
    v("leakTestRate", Rate);
}

} // namespace vp7
