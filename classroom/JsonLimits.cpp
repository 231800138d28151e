// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/JsonLimits.h"

namespace vp7 {
namespace {

// Our messages nest two levels; a little room for what a later version adds.
constexpr int kMaxDepth = 8;

bool TooDeep(std::string_view text) {
    int depth = 0;
    bool inString = false, escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"')
            inString = true;
        else if ((c == '[' || c == '{') && ++depth > kMaxDepth)
            return true;
        else if (c == ']' || c == '}')
            --depth;
    }
    return false;
}

} // namespace

std::optional<nlohmann::json> ParseBoundedObject(std::string_view payload, std::size_t maxBytes,
                                                 std::string& why) {
    if (payload.size() > maxBytes) {
        why = "larger than " + std::to_string(maxBytes) + " bytes";
        return std::nullopt;
    }
    if (TooDeep(payload)) {
        why = "nested too deeply";
        return std::nullopt;
    }
    nlohmann::json parsed = nlohmann::json::parse(payload, nullptr, false);
    if (parsed.is_discarded()) {
        why = "not JSON";
        return std::nullopt;
    }
    if (!parsed.is_object()) {
        why = "not a JSON object";
        return std::nullopt;
    }
    return parsed;
}

std::optional<std::string> StringMember(const nlohmann::json& object, const char* name,
                                        std::size_t maxBytes) {
    const auto it = object.find(name);
    if (it == object.end() || !it->is_string()) return std::nullopt;
    const auto& text = it->get_ref<const std::string&>();
    if (text.size() > maxBytes) return std::nullopt;
    return text;
}

std::optional<double> NumberMember(const nlohmann::json& object, const char* name) {
    const auto it = object.find(name);
    if (it == object.end() || !it->is_number()) return std::nullopt;
    return it->get<double>();
}

std::optional<bool> BoolMember(const nlohmann::json& object, const char* name) {
    const auto it = object.find(name);
    if (it == object.end() || !it->is_boolean()) return std::nullopt;
    return it->get<bool>();
}

} // namespace vp7
