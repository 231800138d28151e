// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/motion/Actuator.h"

#include "model/PictureLayout.h"
#include "model/SpriteSet.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/diagnosis/Initialization.h"
#include "sim/display/OperatingDisplays.h"
#include "sim/motion/Controller.h"
#include "sim/motion/Scales.h"
#include "sim/operation/ParamSet.h"

#include <algorithm>
#include <cmath>

namespace vp7 {
namespace {

constexpr double kThrottleDivisor[] = {1.0, 0.8, 0.4, 0.2};

} // namespace

Actuator::Actuator(Simulator& sim) : sim_(sim) {}

void Actuator::ComputeStrokeSpeeds() {
    SimState& s = sim_.state;
    const ParamStore& p = sim_.params.store;
    double up = s.BaseTimeUp, down = s.BaseTimeDown;
    if (sim_.form.FrictionSelect.checked) {
        up *= 5;
        down *= 5;
    }
    const double divisor = kThrottleDivisor[std::clamp(sim_.form.DrosselSelect.itemIndex, 0, 3)];
    up /= divisor;
    down /= divisor;
    double minUp, minDown;
    if (p.MinTimeUp >= 0) {
        minUp = 1000.0 * p.MinTimeUp;
        minDown = 1000.0 * p.MinTimeDown;
    } else {
        minUp = minDown = std::max(up, down);
    }
    const double timeUp = std::max(minUp, up), timeDown = std::max(minDown, down);
    if (!s.InitRunning && !s.InitStepRunning) {
        s.StepUp = 6250 / timeUp;
        s.StepDown = 6250 / timeDown;
    } else {
        s.StepUp = Initialization::InitSpeedFactor * 2500 / timeUp;
        s.StepDown = Initialization::InitSpeedFactor * 2500 / timeDown;
    }
}

void Actuator::SetNewIstwert() {
    Step(false);
}
void Actuator::SetManuellIstwert() {
    Step(true);
}

void Actuator::Step(bool manual) {
    SimState& s = sim_.state;
    Diagnostics& diag = sim_.diagnostics;
    const double target = manual ? s.ManuellTarget : s.AutoTarget;
    sim_.Timer2.SetEnabled(false);
    if (s.TargetFrame == s.CurrentFrame) {
        // Arrival: the position snaps to the target, which the frame already shows.
        if (!manual) s.MoveActive = 0;
        if (s.Istwert != target) diag.TravelSum += std::fabs(s.Istwert - target);
        s.Istwert = target;
        sim_.displays.IstwertAnzeige(s.Istwert);
        DrawVentilMark(0, s.VentilMarkY);
        s.VentilMarkY = sim_.scales.VentilY(target);
        DrawVentilMark(0x00FF00, s.VentilMarkY);
    } else {
        if (s.MoveDirection < 1) {
            s.Istwert -= s.StepDown;
            diag.TravelSum += s.StepDown;
            s.FrameTravel += s.StepDown;
            if (s.Istwert < target) { // never shown past the target
                diag.TravelSum -= target - s.Istwert;
                s.Istwert = target;
            }
            sim_.displays.IstwertAnzeige(s.Istwert);
            if (s.FrameTravel >= 2.5) {
                s.CurrentFrame -= 1;
                s.FrameTravel -= 2.5;
            }
        } else {
            s.Istwert += s.StepUp;
            diag.TravelSum += s.StepUp;
            s.FrameTravel += s.StepUp;
            if (s.Istwert > target) {
                diag.TravelSum -= s.Istwert - target;
                s.Istwert = target;
            }
            sim_.displays.IstwertAnzeige(s.Istwert);
            if (s.FrameTravel >= 2.5) {
                s.CurrentFrame += 1;
                s.FrameTravel -= 2.5;
            }
        }
        DrawPiston();
        DrawVentilMark(0, s.VentilMarkY);
        s.VentilMarkY = sim_.scales.VentilY(manual ? s.ManuellTarget : s.Istwert);
        DrawVentilMark(0x00FF00, s.VentilMarkY);
        if (s.Mode == (manual ? Mode::Manual : Mode::Automatic)) sim_.Timer2.SetEnabled(true);
    }
    if (diag.TravelSum >= 100) {
        diag.TravelSum -= 100;
        diag.Increment(DiagStrokes);
    }
}

double Actuator::ApplyFaultOptions(double target, bool manual) const {
    const FormState& f = sim_.form;
    const double ist = sim_.state.Istwert;
    if (f.NoPreasureSelect.checked) {
        if (f.SelfClosingSelect.checked)
            target = 0;
        else if (f.SelfOpeningSelect.checked)
            target = 100;
        else if (f.DoubleActingSelect.checked)
            target = ist;
    }
    if (f.BlockDownSelect.checked) {
        if (ist > 10 && target < 10)
            target = 10;
        else if (ist <= 10 && target <= (manual ? ist : 10))
            target = ist;
    }
    if (f.BlockUpSelect.checked) {
        if (ist < 90 && target > 90)
            target = 90;
        else if (ist >= 90 && target >= (manual ? ist : 90))
            target = ist;
    }
    return target;
}

void Actuator::StartManuellMove() {
    SimState& s = sim_.state;
    s.ManuellTarget = ApplyFaultOptions(s.ManuellTarget, true);
    s.FrameTravel = 0;
    s.TargetFrame = static_cast<int32_t>(std::nearbyint(0.4 * s.ManuellTarget));
    s.MoveDirection = s.TargetFrame == s.CurrentFrame ? 0 : s.TargetFrame > s.CurrentFrame ? 1 : -1;
    if (s.Mode != Mode::Manual) return;
    sim_.diagnostics.CountSwitching(s.ManuellTarget, s.Istwert);
    if (s.Istwert != s.ManuellTarget) {
        const bool closing = s.Istwert > s.ManuellTarget;
        if (closing != (s.LastDirection > 0)) {
            sim_.diagnostics.Increment(DiagDirectionChanges);
            s.LastDirection = -s.LastDirection;
        }
    }
    SetManuellIstwert();
}

void Actuator::Timer2Timer() {
    SimState& s = sim_.state;
    if (s.InitRunning || s.InitStepRunning) {
        sim_.initialization.InitMoveStep();
        return;
    }
    if (s.Mode == Mode::Automatic) SetNewIstwert();
    if (s.Mode == Mode::Manual) SetManuellIstwert();
}

void Actuator::BlockDownSelectClick() {
    if (sim_.state.Updating) return;
    if (sim_.state.Mode != Mode::Automatic)
        StartManuellMove();
    else
        sim_.controller.SetpointButtonClick(Sender::Option);
}

void Actuator::DrosselSelectClick() {
    if (sim_.state.Updating) return;
    ComputeStrokeSpeeds();
}

void Actuator::SelectPistonFrames() {
    const bool doubleActing = sim_.form.DoubleActingSelect.checked;
    for (int i = 0; i < KolbenFrameCount; ++i)
        sim_.state.KolbenFrames[i] = doubleActing ? KolbenFrame(i) : SpringPistonFrame(i);
}

void Actuator::DrawPiston() {
    const SimState& s = sim_.state;
    sim_.image1.Draw(layout::PistonPlace.x, layout::PistonPlace.y,
                     sim_.sprites.Get(s.KolbenFrames[std::clamp(s.CurrentFrame, 0, KolbenFrameCount - 1)]));
}

void Actuator::ShowValveType() {
    SelectPistonFrames();
    DrawPiston();
}

void Actuator::DrawMark(unsigned color, int scale, int y) {
    marks_[scale] = {y, color};
    const int x = layout::ScaleX[scale];
    Picture& pic = sim_.image1;
    pic.SetPenWidth(1);
    pic.SetPenColor(color);
    pic.MoveTo(x + layout::MarkerFrom, y);
    pic.LineTo(x + layout::MarkerTo, y);
}

void Actuator::DrawVentilMark(unsigned color, int y) {
    DrawMark(color, 2, y);
}

void Actuator::DrawMarks(unsigned color) {
    const SimState& s = sim_.state;
    DrawMark(color, 0, s.SollwertMarkY);
    DrawMark(color, 1, s.ReglerMarkY);
    DrawMark(color, 2, s.VentilMarkY);
}

void Actuator::RedrawMarks() {
    for (int scale = 0; scale < static_cast<int>(marks_.size()); ++scale)
        if (marks_[scale].color != 0) DrawMark(marks_[scale].color, scale, marks_[scale].y);
}

void Actuator::DoState(StateVisitor& v) {
    v.Part("actuator");
    for (Mark& mark : marks_) {
        v("markY", mark.y);
        v("markColor", mark.color);
    }
}

} // namespace vp7
