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
#include <csignal>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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

// A client drives the runner's device while it serves. Connected before a rewind, it writes to the
// device the rewind made, on the same connection: the server is handed on, never opened a second time.
TEST_F(RunnerPlantTest, AClientDrivesTheRunnersDeviceAlsoAfterARewind) {
    const int port = test::FreeLoopbackPort();
    const std::string script = "modbus " + std::to_string(port) +
                               "\nstart\nserve 1000\nrewind 500\nserve 4000\nprint Istwert\nprint "
                               "SetPointText\nprint NoPreasureSelect\n";
    std::optional<uint16_t> position;
    std::thread plc([&] {
        const auto client = ConnectWhenServing(port);
        // Well after the rewind, which comes when the first second of serving is through.
        std::this_thread::sleep_for(std::chrono::milliseconds(2000));
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

// `modbus 0` tells the port it got the moment the server listens, while the script goes on: a control
// system started beside the runner reads it from a pipe and is served before the script's end.
TEST_F(RunnerPlantTest, TheRunnerTellsItsPortWhileTheScriptGoesOn) {
    const std::filesystem::path script = dir / "serving.vp7s";
    std::ofstream(script) << "modbus 0\nstart\nserve 600000\n";
    int output[2];
    ASSERT_EQ(pipe(output), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(output[1], STDOUT_FILENO);
        close(output[0]);
        const std::string folder = (dir / "child").string();
        execl(VP7_HEADLESS_EXE, VP7_HEADLESS_EXE, "--dir", folder.c_str(), script.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(output[1]);
    std::string out;
    for (int waited = 0; out.find('\n') == std::string::npos && waited < 100; ++waited) {
        pollfd ready{output[0], POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0) continue;
        char buffer[64];
        const ssize_t n = read(output[0], buffer, sizeof buffer);
        if (n <= 0) break;
        out.append(buffer, static_cast<size_t>(n));
    }
    int port = 0;
    EXPECT_EQ(std::sscanf(out.c_str(), "modbus %d\n", &port), 1) << "printed while serving: " << out;
    if (port > 0) {
        test::ModbusClient client(port);
        EXPECT_EQ(client.Input(0), 0);
    }
    kill(child, SIGTERM); // ten minutes of serving are not waited for
    waitpid(child, nullptr, 0);
    close(output[0]);
}

} // namespace
} // namespace vp7
