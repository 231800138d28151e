// SPDX-License-Identifier: GPL-3.0-or-later
// The Modbus server: requests a second that one client on the loopback gets answered, alone and beside
// a flood (a client sending a request a byte every 90 ms, 40 connections that never send: the time per
// request is a normal client's latency then, 200 ms at most), and what the device's thread pays: a write
// applied (the setpoint entered, the image published), and the refresh after an event when nothing a
// client sees changed.
#include "StartedSimulator.h"
#include "plant/PlantLink.h"

#include <benchmark/benchmark.h>
#include <modbus.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace vp7;

std::unique_ptr<PlantLink> Served(Simulator& sim) {
    std::string error;
    ModbusServerOptions options;
    options.port = 0;
    return std::make_unique<PlantLink>(sim, ModbusServer::Start(options, error));
}

// range(0): registers read per request.
void BM_ModbusRequest(benchmark::State& state) {
    bench::StartedSimulator started("modbus-request");
    const auto link = Served(started.sim);
    modbus_t* client = modbus_new_tcp("127.0.0.1", link->Server().Port());
    if (modbus_connect(client) != 0) state.SkipWithError("no connection");
    uint16_t registers[modbus::kMaxReadRegisters];
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state)
        if (modbus_read_input_registers(client, 0, count, registers) != count) state.SkipWithError("refused");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    modbus_close(client);
    modbus_free(client);
}
BENCHMARK(BM_ModbusRequest)
    ->Arg(1)
    ->Arg(static_cast<int>(modbus::Input::Count))
    ->Unit(benchmark::kMicrosecond);

// A TCP connection to the server on the loopback, closed at the end.
struct Connection {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    explicit Connection(int port) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(static_cast<uint16_t>(port));
        if (connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) fd = -1;
    }
    ~Connection() { close(fd); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
};

// Keeps sending requests a byte every 90 ms, on a new connection each time the server closes one.
class SlowSender {
public:
    explicit SlowSender(int port) : thread_([this, port] { Send(port); }) {}
    ~SlowSender() {
        stop_ = true;
        thread_.join();
    }
    SlowSender(const SlowSender&) = delete;
    SlowSender& operator=(const SlowSender&) = delete;

private:
    void Send(int port) {
        // Writing 20 registers: 53 bytes.
        std::vector<uint8_t> frame{0, 1, 0, 0, 0, 47, 1, 0x10, 0, 0, 0, 20, 40};
        frame.resize(frame.size() + 40, 0);
        while (!stop_) {
            const Connection connection(port);
            for (size_t i = 0; i < frame.size() && !stop_; ++i) {
                if (send(connection.fd, &frame[i], 1, MSG_NOSIGNAL) != 1) break;
                std::this_thread::sleep_for(std::chrono::milliseconds(90));
            }
        }
    }
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

enum class Flood { SlowSender, IdleConnections };

// One register read by a libmodbus client, as BM_ModbusRequest, beside a flood. The time per request
// is the client's latency, worst_ms the longest.
void BM_ModbusRequestDuringFlood(benchmark::State& state, Flood flood) {
    bench::StartedSimulator started("modbus-flood");
    const auto link = Served(started.sim);
    const int port = link->Server().Port();
    std::unique_ptr<SlowSender> slow;
    std::vector<std::unique_ptr<Connection>> idle;
    if (flood == Flood::SlowSender) {
        slow = std::make_unique<SlowSender>(port);
        std::this_thread::sleep_for(std::chrono::milliseconds(300)); // well inside its request
    } else {
        for (int i = 0; i < 40; ++i)
            idle.push_back(std::make_unique<Connection>(port));
    }
    modbus_t* client = modbus_new_tcp("127.0.0.1", port);
    if (modbus_connect(client) != 0) state.SkipWithError("no connection");
    uint16_t value = 0;
    std::chrono::steady_clock::duration worst{};
    for (auto _ : state) {
        const auto begun = std::chrono::steady_clock::now();
        if (modbus_read_input_registers(client, 0, 1, &value) != 1) state.SkipWithError("refused");
        worst = std::max(worst, std::chrono::steady_clock::now() - begun);
    }
    state.counters["worst_ms"] = std::chrono::duration<double, std::milli>(worst).count();
    modbus_close(client);
    modbus_free(client);
}
BENCHMARK_CAPTURE(BM_ModbusRequestDuringFlood, slow_sender, Flood::SlowSender)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ModbusRequestDuringFlood, idle_connections, Flood::IdleConnections)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_ModbusWriteApplied(benchmark::State& state) {
    bench::StartedSimulator started("modbus-write");
    const auto link = Served(started.sim);
    uint16_t value = 0;
    for (auto _ : state) {
        const modbus::PlantWrite write{modbus::PlantWrite::Table::Holding, 0, value};
        value = static_cast<uint16_t>((value + 37) % modbus::kSetpointHundredthsMax);
        ApplyPlantWrites(started.sim, std::span(&write, 1));
        link->Refresh();
    }
}
BENCHMARK(BM_ModbusWriteApplied)->Unit(benchmark::kMicrosecond);

void BM_ModbusRefreshUnchanged(benchmark::State& state) {
    bench::StartedSimulator started("modbus-refresh");
    const auto link = Served(started.sim);
    for (auto _ : state)
        link->Refresh();
}
BENCHMARK(BM_ModbusRefreshUnchanged)->Unit(benchmark::kNanosecond);

} // namespace
