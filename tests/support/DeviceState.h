// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything a trainee could tell two devices apart by, one line each: the display read back, every
// named state value, every diagnostic value and every control of the form, as `print` shows them.
#include "session/script/PrintedValue.h"
#include "session/script/ScriptWords.h"
#include "session/script/StateValues.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/display/LcdReadBack.h"

#include <string>
#include <vector>

namespace vp7::test {

inline std::vector<std::string> DeviceState(Simulator& sim) {
    const LcdReading lcd = ReadLcd(sim.image1);
    std::vector<std::string> lines = {"lcd " + lcd.upper + '|' + lcd.lower};
    const std::vector<NamedValue> values = StateValues(sim);
    std::vector<std::vector<std::string>> names;
    for (const NamedValue& v : values)
        names.push_back({v.name});
    for (int i = 0; i < Diagnostics::Count; ++i)
        names.push_back({"diag", std::to_string(i)});
    for (const Control* c : sim.form.All())
        names.push_back({c->name});
    for (const auto& words : names) {
        try {
            const PrintedValue printed = LookUpPrinted(sim, values, words);
            lines.push_back(printed.name + ' ' + printed.value);
        } catch (const ScriptError&) {
            // A control `print` does not show (a menu with items, a group).
        }
    }
    return lines;
}

} // namespace vp7::test
