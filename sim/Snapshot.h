// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A snapshot: one running device as data, taken and put back in constant time, whatever happened
// before. The body is what Simulator::DoState writes; session/StateFile.h wraps it in a file. Times are
// kept relative to the clock's now, so a snapshot restores on another clock.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vp7 {

class Simulator;

// The format of a snapshot's body, one number for the whole. A program writes its own and reads every
// one since the oldest below; a field added, removed or resized raises it, and the part that changed
// reads the older formats as they were (SnapshotFormatTest pins the layout, listed by StateLayout).
//   2: the sprites' look, the displays' last fields and the actuator's markers.
//   3: the extended fault effects' part always; format 2 had it only while it held something, behind
//      the rest with a tag of its own.
inline constexpr uint32_t kSnapshotFormat = 3;
inline constexpr uint32_t kOldestSnapshotFormat = 2;
inline constexpr uint32_t kSnapshotFormatExtendedFaultsAlways = 3;

// The device's state as a snapshot's body (a deferring picture is drawn first).
std::string TakeSnapshot(Simulator& sim);
// The device takes the body's state, written in `format`: a device of the same variant and picture,
// created (FormCreate) with the same settings. The body is read through first: a damaged or foreign
// one changes nothing, and its reason is returned.
std::optional<std::string> RestoreSnapshot(Simulator& sim, std::string_view body,
                                           uint32_t format = kSnapshotFormat);
// The first field ("part.field") where the device differs from the body; nullopt when none does. A
// body that cannot be read is a difference of its own.
std::optional<std::string> SnapshotDifference(Simulator& sim, std::string_view body);
// The layout of the device's snapshot in the program's format, a line per field (StateLayout).
std::string SnapshotLayout(Simulator& sim);

// A 64-bit hash of a body (BytesHash): scripts compare devices by it, files check their contents with it.
uint64_t SnapshotHash(std::string_view bytes, uint64_t hash = 0xcbf29ce484222325ull);

} // namespace vp7
