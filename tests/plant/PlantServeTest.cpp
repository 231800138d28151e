// SPDX-License-Identifier: GPL-3.0-or-later
// The runner serving the device's registers: `modbus PORT` before `start`, `serve MS` at real time
// while a client writes and reads on the loopback.
#include "session/script/Runner.h"
#include "support/FolderFixture.h"
#include "tests/plant/PlantClient.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

namespace vp7 {
namespace {

// A port nothing listens on just now.
int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at);
    getsockname(fd, reinterpret_cast<sockaddr*>(&at), &length);
    close(fd);
    return ntohs(at.sin_port);
}

using PlantServeTest = test::FolderFixture;

TEST_F(PlantServeTest, AClientDrivesTheRunnersDeviceWhileItServes) {
    const int port = FreePort();
    std::ostringstream out, err;
    std::istringstream script(
        "modbus " + std::to_string(port) +
        "\nstart\nserve 4000\nprint Istwert\nprint SetPointText\nprint NoPreasureSelect\n");
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
    int status = 0;
    {
        Runner runner(out, dir.string());
        status = runner.Run(script, err);
    }
    plc.join();
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_EQ(position, 5000);
    EXPECT_EQ(out.str(), "modbus " + std::to_string(port) +
                             "\nIstwert 50.0000\nSetPointText \"50.00\"\nNoPreasureSelect 0\n");
}

TEST_F(PlantServeTest, TheCommandsAreCheckedLikeEveryOther) {
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"start\nserve 100\n", "error 2: 'serve' needs modbus before start\n"},
        {"start\nmodbus 1502\n", "error 2: 'modbus' must come before start\n"},
        {"modbus 70000\n", "error 1: bad port '70000'\n"},
        {"modbus 1502 unit 300\n", "error 1: bad unit id '300'\n"},
        {"modbus 1502 loud\n", "error 1: bad argument 'loud'\n"},
        {"modbus 0\nstart\nserve -1\n", "error 3: bad time '-1'\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        std::ostringstream out, err;
        std::istringstream in(c.script);
        Runner runner(out, dir.string());
        EXPECT_EQ(runner.Run(in, err), 2);
        EXPECT_EQ(err.str(), c.error);
    }
}

} // namespace
} // namespace vp7
