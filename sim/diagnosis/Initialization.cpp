// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/diagnosis/Initialization.h"

#include "model/PictureLayout.h"
#include "platform/NumberFormat.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/display/Lcd.h"
#include "sim/faults/ExtendedFaults.h"
#include "sim/motion/Actuator.h"
#include "sim/operation/ParamSet.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vp7 {
namespace {

struct RunTexts {
    const char* name;
    std::initializer_list<const char*> lines[2]; // German, English
};

// The explanation of each run, and of the end, one line each in the info window.
const RunTexts kRunTexts[] = {
    {"RUN 1", {{"Wirksinn wird ermittelt"}, {"Direction of action is dertermined"}}},
    {"RUN 2",
     {{"Stellwegkontrolle und Abgleich von", "Nullpunkt und Hub", "(Anschlag - Anschlag)"},
      {"Checking of travel and adjustment of zero", "and stroke (from stop to stop)", ""}}},
    {"RUN 3",
     {{"Ermittlung und Anzeige der Stellzeiten", "down (dxx.x), up (Uxx.x)", "Stop mit \"-\" Taste",
       "Leckage-Messung mit \"+\" Taste"},
      {"Determination and display of positioning", "time; down (dxx.x), up (Uxx.x)", "Stop with \"-\" key",
       "Leakage measurement with \"+\" key"}}},
    {"RUN 4",
     {{"Ermittlung der minimalen Stellinkrementlänge"}, {"Determination of minimum increment length"}}},
    {"RUN 5", {{"Optimierung des Einschwingverhaltens"}, {"Optimiziation of transient response"}}},
    {"Finished", {{"Initialisierung ist beendet"}, {"Initialization finished"}}},
};

std::string Padded(std::string text, size_t width) {
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

} // namespace

Initialization::Initialization(Simulator& sim) : sim_(sim) {}

void Initialization::StartInitialization() {
    SimState& s = sim_.state;
    FormState& f = sim_.form;
    f.Sprache1.visible = false;
    InitInfoState& info = f.initInfo;
    info.visible = true;
    info.left = 180;
    info.top = 30;
    info.runStatusLabel = "Status";
    info.runErrorLabel = s.Text("Fehler", "Error");
    info.runKeyLabel = s.Text("Tasten", "Keys");
    info.runDiscrLabel = s.Text("Erklärungen", "Explanations");
    info.runToDoLabel = s.Text("Maßnahmen", "Measures");
    info.runFunctionLabel = s.Text("Funktion", "Function");
    info.pauseCaption = "Pause";
    info.errorText.clear();
    info.measureText.clear();
    info.keyText.clear();
    sim_.extendedFaults.InitReset();
    InitPaused = 0;
    InitRun = 0;
    RunStep[0] = 0;
    InitShow = 0;
    ShowRunInfo();
    InitTarget = InitScale * s.Istwert + InitOffset;
    InitPosition = InitTarget;
    ShowInitRun(0, 0);
    ShowInitValue(0, InitTarget);
    sim_.actuator.ComputeStrokeSpeeds();
    sim_.ViewChanged();
}

double Initialization::StemPercent() const {
    // An extended fault's stop may read beyond the ends; the valve itself is never past them.
    return std::clamp((InitPosition - InitOffset) / InitScale, 0.0, 100.0);
}

void Initialization::EndInitialization() {
    SimState& s = sim_.state;
    // An extended fault's stop may read beyond the ends; the valve itself is never past them.
    s.Istwert = std::clamp((InitTarget - InitOffset) / InitScale, 0.0, 100.0);
    s.AutoTarget = s.ManuellTarget = s.Istwert;
    // A move of the procedure ends with it: the piston is shown at the position taken over, and the
    // motion tick, which nothing in the configuration would stop, is stopped.
    sim_.Timer2.SetEnabled(false);
    s.MoveActive = 0;
    s.FrameTravel = 0;
    s.CurrentFrame = s.TargetFrame = static_cast<int32_t>(std::nearbyint(0.4 * s.Istwert));
    sim_.actuator.DrawPiston();
    sim_.form.Sprache1.visible = true;
    sim_.form.initInfo.visible = false;
    sim_.extendedFaults.InitReset();
    sim_.actuator.ComputeStrokeSpeeds();
    sim_.ViewChanged();
}

void Initialization::ShowRunInfo() {
    InitInfoState& info = sim_.form.initInfo;
    const int index = InitRun == 4 && InitShow == 11 ? 5 : std::min<int>(InitRun, 4);
    const RunTexts& texts = kRunTexts[index];
    info.currentRunText = texts.name;
    const auto& lines = sim_.state.Text(texts.lines[0], texts.lines[1]);
    info.runLines.assign(lines.begin(), lines.end());
}

void Initialization::RunPauseButtonClick() {
    InitPaused = !InitPaused;
    sim_.form.initInfo.pauseCaption = InitPaused ? sim_.state.Text("Weiter", "Continue") : "Pause";
    sim_.ViewChanged();
}

void Initialization::ShowInitRun(int run, int code) {
    std::string text;
    switch (code) {
    case 0:
        text = "  RUN " + std::to_string(run + 1);
        break;
    case 9:
        text = std::string("  d--") + '\x1a' + "U";
        break;
    case 10:
        text = std::string("  U--") + '\x1a' + "d";
        break;
    case 11:
        text = "  FINSH";
        break;
    case ShowLeakage:
        text = "  LEAK";
        break;
    case ShowError:
        text = "  ERROR";
        break;
    default:
        return;
    }
    sim_.lcd.LcdLowerText = text;
    sim_.lcd.LCDWrite(text, LowerLine);
}

void Initialization::ShowInitValue(int code, double value) {
    std::string text;
    switch (code) {
    case 0:
        text = "P " + Padded(FormatFixed(value, 1, 15), 3);
        break;
    case 9:
    case 10:
    case ShowLeakage: {
        const char* letter = code == 9 ? "U" : code == 10 ? "d" : "L";
        text = letter + Padded(FormatFixed(std::clamp(value, 0.0, 999.9), 1, 15), 4);
        break;
    }
    case 11:
        text = sim_.params.InitTravelText();
        break;
    default:
        return;
    }
    sim_.lcd.LcdUpperText = text;
    sim_.lcd.LCDWrite(text, UpperLine);
}

void Initialization::StartInitMove() {
    SimState& s = sim_.state;
    s.FrameTravel = 0;
    s.TargetFrame = static_cast<int32_t>(std::nearbyint(40 * (InitTarget - InitBottom) / InitSpan));
    s.MoveDirection = s.TargetFrame > s.CurrentFrame ? 1 : s.TargetFrame < s.CurrentFrame ? -1 : 0;
    if (sim_.extendedFaults.On()) sim_.extendedFaults.initStops.PlanMove(); // stops and blocks
    InitMoveStep();
}

void Initialization::InitMoveStep() {
    SimState& s = sim_.state;
    sim_.Timer2.SetEnabled(false);
    ExtendedFaults& extended = sim_.extendedFaults;
    // With the extended effects a move also ends where the stem is, beyond the picture's last frame.
    if (s.TargetFrame == s.CurrentFrame && (!extended.On() || InitPosition == InitTarget)) {
        s.MoveActive = 0;
        InitPosition = InitTarget;
        ShowInitValue(0, InitPosition);
        return;
    }
    s.MoveActive = 1;
    if (extended.On() && extended.supplyTimeout.Stalls()) return sim_.Timer2.SetEnabled(true);
    const bool down = s.MoveDirection < 1;
    const double step = down ? s.StepDown : s.StepUp;
    InitPosition =
        down ? std::max(InitTarget, InitPosition - step) : std::min(InitTarget, InitPosition + step);
    s.FrameTravel += step;
    ShowInitValue(0, InitPosition);
    if (s.FrameTravel >= InitSpeedFactor && s.CurrentFrame != s.TargetFrame) {
        s.CurrentFrame += s.TargetFrame < s.CurrentFrame ? -1 : 1;
        s.FrameTravel -= InitSpeedFactor;
    }
    sim_.actuator.DrawPiston();
    sim_.Timer2.SetEnabled(true);
}

bool Initialization::Moving() const {
    return sim_.state.MoveActive != 0;
}

bool Initialization::Waited() {
    if (InitWait > 0) {
        --InitWait;
        return false;
    }
    return true;
}

void Initialization::InitSequencer() {
    ExtendedFaults& extended = sim_.extendedFaults;
    // Without air the sequencer is held where it is; the extended effects let the run time out instead.
    if (InitPaused || (sim_.form.NoPreasureSelect.checked && !extended.On())) return;
    if (extended.On() && extended.InitTick()) return sim_.ViewChanged();
    switch (InitRun) {
    case 0:
        Run1();
        break;
    case 1:
        Run2();
        break;
    case 2:
        Run3();
        break;
    case 3:
        Run4();
        break;
    case 4:
        Run5();
        break;
    default:
        break;
    }
    sim_.ViewChanged();
}

void Initialization::Run1() {
    uint8_t& step = RunStep[0];
    switch (step) {
    case 0:
        if (InitTarget >= InitTop) {
            InitWait = 5;
            step = 1;
        } else {
            InitTarget = std::min(InitTop, InitTarget + 10.0);
            step = 2;
            StartInitMove();
        }
        break;
    case 1:
        if (Waited()) step = 2;
        break;
    case 2:
        if (Moving()) return;
        InitTarget = InitBottom;
        step = 3;
        StartInitMove();
        break;
    case 3:
        if (Moving()) return;
        RunStep[1] = 0;
        InitRun = 1;
        ShowInitRun(1, InitShow);
        ShowRunInfo();
        break;
    default:
        break;
    }
}

void Initialization::Run2() {
    uint8_t& step = RunStep[1];
    switch (step) {
    case 0:
        InitTarget = InitBottom;
        step = 1;
        StartInitMove();
        break;
    case 1:
        if (Moving()) return;
        if (sim_.extendedFaults.On()) sim_.extendedFaults.initStops.FoundBottom(InitPosition);
        InitTarget = InitTop;
        step = 2;
        StartInitMove();
        break;
    case 2:
        if (Moving()) return;
        if (sim_.extendedFaults.On() && sim_.extendedFaults.initStops.Failed(InitPosition)) return;
        RunStep[2] = 0;
        InitRun = 2;
        ShowInitRun(2, 0);
        ShowRunInfo();
        break;
    default:
        break;
    }
}

// The travel times are measured between the tick that starts a move and the tick that finds it done,
// so they have the sequencer's one-second resolution; the device scales them by 10/9 and 1.25.
void Initialization::Run3() {
    uint8_t& step = RunStep[2];
    const double nowSeconds = static_cast<double>(sim_.clock.NowMs()) / 1000.0;
    switch (step) {
    case 0:
        InitTarget = InitBottom + 0.1 * InitSpan;
        step = 1;
        TravelTimeDown = nowSeconds;
        StartInitMove();
        break;
    case 1:
        if (Moving()) return;
        TravelTimeDown = std::fabs(nowSeconds - TravelTimeDown) * 10.0 / 9.0;
        InitTarget = InitTop - 0.1 * InitSpan;
        step = 2;
        TravelTimeUp = nowSeconds;
        StartInitMove();
        break;
    case 2:
        if (Moving()) return;
        TravelTimeUp = std::fabs(nowSeconds - TravelTimeUp) * 1.25;
        if (sim_.extendedFaults.On()) sim_.extendedFaults.travelTimes.Store(TravelTimeUp, TravelTimeDown);
        step = 3;
        ShowCount = 6;
        InitWait = 0;
        break;
    case 3:
        if (InitWait > 0) {
            --InitWait;
            return;
        }
        InitWait = 1;
        if (ShowCount % 2 == 0) {
            InitShow = 9;
            ShowInitRun(2, 9);
            ShowInitValue(9, TravelTimeUp);
        } else {
            InitShow = 10;
            ShowInitRun(2, 10);
            ShowInitValue(10, TravelTimeDown);
        }
        if (ShowCount == 0) {
            RunStep[3] = 0;
            InitRun = 3;
            InitShow = 0;
            ShowInitRun(3, 0);
            ShowInitValue(0, InitTarget);
            ShowRunInfo();
            InitTarget = (InitTop + InitBottom) / 2;
            StartInitMove();
        }
        --ShowCount;
        break;
    default:
        break;
    }
}

void Initialization::Run4() {
    uint8_t& step = RunStep[3];
    switch (step) {
    case 0:
        if (Moving()) return;
        step = 1;
        InitWait = 2;
        break;
    case 1:
        if (!Waited()) return;
        InitTarget += 0.1;
        step = 2;
        InitWait = 2;
        StartInitMove();
        break;
    case 2:
        if (!Waited()) return;
        InitTarget -= 0.05 * InitSpan;
        step = 3;
        StartInitMove();
        break;
    case 3:
        if (Moving()) return;
        step = 4;
        InitWait = 2;
        break;
    case 4:
        if (!Waited()) return;
        InitTarget -= 0.1;
        step = 5;
        InitWait = 2;
        StartInitMove();
        break;
    case 5: {
        if (!Waited()) return;
        RunStep[4] = 0;
        InitRun = 4;
        InitShow = 0;
        const double x = InitTarget, span = InitSpan;
        Run5Table = {{{x + 0.2 * span, 0},
                      {x - 0.2 * span, 0},
                      {x + 0.25 * span, 0},
                      {x - 0.15 * span, 0},
                      {x + 0.05 * span, 0},
                      {x - 0.01 * span, 0},
                      {x + 0.05 * span, 0},
                      {x - 0.01 * span, 0},
                      {x + 0.06 * span, 2},
                      {x + 0.03 * span, 2},
                      {x - 0.03 * span, 1}}};
        Run5Index = 0;
        ShowInitRun(4, 0);
        ShowRunInfo();
        break;
    }
    default:
        break;
    }
}

void Initialization::Run5() {
    uint8_t& step = RunStep[4];
    switch (step) {
    case 0:
        if (Moving()) return;
        if (InitWait > 0) {
            --InitWait;
            return;
        }
        InitTarget = Run5Table[Run5Index].target;
        InitWait = Run5Table[Run5Index].wait;
        if (++Run5Index > 10) step = 1;
        StartInitMove();
        break;
    case 1:
        if (Moving()) return;
        InitShow = 11;
        step = 2;
        ShowInitRun(4, 11);
        ShowInitValue(11, 0);
        ShowRunInfo();
        break;
    default:
        break; // finished: waits for the mode key
    }
}

void Initialization::Run5Entry::DoState(StateVisitor& v) {
    v("target", target);
    v("wait", wait);
}

void Initialization::DoState(StateVisitor& v) {
    v.Part("initialization");
    v("InitPaused", InitPaused);
    v("InitRun", InitRun);
    v("RunStep", RunStep);
    v("InitWait", InitWait);
    v("InitShow", InitShow);
    v("InitTarget", InitTarget);
    v("InitPosition", InitPosition);
    // While the third run measures a travel, its field holds the clock's time the move began (in
    // seconds): kept as milliseconds before now, like every other time of the device.
    const uint8_t measuring = v.Value("measuring", RunStep[2]);
    const auto travel = [&](std::string_view name, double& field, bool started) {
        const int64_t nowMs = sim_.clock.NowMs();
        if (!started) return v(name, field);
        const int64_t agoMs = v.Value(name, nowMs - std::llround(field * 1000.0));
        if (v.Loading()) field = static_cast<double>(nowMs - agoMs) / 1000.0;
    };
    travel("TravelTimeDown", TravelTimeDown, measuring == 1);
    travel("TravelTimeUp", TravelTimeUp, measuring == 2);
    v("ShowCount", ShowCount);
    v("Run5Table", Run5Table);
    v("Run5Index", Run5Index);
}

} // namespace vp7
