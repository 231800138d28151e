// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The end stops and blocks as the initialization meets them: a blocked valve stops the stem at 10 % or
// 90 % travel, a stop out of the sensor's window or too short a stroke reads so on the potentiometer,
// and RUN 2 judges the stops it found.
#include "sim/diagnosis/Initialization.h"

#include <cstdint>

namespace vp7 {

class Simulator;
class StateVisitor;

class InitStops {
public:
    explicit InitStops(Simulator& sim);

    // Where a block stops the stem, in potentiometer coordinates: 10 % and 90 % of the travel.
    static constexpr double BlockDown = Initialization::InitBottom + 0.1 * Initialization::InitSpan;
    static constexpr double BlockUp = Initialization::InitTop - 0.1 * Initialization::InitSpan;

    // The piston's picture frame (0..40) of a potentiometer position.
    static int32_t FrameOf(double position);
    // The potentiometer's reading at the lower and the upper stop, as the fault boxes have them.
    double BottomStop() const;
    double TopStop() const;
    // The move just started by the initialization as the stops and blocks let it go: the target
    // limited, the piston's frames kept on the picture, the direction taken from the positions.
    void PlanMove();
    // The move ends where the stem is; the position kept for leaving is one on the picture.
    void Halt();
    // The lower stop as RUN 2 found it or the trainee confirmed it.
    void FoundBottom(double position) { Bottom = position; }
    // RUN 2's judgement of the stops found, the first fault found winning (bottom before top before
    // the span): true when it stopped the procedure with an error.
    bool Failed(double top);

    bool Holds() const { return Bottom != 0; }
    void Reset() { Bottom = 0; }
    void DoState(StateVisitor& v);

    double Bottom = 0; // 0 until found

private:
    Simulator& sim_;
};

} // namespace vp7
