// SPDX-License-Identifier: GPL-3.0-or-later
#include "Broker.h"

#include <fstream>

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
    std::ofstream(config) << "listener " << port_ << " 127.0.0.1\n" << extra_;
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

} // namespace vp7::test
