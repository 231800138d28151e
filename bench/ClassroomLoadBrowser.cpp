// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClassroomLoadBrowser.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr char kScript[] = VP7_SOURCE_DIR "/bench/web/room-load.mjs";
constexpr char kWebsockify[] = "/usr/bin/websockify";
// The script ends itself after this, whatever the bench does; the bench needs it for about 3 minutes,
// at most about 200 s when every wait takes its limit.
constexpr int kLifetimeS = 300;
// After its input ends, the script closes its browser and websockify; then its signals end it.
constexpr auto kEndGrace = 15s;
constexpr auto kSignalGrace = 5s;

// The page's build beside this one, or the one VP7_SITE names (as for the page's tests).
std::string Site() {
    const char* given = std::getenv("VP7_SITE");
    return given ? given : VP7_WEB_SITE;
}

std::string Chromium() {
    const char* given = std::getenv("VP7_CHROMIUM");
    return given ? given : "/usr/bin/chromium";
}

bool Reaped(pid_t pid, Clock::duration limit) {
    const auto until = Clock::now() + limit;
    do {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return true;
        usleep(50'000);
    } while (Clock::now() < until);
    return false;
}

} // namespace

std::optional<std::string> BrowserSeats::Missing() {
    std::vector<std::string> missing;
    if (!fs::exists(fs::path(Site()) / "index.html")) missing.push_back(Site() + " (scripts/build.sh web)");
    if (std::string(VP7_NODE_EXE).empty()) missing.push_back("node");
    if (!fs::exists(Chromium())) missing.push_back(Chromium());
    if (!fs::exists(kWebsockify)) missing.push_back(kWebsockify);
    if (!fs::exists(VP7_SOURCE_DIR "/web/node_modules/playwright-core"))
        missing.push_back("web/node_modules (cd web && npm ci)");
    if (missing.empty()) return std::nullopt;
    std::string text;
    for (const auto& what : missing)
        text += (text.empty() ? "" : ", ") + what;
    return text;
}

BrowserSeats::BrowserSeats(int mqttPort, const std::string& room, int first, int last) {
    int toScript[2], fromScript[2];
    if (pipe2(toScript, O_CLOEXEC) != 0) return;
    if (pipe2(fromScript, O_CLOEXEC) != 0) {
        close(toScript[0]);
        close(toScript[1]);
        return;
    }
    const std::string site = Site(), port = std::to_string(mqttPort),
                      seats = std::to_string(first) + "-" + std::to_string(last),
                      lifetime = std::to_string(kLifetimeS);
    pid_ = fork();
    if (pid_ == 0) {
        setpgid(0, 0); // the script, its browser's launcher and websockify end together
        dup2(toScript[0], STDIN_FILENO);
        dup2(fromScript[1], STDOUT_FILENO);
        execl(VP7_NODE_EXE, VP7_NODE_EXE, kScript, "--site", site.c_str(), "--mqtt-port", port.c_str(),
              "--room", room.c_str(), "--seats", seats.c_str(), "--lifetime", lifetime.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid_ > 0) setpgid(pid_, pid_);
    close(toScript[0]);
    close(fromScript[1]);
    input_ = toScript[1];
    output_ = fromScript[0];
}

BrowserSeats::~BrowserSeats() {
    if (input_ >= 0) close(input_);
    if (pid_ > 0 && !Reaped(pid_, kEndGrace)) {
        kill(-pid_, SIGTERM);
        if (!Reaped(pid_, kSignalGrace)) {
            kill(-pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    if (output_ >= 0) close(output_);
}

std::optional<std::string> BrowserSeats::Line(Clock::duration limit) {
    const auto until = Clock::now() + limit;
    for (;;) {
        if (const auto end = buffered_.find('\n'); end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (output_ < 0 || left <= 0) return std::nullopt;
        pollfd ready{output_, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(left)) <= 0) continue;
        char chunk[512];
        const ssize_t got = read(output_, chunk, sizeof chunk);
        if (got <= 0) return std::nullopt; // the script ended
        buffered_.append(chunk, static_cast<std::size_t>(got));
    }
}

bool BrowserSeats::Joined(std::chrono::seconds limit) {
    const auto until = Clock::now() + limit;
    while (const auto line = Line(until - Clock::now()))
        if (line->rfind("joined ", 0) == 0) return true;
    return false;
}

void BrowserSeats::MeasureIdle(std::chrono::seconds stretch) {
    const std::string line = "idle " + std::to_string(stretch.count()) + "\n";
    if (input_ >= 0 && write(input_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
        close(input_);
        input_ = -1;
    }
}

std::optional<BrowserSeats::IdleCpu> BrowserSeats::Idle(std::chrono::seconds limit) {
    const auto until = Clock::now() + limit;
    while (const auto line = Line(until - Clock::now())) {
        std::istringstream words(*line);
        std::string word;
        IdleCpu cpu;
        if (words >> word && word == "idle-cpu" && words >> cpu.seatMedian >> cpu.seatMax >> cpu.bare)
            return cpu;
    }
    return std::nullopt;
}

} // namespace bench
