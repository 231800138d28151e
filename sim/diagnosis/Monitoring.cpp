// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/diagnosis/Monitoring.h"

#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/display/IoPictures.h"
#include "sim/display/Lcd.h"
#include "sim/faults/ExtendedFaults.h"
#include "sim/motion/Controller.h"
#include "sim/operation/ParamSet.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vp7 {
namespace {

double Percent(int16_t fixed) {
    return ParamSet::Fixed88ToReal(fixed);
}

} // namespace

Monitoring::Monitoring(Simulator& sim) : sim_(sim) {}

// NO functions act while the contact is closed, NC functions while it is open.
Monitoring::InputResult Monitoring::EvaluateInput1(int function, bool closed) {
    static constexpr bool kNormallyOpen[] = {false, false, true,  true,  true, true,
                                             true,  true,  false, false, false};
    static constexpr Drive kDrive[] = {Drive::None, Drive::None, Drive::None, Drive::None,
                                       Drive::None, Drive::Up,   Drive::Down, Drive::Stop,
                                       Drive::Up,   Drive::Down, Drive::Stop};
    if (function <= 0 || function > 10) return {};
    const bool active = kNormallyOpen[function] ? closed : !closed;
    return {active, active ? kDrive[function] : Drive::None};
}

Monitoring::InputResult Monitoring::EvaluateInput2(int function, bool closed) {
    static constexpr bool kNormallyOpen[] = {false, false, true, true, true, true, false, false, false};
    static constexpr Drive kDrive[] = {Drive::None, Drive::None, Drive::None, Drive::Up,  Drive::Down,
                                       Drive::Stop, Drive::Up,   Drive::Down, Drive::Stop};
    if (function <= 0 || function > 8) return {};
    const bool active = kNormallyOpen[function] ? closed : !closed;
    return {active, active ? kDrive[function] : Drive::None};
}

// Faults are counted on their rising edge; the counter stops at its maximum.
void Monitoring::SetFault(int source, bool on) {
    if (on && !FaultFlags[source]) sim_.diagnostics.Increment(DiagFaults);
    FaultFlags[source] = on;
}

bool Monitoring::CheckAlarm(bool maximum, double threshold, bool previous, int counter) {
    const double ist = sim_.state.Istwert;
    bool active;
    if (!previous) {
        active = maximum ? ist > threshold : ist < threshold;
        if (active) sim_.diagnostics.Increment(counter);
    } else {
        active = maximum ? ist > threshold - 1.0 : ist < threshold + 1.0;
    }
    return active;
}

void Monitoring::CheckAlarms() {
    const ParamStore& p = sim_.params.store;
    const int afct = p.AFCT;
    if (afct == 0 || afct > 6) {
        Alarm1Active = Alarm2Active = 0;
    } else {
        const int kind = (afct - 1) % 3; // 0: min/max, 1: min/min, 2: max/max
        Alarm1Active = CheckAlarm(kind == 2, Percent(p.A1), Alarm1Prev, DiagAlarms1);
        Alarm2Active = CheckAlarm(kind != 1, Percent(p.A2), Alarm2Prev, DiagAlarms2);
    }
    const bool inverted = afct >= 4 && afct <= 6;
    Alarm1Output = afct == 0 ? 0 : (Alarm1Active != inverted);
    Alarm2Output = afct == 0 ? 0 : (Alarm2Active != inverted);
    sim_.ioPictures.ShowAlarmOutput1(Alarm1Output);
    sim_.ioPictures.ShowAlarmOutput2(Alarm2Output);
    Alarm1Prev = Alarm1Active;
    Alarm2Prev = Alarm2Active;
}

