#pragma once
// The operating displays: position and setpoint on the device display in automatic and manual mode.
namespace vp7 {

class Simulator;

class OperatingDisplays {
public:
    explicit OperatingDisplays(Simulator& sim);

    // Shows a position on the upper line and on the feedback module.
    void IstwertAnzeige(double position);
    // Shows the position setpoint on the lower line.
    void SollwertAnzeige(double setpoint);

    // The values last handed to the two displays.
    double IstwertShown = 0;
    double SollwertShownOnLcd = 0;

private:
    Simulator& sim_;
};

} // namespace vp7
