// SPDX-License-Identifier: GPL-3.0-or-later
// The snapshot reader. The first byte chooses: any bytes as a state file; or the device's own snapshot
// body (read in today's format or in the oldest one read), or its state file, cut and with bytes
// changed (the rest of the input: a length to cut at, then offset and byte pairs), so that mutations
// reach past the checksum into every field's checks. After a restore that passed, the device's own
// state is put back for the next input.
#include "FuzzSupport.h"
#include "session/StateFile.h"
#include "sim/Snapshot.h"

#include <cstring>

namespace {

// `original` cut at the input's first four bytes (modulo its length + 1), then the input's
// (offset, byte) pairs written into it.
std::string Edited(const std::string& original, const uint8_t* data, size_t size) {
    std::string edited = original;
    uint32_t word = 0;
    if (size >= sizeof word) {
        std::memcpy(&word, data, sizeof word);
        edited.resize(word % (original.size() + 1));
        data += sizeof word;
        size -= sizeof word;
    }
    for (; size >= 5 && !edited.empty(); data += 5, size -= 5) {
        std::memcpy(&word, data, sizeof word);
        edited[word % edited.size()] = static_cast<char>(data[4]);
    }
    return edited;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vp7;
    fuzz::Device& d = fuzz::StartedDevice();
    static const std::string body = TakeSnapshot(*d.sim);
    static const std::string file = SaveState(*d.sim, "start\n");
    if (size == 0) return 0;
    const uint8_t mode = data[0] % 4;
    ++data;
    --size;
    bool restored = false;
    if (mode == 0)
        restored = !LoadState(*d.sim, std::string_view(reinterpret_cast<const char*>(data), size));
    else if (mode == 1)
        restored = !RestoreSnapshot(*d.sim, Edited(body, data, size));
    else if (mode == 2)
        restored = !LoadState(*d.sim, Edited(file, data, size));
    else
        restored = !RestoreSnapshot(*d.sim, Edited(body, data, size), kOldestSnapshotFormat);
    if (restored && RestoreSnapshot(*d.sim, body)) __builtin_trap(); // its own state must always load
    return 0;
}
