// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/motion/Controller.h"

#include "model/PictureLayout.h"
#include "model/SpriteSet.h"
#include "platform/Host.h"
#include "platform/NumberFormat.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/diagnosis/Monitoring.h"
#include "sim/display/FrontPanel.h"
#include "sim/display/OperatingDisplays.h"
#include "sim/faults/ExtendedFaults.h"
#include "sim/motion/Actuator.h"
#include "sim/motion/Characteristic.h"
#include "sim/motion/Scales.h"
#include "sim/operation/ParamSet.h"

#include <algorithm>
#include <cmath>

namespace vp7 {

Controller::Controller(Simulator& sim) : sim_(sim) {}

double Controller::Random() {
    return static_cast<double>(sim_.random() >> 11) * 0x1.0p-53;
}

void Controller::SetpointButtonClick(Sender sender) {
    SimState& s = sim_.state;
    const Scales& sc = sim_.scales;
    FormState& form = sim_.form;
    // The initialization drives the valve itself, and invalid scales give nothing to map.
    if (s.InitRunning || s.InitStepRunning || !s.ScalesValid) return;
    // The old markers go before the new ones are drawn.
    if (!s.MarksErased) {
        sim_.actuator.DrawMarks(0);
        sim_.frontPanel.DrawScales();
    }
    s.MarksErased = 0;

    // The typed entry, limited to the scale.
    if (sender == Sender::SetpointButton || sender == Sender::SetPointText || sender == Sender::Timer1 ||
        sender == Sender::SetpointRampTimer) {
        const auto number = ReadDecimal(form.SetPointText.text);
        if (!number) {
            sim_.host.MessageDlg(s.Text("Sollwert ist fehlerhaft", "Setpoint is incorrect"), MsgType::Error,
                                 MsgButton::OK);
            return;
        }
        if (*number > sc.EingabeMax) {
            form.SetPointText.text = FormatFixed(sc.EingabeMax, 1, 5);
            s.Sollwert = sc.SollwertMax;
        } else if (*number < sc.EingabeMin) {
            form.SetPointText.text = FormatFixed(sc.EingabeMin, 1, 5);
            s.Sollwert = sc.SollwertMin;
        } else {
            s.Sollwert = sc.EingabeFaktor * *number + sc.EingabeOffset;
        }
    }
    if (sender == Sender::SetpointButton || sender == Sender::SetPointText)
        sim_.Note(Happening::SetpointEntered);

    // Split range, controller scale and characteristic.
    const double w = s.ControllerType == 0 ? std::clamp(sc.splitRange(s.Sollwert), 0.0, 100.0) : s.Sollwert;
    s.ReglerSollwert = sc.reglerScale(w);
    s.KennlinienEingang = sc.kennlinienEingang(s.ReglerSollwert);
    s.TightCloseInput = sc.Yfactor * s.KennlinienEingang + sc.Yoffset;
    s.AutoTarget = sim_.characteristic.Kennlinie(s.KennlinienEingang);
    s.PositionSetpoint = s.SollwertShown = s.AutoTarget;

    // Forced by the binary input.
    if (s.BinMode == 1 || s.BinMode == 2) {
        const double end = s.BinMode == 1 ? sc.Yfactor * 100 + sc.Yoffset : sc.Yoffset;
        s.TightCloseInput = s.AutoTarget = s.PositionSetpoint = end;
    }

    // Tight closing holds an end; otherwise the dead band with its random stop offset, and leakage.
    if (!TightClose(s.TightCloseInput)) {
        if (s.DeadBand < 0.1) s.DeadBand = 0.1;
        const double r = Random();
        if (s.DeadBand >= 0.55)
            s.DeadBandOffset = s.DeadBand - 0.5 * r;
        else if (s.DeadBand >= 0.15)
            s.DeadBandOffset = r * s.DeadBand;
        else
            s.DeadBandOffset = 0;

        StickSlip& stickSlip = sim_.extendedFaults.stickSlip;
        const double deviation = std::fabs(s.Istwert - s.PositionSetpoint);
        if (deviation < stickSlip.HoldBand(s.DeadBand) || s.BinMode == 3) {
            s.AutoTarget = s.Istwert;
            if (form.LeakageSelect.checked) {
                const double leak = sim_.monitoring.LeakStep;
                if ((form.SelfClosingSelect.checked || sim_.extendedFaults.leak.Sinks()) &&
                    (s.Istwert - s.DeadBand < s.PositionSetpoint || s.BinMode == 3))
                    s.AutoTarget = std::max(0.0, s.Istwert - leak);
                else if (form.SelfOpeningSelect.checked &&
                         (s.Istwert + s.DeadBand > s.PositionSetpoint || s.BinMode == 3))
                    s.AutoTarget = std::min(100.0, s.Istwert + leak);
            }
        } else {
            stickSlip.BreakLoose(deviation);
            s.AutoTarget = s.PositionSetpoint <= s.Istwert
                               ? std::min(100.0, s.PositionSetpoint + s.DeadBandOffset)
                               : std::max(0.0, s.PositionSetpoint - s.DeadBandOffset);
        }
    }

    // Supply air and blocking.
    s.AutoTarget = sim_.actuator.ApplyFaultOptions(s.AutoTarget, false);

    // Markers.
    s.SollwertMarkY = sc.SollwertY(s.Sollwert);
    s.ReglerMarkY = sc.ReglerY(s.ReglerSollwert);
    s.VentilMarkY = sc.VentilY(s.Istwert);
    sim_.actuator.DrawMarks(0x00FF00);

    // The piston frame the move runs to.
    s.FrameTravel = 0;
    s.TargetFrame = static_cast<int32_t>(std::nearbyint(0.4 * s.AutoTarget));
    s.MoveDirection = s.TargetFrame == s.CurrentFrame ? 0 : s.TargetFrame > s.CurrentFrame ? 1 : -1;

    // The display shows the setpoint in the operating modes only.
    if (s.Mode == Mode::Automatic || s.Mode == Mode::Manual) sim_.displays.SollwertAnzeige(s.SollwertShown);

    // Only automatic mode moves the valve.
    if (s.Mode == Mode::Automatic) {
        sim_.diagnostics.CountSwitching(s.AutoTarget, s.Istwert);
        if (s.Istwert != s.AutoTarget && (s.AutoTarget > s.Istwert) != (s.LastDirection > 0)) {
            sim_.diagnostics.Increment(DiagDirectionChanges);
            s.LastDirection = -s.LastDirection;
        }
        s.MoveActive = 1;
        sim_.actuator.SetNewIstwert();
    }
    sim_.ViewChanged();
}

void Controller::SetPointTextKeyDown(int key) {
    if (key == KeyEnter) SetpointButtonClick(Sender::SetPointText);
}

bool Controller::TightClose(double x) {
    const Scales& sc = sim_.scales;
    const int selector = sim_.params.store.YCLS;
    uint8_t& up = TightOpenActive;
    uint8_t& down = TightCloseActive;
    double& target = sim_.state.AutoTarget;
    if (selector < 0 || selector > 3) return false;
    if (selector == 0) up = down = 0;
    if (selector == 1 || selector == 3) {
        if (up) {
            if (x < sc.TightOpenOff) {
                up = 0;
                if (selector == 1) {
                    DrawTightSymbols();
                    return false;
                }
            } else {
                target = 100;
                down = 0;
            }
        } else if (x >= sc.TightOpenOn) {
            target = 100;
            up = 1;
            down = 0;
        }
    }
    if (selector == 2 || selector == 3) {
        if (down) {
            if (x <= sc.TightCloseOff) {
                target = 0;
                up = 0;
            } else {
                down = 0;
                DrawTightSymbols();
                return false;
            }
        } else if (x <= sc.TightCloseOn) {
            target = 0;
            down = 1;
            up = 0;
        }
    }
    DrawTightSymbols();
    return up || down;
}

void Controller::DrawTightSymbols() {
    Picture& pic = sim_.image1;
    const Picture& upper = sim_.sprites.Get(TightOpenActive ? SpriteId::DichtAuf : SpriteId::DichtBlank);
    const Picture& lower = sim_.sprites.Get(TightCloseActive ? SpriteId::DichtZu : SpriteId::DichtBlank);
    for (const layout::Point at : layout::TightOpenPlaces)
        pic.Draw(at.x, at.y, upper);
    for (const layout::Point at : layout::TightClosePlaces)
        pic.Draw(at.x, at.y, lower);
}

void Controller::SetpointDimSelectClick() {
    SimState& s = sim_.state;
    if (s.Updating || !s.ScalesValid) return;
    Scales& sc = sim_.scales;
    sc.ComputeEntryConversion();
    const double entry = (s.Sollwert - sc.EingabeOffset) / sc.EingabeFaktor;
    sim_.form.SetPointText.text =
        sim_.form.SetpointDimSelect.itemIndex == 1 ? FormatFixed(entry, 3, 7) : FormatFixed(entry, 1, 5);
    sim_.ViewChanged();
}

void Controller::SetpointRampButtonClick() {
    Control& button = sim_.form.SetpointRampButton;
    if (button.caption != "Start") {
        button.caption = "Start";
        sim_.SetpointRampTimer.SetEnabled(false);
    } else {
        button.caption = "Stop";
        RampLow = ParamSet::Fixed88ToReal(sim_.params.store.SPRA);
        RampHigh = ParamSet::Fixed88ToReal(sim_.params.store.SPRE);
        RampValue = sim_.state.Sollwert;
        RampDirection = 1;
        static constexpr int kIntervals[] = {1000, 2000, 5000, 10000};
        const int item = std::clamp(sim_.form.SetpointRampSelect.itemIndex, 0, 3);
        sim_.SetpointRampTimer.SetInterval(kIntervals[item]);
        sim_.SetpointRampTimer.SetEnabled(true);
    }
    sim_.ViewChanged();
}

void Controller::SetpointRampTimerTimer() {
    if (sim_.state.MoveActive) return; // the valve is still on its way
    if (RampDirection < 0) {
        RampValue -= 1;
        if (RampValue < RampLow) {
            RampValue = RampLow;
            RampDirection = 1;
        }
    } else {
        RampValue += 1;
        if (RampValue > RampHigh) {
            RampValue = RampHigh;
            RampDirection = -1;
        }
    }
    sim_.form.SetPointText.text = FormatFixed(RampValue, 1, 5);
    SetpointButtonClick(Sender::SetpointRampTimer);
}

void Controller::DoState(StateVisitor& v) {
    v.Part("controller");
    v("TightOpenActive", TightOpenActive);
    v("TightCloseActive", TightCloseActive);
    v("RampValue", RampValue);
    v("RampLow", RampLow);
    v("RampHigh", RampHigh);
    v("RampDirection", RampDirection);
}

} // namespace vp7
