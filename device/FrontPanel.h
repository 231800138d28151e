#pragma once
// What the front panel view draws on the device picture besides the display: the three scales and
// the position feedback module.
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

private:
    Simulator& sim_;
};

} // namespace vp7
