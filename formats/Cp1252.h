// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 8-bit character set of the configuration files. Texts are UTF-8 inside the program and
// converted only where they cross into such a file.
#include <string>
#include <string_view>

namespace vp7 {

// Characters without a place in the 8-bit set become "?".
std::string Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view text);

} // namespace vp7
