// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Clients of the device's Modbus server on the loopback: a real libmodbus client, as a control system
// connects, and a raw socket for the frames no well-behaved client sends.
#include <modbus.h>

#include "support/Loopback.h"

#include <poll.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>
#include <vector>

namespace vp7::test {

class ModbusClient {
public:
    explicit ModbusClient(int port, int unitId = 1) : context_(modbus_new_tcp("127.0.0.1", port)) {
        modbus_set_slave(context_, unitId);
        modbus_set_response_timeout(context_, 2, 0);
        connected_ = modbus_connect(context_) == 0;
    }
    ~ModbusClient() {
        modbus_close(context_);
        modbus_free(context_);
    }
    ModbusClient(const ModbusClient&) = delete;
    ModbusClient& operator=(const ModbusClient&) = delete;

    bool Connected() const { return connected_; }
    modbus_t* Context() { return context_; }
    // A register's or a bit's value; none when refused (errno tells why).
    std::optional<uint16_t> Input(int address) { return One<uint16_t>(modbus_read_input_registers, address); }
    std::optional<uint16_t> Holding(int address) { return One<uint16_t>(modbus_read_registers, address); }
    std::optional<uint8_t> Discrete(int address) { return One<uint8_t>(modbus_read_input_bits, address); }
    bool Write(int address, uint16_t value) { return modbus_write_register(context_, address, value) == 1; }
    bool WriteCoil(int address, bool on) { return modbus_write_bit(context_, address, on ? 1 : 0) == 1; }

private:
    template <typename T, typename Read> std::optional<T> One(Read read, int address) {
        T value = 0;
        return read(context_, address, 1, &value) == 1 ? std::optional<T>(value) : std::nullopt;
    }
    modbus_t* context_;
    bool connected_ = false;
};

// A TCP connection that sends bytes as given and reads what comes back.
class RawClient {
public:
    explicit RawClient(int port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
        const sockaddr_in to = LoopbackAddress(port);
        connected_ = connect(fd_, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
    }
    ~RawClient() { close(fd_); }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool Connected() const { return connected_; }
    void Send(const std::vector<uint8_t>& bytes) {
        [[maybe_unused]] const ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
    // The bytes that came within `ms`; none when the server closed the connection.
    std::optional<std::vector<uint8_t>> Receive(int ms = 2000) {
        std::vector<uint8_t> got;
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            pollfd ready{fd_, POLLIN, 0};
            if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) return got;
            uint8_t buffer[512];
            const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) return got.empty() ? std::nullopt : std::optional(got);
            got.insert(got.end(), buffer, buffer + n);
            // A whole response: the header's length says how much follows it.
            if (got.size() >= 6 && got.size() >= 6u + (got[4] << 8 | got[5])) return got;
        }
    }

private:
    int fd_;
    bool connected_ = false;
};

// A Modbus TCP frame: transaction 1, protocol 0, the length of what follows, unit, PDU.
inline std::vector<uint8_t> Frame(const std::vector<uint8_t>& pdu, uint8_t unit = 1) {
    const auto length = static_cast<uint16_t>(pdu.size() + 1);
    std::vector<uint8_t> frame{0,   1, 0, 0, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length),
                               unit};
    frame.insert(frame.end(), pdu.begin(), pdu.end());
    return frame;
}

} // namespace vp7::test
