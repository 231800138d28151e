#pragma once
// Limit and fault monitoring of the device. So far: applying the dead-band parameter and the leakage
// step the controller reads.
#include <cstdint>

namespace vp7 {

class Simulator;

class Monitoring {
public:
    explicit Monitoring(Simulator& sim);

    // DEBA fixed: the dead band is DEBA. DEBA automatic: the dead band found so far, at most 3.0 %.
    // With /DEBA set, its value becomes the dead-band fault limit.
    void ApplyDeadBandMonitoring();

    // Drift per controller run of a leaking single-acting valve (%).
    double LeakStep = 0;
    double DeadBandLimit = 0;
    // Binary input 1 blocks configuring ("bLoc1"), or configuring and manual operation ("bLoc2").
    uint8_t Bin1BlockConfig = 0;
    uint8_t Bin1BlockConfigManual = 0;

private:
    Simulator& sim_;
};

} // namespace vp7
