// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The operating displays: in automatic and manual operation the valve position on the upper line and
// the mode with the setpoint on the lower line's alphanumerics.
namespace vp7 {

class StateVisitor;

class Simulator;

class OperatingDisplays {
public:
    explicit OperatingDisplays(Simulator& sim);
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);

    // Shows a position on the upper line, records it and moves the feedback module with it.
    void IstwertAnzeige(double position);
    // Shows the mode and the setpoint: AUT37, MAN 7, AU100, or what a binary input forces.
    void SollwertAnzeige(double setpoint);

    // The position last shown, after normalisation and limiting.
    double IstwertShown = 0;

private:
    Simulator& sim_;
};

} // namespace vp7
