// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/display/OperatingDisplays.h"

#include "platform/NumberFormat.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/display/FrontPanel.h"
#include "sim/display/Lcd.h"
#include "sim/motion/Characteristic.h"
#include "sim/operation/ParamSet.h"

#include <algorithm>

namespace vp7 {
namespace {

std::string RightAligned(std::string text, size_t width) {
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

} // namespace

OperatingDisplays::OperatingDisplays(Simulator& sim) : sim_(sim) {}

void OperatingDisplays::IstwertAnzeige(double position) {
    const ParamStore& p = sim_.params.store;
    if (p.YNRM == 1) position = sim_.characteristic.KennlinieInvers(position); // the flow value
    if (p.YDIR == 1) position = 100 - position;
    position = std::clamp(position, -99.9, 999.9);
    IstwertShown = position;
    sim_.frontPanel.DrawFeedbackDigits(IstwertShown);
    if (sim_.state.DiagnosticMode) return;
    // One decimal and a trailing blank put the decimal point between positions 3 and 4.
    sim_.lcd.LcdUpperText = RightAligned(FormatFixed(position, 1, 15), 4) + " ";
    sim_.lcd.LCDWrite(sim_.lcd.LcdUpperText, UpperLine);
}

void OperatingDisplays::SollwertAnzeige(double setpoint) {
    const SimState& s = sim_.state;
    const ParamStore& p = sim_.params.store;
    if (s.DiagnosticMode) return;
    if (p.YNRM == 1) setpoint = s.ReglerSollwert;
    if (p.YDIR == 1) setpoint = 100 - setpoint;
    setpoint = std::clamp(setpoint, 0.0, 100.0);
    std::string text = RightAligned(FormatFixed(setpoint, 0, 15), 3);
    if (s.Mode != Mode::Automatic) {
        text = "MA" + text;
        if (text[2] == ' ') text[2] = 'N';
    } else if (s.BinMode == 0) {
        text = "AU" + text;
        if (text[2] == ' ') text[2] = 'T';
    } else {
        static const char* const kForced[] = {"EX UP", "EXDWN", "EXSTP"};
        text = kForced[std::min<int>(s.BinMode, 3) - 1];
    }
    sim_.lcd.LcdLowerText = text;
    sim_.lcd.LCDWrite(sim_.lcd.LcdLowerText, LowerText);
}

void OperatingDisplays::DoState(StateVisitor& v) {
    v.Part("displays");
    v("IstwertShown", IstwertShown);
}

} // namespace vp7
