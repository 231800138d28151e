// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the simulation tells a recorder beside it (the trend): when its state is worth a sample, and the
// few happenings that leave no trace in the state. The device knows nothing of what listens.
#include <cstdint>

namespace vp7 {

enum class SampleCause : uint8_t {
    MotionTick,      // the 50 ms tick of a moving valve
    MonitoringCycle, // the one-second cycle
    Event,           // a user action or a timer that may have changed what the device shows
};

enum class Happening : uint8_t { SetpointEntered, ConfigurationLoaded, ParametersApplied };

class SampleObserver {
public:
    virtual ~SampleObserver() = default;
    virtual void OnSample(SampleCause cause) = 0;
    // Reported where it happens; the sample that follows carries it.
    virtual void OnHappening(Happening what) = 0;
};

} // namespace vp7
