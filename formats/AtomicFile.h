// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>

namespace vp7 {

// Writes the whole file through a temporary file beside it and a rename, so a crash or a full disk
// while writing leaves the previous file whole. The temporary gets a fresh name and is created only
// where nothing is yet, so nothing another user left in a shared folder (a link) is ever written
// through. The file keeps its mode; a new one gets 0644 less the umask. False on failure (every write,
// the flush to disk and the close are checked); only our own temporary is removed.
// With Flush::BySystem the save does not wait for the disk (a crash of the program still leaves one
// whole version; a power cut may leave the older one): for the runner's settings lines, hundreds of
// which replay in a row into a file that is written again at the end.
enum class Flush : bool { ToDisk, BySystem };
bool WriteFileAtomically(const std::string& path, std::string_view bytes, Flush flush = Flush::ToDisk);

// Whether a new file can be created in `folder`: one of our own with a fresh name, removed at once.
bool FolderTakesNewFiles(const std::string& folder);

} // namespace vp7
