// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RUN 2 of an initialization started from INITM done by hand: the trainee drives the stem with "+"
// and "-" held and confirms the lower, then the upper end position by holding the mode key 2 s; the
// stops so found are judged as RUN 2 judges its own, and RUN 3 on run by themselves.
#include "model/DeviceCodes.h"

#include <cstdint>

namespace vp7 {

class Simulator;
class StateVisitor;

class ManualInit {
public:
    explicit ManualInit(Simulator& sim);

    // A sequencer tick taken while an end position is asked for.
    bool Tick();
    // A key taken while an end position is asked for. A short press and release of the mode key is
    // left to end the procedure as ever.
    bool Key(KeyCode code);

    bool Holds() const { return Asked != 0 || Lower != 0; }
    void Reset();
    void DoState(StateVisitor& v);

    enum Step : uint8_t { NotYet = 0, LowerEnd = 1, UpperEnd = 2, Confirmed = 3 };
    uint8_t Asked = NotYet;
    double Lower = 0; // the confirmed lower end position

private:
    bool Asking() const;
    void Confirm();
    void ShowAsked();
    Simulator& sim_;
};

} // namespace vp7
