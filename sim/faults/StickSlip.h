// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stick-slip friction: a standing stem that friction grips does not follow a deviation below its
// breakaway band; once the deviation exceeds it the stem breaks loose and jumps. The automatic dead
// band sees each small jump and widens, so that its monitoring reports a sticking valve.
namespace vp7 {

class Simulator;

class StickSlip {
public:
    explicit StickSlip(Simulator& sim);
    // Percent of travel a gripped stem holds against.
    static constexpr double BreakawayBand = 1.5;

    // The deviation a standing stem holds against: the dead band, or the breakaway band while friction
    // grips it.
    double HoldBand(double deadBand) const;
    // The controller moves the stem by `deviation`: a gripped stem breaks loose.
    void BreakLoose(double deviation);

private:
    bool Grips() const;
    Simulator& sim_;
};

} // namespace vp7
