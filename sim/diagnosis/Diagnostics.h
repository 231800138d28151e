// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 35 diagnostic values of the device: counters fed by the motion and the monitoring, measured
// values, and the switching counters of the two pre-control valves.
#include "model/DeviceCodes.h"

#include <array>
#include <cstdint>
#include <string>

namespace vp7 {

class StateVisitor;

class Simulator;

enum DiagFlags : uint32_t { DiagCount = 1, DiagTenths = 2, DiagIntBlank = 4 };

struct TDiagField {
    void DoState(StateVisitor& v);
    uint32_t Flags = 0;
    std::string Name; // 7 characters, shown on the lower line
    int32_t Value = 0;
    std::array<std::string, 2> Explanation; // German, English
};

// Indexes of the records other parts feed.
enum DiagRecord {
    DiagStrokes = 0,
    DiagDirectionChanges = 1,
    DiagFaults = 2,
    DiagAlarms1 = 3,
    DiagAlarms2 = 4,
    DiagTravelTimeUp = 7,
    DiagTravelTimeDown = 8,
    DiagLeakage = 9,
    DiagShortStepUp = 16,
    DiagShortStepDown = 17,
    DiagVent1 = 30,
    DiagVent2 = 31,
};

class Diagnostics {
public:
    static constexpr int Count = 35;
    explicit Diagnostics(Simulator& sim);
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);

    // Names, flags, explanations and default values.
    void InitDiagTable();
    // Adds one to a counter; counters stop at 2147483647.
    void Increment(int record);
    // Switching counters of the pre-control valves, before each move toward `target`.
    void CountSwitching(double target, double position);
    // A key event in the diagnostic display: paging, °C/°F, the reset of the counters; Neutral shows
    // the current value again.
    void DiagKey(KeyCode code);
    // The value as shown: dead band and travel times derived, temperatures in °F when chosen.
    int32_t ShownValue(int record) const;

    std::array<TDiagField, Count> DiagTable;
    // Travel accumulated toward the next full stroke (%).
    double TravelSum = 0;
    // "RESET" is shown and the periodic refresh waits.
    uint8_t DiagResetPending = 0;
    uint8_t DiagIndex = 0;
    uint8_t TempFahrenheit = 0;

private:
    Simulator& sim_;
};

} // namespace vp7