void Monitoring::CheckFaults() {
    SimState& s = sim_.state;
    const ParamStore& p = sim_.params.store;
    const FormState& f = sim_.form;
    Diagnostics& diag = sim_.diagnostics;
    const Controller& ctl = sim_.controller;

    // Binary inputs; in the FF variant the one function acts on input 2.
    Bin1BlockConfig = Bin1BlockConfigManual = 0;
    s.BinMode = 0;
    const bool ff = s.ControllerType == 2;
    const InputResult in1 = EvaluateInput1(p.BIN1, (ff ? BinaryInput2 : BinaryInput1) != 0);
    if (p.BIN1 == 3) Bin1BlockConfig = in1.active;
    if (p.BIN1 == 4) Bin1BlockConfigManual = in1.active;
    const InputResult in2 = ff ? InputResult{} : EvaluateInput2(p.BIN2, BinaryInput2 != 0);
    const auto either = [&](Drive d) { return in1.drive == d || in2.drive == d; };
    s.BinMode = either(Drive::Stop) ? 3 : either(Drive::Up) ? 1 : either(Drive::Down) ? 2 : 0;

    // Faults of a binary input, of a mode other than automatic, and of the counter limits.
    SetFault(3, (in1.active || in2.active) && (p.StoerFCT == 2 || p.StoerFCT == 5));
    SetFault(2, s.Mode != Mode::Automatic &&
                    (p.StoerFCT == 1 || p.StoerFCT == 2 || p.StoerFCT == 4 || p.StoerFCT == 5));
    if (p.StoerSTRK != 0 || s.ControllerType == 1)
        SetFault(4, diag.DiagTable[DiagStrokes].Value >= p.StoerSTRK);
    else
        SetFault(4, false);
    if (p.StoerDCHG != 0)
        SetFault(5, diag.DiagTable[DiagDirectionChanges].Value >= p.StoerDCHG);
    else
        SetFault(5, false);

    CheckDeviation();

    // In automatic mode an automatic dead band shrinks again every 20 cycles.
    bool applyAgain = false;
    if (p.DEBA < 0) {
        if (++DeadBandDecayTicks >= 20) {
            DeadBandDecayTicks = 0;
            if (s.Mode == Mode::Automatic && s.DeadBand > 0.1000001) {
                s.DeadBand *= 0.8;
                applyAgain = true;
            }
        }
    } else {
        DeadBandDecayTicks = 0;
    }

    // End stops, watched while tight closing or opening holds the valve.
    CheckEndStop(ctl.TightCloseActive, p.StoerZERO, std::fabs(s.Istwert), ZeroTicks, ZeroStopBand,
                 ZeroFaultLatched, 6);
    CheckEndStop(ctl.TightOpenActive, p.StoerOPEN, std::fabs(100 - s.Istwert), OpenTicks, OpenStopBand,
                 OpenFaultLatched, 7);

    // An automatic dead band that grew past its limit is a fault until it shrinks below it.
    if (p.StoerDEBA >= 0 && p.DEBA < 0) {
        if (!FaultFlags[8] && s.DeadBand > DeadBandLimit) SetFault(8, true);
        if (FaultFlags[8] && s.DeadBand < DeadBandLimit) SetFault(8, false);
    } else {
        SetFault(8, false);
    }

    // The fault output, inverted for the normally-closed functions.
    const bool anyFault =
        std::any_of(FaultFlags.begin() + 1, FaultFlags.end(), [](uint8_t flag) { return flag != 0; });
    FaultOutput = anyFault != (p.StoerFCT >= 3);
    sim_.ioPictures.ShowFaultOutput(FaultOutput);

    ShowFaultNumber();

    // A leaking single-acting valve drifts while it stands still.
    if (f.LeakageSelect.checked && !f.NoPreasureSelect.checked &&
        (f.SelfClosingSelect.checked || f.SelfOpeningSelect.checked || sim_.extendedFaults.leak.Sinks()) &&
        !s.MoveActive) {
        LeakStep = diag.DiagTable[DiagLeakage].Value / 600.0;
        applyAgain = true;
    } else {
        LeakStep = 0;
    }

    // A changed binary input mode, a shrunk dead band or a drift re-runs the controller.
    if (s.BinMode != BinModePrev) {
        BinModePrev = s.BinMode;
        if (s.Mode == Mode::Automatic || s.Mode == Mode::Manual)
            sim_.controller.SetpointButtonClick(Sender::None);
    } else if (applyAgain) {
        sim_.controller.SetpointButtonClick(Sender::None);
    }
}

void Monitoring::CheckDeviation() {
    SimState& s = sim_.state;
    const Controller& ctl = sim_.controller;
    if (s.Mode == Mode::Manual) {
        DeviationTicks = 0;
        FaultFlags[1] = 0;
        return;
    }
    ++DeviationTicks;
    double tests[2];
    int count = 0;
    if (ctl.TightOpenActive) tests[count++] = 100 - s.Istwert;
    if (ctl.TightCloseActive) tests[count++] = s.Istwert;
    if (count == 0) tests[count++] = std::fabs(s.PositionSetpoint - s.Istwert);
    if (!FaultFlags[1]) {
        bool deviating = false;
        for (int i = 0; i < count; ++i) {
            if (tests[i] > DeviationLimit)
                deviating = true;
            else
                DeviationTicks = 0;
        }
        if (DeviationTicks > DeviationTimeLimit) {
            DeviationTicks = DeviationTimeLimit;
            if (deviating) SetFault(1, true);
        }
    } else {
        for (int i = 0; i < count; ++i)
            if (tests[i] < DeviationLimit) FaultFlags[1] = 0;
        DeviationTicks = 0;
    }
}

void Monitoring::CheckEndStop(bool tightActive, int16_t limit, double deviation, uint32_t& ticks, double band,
                              uint8_t& latched, int source) {
    if (!tightActive || limit < 0) {
        ticks = 0;
        if (limit < 0) {
            FaultFlags[source] = 0;
            latched = 0;
        }
        return;
    }
    if (sim_.state.Mode != Mode::Automatic) return;
    if (!FaultFlags[source]) {
        if (deviation > band) {
            if (++ticks > EndStopTime) {
                SetFault(source, true);
                latched = 1;
            }
        } else {
            ticks = 0;
        }
    } else {
        ticks = 0;
        if (deviation < band) FaultFlags[source] = latched = 0;
    }
}

