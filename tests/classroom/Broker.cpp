// SPDX-License-Identifier: GPL-3.0-or-later
#include "Broker.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string_view>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vp7::test {

Broker::Broker(std::filesystem::path folder, std::string extra)
    : folder_(std::move(folder)), extra_(std::move(extra)), port_(FreeLoopbackPort()) {
    std::filesystem::create_directories(folder_);
    // Started by root, the broker runs as its own user, and still writes its database here.
    std::filesystem::permissions(folder_, std::filesystem::perms::all);
}

Broker::~Broker() {
    Kill();
}

bool Broker::Start() {
    const std::filesystem::path config = folder_ / "mosquitto.conf";
    // A configuration with a listener of its own gets the test's port in it, where it stands: what
    // follows a listener line belongs to it, so the order is the configuration's.
    std::string text = extra_;
    if (const auto at = text.find(kPortMark); at != std::string::npos)
        text.replace(at, std::string_view(kPortMark).size(), std::to_string(port_));
    else
        text = "listener " + std::to_string(port_) + " 127.0.0.1\n" + text;
    std::ofstream(config) << text;
    pid_ = fork();
    if (pid_ == 0) {
        const std::string log = (folder_ / "broker.log").string();
        freopen(log.c_str(), "a", stdout);
        freopen(log.c_str(), "a", stderr);
        execl(kProgram, kProgram, "-c", config.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return WaitUntil([this] { return Accepts(port_); }, std::chrono::seconds(5));
}

void Broker::Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void Broker::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    // Bounded: one that does not end within seconds is killed.
    if (!WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, std::chrono::seconds(5))) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
}

std::string ShippedBrokerConfig(const std::filesystem::path& folder,
                                const std::vector<std::pair<std::string, std::string>>& accounts) {
    const std::filesystem::path shipped = VP7_TEST_SOURCE_DIR "/../../doc/classroom";
    const std::filesystem::path passwords = folder / "passwords";
    std::filesystem::create_directories(folder);
    std::filesystem::remove(passwords);
    for (const auto& [user, password] : accounts) {
        const std::string command = "mosquitto_passwd -b " +
                                    std::string(std::filesystem::exists(passwords) ? "" : "-c ") +
                                    passwords.string() + " " + user + " " + password;
        if (std::system(command.c_str()) != 0) return {};
    }
    std::ifstream in(shipped / "mosquitto.conf");
    std::ostringstream config;
    for (std::string line; std::getline(in, line);) {
        const std::string key = line.substr(0, line.find(' '));
        if (key == "password_file" || key == "acl_file") continue;
        if (key == "listener") {
            config << "listener " << Broker::kPortMark << " 127.0.0.1\n";
            continue;
        }
        config << line << '\n';
    }
    config << "password_file " << passwords.string() << "\nacl_file " << (shipped / "acl").string() << '\n';
    return config.str();
}

std::string ShippedTlsBrokerConfig(const std::filesystem::path& folder,
                                   const std::vector<std::pair<std::string, std::string>>& accounts,
                                   const std::filesystem::path& certificates) {
    constexpr std::string_view kShippedFolder = "/etc/mosquitto/certs/";
    std::istringstream shipped(ShippedBrokerConfig(folder, accounts));
    std::ostringstream config;
    for (std::string line; std::getline(shipped, line);) {
        if (line.starts_with("listener ")) continue; // the loopback one the encrypted one replaces
        if (line.starts_with("#listener ")) {
            config << "listener " << Broker::kPortMark << " 127.0.0.1\n";
            continue;
        }
        for (const char* key : {"#cafile ", "#certfile ", "#keyfile ", "#tls_version "})
            if (line.starts_with(key)) {
                line.erase(0, 1);
                if (const auto at = line.find(kShippedFolder); at != std::string::npos)
                    line.replace(at, kShippedFolder.size(), certificates.string() + "/");
            }
        config << line << '\n';
    }
    return config.str();
}

} // namespace vp7::test
