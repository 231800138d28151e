// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device watching itself once a second: the two binary inputs (forced modes and locks), the
// position alarms A1 and A2, the eight fault sources with the fault output and the blinking fault
// number, the adapting dead band and the leakage drift. Also the thresholds derived from the parameters.
#include <array>
#include <cstdint>

namespace vp7 {

class StateVisitor;

class Simulator;

class Monitoring {
public:
    explicit Monitoring(Simulator& sim);
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);

    // The monitoring part of the one-second cycle, in automatic and manual mode.
    void CheckAlarms();
    void CheckFaults();
    // Blanks the fault number 700 ms after it was shown.
    void AlarmBlinkTimerTimer();

    void ApplyDeviationMonitoring();
    void ApplyEndStopMonitoring();
    // DEBA fixed: the dead band is DEBA. DEBA automatic: the dead band found so far, at most 3.0 %.
    void ApplyDeadBandMonitoring();

    // A click on an input switch (the second only with the alarm module).
    void ToggleBinaryInput1();
    void ToggleBinaryInput2();

    uint8_t BinaryInput1 = 0, BinaryInput2 = 0;
    // Binary input 1 blocks configuring ("bLoc1"), or configuring and manual operation ("bLoc2").
    uint8_t Bin1BlockConfig = 0, Bin1BlockConfigManual = 0;
    uint8_t BinModePrev = 0;
    uint8_t Alarm1Active = 0, Alarm2Active = 0, Alarm1Prev = 0, Alarm2Prev = 0;
    uint8_t FaultOutput = 0, Alarm1Output = 0, Alarm2Output = 0;
    // One flag per fault source, [1] control deviation ... [8] dead band; [0] unused.
    std::array<uint8_t, 9> FaultFlags{};
    uint8_t FaultShowIndex = 0;
    int32_t DeviationTicks = 0, DeviationTimeLimit = 0;
    double DeviationLimit = 0;
    uint32_t ZeroTicks = 0, OpenTicks = 0, EndStopTime = 0;
    double ZeroStopBand = 0, OpenStopBand = 0;
    uint8_t ZeroFaultLatched = 0, OpenFaultLatched = 0;
    double DeadBandLimit = 0;
    int32_t DeadBandDecayTicks = 0;
    // Drift per controller run of a leaking single-acting valve (%).
    double LeakStep = 0;

private:
    enum class Drive { None, Up, Down, Stop };
    struct InputResult {
        bool active = false;
        Drive drive = Drive::None;
    };
    static InputResult EvaluateInput1(int function, bool closed);
    static InputResult EvaluateInput2(int function, bool closed);
    void SetFault(int source, bool on);
    bool CheckAlarm(bool maximum, double threshold, bool previous, int counter);
    void CheckDeviation();
    void CheckEndStop(bool tightActive, int16_t limit, double deviation, uint32_t& ticks, double band,
                      uint8_t& latched, int source);
    void ShowFaultNumber();
    Simulator& sim_;
};

} // namespace vp7
