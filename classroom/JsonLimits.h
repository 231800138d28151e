// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The checks every JSON message read from the broker passes before it is parsed: bounded in size and
// in nesting, so that no message can exhaust the reader's stack or memory.
#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>

namespace vp7 {

// The object `payload` holds, or why it is none (larger than `maxBytes`, nested deeper than a few
// levels, not JSON, not an object).
std::optional<nlohmann::json> ParseBoundedObject(std::string_view payload, std::size_t maxBytes,
                                                 std::string& why);

// A member's value of the type asked for, or nullopt when it is missing or of another type; a string
// longer than `maxBytes` counts as of another type.
std::optional<std::string> StringMember(const nlohmann::json& object, const char* name, std::size_t maxBytes);
std::optional<double> NumberMember(const nlohmann::json& object, const char* name);
std::optional<bool> BoolMember(const nlohmann::json& object, const char* name);

} // namespace vp7
