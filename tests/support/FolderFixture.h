// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A test with a folder of its own, made before and removed after it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
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
};

} // namespace vp7::test
