// SPDX-License-Identifier: GPL-3.0-or-later
// The runner serving the device's registers through the plant's server attached to it: `modbus PORT`
// before `start`, `serve MS` at real time, the commands' errors, and a device made anew by a rewind
// served by the server its clients are connected to.
#include "plant/RunnerPlant.h"
#include "support/FolderFixture.h"
#include "support/Loopback.h"
#include "support/RunScript.h"
#include "tests/plant/PlantClient.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace vp7 {
namespace {

using RunnerPlantTest = test::FolderFixture;

test::ScriptResult RunServed(const std::string& script, const std::filesystem::path& dir) {
    return test::RunScript(script, dir, {}, [](Runner& runner) -> std::unique_ptr<RunnerPlantPeer> {
        return std::make_unique<RunnerPlant>(runner);
    });
}

// The runner opens the port at `start`: a client tries for a while.
std::unique_ptr<test::ModbusClient> ConnectWhenServing(int port) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto client = std::make_unique<test::ModbusClient>(port);
        if (client->Connected()) return client;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return nullptr;
}

TEST_F(RunnerPlantTest, BadLinesStopWithStatusTwoAndTheLineNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"start\nserve 100\n", "error 2: 'serve' needs modbus before start\n"},
        {"start\nmodbus 1502\n", "error 2: 'modbus' must come before start\n"},
        {"modbus 70000\n", "error 1: bad port '70000'\n"},
        {"modbus -1\n", "error 1: bad port '-1'\n"},
        {"modbus 1502 unit 300\n", "error 1: bad unit id '300'\n"},
        {"modbus 1502 unit\n", "error 1: bad argument 'unit'\n"},
        {"modbus 1502 loud\n", "error 1: bad argument 'loud'\n"},
        {"modbus 0\nstart\nserve -1\n", "error 3: bad time '-1'\n"},
    };
    for (const auto& [script, error] : cases) {
        const auto r = RunServed(script, dir);
        EXPECT_EQ(r.status, 2) << script;
        EXPECT_EQ(r.err, error) << script;
    }
}

TEST_F(RunnerPlantTest, AClientDrivesTheRunnersDeviceWhileItServes) {
    const int port = test::FreeLoopbackPort();
    const std::string script =
        "modbus " + std::to_string(port) +
        "\nstart\nserve 4000\nprint Istwert\nprint SetPointText\nprint NoPreasureSelect\n";
    std::optional<uint16_t> position;
    std::thread plc([&] {
        const auto client = ConnectWhenServing(port);
        if (!client || !client->Write(0, 5000)) return;
        // The stroke takes about a second; its end is read back within the serving time.
        for (int i = 0; i < 60 && position != 5000; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            position = client->Input(0);
        }
    });
    const test::ScriptResult run = RunServed(script, dir);
    plc.join();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(position, 5000);
    EXPECT_EQ(run.out, "modbus " + std::to_string(port) +
                           "\nIstwert 50.0000\nSetPointText \"50.00\"\nNoPreasureSelect 0\n");
}

// A client connected before a rewind writes to the device the rewind made, on the same connection: the
// server is handed on, never opened a second time.
TEST_F(RunnerPlantTest, ARewoundDeviceKeepsTheServerAndItsClients) {
    const int port = test::FreeLoopbackPort();
    const std::string script =
        "modbus " + std::to_string(port) + "\nstart\nserve 1000\nrewind 500\nserve 3000\nprint Sollwert\n";
    bool written = false;
    std::thread plc([&] {
        const auto client = ConnectWhenServing(port);
        if (!client) return;
        // Well after the rewind, which comes when the first second of serving is through.
        std::this_thread::sleep_for(std::chrono::milliseconds(2000));
        written = client->Write(0, 5000);
    });
    const test::ScriptResult run = RunServed(script, dir);
    plc.join();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(written);
    EXPECT_EQ(run.out, "modbus " + std::to_string(port) + "\nSollwert 50.0000\n");
}

} // namespace
} // namespace vp7
