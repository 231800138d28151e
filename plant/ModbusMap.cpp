// SPDX-License-Identifier: GPL-3.0-or-later
#include "plant/ModbusMap.h"

#include <algorithm>

namespace vp7::modbus {
namespace {

uint16_t Word(std::span<const uint8_t> pdu, size_t at) {
    return static_cast<uint16_t>(pdu[at] << 8 | pdu[at + 1]);
}

void PutWord(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
}

std::vector<uint8_t> Refused(uint8_t function, Exception why) {
    return {static_cast<uint8_t>(function | kExceptionBit), static_cast<uint8_t>(why)};
}

bool Fits(uint16_t address, uint16_t quantity, size_t count) {
    return size_t{address} + quantity <= count;
}

// Whether a holding register takes `value`: the setpoints within their ranges, the options 0 or 1.
bool HoldingTakes(const PlantImage& image, uint16_t address, uint16_t value) {
    switch (static_cast<Holding>(address)) {
    case Holding::SetpointHundredths:
        return value <= kSetpointHundredthsMax;
    case Holding::SetpointMicroamps:
        return image.takesCurrent && value <= kSetpointMicroampsMax;
    default:
        return value <= 1;
    }
}

template <size_t N>
std::vector<uint8_t> ReadBits(uint8_t function, const std::array<uint8_t, N>& bits, uint16_t address,
                              uint16_t quantity) {
    std::vector<uint8_t> out{function, static_cast<uint8_t>((quantity + 7) / 8)};
    out.resize(2 + out[1]);
    for (uint16_t i = 0; i < quantity; ++i)
        if (bits[address + i]) out[2 + i / 8] |= static_cast<uint8_t>(1u << (i % 8));
    return out;
}

template <size_t N>
std::vector<uint8_t> ReadRegisters(uint8_t function, const std::array<uint16_t, N>& registers,
                                   uint16_t address, uint16_t quantity) {
    std::vector<uint8_t> out{function, static_cast<uint8_t>(2 * quantity)};
    for (uint16_t i = 0; i < quantity; ++i)
        PutWord(out, registers[address + i]);
    return out;
}

} // namespace

std::vector<uint8_t> HandleRequest(PlantImage& image, Access access, std::span<const uint8_t> request,
                                   std::vector<PlantWrite>& writes) {
    if (request.empty() || request.size() > kMaxPduBytes) return {};
    const uint8_t function = request[0];
    const auto f = static_cast<Function>(function);
    const bool reads = f == Function::ReadCoils || f == Function::ReadDiscreteInputs ||
                       f == Function::ReadHoldingRegisters || f == Function::ReadInputRegisters;
    const bool writesOne = f == Function::WriteSingleCoil || f == Function::WriteSingleRegister;
    const bool writesMany = f == Function::WriteMultipleCoils || f == Function::WriteMultipleRegisters;
    if (!reads && !writesOne && !writesMany) return Refused(function, Exception::IllegalFunction);
    if (!reads && access == Access::ReadOnly) return Refused(function, Exception::IllegalFunction);
    if (request.size() < 5) return Refused(function, Exception::IllegalDataValue);
    const uint16_t address = Word(request, 1);

    if (reads) {
        const uint16_t quantity = Word(request, 3);
        const bool bits = f == Function::ReadCoils || f == Function::ReadDiscreteInputs;
        if (request.size() != 5 || quantity == 0 || quantity > (bits ? kMaxReadBits : kMaxReadRegisters))
            return Refused(function, Exception::IllegalDataValue);
        const size_t count = f == Function::ReadCoils              ? image.coils.size()
                             : f == Function::ReadDiscreteInputs   ? image.discrete.size()
                             : f == Function::ReadHoldingRegisters ? image.holding.size()
                                                                   : image.input.size();
        if (!Fits(address, quantity, count)) return Refused(function, Exception::IllegalDataAddress);
        switch (f) {
        case Function::ReadCoils:
            return ReadBits(function, image.coils, address, quantity);
        case Function::ReadDiscreteInputs:
            return ReadBits(function, image.discrete, address, quantity);
        case Function::ReadHoldingRegisters:
            return ReadRegisters(function, image.holding, address, quantity);
        default:
            return ReadRegisters(function, image.input, address, quantity);
        }
    }

    // Every write is checked whole before any of it is taken.
    std::vector<PlantWrite> taken;
    if (writesOne) {
        if (request.size() != 5) return Refused(function, Exception::IllegalDataValue);
        const uint16_t value = Word(request, 3);
        if (f == Function::WriteSingleCoil) {
            if (address >= image.coils.size()) return Refused(function, Exception::IllegalDataAddress);
            if (value != 0xFF00 && value != 0x0000) return Refused(function, Exception::IllegalDataValue);
            taken.push_back({PlantWrite::Table::Coil, address, static_cast<uint16_t>(value ? 1 : 0)});
        } else {
            if (address >= image.holding.size()) return Refused(function, Exception::IllegalDataAddress);
            if (!HoldingTakes(image, address, value)) return Refused(function, Exception::IllegalDataValue);
            taken.push_back({PlantWrite::Table::Holding, address, value});
        }
    } else {
        if (request.size() < 6) return Refused(function, Exception::IllegalDataValue);
        const uint16_t quantity = Word(request, 3);
        const size_t bytes = request[5];
        const bool coils = f == Function::WriteMultipleCoils;
        const size_t needed = coils ? (quantity + 7u) / 8u : 2u * quantity;
        if (quantity == 0 || quantity > (coils ? kMaxWriteBits : kMaxWriteRegisters) || bytes != needed ||
            request.size() != 6 + bytes)
            return Refused(function, Exception::IllegalDataValue);
        if (!Fits(address, quantity, coils ? image.coils.size() : image.holding.size()))
            return Refused(function, Exception::IllegalDataAddress);
        for (uint16_t i = 0; i < quantity; ++i) {
            const auto at = static_cast<uint16_t>(address + i);
            if (coils) {
                const bool on = (request[6 + i / 8] >> (i % 8)) & 1;
                taken.push_back({PlantWrite::Table::Coil, at, static_cast<uint16_t>(on)});
            } else {
                const uint16_t value = Word(request, 6 + 2 * size_t{i});
                if (!HoldingTakes(image, at, value)) return Refused(function, Exception::IllegalDataValue);
                taken.push_back({PlantWrite::Table::Holding, at, value});
            }
        }
    }
    for (const PlantWrite& w : taken) {
        if (w.table == PlantWrite::Table::Coil)
            image.coils[w.address] = static_cast<uint8_t>(w.value);
        else
            image.holding[w.address] = w.value;
        writes.push_back(w);
    }
    // A single write echoes the request; a multiple write answers with its address and quantity.
    if (writesOne) return {request.begin(), request.end()};
    return {request.begin(), request.begin() + 5};
}

namespace {
// Rows of one register or bit: what a plant sets, or what it only reads; most are switches or flags.
constexpr MapEntry Set(std::string_view table, int address, std::string_view name, std::string_view unit,
                       std::string_view meaning) {
    return {table, address, 1, name, unit, "read-write", meaning};
}
constexpr MapEntry Shown(std::string_view table, int address, std::string_view name, std::string_view unit,
                         std::string_view meaning) {
    return {table, address, 1, name, unit, "read", meaning};
}
constexpr MapEntry Switch(std::string_view table, int address, std::string_view name,
                          std::string_view meaning) {
    return Set(table, address, name, "0/1", meaning);
}
constexpr MapEntry Flag(int address, std::string_view name, std::string_view meaning) {
    return Shown("discrete", address, name, "0/1", meaning);
}
} // namespace

std::span<const MapEntry> MapEntries() {
    static constexpr MapEntry entries[] = {
        Set("holding", 0, "setpoint", "0.01 %", "setpoint in % of the range, 0 to 10000"),
        Set("holding", 1, "setpoint_current", "uA",
            "setpoint as the input current, 0 to 20000 (0/4-20 mA variant only)"),
        Switch("holding", 2, "no_supply_air", "no supply air"),
        Switch("holding", 3, "block_down", "valve blocked at 10 %"),
        Switch("holding", 4, "block_up", "valve blocked at 90 %"),
        Switch("holding", 5, "leakage", "leakage"),
        Switch("holding", 6, "friction", "friction"),
        Switch("coil", 0, "binary_input_1", "binary input 1 switch"),
        Switch("coil", 1, "binary_input_2", "binary input 2 switch (with the alarm module)"),
        Shown("input", 0, "position", "0.01 %", "valve position"),
        Shown("input", 1, "setpoint", "0.01 %", "setpoint in force"),
        Shown("input", 2, "controller_setpoint", "0.01",
              "setpoint on the controller scale, in hundredths of its unit (% unless the scale was set "
              "otherwise)"),
        Shown("input", 3, "position_setpoint", "0.01 %", "position the characteristic asks for"),
        Shown("input", 4, "mode", "code", "0 automatic, 1 manual, 2 configuration, 3 leaving it"),
        Shown("input", 5, "fault_bits", "bits", "bit N-1 set while fault N (1 to 8) is raised"),
        Shown("input", 6, "outputs", "bits", "bit 0 fault output, bit 1 alarm 1, bit 2 alarm 2"),
        Shown("input", 7, "feedback_current", "uA", "feedback module current, 0 without the module"),
        {"input", 8, 70, "diagnostics", "value", "read",
         "diagnostic value N (0 to 34) at 8+2N, signed 32 bits, high word first"},
        Flag(0, "fault_output", "fault output"),
        Flag(1, "alarm_1", "alarm output 1"),
        Flag(2, "alarm_2", "alarm output 2"),
        Flag(3, "binary_input_1", "binary input 1"),
        Flag(4, "binary_input_2", "binary input 2"),
        Flag(5, "automatic", "automatic mode"),
        {"discrete", 6, 8, "faults", "0/1", "read", "fault N (1 to 8) raised, at 5+N"},
    };
    return entries;
}

} // namespace vp7::modbus
