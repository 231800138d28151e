#pragma once
// The fixed help texts of the keys and display areas, German and English, each with its own spacing.
#include <string>

namespace vp7 {

class Simulator;

enum class HelpKey { Umschalt, Kleiner, Groesser };
enum class HelpSpecial {
    KleinerInit, GroesserInit, KleinerReset, GroesserReset, GroesserDiagReset, GroesserDiagTemperature,
    ModeAutomatic, ModeManual, Setpoint, Position, Gear33, Gear90
};

class HelpTexts {
public:
    explicit HelpTexts(Simulator& sim);

    // Fills the store, then sets the parameter table up for the device variant.
    void SetupHelpTexts();
    // The key's text for an operating mode (0..2), or the mode key's in diagnostic mode (mode 3).
    const std::string& KeyText(HelpKey key, int mode) const;
    const std::string& Text(HelpSpecial entry) const;

private:
    Simulator& sim_;
};

} // namespace vp7
