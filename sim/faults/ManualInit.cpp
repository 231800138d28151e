// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/faults/ManualInit.h"

#include "platform/NumberFormat.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Initialization.h"
#include "sim/faults/ExtendedFaults.h"
#include "sim/operation/ModeLogic.h"

namespace vp7 {

ManualInit::ManualInit(Simulator& sim) : sim_(sim) {}

bool ManualInit::Asking() const {
    const Initialization& init = sim_.initialization;
    return sim_.state.InitStepRunning && init.InitRun == 1 && init.RunStep[1] < 2 && Asked != Confirmed &&
           !sim_.extendedFaults.initError.Stopped();
}

bool ManualInit::Tick() {
    if (!Asking()) return false;
    if (Asked == NotYet) {
        Asked = LowerEnd;
        ShowAsked();
    }
    return true;
}

bool ManualInit::Key(KeyCode code) {
    if (!Asking() || Asked == NotYet) return false;
    Initialization& init = sim_.initialization;
    ModeLogic& modes = sim_.modes;
    switch (code) {
    case KeyCode::IncreasePressed:
    case KeyCode::DecreasePressed:
        init.InitTarget =
            code == KeyCode::IncreasePressed ? Initialization::InitTop : Initialization::InitBottom;
        init.StartInitMove();
        return true;
    case KeyCode::IncreaseReleased:
    case KeyCode::DecreaseReleased:
        sim_.extendedFaults.initStops.Halt();
        return true;
    case KeyCode::ModePressed:
        modes.StartTiming(modes.HoldTimeout, 100, true);
        return true;
    case KeyCode::HoldTimeout:
        modes.StopKeyTimer();
        modes.HoldTimeout = 0;
        Confirm();
        sim_.state.LastKeyCode = KeyCode::ModeReleased; // the release that follows is dropped
        return true;
    case KeyCode::ModeReleased:
        if (modes.HoldTimeout) modes.StopKeyTimer();
        modes.HoldTimeout = 0;
        return false;
    default:
        return false;
    }
}

void ManualInit::Confirm() {
    Initialization& init = sim_.initialization;
    InitStops& stops = sim_.extendedFaults.initStops;
    stops.Halt();
    if (Asked == LowerEnd) {
        Lower = init.InitPosition;
        stops.FoundBottom(Lower);
        Asked = UpperEnd;
    } else {
        Asked = Confirmed;
        init.RunStep[1] = 2; // RUN 2 judges the stops at its next tick and hands over to RUN 3
    }
    ShowAsked();
}

void ManualInit::ShowAsked() {
    const SimState& s = sim_.state;
    InitInfoState& info = sim_.form.initInfo;
    const auto at = [](double position) { return " P " + FormatFixed(position, 1, 15); };
    const std::string lower = s.Text("Untere Endlage:", "Lower end position:") + at(Lower) + "\n";
    switch (Asked) {
    case LowerEnd:
        info.measureText =
            s.Text("Untere Endlage anfahren und bestätigen", "Move to the lower end position and confirm");
        break;
    case UpperEnd:
        info.measureText = lower + s.Text("Obere Endlage anfahren und bestätigen",
                                          "Move to the upper end position and confirm");
        break;
    default:
        info.measureText =
            lower + s.Text("Obere Endlage:", "Upper end position:") + at(sim_.initialization.InitPosition);
        info.keyText.clear();
        sim_.ViewChanged();
        return;
    }
    info.keyText = s.Text("\"+\" / \"-\" halten: Antrieb auf / ab\nModus-Taste 2 s: Endlage bestätigen\n"
                          "Modus-Taste kurz: Initialisierung verlassen",
                          "Hold \"+\" / \"-\": actuator up / down\nMode key 2 s: confirm the end position\n"
                          "Mode key briefly: leave the initialization");
    sim_.ViewChanged();
}

void ManualInit::Reset() {
    Asked = NotYet;
    Lower = 0;
}

void ManualInit::DoState(StateVisitor& v) {
    v("manualInitAsked", Asked);
    v("manualInitLower", Lower);
}

} // namespace vp7
