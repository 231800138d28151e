// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A real mosquitto broker for a test, on a free port of the loopback, with a configuration of the
// test's own; stopped (killed) and started again on the same port at will, killed at the end.
#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/Loopback.h"

#include <sys/types.h>

namespace vp7::test {

class Broker {
public:
    static constexpr const char* kProgram = "/usr/sbin/mosquitto";

    // Stands for the test's port in a configuration that brings its own listener line.
    static constexpr const char* kPortMark = "@PORT@";

    // `extra` goes into the configuration after the listener line, or is the whole configuration
    // when it has a listener on kPortMark; anonymous clients are allowed when it says nothing else.
    explicit Broker(std::filesystem::path folder, std::string extra = "allow_anonymous true\n");
    ~Broker();
    Broker(const Broker&) = delete;
    Broker& operator=(const Broker&) = delete;

    // False when it did not accept connections within a few seconds.
    bool Start();
    void Kill();
    // Ends it as a shutdown does (SIGTERM): it saves what it keeps when persistence is on.
    void Stop();
    int Port() const { return port_; }
    // The running broker's process, or -1.
    pid_t Pid() const { return pid_; }
    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path folder_;
    std::string extra_;
    int port_ = 0;
    pid_t pid_ = -1;
};

// The shipped classroom configuration (doc/classroom/) as a test's broker takes it: the shipped
// settings and ACL in the shipped order, with `accounts` (name, password) made by mosquitto_passwd as
// the documentation says, in a password file in `folder`; the shipped listener on the test's port.
std::string ShippedBrokerConfig(const std::filesystem::path& folder,
                                const std::vector<std::pair<std::string, std::string>>& accounts);

// The same with the shipped file's encrypted listener in place of the loopback one, on the test's port
// of the loopback, its authority, certificate and key taken from `certificates` under the shipped
// names (vp7-ca.crt, vp7-broker.crt, vp7-broker.key).
std::string ShippedTlsBrokerConfig(const std::filesystem::path& folder,
                                   const std::vector<std::pair<std::string, std::string>>& accounts,
                                   const std::filesystem::path& certificates);

// Calls `done` every few milliseconds until it holds or `limit` has passed; whether it held.
template <typename Done>
bool WaitUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(8)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        struct timespec pause {
            0, 5'000'000
        };
        nanosleep(&pause, nullptr);
    }
    return true;
}

} // namespace vp7::test
