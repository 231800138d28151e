// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What `print` writes for a name: one lookup for the runner's `print` and for an exercise's checks, so
// a check sees every value exactly as `print` shows it.
#include <span>
#include <string>
#include <vector>

namespace vp7 {

class Simulator;
struct NamedValue;

struct PrintedValue {
    std::string name;  // as print writes it: "Istwert", "param YWAY", "pixel 10 20", "lcd upper"
    std::string value; // what follows: "50.0000", "1", "\"  50.0 \"", "\"  50.0 \" \"AUT\""
};

// The line `print WORDS` writes, for everything it writes on one line from the simulator's state;
// `values` are StateValues(sim). ScriptError for anything else.
PrintedValue LookUpPrinted(Simulator& sim, const std::vector<NamedValue>& values,
                           std::span<const std::string> words);

// A value judged for `words` as the trainee saw it: a parameter's as the parameter table shows it
// ("OFF", "0.5"), the mode by its name in the trend ("AUT"); any other as judged.
std::string ShownValue(const Simulator& sim, std::span<const std::string> words, const std::string& judged);

// A parameter's table index by its display name without blanks; ScriptError when the variant lacks it.
int ParamIndex(const Simulator& sim, const std::string& name);

} // namespace vp7
