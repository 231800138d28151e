// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The characteristic of the positioner: a polygon through 21 support points at 0, 5, ... 100 % of the
// characteristic input, scaled onto the valve range Ya..Ye. Linear, equal percentage, inverse equal
// percentage or free.
#include <array>

namespace vp7 {

class StateVisitor;

class Simulator;

class Characteristic {
public:
    explicit Characteristic(Simulator& sim);
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);

    // Builds the table in effect; false when the free support values do not rise by at least 0.2 %
    // from point to point (checked whatever curve is selected).
    bool BuildKennlinie();
    // Characteristic input (%) to position setpoint (%); the end segments extend beyond 0..100.
    double Kennlinie(double x) const;
    // Position (%) back to characteristic input (%).
    double KennlinieInvers(double y) const;

    std::array<double, 21> KennlinienTabelle{};
    std::array<double, 21> FreeTable{};

private:
    Simulator& sim_;
};

} // namespace vp7
