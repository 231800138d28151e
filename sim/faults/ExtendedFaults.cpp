// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/faults/ExtendedFaults.h"

#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/display/Captions.h"

#include <cstdint>

namespace vp7 {
namespace {
constexpr uint32_t kTag = 0x46545845; // "EXTF"
} // namespace

ExtendedFaults::ExtendedFaults(Simulator& sim) : leak(sim), stickSlip(sim), sim_(sim) {}

bool ExtendedFaults::On() const {
    return sim_.form.ExtendedFaultsSelect.checked;
}

bool ExtendedFaults::Present() const {
    // Unchecked, shown and hidden with its group and enabled is what a device without the option has.
    const Control& option = sim_.form.ExtendedFaultsSelect;
    return option.checked || option.visible != sim_.form.ZorizOptions.visible || !option.enabled;
}

void ExtendedFaults::Reset() {
    Control& option = sim_.form.ExtendedFaultsSelect;
    option.checked = false;
    option.visible = sim_.form.ZorizOptions.visible;
    option.enabled = true;
    sim_.captions.SetCaption(option);
}

void ExtendedFaults::DoState(StateVisitor& v) {
    v.Part("extendedFaults");
    const bool present = v.Saving() ? Present() : !v.AtEnd();
    if (!present) {
        if (v.Loading()) Reset();
        return;
    }
    // A word of its own ahead, so that bytes of another kind behind a snapshot stay what they were:
    // bytes after the device's state.
    bool tagged = false;
    try {
        tagged = v.Value("tag", kTag) == kTag;
    } catch (const StateError&) {
    }
    if (!tagged) throw StateError("bytes after the device's state");
    v("control", sim_.form.ExtendedFaultsSelect);
}

} // namespace vp7
