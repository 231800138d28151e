// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixed help texts of the keys and display areas, German and English, each with its own spacing.
#include "model/DeviceCodes.h"

#include <cstdint>
#include <string>

namespace vp7 {

class Simulator;

enum class HelpKey { Umschalt, Kleiner, Groesser };
enum class HelpSpecial {
    KleinerInit,
    GroesserInit,
    KleinerReset,
    GroesserReset,
    GroesserDiagReset,
    GroesserDiagTemperature,
    ModeAutomatic,
    ModeManual,
    Setpoint,
    Position,
    Gear33,
    Gear90
};

class HelpTexts {
public:
    explicit HelpTexts(Simulator& sim);

    // Fills the store, then sets the parameter table up for the device variant.
    void SetupHelpTexts();
    // The key's text for an operating mode, or in the diagnostic display.
    const std::string& KeyText(HelpKey key, Mode mode, bool diagnostic = false) const;
    const std::string& Text(HelpSpecial entry) const;

private:
    Simulator& sim_;
};

} // namespace vp7
