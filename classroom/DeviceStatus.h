// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a seat tells of its device, the same in the runner and in the window: the variant, the mode, the
// display as a person reads it, the position and setpoint, the faults and alarms; the trend's events
// since those already told; and the exercise handed in.
#include "classroom/SeatTarget.h"

#include <cstdint>
#include <vector>

namespace vp7 {

class Simulator;
class TrendRecorder;
struct ExerciseResult;

void FillDeviceStatus(SeatStatus& status, Simulator& sim, const TrendRecorder& trend);
// The trend's events from number `taken` on, in English; `taken` moves past them.
std::vector<SeatEvent> TrendEventsSince(const TrendRecorder& trend, uint64_t& taken);
// A judged exercise as the room reads it: the English texts, the score.
SeatHandIn HandInOf(const ExerciseResult& result);

} // namespace vp7
