// SPDX-License-Identifier: GPL-3.0-or-later
// What the runner writes into its program folder is its user's alone, and a folder an older version
// left open is closed: on a shared PC no other user reads a trainee's settings or hand-ins.
#include "support/FolderFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include <sys/stat.h>

namespace vp7 {
namespace {

namespace fs = std::filesystem;

using ProgramFolder = test::FolderFixture;

TEST_F(ProgramFolder, TheRunnersFilesAreItsUsersAlone) {
    const fs::path program = dir / "program";
    fs::create_directories(program / "Data");
    ::chmod((program / "Data").c_str(), 0755); // as an older version made it
    std::ofstream(dir / "s.vp7s") << "ini Einstellungen Sprache 1\nstart\nsnapshot "
                                  << (dir / "picture.bmp").string() << '\n';
    const std::string command = std::string(VP7_HEADLESS_EXE) + " --dir " + program.string() + " " +
                                (dir / "s.vp7s").string() + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const auto& [path, mode] : {std::pair{program / "Config", 0700u},
                                     {program / "Data", 0700u},
                                     {program / "Config" / "VP7.ini", 0600u},
                                     {dir / "picture.bmp", 0600u}})
        EXPECT_EQ(Permissions(path), mode) << path;
}

} // namespace
} // namespace vp7
