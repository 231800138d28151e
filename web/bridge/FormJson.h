// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device's form state as the page builds its controls from it: every control (kind, parent, place,
// caption, items, text, check, selection, visibility, greying), the window's title and cursor, and the
// small windows' contents. An exercise's hidden controls show as not visible and its locked ones as
// greyed, and so does whatever lies in either, as the desktop's widgets inside them are; the rows
// below a hidden one close up over it (ClosedRows.h).
#include <nlohmann/json.hpp>

namespace vp7 {

class ExerciseRun;
class Simulator;

nlohmann::json FormJson(const Simulator& sim, const ExerciseRun* exercise = nullptr);

} // namespace vp7
