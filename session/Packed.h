// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bytes packed as one zstd frame: a device's state is megabytes of mostly flat picture, a few
// kilobytes packed.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vp7 {

// Fast; the picture's flat areas pack well at any level.
inline constexpr int kPackingLevel = 3;

std::string Pack(std::string_view bytes, int level = kPackingLevel);
// The bytes of a frame that declares exactly `size` of them; none for anything else (damage).
std::optional<std::string> Unpack(std::string_view packed, uint64_t size);

} // namespace vp7
