// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The setpoint path: the typed or ramped setpoint through split range, controller scale and
// characteristic to the position the valve runs to, with tight closing, dead band, leakage, the binary
// input's forced modes, missing supply air and blocking.
#include <cstdint>

namespace vp7 {

class StateVisitor;

class Simulator;

// What caused a controller run; only the entry field, its button, the start-up and the ramp read the
// typed setpoint.
enum class Sender { None, SetpointButton, SetPointText, Timer1, SetpointRampTimer, Option, ModeLogic };

class Controller {
public:
    explicit Controller(Simulator& sim);
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);

    void SetpointButtonClick(Sender sender);
    // The Enter key's code; Enter in the setpoint field confirms it.
    static constexpr int KeyEnter = 13;
    void SetPointTextKeyDown(int key);
    void SetpointDimSelectClick();
    void SetpointRampButtonClick();
    void SetpointRampTimerTimer();
    // Holds the valve at an end while tight opening or closing is active; draws the symbols.
    bool TightClose(double x);
    // The tight opening and closing symbols as they stand.
    void DrawTightSymbols();
    // A uniform random number in [0, 1) from the simulator's generator.
    double Random();

    uint8_t TightOpenActive = 0;  // U: valve driven to 100 %
    uint8_t TightCloseActive = 0; // D: valve driven to 0 %
    double RampValue = 0, RampLow = 0, RampHigh = 100;
    int32_t RampDirection = 1;

private:
    Simulator& sim_;
};

} // namespace vp7