// Several active faults are shown in turn, one per cycle, starting after the one shown last.
void Monitoring::ShowFaultNumber() {
    std::string text = "  ";
    const bool diagnostic = sim_.state.DiagnosticMode != 0;
    for (int i = 0; i < 8; ++i) {
        FaultShowIndex = static_cast<uint8_t>((FaultShowIndex + 1) % 8);
        if (FaultFlags[FaultShowIndex + 1]) {
            text = "/" + std::to_string(FaultShowIndex + 1);
            if (!diagnostic) sim_.AlarmBlinkTimer.SetEnabled(true);
            break;
        }
    }
    if (!diagnostic) sim_.lcd.LCDWrite(text, LowerDigits);
}

void Monitoring::AlarmBlinkTimerTimer() {
    sim_.AlarmBlinkTimer.SetEnabled(false);
    sim_.lcd.LCDWrite("  ", LowerDigits);
}

void Monitoring::ApplyDeviationMonitoring() {
    const ParamStore& p = sim_.params.store;
    const auto& diag = sim_.diagnostics.DiagTable;
    DeviationLimit =
        p.StoerLIM >= 0 ? Percent(p.StoerLIM) : diag[DiagShortStepUp].Value / 10.0 + sim_.state.DeadBand;
    const double travel = diag[DiagTravelTimeUp].Value / 10.0;
    const auto round = [](double v) { return static_cast<int32_t>(std::nearbyint(v)); };
    if (p.StoerTIM >= 0) {
        DeviationTimeLimit = 2 * p.StoerTIM;
    } else if (p.MinTimeUp < 0) {
        DeviationTimeLimit = round(2 * travel);
    } else {
        const int32_t longest = std::max(p.MinTimeUp, p.MinTimeDown);
        DeviationTimeLimit = longest > travel ? 2 * longest : round(2 * travel);
    }
    DeviationTicks = 0;
}

void Monitoring::ApplyEndStopMonitoring() {
    const ParamStore& p = sim_.params.store;
    const double t = std::max(2.0, 2.0 * sim_.diagnostics.DiagTable[DiagTravelTimeUp].Value / 10.0);
    const uint32_t rounded = static_cast<uint32_t>(std::nearbyint(t));
    if (p.MinTimeUp < 0) {
        EndStopTime = rounded;
    } else {
        const double longest = 2.0 * std::max(p.MinTimeUp, p.MinTimeDown);
        EndStopTime = longest > t ? static_cast<uint32_t>(longest) : rounded;
    }
    ZeroTicks = OpenTicks = 0;
    FaultFlags[7] = p.StoerOPEN >= 0 ? OpenFaultLatched : 0;
    if (p.StoerOPEN >= 0) OpenStopBand = Percent(p.StoerOPEN);
    FaultFlags[6] = p.StoerZERO >= 0 ? ZeroFaultLatched : 0;
    if (p.StoerZERO >= 0) ZeroStopBand = Percent(p.StoerZERO);
}

void Monitoring::ApplyDeadBandMonitoring() {
    const ParamStore& p = sim_.params.store;
    double& deadBand = sim_.state.DeadBand;
    if (p.DEBA < 0)
        deadBand = std::min(deadBand, 3.0);
    else
        deadBand = Percent(p.DEBA);
    if (p.StoerDEBA >= 0) DeadBandLimit = Percent(p.StoerDEBA);
}

void Monitoring::ToggleBinaryInput1() {
    BinaryInput1 = !BinaryInput1;
    sim_.ioPictures.ShowBinaryInput1();
}

void Monitoring::ToggleBinaryInput2() {
    if (!sim_.form.AlarmModulSelect.checked) return;
    BinaryInput2 = !BinaryInput2;
    sim_.ioPictures.ShowBinaryInput2();
}

void Monitoring::DoState(StateVisitor& v) {
    v.Part("monitoring");
    v("BinaryInput1", BinaryInput1);
    v("BinaryInput2", BinaryInput2);
    v("Bin1BlockConfig", Bin1BlockConfig);
    v("Bin1BlockConfigManual", Bin1BlockConfigManual);
    v("BinModePrev", BinModePrev);
    v("Alarm1Active", Alarm1Active);
    v("Alarm2Active", Alarm2Active);
    v("Alarm1Prev", Alarm1Prev);
    v("Alarm2Prev", Alarm2Prev);
    v("FaultOutput", FaultOutput);
    v("Alarm1Output", Alarm1Output);
    v("Alarm2Output", Alarm2Output);
    v("FaultFlags", FaultFlags);
    v("FaultShowIndex", FaultShowIndex);
    v("DeviationTicks", DeviationTicks);
    v("DeviationTimeLimit", DeviationTimeLimit);
    v("DeviationLimit", DeviationLimit);
    v("ZeroTicks", ZeroTicks);
    v("OpenTicks", OpenTicks);
    v("EndStopTime", EndStopTime);
    v("ZeroStopBand", ZeroStopBand);
    v("OpenStopBand", OpenStopBand);
    v("ZeroFaultLatched", ZeroFaultLatched);
    v("OpenFaultLatched", OpenFaultLatched);
    v("DeadBandLimit", DeadBandLimit);
    v("DeadBandDecayTicks", DeadBandDecayTicks);
    v("LeakStep", LeakStep);
}

} // namespace vp7
