// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>

namespace vp7 {

// Writes the whole file through a temporary file beside it and a rename, so a crash or a full disk
// while writing leaves the previous file whole. False on failure; only our own temporary is removed.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace vp7
