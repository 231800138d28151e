#pragma once
// Root passes every permission check, so tests of what an ordinary user may not do run their body in
// a child process that has dropped to "nobody"; expectations that fail in the child fail the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vp7::test {

constexpr uid_t kNobody = 65534;

// Hands `dir` and everything in it to the user the body runs as.
inline void GiveTo(const std::filesystem::path& dir, uid_t user) {
    if (::lchown(dir.c_str(), user, user) != 0) ADD_FAILURE() << "chown " << dir;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        if (::lchown(entry.path().c_str(), user, user) != 0) ADD_FAILURE() << "chown " << entry.path();
}

// Runs `body` as an ordinary user: directly when the tests already run as one, else in a forked child
// as "nobody" that owns `dir`.
inline void AsOrdinaryUser(const std::filesystem::path& dir, const std::function<void()>& body) {
    if (::geteuid() != 0) return body();
    GiveTo(dir, kNobody);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0) << "fork";
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        if (!dropped) ::_exit(3);
        body();
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "the child died";
    ASSERT_NE(WEXITSTATUS(status), 3) << "could not drop to an ordinary user";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "an expectation failed as an ordinary user (see above)";
}

} // namespace vp7::test
