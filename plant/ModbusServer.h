// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Modbus TCP server on a thread of its own. It answers reads from the register image the device's
// thread publishes and queues the clients' writes for that thread to apply, so a slow or hostile client
// never holds up the device: the device's side only ever takes a short lock. A descriptor (eventfd)
// becomes readable while writes wait, for the window's event loop or the runner to wake on. The thread
// never waits on one client: it reads each connection's bytes as they come (ModbusConnection), closes
// one whose request does not come whole in time or that stays idle too long, and, full, makes way for
// a newcomer by closing the connection that never got an answer, else the one idle longest.
#include "plant/ModbusConnection.h"
#include "plant/ModbusMap.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

typedef struct _modbus modbus_t;

namespace vp7 {

// A request arrives whole within a second of its first byte, on the loopback or a plant's network
// alike; a control system polls far more often than once a minute.
inline constexpr std::chrono::milliseconds kModbusFrameTimeout{1000}, kModbusIdleTimeout{60'000};

struct ModbusServerOptions {
    std::string address = "127.0.0.1"; // the interface; the loopback unless the user picks another
    int port = 1502;                   // 0: any free port (tests)
    int unitId = 1;
    modbus::Access access = modbus::Access::ReadWrite;
    ModbusTimeouts timeouts{kModbusFrameTimeout, kModbusIdleTimeout};
};

class ModbusServer {
public:
    static constexpr int kStandardPort = 502;
    // Where the standard port needs privileges the program lacks.
    static constexpr int kUnprivilegedPort = 1502;
    // Connections at once; one more makes way for the newcomer.
    static constexpr size_t kMaxClients = 32;
    // Writes waiting for the device beyond this are refused as "server busy".
    static constexpr size_t kMaxQueuedWrites = 256;

    // Listens and starts serving; nothing and `error` set when the port cannot be had. The standard
    // port, refused for lack of privilege, falls back to the unprivileged one.
    static std::unique_ptr<ModbusServer> Start(const ModbusServerOptions& options, std::string& error);
    ~ModbusServer();
    ModbusServer(const ModbusServer&) = delete;
    ModbusServer& operator=(const ModbusServer&) = delete;

    int Port() const { return port_; }
    const ModbusServerOptions& Options() const { return options_; }

    // The device's thread: the image to answer from (writes still queued stay in it as written).
    void Publish(const modbus::PlantImage& image);
    // The device's thread: the writes queued since the last call, in the order they came.
    std::vector<modbus::PlantWrite> TakeWrites();
    // Readable while writes are queued.
    int WakeDescriptor() const { return wakeFd_; }

    size_t Clients() const { return clients_.load(); }
    uint64_t RequestsServed() const { return served_.load(); }

private:
    ModbusServer(const ModbusServerOptions& options, modbus_t* context, int listenFd, int port);
    void Serve();
    // The connections whose time is up closed; the time until the next one's is, or -1 for none.
    int CloseOverdue(ModbusConnection::Clock::time_point now);
    void Accept(ModbusConnection::Clock::time_point now);
    // Answers the whole request `frame`; false when the connection is to be closed.
    bool Answer(int fd, std::span<const uint8_t> frame);

    ModbusServerOptions options_;
    modbus_t* context_;
    int listenFd_;
    int port_;
    int stopFd_ = -1, wakeFd_ = -1;
    std::vector<std::unique_ptr<ModbusConnection>> connections_; // the server thread's own, oldest first

    mutable std::mutex mutex_; // guards image_ and queued_
    modbus::PlantImage image_;
    std::vector<modbus::PlantWrite> queued_;

    std::atomic<size_t> clients_{0};
    std::atomic<uint64_t> served_{0};
    std::thread thread_;
};

} // namespace vp7
