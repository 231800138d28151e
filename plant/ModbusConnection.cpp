// SPDX-License-Identifier: GPL-3.0-or-later
#include "plant/ModbusConnection.h"

#include "plant/ModbusMap.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace vp7 {
namespace {

constexpr size_t kLengthCounts = 6; // the header's bytes before those its length field counts
// Two functions the map does not serve whose length a client's library still knows.
constexpr uint8_t kMaskWriteRegister = 0x16, kReadWriteRegisters = 0x17;

// Transaction, protocol 0, a length that holds a unit and a function code and fits a frame.
bool HeaderFits(std::span<const uint8_t> header) {
    const size_t counted = static_cast<size_t>(header[4] << 8 | header[5]);
    return header[2] == 0 && header[3] == 0 && counted >= 2 &&
           kLengthCounts + counted <= ModbusConnection::kMaxFrameBytes;
}

// Whether the PDU holds what its function needs, its byte count's data included. A header whose
// length cuts a known function short means the stream is out of step, and the connection is closed
// rather than the rest taken for the next request; an unknown function needs only its code and is
// refused by the map with an exception.
bool PduFitsFunction(std::span<const uint8_t> pdu) {
    const auto counted = [&](size_t countAt) {
        return pdu.size() > countAt && pdu.size() >= countAt + 1 + pdu[countAt];
    };
    using modbus::Function;
    const uint8_t code = pdu[0];
    // The reads and single writes: an address and a count or a value.
    if (code <= static_cast<uint8_t>(Function::WriteSingleRegister)) return pdu.size() >= 5;
    if (code == static_cast<uint8_t>(Function::WriteMultipleCoils) ||
        code == static_cast<uint8_t>(Function::WriteMultipleRegisters))
        return counted(5);
    if (code == kMaskWriteRegister) return pdu.size() >= 7;
    if (code == kReadWriteRegisters) return counted(9);
    return true;
}

} // namespace

ModbusConnection::ModbusConnection(int fd, ModbusTimeouts timeouts, Clock::time_point now)
    : fd_(fd), timeouts_(timeouts), idleSince_(now), frameBegun_(now) {}

ModbusConnection::~ModbusConnection() {
    close(fd_);
}

size_t ModbusConnection::Wanted() const {
    if (have_ < kHeaderBytes) return kHeaderBytes;
    return kLengthCounts + static_cast<size_t>(frame_[4] << 8 | frame_[5]);
}

ModbusConnection::Read ModbusConnection::ReadArrived(Clock::time_point now) {
    // Only the bytes of this request are taken; one pipelined behind it stays in the socket, which
    // stays readable for the next round.
    for (;;) {
        const ssize_t got = recv(fd_, frame_.data() + have_, Wanted() - have_, MSG_DONTWAIT);
        if (got == 0) return Read::Closed;
        if (got < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? Read::Waiting : Read::Closed;
        if (have_ == 0) frameBegun_ = now;
        have_ += static_cast<size_t>(got);
        if (have_ == kHeaderBytes && !HeaderFits(Frame())) return Read::Closed;
        if (have_ > kHeaderBytes && have_ == Wanted())
            return PduFitsFunction(Frame().subspan(kHeaderBytes)) ? Read::Request : Read::Closed;
    }
}

void ModbusConnection::Answered(Clock::time_point now) {
    have_ = 0;
    idleSince_ = now;
    everAnswered_ = true;
}

ModbusConnection::Clock::time_point ModbusConnection::Deadline() const {
    return have_ > 0 ? frameBegun_ + timeouts_.frame : idleSince_ + timeouts_.idle;
}

} // namespace vp7
