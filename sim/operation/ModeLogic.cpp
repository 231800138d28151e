// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/operation/ModeLogic.h"

#include "platform/Host.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/diagnosis/Initialization.h"
#include "sim/diagnosis/Monitoring.h"
#include "sim/display/Lcd.h"
#include "sim/display/OperatingDisplays.h"
#include "sim/faults/ExtendedFaults.h"
#include "sim/motion/Actuator.h"
#include "sim/motion/Controller.h"
#include "sim/operation/ConfigMenu.h"
#include "sim/operation/ParamSet.h"

#include <algorithm>

namespace vp7 {

ModeLogic::ModeLogic(Simulator& sim) : sim_(sim) {}

void ModeLogic::KeyEvent(KeyCode code) {
    if (code == sim_.state.LastKeyCode) return;
    sim_.state.LastKeyCode = code;
    HandleKey();
    sim_.ViewChanged();
}

void ModeLogic::HideLatches() {
    LatchUmschalt = LatchKleiner = LatchGroesser = 0;
    sim_.form.StaticUmschalt.visible = sim_.form.StaticKleiner.visible = sim_.form.StaticGroesser.visible =
        false;
}

void ModeLogic::StopKeyTimer() {
    sim_.KeyTimer.SetEnabled(false);
    sim_.host.ProcessMessages();
    KeyHoldCount = 0;
}

void ModeLogic::StartTiming(uint8_t& duty, int intervalMs, bool resetCount) {
    if (resetCount) KeyHoldCount = 0;
    duty = 1;
    sim_.KeyTimer.SetInterval(intervalMs);
    sim_.KeyTimer.SetEnabled(true);
}

void ModeLogic::HandleKey() {
    SimState& s = sim_.state;
    const KeyCode code = s.LastKeyCode;
    // An initialization started from the menu waits for the mode key's release.
    if (s.InitRunning || s.InitStepRunning) {
        if (sim_.extendedFaults.On() && sim_.extendedFaults.InitKey(code)) return;
        if (code != KeyCode::ModeReleased) return;
        s.InitRunning = s.InitStepRunning = 0;
        sim_.initialization.EndInitialization();
        s.LastKeyCode = KeyCode::Neutral;
        sim_.configMenu.Run(KeyCode::Neutral, 1);
        return;
    }
    if (s.DiagnosticMode) return DiagnosticKey(code);
    if (s.Mode == Mode::Automatic || s.Mode == Mode::Manual) return AutomaticOrManualKey(code);
    if (s.Mode == Mode::Configuration) return ConfigurationKey(code);
    if (s.Mode == Mode::ConfigurationLeft) LeaveConfiguration();
}

void ModeLogic::DiagnosticKey(KeyCode code) {
    SimState& s = sim_.state;
    switch (code) {
    case KeyCode::ModePressed:
        if (NoLatch()) StartTiming(HoldTimeout, 100, true); // leaving after 2 s of holding
        break;
    case KeyCode::DecreasePressed:
    case KeyCode::IncreasePressed:
        if (NoLatch()) {
            RepeatGroesser = 1;
            StartTiming(HoldGroesserLong, 300, true);
            sim_.diagnostics.DiagKey(code);
        }
        break;
    case KeyCode::HoldTimeout:
        StopKeyTimer();
        HideLatches();
        s.DiagnosticMode = 0;
        HoldTimeout = 0;
        s.LastKeyCode = KeyCode::ModeReleased;
        KeyHoldCount = 0;
        sim_.displays.SollwertAnzeige(s.SollwertShown);
        sim_.lcd.LCDWrite("  ", LowerDigits);
        if (s.Mode == Mode::Automatic)
            sim_.controller.SetpointButtonClick(Sender::ModeLogic);
        else
            sim_.displays.IstwertAnzeige(s.Istwert);
        break;
    default:
        KeyHoldCount = 0;
        HoldTimeout = HoldGroesserLong = RepeatGroesser = RepeatKleiner = 0;
        sim_.diagnostics.DiagResetPending = 0;
        sim_.KeyTimer.SetEnabled(false);
        sim_.host.ProcessMessages();
        sim_.diagnostics.DiagKey(code);
        break;
    }
}

void ModeLogic::ToggleLatch(KeyCode code) {
    FormState& f = sim_.form;
    const bool mode = code == KeyCode::ModeRightPressed, decrease = code == KeyCode::DecreaseRightPressed;
    uint8_t& latch = mode ? LatchUmschalt : decrease ? LatchKleiner : LatchGroesser;
    Control& circle = mode ? f.StaticUmschalt : decrease ? f.StaticKleiner : f.StaticGroesser;
    latch = !latch;
    circle.visible = latch != 0;
}

// With all three keys latched, any other event starts the 2 s timing into the diagnostics.
void ModeLogic::StartAllLatchedTimeout() {
    if (!AllLatched()) return;
    HoldUmschalt = 0;
    StartTiming(HoldTimeout, 100, true);
}

void ModeLogic::AutomaticOrManualKey(KeyCode code) {
    SimState& s = sim_.state;
    const Monitoring& m = sim_.monitoring;
    const bool manual = s.Mode == Mode::Manual;
    switch (code) {
    case KeyCode::ModeReleased:
        if (!NoLatch()) break;
        if (!manual) {
            if (m.Bin1BlockConfigManual) break;
            sim_.Timer2.SetEnabled(false); // the automatic move stops where it is
            s.ManuellTarget = s.Istwert;
            ManualStep = 0.1;
            KeyHoldCount = 0;
            s.Mode = Mode::Manual;
            sim_.displays.SollwertAnzeige(s.SollwertShown);
        } else {
            s.Mode = Mode::Automatic;
            sim_.displays.SollwertAnzeige(s.PositionSetpoint);
            s.Istwert = s.ManuellTarget;
            sim_.controller.SetpointButtonClick(Sender::ModeLogic);
        }
        break;
    case KeyCode::ModePressed:
        if (NoLatch()) StartTiming(HoldUmschalt, 100, true);
        break;
    case KeyCode::ModeRightPressed:
    case KeyCode::DecreaseRightPressed:
    case KeyCode::IncreaseRightPressed:
        ToggleLatch(code);
        break;
    case KeyCode::DecreasePressed:
    case KeyCode::IncreasePressed:
        if (!manual) return StartAllLatchedTimeout();
        if (NoLatch()) ManualPositioning(code);
        break;
    case KeyCode::DecreaseReleased:
    case KeyCode::IncreaseReleased:
        if (!manual) return StartAllLatchedTimeout();
        RepeatKleiner = RepeatGroesser = 0;
        ManualStep = 0.1;
        sim_.KeyTimer.SetInterval(300);
        StopKeyTimer();
        break;
    case KeyCode::HoldTimeout:
        EnterDiagnostics();
        break;
    case KeyCode::ModeHeld:
        ConfigFromAutomatic = !manual;
        EnterConfiguration();
        break;
    default:
        StartAllLatchedTimeout();
        break;
    }
}

void ModeLogic::ManualPositioning(KeyCode code) {
    SimState& s = sim_.state;
    const bool up = code == KeyCode::IncreasePressed;
    s.ManuellTarget =
        up ? std::min(100.0, s.ManuellTarget + ManualStep) : std::max(0.0, s.ManuellTarget - ManualStep);
    ++KeyHoldCount;
    if (KeyHoldCount == 10) ManualStep = 1.1;
    if (KeyHoldCount >= 20) ManualStep = 5.1;
    if (s.ManuellTarget == s.Istwert) return; // at the end already: the repeat runs on without effect
    sim_.actuator.StartManuellMove();
    (up ? RepeatGroesser : RepeatKleiner) = 1;
    sim_.KeyTimer.SetEnabled(true);
}

void ModeLogic::ConfigurationKey(KeyCode code) {
    switch (code) {
    case KeyCode::ModeHeld: {
        StopKeyTimer();
        HideLatches();
        sim_.state.Mode = Mode::ConfigurationLeft;
        Lcd& lcd = sim_.lcd;
        lcd.LcdLowerText = "VER  ";
        lcd.LCDWrite(lcd.LcdLowerText, LowerLine);
        lcd.LcdUpperText = "C4  ";
        lcd.LCDWrite(lcd.LcdUpperText, UpperLine);
        break;
    }
    case KeyCode::ModePressed:
        if (NoLatch()) StartTiming(HoldUmschalt, 100, true); // leaving after 5 s
        break;
    case KeyCode::DecreasePressed:
    case KeyCode::IncreasePressed:
        if (NoLatch()) HeldValueKey(code);
        break;
    default:
        KeyHoldCount = 0;
        HoldUmschalt = HoldGroesserLong = RepeatGroesser = RepeatKleiner = 0;
        sim_.KeyTimer.SetEnabled(false);
        sim_.host.ProcessMessages();
        sim_.configMenu.Run(code, 1);
        break;
    }
}

// A held decrease or increase key changes the value at once, after 0.3 s, every 0.3 s, then every
// 0.1 s, and from the 32nd event on in steps of ten.
void ModeLogic::HeldValueKey(KeyCode code) {
    const ParamSet& p = sim_.params;
    if (KeyHoldCount == 0) {
        if (code == KeyCode::IncreasePressed) {
            RepeatGroesser = 1;
            const auto current = static_cast<int>(sim_.configMenu.CurrentParam);
            if (current == p.INITAIndex || current == p.INITMIndex || current == p.PRSTIndex)
                HoldGroesserLong = 1;
        } else {
            RepeatKleiner = 1;
        }
        sim_.KeyTimer.SetInterval(300);
        sim_.KeyTimer.SetEnabled(true);
    }
    ++KeyHoldCount;
    if (KeyHoldCount < 24) {
        if ((KeyHoldCount - 2u) % 3u == 0) sim_.configMenu.Run(code, 1);
    } else {
        sim_.configMenu.Run(code, KeyHoldCount < 32 ? 1 : 10);
    }
}

void ModeLogic::LeaveConfiguration() {
    SimState& s = sim_.state;
    s.Mode = Mode::Manual; // the device always continues in manual mode after configuration
    ManualStep = 0.1;
    KeyHoldCount = 0;
    sim_.ApplyParameters();
    sim_.form.Konfigurationladen1.visible = sim_.form.Konfigurationspeichern1.visible = true;
}

void ModeLogic::EnterDiagnostics() {
    SimState& s = sim_.state;
    if (sim_.monitoring.Bin1BlockConfigManual) return;
    StopKeyTimer();
    sim_.AlarmBlinkTimer.SetEnabled(false);
    HideLatches();
    s.DiagnosticMode = 1;
    s.LastKeyCode = KeyCode::ModeReleased; // the release of the mode key that follows is dropped
    sim_.diagnostics.DiagKey(KeyCode::Neutral);
}

void ModeLogic::EnterConfiguration() {
    SimState& s = sim_.state;
    if (sim_.monitoring.Bin1BlockConfigManual || sim_.monitoring.Bin1BlockConfig) return;
    sim_.form.Konfigurationladen1.visible = sim_.form.Konfigurationspeichern1.visible = false;
    sim_.AlarmBlinkTimer.SetEnabled(false);
    StopKeyTimer();
    HideLatches();
    if (s.Mode == Mode::Automatic) s.ManuellTarget = s.Istwert;
    s.Mode = Mode::Configuration;
    s.LastKeyCode = KeyCode::ModeReleased;
    sim_.params.LoadTableFromStore();
    sim_.configMenu.Run(KeyCode::Neutral, 1);
}

void ModeLogic::CheckGearSetting() {
    const ParamStore& p = sim_.params.store;
    const bool gear33 = sim_.state.GearIs33 != 0;
    const auto warn = [&](const char* de, const char* en) {
        sim_.host.MessageDlg(sim_.state.Text(de, en), MsgType::Warning, MsgButton::OK);
    };
    if ((p.YAGL == 1) != gear33)
        warn("Getriebestellung ist ungleich dem eingestellten Parameter",
             "Position of gear is different to adjusted parameter");
    if (p.YFCT == 1 && p.YWAY != 0) {
        if (p.YWAY <= 4 && !gear33)
            warn("Bei Hubbereich <= 20mm ist Getriebestellung 33° erforderlich",
                 "A stroke range <= 20mm needs to set the gear to 33°");
        if (p.YWAY >= 5 && gear33)
            warn("Bei Hubbereich >= 25mm ist Getriebestellung 90° erforderlich",
                 "A stroke range >= 25mm needs to set the gear to 90°");
    }
}

void ModeLogic::DoState(StateVisitor& v) {
    v.Part("modes");
    v("LatchUmschalt", LatchUmschalt);
    v("LatchKleiner", LatchKleiner);
    v("LatchGroesser", LatchGroesser);
    v("ManualStep", ManualStep);
    v("HoldUmschalt", HoldUmschalt);
    v("HoldTimeout", HoldTimeout);
    v("HoldGroesserLong", HoldGroesserLong);
    v("RepeatKleiner", RepeatKleiner);
    v("RepeatGroesser", RepeatGroesser);
    v("KeyHoldCount", KeyHoldCount);
    v("ConfigFromAutomatic", ConfigFromAutomatic);
}

} // namespace vp7
