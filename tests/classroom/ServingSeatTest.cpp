// SPDX-License-Identifier: GPL-3.0-or-later
// A runner that serves a plant's clients at real time (`serve`) is still a seat in its room: it takes
// the room's commands while it serves, and the room's freeze holds its device.
#include "Broker.h"
#include "Instructor.h"

#include "support/Bytes.h"
#include "support/FolderFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace vp7 {
namespace {

namespace fs = std::filesystem;

using ServingSeatTest = test::FolderFixture;

TEST_F(ServingSeatTest, TakesTheRoomsCommandsWhileItServes) {
    test::Broker broker(dir / "broker");
    ASSERT_TRUE(broker.Start());
    test::Instructor instructor;
    ASSERT_TRUE(instructor.Connect(broker.Port(), {"vp7/r1/seat/s4/status"}));
    const fs::path script = dir / "plant.vp7s";
    std::ofstream(script) << "classroom 127.0.0.1 " << broker.Port() << " r1 s4\n"
                          << "modbus 0\nstart\nserve 3000\n";
    const pid_t child = fork();
    if (child == 0) {
        const std::string out = (dir / "out").string(), folder = (dir / "child").string();
        freopen(out.c_str(), "w", stdout);
        freopen("/dev/null", "w", stderr);
        execl(VP7_HEADLESS_EXE, VP7_HEADLESS_EXE, "--dir", folder.c_str(), script.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    // The seat is on from `start`, and serves from then on.
    EXPECT_NE(instructor.WaitFor("vp7/r1/seat/s4/status", "\"variant\":\"VP7A\""), "");
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/seat/s4", R"({"command":"freeze"})"));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"message","text":"Pause"})"));
    EXPECT_NE(instructor.WaitFor("vp7/r1/seat/s4/status", "\"frozen\":true"), "");
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_NE(test::Bytes(dir / "out").find("classroom message \"Pause\"\n"), std::string::npos)
        << test::Bytes(dir / "out");
}

} // namespace
} // namespace vp7
