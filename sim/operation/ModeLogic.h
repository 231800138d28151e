// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device's operating modes behind its three keys: automatic and manual operation, moving the valve
// by hand, entering and leaving the configuration menu and the diagnostic display, acknowledging an
// initialization, and latching keys with the right button so one pointer can press three keys.
#include "model/DeviceCodes.h"

#include <cstdint>

namespace vp7 {

class StateVisitor;

class Simulator;

class ModeLogic {
public:
    explicit ModeLogic(Simulator& sim);
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);

    // A key event; an equal code in a row is dropped (senders that repeat set LastKeyCode to Neutral).
    void KeyEvent(KeyCode code);
    void HideLatches();
    // Disables the key timer, lets pending events run and resets the hold counter.
    void StopKeyTimer();
    // Gives the key timer a duty: repeating or timing a held key.
    void StartTiming(uint8_t& duty, int intervalMs, bool resetCount);
    // Warns when the gear switch does not fit the feedback angle or the stroke range.
    void CheckGearSetting();

    uint8_t LatchUmschalt = 0, LatchKleiner = 0, LatchGroesser = 0;
    double ManualStep = 0.1;
    // Duties of the key timer.
    uint8_t HoldUmschalt = 0, HoldTimeout = 0, HoldGroesserLong = 0, RepeatKleiner = 0, RepeatGroesser = 0;
    uint32_t KeyHoldCount = 0;
    // Configuration was entered from automatic mode.
    uint8_t ConfigFromAutomatic = 0;

private:
    void HandleKey();
    bool NoLatch() const { return !LatchUmschalt && !LatchKleiner && !LatchGroesser; }
    bool AllLatched() const { return LatchUmschalt && LatchKleiner && LatchGroesser; }
    void ToggleLatch(KeyCode code);
    void StartAllLatchedTimeout();
    void DiagnosticKey(KeyCode code);
    void AutomaticOrManualKey(KeyCode code);
    void ConfigurationKey(KeyCode code);
    void LeaveConfiguration();
    void EnterDiagnostics();
    void EnterConfiguration();
    void ManualPositioning(KeyCode code);
    void HeldValueKey(KeyCode code);
    Simulator& sim_;
};

} // namespace vp7
