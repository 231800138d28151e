// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/faults/InitError.h"

#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Initialization.h"
#include "sim/faults/ExtendedFaults.h"

namespace vp7 {

InitError::InitError(Simulator& sim) : sim_(sim) {}

void InitError::Stop(const char* errorDe, const char* errorEn, const std::string& measureDe,
                     const std::string& measureEn) {
    Initialization& init = sim_.initialization;
    const SimState& s = sim_.state;
    sim_.extendedFaults.initStops.Halt();
    Run = static_cast<uint8_t>(init.InitRun + 1);
    ShowsError = 1;
    InitInfoState& info = sim_.form.initInfo;
    // The status field beside it names the run; the red field is too narrow for both.
    info.errorText = s.Text(errorDe, errorEn);
    info.measureText = s.Text(measureDe, measureEn);
    info.keyText = s.Text("Modus-Taste: Initialisierung verlassen", "Mode key: leave the initialization");
    init.ShowInitRun(Run - 1, Initialization::ShowError);
    sim_.ViewChanged();
}

bool InitError::Tick() {
    if (!Stopped()) return false;
    ShowsError = !ShowsError;
    sim_.initialization.ShowInitRun(Run - 1, ShowsError ? Initialization::ShowError : 0);
    return true;
}

void InitError::Reset() {
    Run = ShowsError = 0;
}

void InitError::DoState(StateVisitor& v) {
    v("initErrorRun", Run);
    v("initErrorShown", ShowsError);
}

} // namespace vp7
