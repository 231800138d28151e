// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/Picture.h"

#include <optional>
#include <string>

namespace vp7 {

// The picture's logical pixels as an uncompressed 24-bit BMP (bottom-up rows, padded to four bytes).
std::string BmpBytes(const Picture& picture);
// Writes BmpBytes straight into `path` (the artwork's build and tests); a user's file goes through a
// whole-file save instead (WriteFileAtomically). Returns false when the file cannot be written.
bool WriteBmp(const std::string& path, const Picture& picture);

// Reads an uncompressed 24- or 32-bit BMP (rows bottom-up or top-down). Anything else, a truncated or
// damaged file, or a picture over 16384 points a side gives nothing.
std::optional<Picture> ReadBmp(const std::string& path);

} // namespace vp7
