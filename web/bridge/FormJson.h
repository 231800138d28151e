// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device's form state as the page builds its controls from it: every control (kind, parent, place,
// caption, items, text, check, selection, visibility, greying), the window's title and cursor, and the
// small windows' contents.
#include <nlohmann/json.hpp>

namespace vp7 {

class Simulator;

nlohmann::json FormJson(const Simulator& sim);

} // namespace vp7
