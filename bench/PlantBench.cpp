// SPDX-License-Identifier: GPL-3.0-or-later
// The Modbus server: requests a second that one client on the loopback gets answered, and what the
// device's thread pays: a write applied (the setpoint entered, the image published), and the refresh
// after an event when nothing a client sees changed.
#include "StartedSimulator.h"
#include "plant/PlantLink.h"

#include <benchmark/benchmark.h>
#include <modbus.h>

#include <memory>

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
