#pragma once
// What the front panel view draws on the device picture besides the display: the three scales.
namespace vp7 {

class Simulator;

class FrontPanel {
public:
    explicit FrontPanel(Simulator& sim);

    // The static part of the setpoint, controller and valve scales: titles, end texts, lines, ticks and
    // the range marks.
    void DrawScales();

private:
    Simulator& sim_;
};

} // namespace vp7
