// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An exercise the room sends a seat is kept at the seat as a file of its own: a report names the
// exercise's file and its hash, so a later lesson's exercise must never take that file's place (the
// earlier report would then say the exercise was changed).
#include "session/exercise/Exercise.h"

#include <optional>
#include <string>
#include <string_view>

namespace vp7 {

// The file name `text` is kept under: its English title made safe for a file name (letters, digits,
// '-' and '_', at most kKeptTitleBytes), a '-', the first kKeptHashDigits hex digits of the text's
// SHA-256, and ".vp7x". The same text always gets the same name; without a readable title the name
// begins with "exercise".
inline constexpr std::size_t kKeptTitleBytes = 40;
inline constexpr std::size_t kKeptHashDigits = 12;
std::string KeptExerciseName(std::string_view text);

// The title of the exercise `text`, read from its `title "GERMAN" "ENGLISH"` line without running it:
// a seat names its exercise by the English one, and a station shows it in its own language.
std::optional<BilingualText> ExerciseTitleOf(std::string_view text);

} // namespace vp7
