// SPDX-License-Identifier: GPL-3.0-or-later
// The runner serving the device's registers: `modbus PORT` before `start`, `serve MS` at real time
// while a client writes and reads on the loopback (the commands' errors are with the runner's others).
#include "support/FolderFixture.h"
#include "support/Loopback.h"
#include "support/RunScript.h"
#include "tests/plant/PlantClient.h"

#include <gtest/gtest.h>

#include <thread>

namespace vp7 {
namespace {

using PlantServeTest = test::FolderFixture;

TEST_F(PlantServeTest, AClientDrivesTheRunnersDeviceWhileItServes) {
    const int port = test::FreeLoopbackPort();
    const std::string script =
        "modbus " + std::to_string(port) +
        "\nstart\nserve 4000\nprint Istwert\nprint SetPointText\nprint NoPreasureSelect\n";
    std::optional<uint16_t> position;
    std::thread plc([&] {
        // The runner opens the port at `start`; the client tries for a while.
        for (int attempt = 0; attempt < 100; ++attempt) {
            test::ModbusClient client(port);
            if (!client.Connected()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            if (!client.Write(0, 5000)) return;
            // The stroke takes about a second; its end is read back within the serving time.
            for (int i = 0; i < 60 && position != 5000; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                position = client.Input(0);
            }
            return;
        }
    });
    const test::ScriptResult run = test::RunScript(script, dir);
    plc.join();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(position, 5000);
    EXPECT_EQ(run.out, "modbus " + std::to_string(port) +
                           "\nIstwert 50.0000\nSetPointText \"50.00\"\nNoPreasureSelect 0\n");
}

} // namespace
} // namespace vp7
