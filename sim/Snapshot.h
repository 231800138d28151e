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

// The device's state as a snapshot's body (a deferring picture is drawn first).
std::string TakeSnapshot(Simulator& sim);
// The device takes the body's state: a device of the same variant and picture, created (FormCreate)
// with the same settings. The body is read through first: a damaged or foreign one changes nothing,
// and its reason is returned.
std::optional<std::string> RestoreSnapshot(Simulator& sim, std::string_view body);
// The first field ("part.field") where the device differs from the body; nullopt when none does. A
// body that cannot be read is a difference of its own.
std::optional<std::string> SnapshotDifference(Simulator& sim, std::string_view body);

// A 64-bit hash of a body (BytesHash): scripts compare devices by it, files check their contents with it.
uint64_t SnapshotHash(std::string_view bytes, uint64_t hash = 0xcbf29ce484222325ull);

} // namespace vp7
