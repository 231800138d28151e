// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device as a plant's control system sees it over Modbus: which register holds what, the image of
// all of them that the server answers reads from, and the handling of one request's PDU (function code
// and data) against that image. The handling is pure: it neither locks nor touches the device, so the
// server thread runs it under its own lock and a fuzz target runs it on any bytes.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vp7::modbus {

enum class Function : uint8_t {
    ReadCoils = 0x01,
    ReadDiscreteInputs = 0x02,
    ReadHoldingRegisters = 0x03,
    ReadInputRegisters = 0x04,
    WriteSingleCoil = 0x05,
    WriteSingleRegister = 0x06,
    WriteMultipleCoils = 0x0F,
    WriteMultipleRegisters = 0x10,
};

enum class Exception : uint8_t {
    IllegalFunction = 0x01,
    IllegalDataAddress = 0x02,
    IllegalDataValue = 0x03,
    ServerBusy = 0x06,
    GatewayTargetFailed = 0x0B, // a request for another unit id
};
// An exception response carries the function code with this bit set.
inline constexpr uint8_t kExceptionBit = 0x80;

// Holding registers: what a plant sets.
enum class Holding : uint16_t {
    SetpointHundredths = 0, // setpoint in 0.01 % of the range, 0 ... 10000
    SetpointMicroamps = 1,  // setpoint as the input current in µA, 0 ... 20000 (the current variant only)
    NoSupplyAir = 2,
    BlockDown = 3, // blocked at 10 %
    BlockUp = 4,   // blocked at 90 %
    Leakage = 5,
    Friction = 6,
    Count
};
// Coils: the binary inputs' switches.
enum class Coil : uint16_t { BinaryInput1 = 0, BinaryInput2 = 1, Count };
// Input registers: what the device shows. Percentages in 0.01 % as signed 16-bit values.
enum class Input : uint16_t {
    Position = 0,
    Setpoint = 1,
    ControllerSetpoint = 2,
    PositionSetpoint = 3,
    Mode = 4,            // 0 automatic, 1 manual, 2 configuration, 3 leaving it
    FaultBits = 5,       // bit N-1 for fault N (1 ... 8)
    Outputs = 6,         // bit 0 fault output, bit 1 alarm 1, bit 2 alarm 2
    FeedbackCurrent = 7, // the feedback module's current in µA, 0 without the module
    FirstDiagnostic = 8, // each diagnostic value as two registers, high word first
    Count = 8 + 2 * 35
};
inline constexpr int kDiagnosticCount = 35;
// Discrete inputs: the outputs and states as single bits.
enum class Discrete : uint16_t {
    FaultOutput = 0,
    Alarm1Output = 1,
    Alarm2Output = 2,
    BinaryInput1 = 3,
    BinaryInput2 = 4,
    Automatic = 5,
    FirstFault = 6, // fault N at 5 + N
    Count = 6 + 8
};
inline constexpr int kFaultCount = 8;

inline constexpr uint16_t kSetpointHundredthsMax = 10000;
inline constexpr uint16_t kSetpointMicroampsMax = 20000;
// Modbus's own bounds on one request.
inline constexpr uint16_t kMaxReadRegisters = 125, kMaxReadBits = 2000;
inline constexpr uint16_t kMaxWriteRegisters = 123, kMaxWriteBits = 1968;
inline constexpr size_t kMaxPduBytes = 253;

template <class E> constexpr size_t CountOf() {
    return static_cast<size_t>(E::Count);
}

// Every register and bit the server answers for, as the device last published them.
struct PlantImage {
    std::array<uint16_t, CountOf<Holding>()> holding{};
    std::array<uint8_t, CountOf<Coil>()> coils{};
    std::array<uint16_t, CountOf<Input>()> input{};
    std::array<uint8_t, CountOf<Discrete>()> discrete{};
    bool takesCurrent = true; // the 0/4-20 mA variant; the fieldbus variants take the setpoint in % only
    bool operator==(const PlantImage&) const = default;

    uint16_t& operator[](Holding h) { return holding[static_cast<size_t>(h)]; }
    uint16_t operator[](Holding h) const { return holding[static_cast<size_t>(h)]; }
    uint16_t& operator[](Input i) { return input[static_cast<size_t>(i)]; }
    uint16_t operator[](Input i) const { return input[static_cast<size_t>(i)]; }
};

// A write a client made, for the device's thread to apply.
struct PlantWrite {
    enum class Table : uint8_t { Holding, Coil } table;
    uint16_t address;
    uint16_t value; // a coil's 0 or 1
    bool operator==(const PlantWrite&) const = default;
};

enum class Access { ReadOnly, ReadWrite };

// The response PDU to `request` (a PDU: function code and data); the accepted writes are appended to
// `writes` and put into `image` (all of a request's or none). A request too short to hold a function
// code gets no response (empty): the connection is closed.
std::vector<uint8_t> HandleRequest(PlantImage& image, Access access, std::span<const uint8_t> request,
                                   std::vector<PlantWrite>& writes);

// One row of the map as the manual and the CSV beside it give it.
struct MapEntry {
    std::string_view table; // holding, coil, input, discrete
    int address;
    int count; // registers it takes
    std::string_view name, unit, access, meaning;
};
std::span<const MapEntry> MapEntries();

} // namespace vp7::modbus
