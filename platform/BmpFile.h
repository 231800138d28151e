#pragma once
#include "platform/Picture.h"

#include <string>

namespace vp7 {

// Writes the picture's logical pixels as an uncompressed 24-bit BMP (bottom-up rows, padded to four
// bytes). Returns false when the file cannot be written.
bool WriteBmp(const std::string& path, const Picture& picture);

} // namespace vp7
