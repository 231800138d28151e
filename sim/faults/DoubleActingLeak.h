// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Leakage on a double-acting actuator: its air escapes past the piston and the stem sinks while it
// stands, as a spring-return valve drifts toward its spring's end. The leakage diagnostic shows the
// leak the device sees, nothing on a tight actuator.
#include <cstdint>

namespace vp7 {

class Simulator;

class DoubleActingLeak {
public:
    explicit DoubleActingLeak(const Simulator& sim);
    // A leaking double-acting actuator with the extended effects on.
    bool Sinks() const;
    // The leakage diagnostic's value as shown, from the stored rate (tenths of %/minute).
    int32_t ShownLeakage(int32_t stored) const;

private:
    const Simulator& sim_;
};

} // namespace vp7
