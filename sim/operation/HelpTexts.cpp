// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/operation/HelpTexts.h"

#include "sim/Simulator.h"
#include "sim/operation/ParamSet.h"

namespace vp7 {
namespace {

// [key][mode][language]; the last column is the diagnostic display's (just after configuration, when
// the version is shown, the keys have no help).
constexpr int kDiagnosticColumn = 3;
const std::string kKeys[3][4][2] = {
    {{" Linke Maustaste: Modus Manuell \r\n 5s linke Maustaste: Modus Konfiguration ",
      " Left mouse button: go to manual mode \r\n 5s left mouse button: go to configuration "},
     {" Linke Maustaste: Modus Automatik \r\n 5s linke Maustaste: Modus Konfiguration ",
      " Left mouse button: go to automatic mode \r\n 5s left mouse button: go to configuration "},
     {" Linke Maustaste: nächster Parameter \r\n Rechte Maustaste: vorheriger Parameter \r\n 5s linke "
      "Maustaste: "
      "Konfiguration verlassen ",
      " Left mouse button: next parameter \r\n Right mouse button: prior parameter \r\n 5s left mouse "
      "button: finish "
      "configuration "},
     {" Linke Maustaste: nächster Diagnosewert \r\n Rechte Maustaste: vorheriger Diagnosewert \r\n 2s linke "
      "Maustaste: Diagnose-Modus verlassen ",
      " Left mouse button: next diagnostic value \r\n Right mouse button: prior diagnostic value \r\n 2s "
      "left mouse "
      "button: finish diagnostic mode "}},
    {{"", ""},
     {" linke Maustaste: Antrieb nach unten fahren ", " Left mouse button: move valve down "},
     {" linke Maustaste: Wert verkleinern \r\n PC-Umschalttaste + linke Maustaste: \r\n vorheriger "
      "Parameter ",
      " Left mouse button: decrement value \r\n PC shift key + left mouse button: \r\n prior parameter "},
     {"", ""}},
    {{"", ""},
     {" linke Maustaste: Antrieb nach oben fahren ", " Left mouse button: move valve up "},
     {" linke Maustaste: Wert vergrößern ", " Left mouse button: inkrement value "},
     {"", ""}},
};

const std::string kSpecial[12][2] = {
    {" 5s linke Maustaste: Auf No Init setzen \r\n (wird nicht unterstützt) \r\n Umschalt + linke Maustaste: "
     "vorheriger Parameter ",
     " 5s left mouse button: Set controller to No Init \r\n (not supported) \r\n PC shift key + left mouse "
     "button: "
     "\r\n prior parameter "},
    {" 5s linke Maustaste: Initialisierung starten ", " 5s left mouse button: initial start-up"},
    {" Umschalt + linke Maustaste: vorheriger Parameter ",
     " PC shift key + left mouse button: \r\n prior parameter "},
    {" 5s linke Maustaste: Alle Parameter rücksetzen ", " 5s left mouse button: factory reset"},
    {" 5s linke Maustaste: Parameter auf 0 setzen ", " 5s left mouse button: set parmeter to 0"},
    {" Linke Maustaste: Umschaltung °C / °F", " Left mouse button: change between °C and °F"},
    {" Modus Automatik ", " Mode Automatic "},
    {" Modus Manuell ", " Mode Manual"},
    {" Sollwert ", " Setpoint"},
    {" Stellung ", " Position "},
    {" Getriebeübersetzung 33°", " Transmission ratio selector 33° "},
    {" Getriebeübersetzung 90°", " Transmission ratio selector 90° "},
};

} // namespace

HelpTexts::HelpTexts(Simulator& sim) : sim_(sim) {}

// The texts are constant tables, so setting up is the parameter table's part.
void HelpTexts::SetupHelpTexts() {
    sim_.params.SetFactoryDefaults(sim_.state.ControllerType);
    sim_.params.BuildParamTable(sim_.state.ControllerType);
}

const std::string& HelpTexts::KeyText(HelpKey key, Mode mode, bool diagnostic) const {
    const int column = diagnostic ? kDiagnosticColumn : static_cast<int>(mode);
    const auto& texts = kKeys[static_cast<int>(key)][column];
    return sim_.state.Text(texts[0], texts[1]);
}

const std::string& HelpTexts::Text(HelpSpecial entry) const {
    const auto& texts = kSpecial[static_cast<int>(entry)];
    return sim_.state.Text(texts[0], texts[1]);
}

} // namespace vp7
