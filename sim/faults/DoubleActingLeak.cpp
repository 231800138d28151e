// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/faults/DoubleActingLeak.h"

#include "sim/Simulator.h"
#include "sim/faults/ExtendedFaults.h"

namespace vp7 {

DoubleActingLeak::DoubleActingLeak(const Simulator& sim) : sim_(sim) {}

bool DoubleActingLeak::Sinks() const {
    const FormState& f = sim_.form;
    return sim_.extendedFaults.On() && f.LeakageSelect.checked && f.DoubleActingSelect.checked;
}

int32_t DoubleActingLeak::ShownLeakage(int32_t stored) const {
    if (!sim_.extendedFaults.On()) return stored;
    return sim_.form.LeakageSelect.checked ? stored : 0;
}

} // namespace vp7
