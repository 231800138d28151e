// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The state values `print NAME` knows, by the names the device program gives them.
#include "model/DeviceCodes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vp7 {

class Simulator;

// A state value that can be looked up by its name; a named code prints as its number.
struct NamedValue {
    std::string name;
    std::variant<const double*, const int32_t*, const uint32_t*, const uint8_t*, const std::string*,
                 const KeyCode*, const Mode*, const Language*>
        ref;
};

// Every named value of one simulator; the pointers live as long as it does.
std::vector<NamedValue> StateValues(Simulator& sim);
const NamedValue* FindValue(const std::vector<NamedValue>& values, std::string_view name);

} // namespace vp7
