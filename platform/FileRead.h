// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a whole file that may be anything a user can pick or leave in a folder: missing, a folder,
// a pipe, unreadable, far larger than expected.
#include <cstdint>
#include <optional>
#include <string>

namespace vp7 {

// The bytes of a regular file of at most `maxBytes`; nothing for every other case. Never throws, never
// reads more than `maxBytes` + 1 bytes, and never blocks on a pipe or a device: every file a user names
// is read through here (or ReadFileStart), never opened by name elsewhere.
std::optional<std::string> ReadWholeFile(const std::string& path, std::uintmax_t maxBytes);
// The first `bytes` bytes of a regular file, all of a shorter one; as ReadWholeFile otherwise.
std::optional<std::string> ReadFileStart(const std::string& path, size_t bytes);

} // namespace vp7
