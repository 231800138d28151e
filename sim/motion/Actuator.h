// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The actuator and valve: the one actual position, moved step by step on the 50-ms motion tick toward
// the automatic or the manual target, with the piston frame, the valve marker and the travel counters.
#include <array>
#include <cstdint>

namespace vp7 {

class Simulator;
class StateVisitor;

class Actuator {
public:
    explicit Actuator(Simulator& sim);

    void ComputeStrokeSpeeds();
    // One motion step toward AutoTarget (automatic) or ManuellTarget (manual).
    void SetNewIstwert();
    void SetManuellIstwert();
    void StartManuellMove();
    void Timer2Timer();
    // The shared handler of the supply-air, blocking and valve-type options.
    void BlockDownSelectClick();
    // The shared handler of the throttle and friction options.
    void DrosselSelectClick();
    // The piston frames of the checked valve type: with the return spring for the single-acting
    // valves, without it for the double-acting one.
    void SelectPistonFrames();
    // The current piston frame at its place on the device picture.
    void DrawPiston();
    // A changed valve type shown at once: its frames selected and the piston redrawn.
    void ShowValveType();

    // Missing supply air and blocking at 10 % / 90 % applied to a target. The manual move compares the
    // blocked side with the position itself, the automatic one with the blocking point.
    double ApplyFaultOptions(double target, bool manual) const;

    // Valve marker (colour 0 erases, 0x00FF00 draws) and all three markers.
    void DrawVentilMark(unsigned color, int y);
    void DrawMarks(unsigned color);
    // Each scale's marker as last drawn or erased; the flags alone do not tell (an erased marker whose
    // setpoint was refused stays erased).
    void RedrawMarks();
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);

private:
    struct Mark {
        int32_t y = 0;
        uint32_t color = 0; // 0: erased, or never drawn
    };
    void Step(bool manual);
    void DrawMark(unsigned color, int scale, int y);
    Simulator& sim_;
    std::array<Mark, 3> marks_{}; // setpoint, controller setpoint, valve position
};

} // namespace vp7
