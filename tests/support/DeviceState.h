// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything a trainee could tell two devices apart by, one line each: the display read back, every
// named state value, every diagnostic value and every control of the form, as `print` shows them.
// A window's device is told apart from the runner's the same way.
#include "session/language/ScriptWords.h"
#include "session/language/StateValues.h"
#include "session/script/PrintedValue.h"
#include "session/script/Runner.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/display/LcdReadBack.h"
#include "sim/operation/ParamSet.h"

#include <algorithm>
#include <iterator>

#include <sstream>
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
    const ParamSet& params = sim.params;
    for (int i = params.ParamFirstIndex; i <= params.ParamLastIndex; ++i) {
        const std::string& name = params.ParamTable[i].Name;
        std::string key;
        std::ranges::copy_if(name, std::back_inserter(key), [](char c) { return c != ' '; });
        if (params.FindByName(key) == i) names.push_back({"param", key});
    }
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

// The device a runner in `folder` shows after `lines`: a state loaded, say, and a scene set on it.
inline std::vector<std::string> RunnerDeviceState(const std::string& folder,
                                                  const std::vector<std::string>& lines) {
    std::ostringstream out;
    Runner runner(out, folder);
    for (const std::string& line : lines)
        runner.Execute(line);
    return DeviceState(*runner.Sim());
}

} // namespace vp7::test
