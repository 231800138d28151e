// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Two words the same but for the case of their letters, as settings keys and script words compare.
#include <algorithm>
#include <cctype>
#include <string_view>

namespace vp7 {

inline bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

} // namespace vp7
