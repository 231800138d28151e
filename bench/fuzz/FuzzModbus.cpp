// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as Modbus requests into the register map's handling, and what it accepted applied to a
// running device as the server's link applies it. The first byte picks read-only or read-write; the
// rest is a run of PDUs, each behind a byte giving its length.
#include "FuzzSupport.h"

#include "plant/ModbusMap.h"
#include "plant/PlantLink.h"

#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vp7;
    fuzz::Device& d = fuzz::StartedDevice();
    if (size == 0) return 0;
    const auto access = data[0] & 1 ? modbus::Access::ReadOnly : modbus::Access::ReadWrite;
    modbus::PlantImage image = ReadPlantImage(*d.sim);
    std::vector<modbus::PlantWrite> writes;
    for (size_t at = 1; at < size;) {
        const size_t length = std::min<size_t>(data[at], size - at - 1);
        const std::span<const uint8_t> pdu(data + at + 1, length);
        const std::vector<uint8_t> response = modbus::HandleRequest(image, access, pdu, writes);
        // A response fits a Modbus frame; a refusal is the function code with its bit and a reason.
        if (response.size() > modbus::kMaxPduBytes) __builtin_trap();
        if (!response.empty() && (response[0] & modbus::kExceptionBit) && response.size() != 2)
            __builtin_trap();
        at += 1 + length;
    }
    if (access == modbus::Access::ReadOnly && !writes.empty()) __builtin_trap();
    d.host.ClearMessages();
    ApplyPlantWrites(*d.sim, writes);
    d.clock.Advance(100);
    return 0;
}
