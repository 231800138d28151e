// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own folders as an older version left them, open to the other users of a shared PC,
// closed at start; never anything reached through a link, nothing created.
#include "formats/PrivateFolders.h"
#include "support/FolderFixture.h"

#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>

namespace vp7 {
namespace {

namespace fs = std::filesystem;

struct PrivateFoldersTest : test::FolderFixture {
    void Make(const fs::path& folder, mode_t mode) {
        fs::create_directories(folder);
        ::chmod(folder.c_str(), mode);
    }
};

TEST_F(PrivateFoldersTest, TheProgramsFoldersCloseToOthersAndNothingElseChanges) {
    const fs::path base = dir / "vp7sim";
    const struct {
        const char* folder;
        mode_t before, after;
    } folders[] = {
        {"Config", 0755, 0700},
        {"Data", 0775, 0700},
        {"Data/Classroom", 0755, 0700},
        {"Classroom", 0751, 0700},
        {"Classroom/Outbox", 0700, 0700},
        {"Data/Mine", 0755, 0755}, // the user's own below Data: closed through its parent
    };
    for (const auto& f : folders)
        Make(base / f.folder, f.before);
    Make(base, 0755);
    for (const bool withBase : {false, true}) {
        TightenOwnFolders(base.string(), withBase);
        EXPECT_EQ(Permissions(base), withBase ? 0700u : 0755u);
    }
    for (const auto& f : folders)
        EXPECT_EQ(Permissions(base / f.folder), f.after) << f.folder;
}

TEST_F(PrivateFoldersTest, ALinkOrAFileUnderAFoldersNameIsLeftAlone) {
    const fs::path base = dir / "vp7sim", elsewhere = dir / "elsewhere";
    Make(elsewhere, 0755);
    Make(base, 0700);
    fs::create_directory_symlink(elsewhere, base / "Data");
    std::ofstream(base / "Config") << "not a folder";
    ::chmod((base / "Config").c_str(), 0644);
    TightenOwnFolders(base.string(), true);
    EXPECT_EQ(Permissions(elsewhere), 0755u);
    EXPECT_EQ(Permissions(base / "Config"), 0644u);
    EXPECT_FALSE(fs::exists(base / "Classroom")); // nothing made
}

} // namespace
} // namespace vp7
