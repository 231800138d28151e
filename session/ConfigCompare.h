// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A configuration compared with another, parameter by parameter, as the parameter table shows them:
// a trainee's device or saved file against a model solution.
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vp7 {

class Simulator;

struct CompareRow {
    std::string name;        // the parameter's display name without blanks ("YFCT", "/STRK")
    std::string left, right; // its value texts as the parameter table shows them, without padding blanks
    bool differs = false;    // the texts differ: two values shown alike are no difference to see
};

// One row for every parameter of the running device's variant that the table can show (the actions
// INITA, INITM and PRST have no value to compare), in the table's order: left is `running` when only
// `fileA` is given, else `fileA`; right is `fileA`, or `fileB` when given. Nothing in `running`
// changes. Refused with the text loading would show, in the device's language: the file error for a
// file that is not a configuration file or holds a value out of range, the variant message for a file
// of another variant.
std::variant<std::vector<CompareRow>, std::string>
CompareConfigurations(Simulator& running, const std::string& fileA, const std::optional<std::string>& fileB);

} // namespace vp7
