#pragma once
// The device's numbers by name: the values are the device program's own (printed by the scenario runner),
// the types keep one kind of number from standing in for another.
#include <cstdint>

namespace vp7 {

// The operating mode. The diagnostic display overlays automatic or manual operation, which stays stored.
enum class Mode : uint8_t { Automatic = 0, Manual = 1, Configuration = 2, ConfigurationLeft = 3 };

// The language every text is shown in; the two-language tables hold German first.
enum class Language : uint8_t { German = 0, English = 1 };

} // namespace vp7
