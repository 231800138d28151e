// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// On a computer that trainees share, what one of them does in the program (recordings that hold an
// exercise's solution, reports, settings, hand-ins waiting to be sent) is no one else's to read.
#include <string>

namespace vp7 {

// Everything the program creates from now on is its user's alone: folders 0700, files 0600. For the
// whole process (the umask), so that no way of writing a file is forgotten.
void CreatePrivately();

// The program's own folders below `base` (Config, Data, the class folder, the seat's outbox), as an
// older version made them, open to others: each closed to everyone but its owner (0700). Only a folder
// of this user's, never through a link; what is missing or not a folder is left alone. `base` itself
// too when `withBase` (the per-user folder, not a program folder others share).
void TightenOwnFolders(const std::string& base, bool withBase);

} // namespace vp7
