// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A snapshot state file: the whole device as data (sim/Snapshot.h), restored without replaying
// anything, and for the record the recording up to it. A header (magic word, format version, device
// variant, program version, sizes, a checksum) and one zstd frame of the snapshot and the recording.
// It refers to no other file.
#include "session/SavedState.h"
#include "sim/Snapshot.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vp7 {

class Simulator;

struct StateFile {
    uint8_t variant = 0;
    std::string version;   // the program's that saved it
    int64_t clockMs = 0;   // the clock's time it was taken at (the snapshot's times are relative to it)
    std::string snapshot;  // the device's state, uncompressed
    std::string recording; // the session up to it, as a recording has it (may be empty)
    uint32_t format = kSnapshotFormat; // the snapshot's (sim/Snapshot.h)
};

// How many bytes of a file's start tell a snapshot state file from a recording.
inline constexpr int kSnapshotMagicBytes = 8;

// Whether `text` starts like a snapshot state file (and not like a recording).
bool IsSnapshotFile(std::string_view text);

std::string EncodeStateFile(const StateFile& file);
// The file's parts, or why it is refused: not a snapshot, cut short, damaged (its checksum), sizes
// beyond their bounds, a format not read (newer than the program's, older than any it reads), another
// variant than `variant` (nullopt: any).
std::variant<StateFile, StateRefusal> DecodeStateFile(std::string_view text, std::optional<uint8_t> variant);

// The device as a state file, with `recording` for the record.
std::string SaveState(Simulator& sim, std::string_view recording);
// The device takes a state file's state; nothing changes when it is refused.
std::optional<StateRefusal> LoadState(Simulator& sim, std::string_view text);

} // namespace vp7
