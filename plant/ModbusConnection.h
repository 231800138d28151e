// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One client's connection to the Modbus server: its bytes read without ever blocking into the request
// they belong to, and the moment by which the next must have come. A request must arrive whole within
// the frame time-out from its first byte, however its bytes trickle in, and a connection that sends
// nothing is closed after the idle time-out, so no client holds the server's one thread or a place
// among its connections for longer than that.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vp7 {

struct ModbusTimeouts {
    std::chrono::milliseconds frame; // from a request's first byte to its last
    std::chrono::milliseconds idle;  // from the last answer, or the connection's start, to the next request
};

class ModbusConnection {
public:
    using Clock = std::chrono::steady_clock;
    // A Modbus TCP frame: the 7 bytes of its header and at most 253 of PDU.
    static constexpr size_t kHeaderBytes = 7, kMaxFrameBytes = 260;
    enum class Read { Waiting, Request, Closed };

    // Takes `fd` (a non-blocking socket) and closes it at the end.
    ModbusConnection(int fd, ModbusTimeouts timeouts, Clock::time_point now);
    ~ModbusConnection();
    ModbusConnection(const ModbusConnection&) = delete;
    ModbusConnection& operator=(const ModbusConnection&) = delete;

    int Descriptor() const { return fd_; }
    // Reads what has arrived: Request once a whole request is there (`Frame`), Closed when the client
    // went away or sent what is not a Modbus TCP request (another protocol, a length beyond the frame
    // or too short for its function).
    Read ReadArrived(Clock::time_point now);
    // The whole request, header and PDU, after ReadArrived said Request.
    std::span<const uint8_t> Frame() const { return {frame_.data(), have_}; }
    // The request is answered: the next one may begin.
    void Answered(Clock::time_point now);

    // When the connection is closed unless its request (or, idle, a next one) has come whole by then.
    Clock::time_point Deadline() const;
    // Whether any request of it was answered, and since when it has been waiting for a next one.
    bool EverAnswered() const { return everAnswered_; }
    Clock::time_point IdleSince() const { return idleSince_; }

private:
    // The bytes the request needs in all, as far as its header tells.
    size_t Wanted() const;

    int fd_;
    ModbusTimeouts timeouts_;
    std::array<uint8_t, kMaxFrameBytes> frame_{};
    size_t have_ = 0;
    Clock::time_point idleSince_, frameBegun_;
    bool everAnswered_ = false;
};

} // namespace vp7
