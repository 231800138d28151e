// SPDX-License-Identifier: GPL-3.0-or-later
// Saving survives being killed: a child process writes the settings file over and over and is killed
// at random moments; the file is always one whole version, never empty or cut.
#include "formats/IniFile.h"
#include "support/FolderFixture.h"

#include <csignal>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Every version has the same shape: a counter and a long padding whose length depends on it.
void WriteVersions(const std::string& path) {
    for (int version = 1;; ++version) {
        vp7::IniFile ini(path);
        ini.WriteString("Config", "Version", std::to_string(version));
        ini.WriteString("Config", "Padding", std::string(1000 + (version % 50) * 1000, 'x'));
        ini.WriteString("Config", "End", std::to_string(version));
        ini.Save();
    }
}

} // namespace

using CrashSafeSave = vp7::test::FolderFixture;

TEST_F(CrashSafeSave, AKilledWriterLeavesAWholeFile) {
    const std::string path = (dir / "VP7.ini").string();
    std::mt19937 rng(7);
    int checked = 0;
    for (int round = 0; round < 20; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            WriteVersions(path);
            _exit(0);
        }
        usleep(std::uniform_int_distribution<int>(2000, 30000)(rng));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        vp7::IniFile ini(path);
        if (!ini.Load()) continue; // killed before the first version was complete: no file at all
        const std::string version = ini.ReadString("Config", "Version", "");
        const std::string padding = ini.ReadString("Config", "Padding", "");
        ASSERT_FALSE(version.empty()) << "round " << round;
        EXPECT_EQ(ini.ReadString("Config", "End", ""), version) << "round " << round << ": a cut file";
        EXPECT_EQ(padding.size(), 1000u + (std::stoul(version) % 50) * 1000) << "round " << round;
        ++checked;
    }
    EXPECT_GT(checked, 10);
}
