// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A test with a folder of its own, made before and removed after it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vp7::test {

struct FolderFixture : ::testing::Test {
    // The process id keeps two test runs at the same time (two build trees) out of each other's folders.
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("vp7-test-" + std::to_string(getpid()) + "-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());

    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    // The permission bits of a file or a folder, of a link itself rather than what it leads to.
    static mode_t Permissions(const std::filesystem::path& path) {
        struct stat info {};
        EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
        return info.st_mode & 07777;
    }
};

} // namespace vp7::test
