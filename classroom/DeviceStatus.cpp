// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/DeviceStatus.h"

#include "session/SavedState.h"
#include "session/exercise/ExerciseReport.h"
#include "session/trend/TrendRecorder.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Monitoring.h"
#include "sim/display/LcdReadBack.h"

#include <algorithm>

namespace vp7 {

void FillDeviceStatus(SeatStatus& status, Simulator& sim, const TrendRecorder& trend) {
    status.variant = std::string(VariantWord(sim.state.ControllerType));
    status.mode = trend.Samples().Empty() ? "AUT" : TrendModeName(trend.Samples().Back().mode);
    const LcdReading lcd = ReadLcd(sim.image1);
    status.lcdUpper = lcd.upper;
    status.lcdLower = lcd.lower;
    status.position = sim.state.Istwert;
    status.setpoint = sim.state.Sollwert;
    status.faults.clear();
    for (int i = 1; i <= 8; ++i)
        if (sim.monitoring.FaultFlags[i]) status.faults.push_back(i);
    status.alarm1 = sim.monitoring.Alarm1Active != 0;
    status.alarm2 = sim.monitoring.Alarm2Active != 0;
}

std::vector<SeatEvent> TrendEventsSince(const TrendRecorder& trend, uint64_t& taken) {
    std::vector<SeatEvent> events;
    const auto& all = trend.Events();
    for (uint64_t n = std::max(taken, all.FirstKept()); n < all.Pushed(); ++n)
        events.push_back({all.Numbered(n).timeMs, all.Numbered(n).Text(Language::English)});
    taken = all.Pushed();
    return events;
}

SeatHandIn HandInOf(const ExerciseResult& result) {
    SeatHandIn handIn;
    handIn.exercise = result.exercise.en;
    for (const auto& [check, outcome] : result.checks)
        handIn.checks.push_back({check->text.en, outcome.passed});
    if (result.question) handIn.question = result.QuestionPassed();
    handIn.passed = result.Passed();
    handIn.total = result.Total();
    return handIn;
}

} // namespace vp7
