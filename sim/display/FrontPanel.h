// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The front panel view: what is drawn on the device picture besides the display (scales, feedback
// module, gear marks), the visibility of the option controls and the device variant question.
namespace vp7 {

class Simulator;

class FrontPanel {
public:
    explicit FrontPanel(Simulator& sim);

    // The static part of the setpoint, controller and valve scales: titles, end texts, lines, ticks and
    // the range marks.
    void DrawScales();
    // The position feedback module: fitted (with its digits) or the empty place.
    void DrawFeedbackModule();
    // The feedback current for a position, 4.000 ... 20.000 mA, on the module's five digits; only
    // while the module is fitted.
    void DrawFeedbackDigits(double position);
    // The gear marks: the lower one lit for 33 degrees, the upper one for 90 degrees.
    void DrawGear();
    // The supply gauge: at 0 bar while the supply air is missing.
    void DrawSupplyGauge();
    // A click on a gear mark switches the gear where the other one is lit.
    void LowerGearMarkClick();
    void UpperGearMarkClick();
    // Shows or hides the option controls (the splash covers the window meanwhile).
    void VisibleObjects(bool show);
    // A new device variant takes effect at the next start: offers to restart now.
    void ControllerSelectClick();

private:
    Simulator& sim_;
};

} // namespace vp7
