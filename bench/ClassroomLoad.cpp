// SPDX-License-Identifier: GPL-3.0-or-later
// vp7_classroom_load: a room of 30 seats on one mosquitto of the loopback (started here on a free
// port), 25 vp7-headless seats, each its own process, and 5 pages in one headless Chromium through
// websockify (ClassroomLoadBrowser.h; all 30 headless when the browser's part is missing), and one
// subscriber where the instructor's station would be.
// Each seat reads its script from a pipe: `classroom ...`, `start`, then a `wait 100` every 100 ms of
// the wall clock, so the runner's virtual clock keeps the wall clock's pace and takes the room's
// commands between the lines, as a window's seat would. Measured: how long a command to the room
// takes until every seat's changed status reached the subscriber; the station's grid fed those
// statuses at the moment they arrived; each seat's CPU while idle, beside the same runner without the
// `classroom` line, and a browser seat's renderer beside a bare page's. Plain figures on standard output;
// every process ended and the folder removed.
#include "ClassroomLoad.h"
#include "ClassroomLoadBrowser.h"
#include "classroom/Broker.h"
#include "classroom/RoomNames.h"
#include "classroom/SeatCommand.h"
#include "classroom/SeatStatus.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using vp7::test::Instructor;

namespace {

constexpr int kSeats = 30;
constexpr int kBrowserSeats = 5; // the last of the seats
// The same runner without the `classroom` line, fed alike: the floor of an idle seat's CPU.
constexpr int kPlainSeats = 3;
constexpr char kRoom[] = "load";
// A `wait` line this often: the seats' runners let time pass at the wall clock's pace.
constexpr auto kStep = 100ms;
constexpr char kStepLine[] = "wait 100\n";
// Every seat strokes its valve meanwhile, so that each publishes a status a second.
constexpr auto kStrokePeriod = 2500ms;
constexpr auto kStrokeStretch = 4 * kStrokePeriod;
constexpr int kCommandRounds = 5; // each a freeze and a continue to the whole room
// After a command, the statuses it changed have this long to arrive; later counts as missed.
constexpr auto kSettle = 1500ms;
constexpr auto kIdleStretch = 20s;
constexpr auto kJoinLimit = 20s; // every seat's first status
// The browser's pages join one after another, each loading the page's module and artwork.
constexpr auto kBrowserJoinLimit = 120s;
constexpr auto kBrowserIdleLimit = 15s; // after the idle stretch, for the pages' figures
constexpr auto kEndLimit = 10s;         // the runners end on the end of their script, or are killed
constexpr int kLogLinesShown = 20;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

// A process's time on a CPU so far, all its threads (the client library's network thread too), in ns.
int64_t CpuNs(pid_t pid) {
    int64_t sum = 0;
    std::error_code ec;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
        std::ifstream in(task.path() / "schedstat");
        int64_t ns = 0;
        if (in >> ns) sum += ns;
    }
    return sum;
}

// One vp7-headless with its script on a pipe; killed at the end when it did not end by itself.
class SeatProcess {
public:
    SeatProcess(const fs::path& folder, const std::string& name) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) return;
        const std::string dir = (folder / name).string();
        const std::string log = log_ = (folder / (name + ".log")).string();
        pid_ = fork();
        if (pid_ == 0) {
            dup2(ends[0], STDIN_FILENO);
            freopen("/dev/null", "w", stdout);
            freopen(log.c_str(), "w", stderr);
            execl(VP7_HEADLESS_EXE, VP7_HEADLESS_EXE, "--dir", dir.c_str(), "-", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ends[0]);
        input_ = ends[1];
    }
    ~SeatProcess() {
        CloseInput();
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    SeatProcess(const SeatProcess&) = delete;
    SeatProcess& operator=(const SeatProcess&) = delete;

    bool Say(const std::string& lines) {
        return input_ >= 0 && write(input_, lines.data(), lines.size()) == static_cast<ssize_t>(lines.size());
    }
    // The script's end: the runner finishes and leaves the room.
    void CloseInput() {
        if (input_ >= 0) close(input_);
        input_ = -1;
    }
    // Whether it ended; its exit status in `status`.
    bool Reap(int& status) {
        if (pid_ <= 0 || waitpid(pid_, &status, WNOHANG) != pid_) return false;
        pid_ = -1;
        return true;
    }
    pid_t Pid() const { return pid_; }
    // What the runner wrote on standard error, for a seat that failed.
    void ShowLog() const {
        std::ifstream in(log_);
        std::string line;
        for (int lines = 0; lines < kLogLinesShown && std::getline(in, line); ++lines)
            std::fprintf(stderr, "  %s\n", line.c_str());
    }

private:
    std::string log_;
    pid_t pid_ = -1;
    int input_ = -1;
};

// Gives every seat its `wait` line each step of the wall clock, and what else it was asked to say
// before it.
class Feeder {
public:
    explicit Feeder(std::vector<std::unique_ptr<SeatProcess>>& seats)
        : seats_(seats), pending_(seats.size()), thread_([this] { Run(); }) {}
    ~Feeder() {
        stop_ = true;
        thread_.join();
    }
    void Say(std::size_t seat, const std::string& lines) {
        const std::lock_guard lock(mutex_);
        pending_[seat] += lines;
    }

private:
    void Run() {
        auto next = Clock::now();
        while (!stop_) {
            next += kStep;
            std::this_thread::sleep_until(next);
            const std::lock_guard lock(mutex_);
            for (std::size_t i = 0; i < seats_.size(); ++i) {
                seats_[i]->Say(pending_[i] + kStepLine);
                pending_[i].clear();
            }
        }
    }

    std::vector<std::unique_ptr<SeatProcess>>& seats_;
    std::mutex mutex_;
    std::vector<std::string> pending_;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

// Interrupted (Ctrl-C, a time-out's SIGTERM), the bench takes its broker with it; the seats end by
// themselves at the end of their scripts' pipes.
volatile sig_atomic_t runningBroker = 0;
volatile sig_atomic_t runningBrowser = 0; // its script's process group, which ends its browser itself

void Interrupted(int signal) {
    if (runningBroker > 0) kill(static_cast<pid_t>(runningBroker), SIGKILL);
    if (runningBrowser > 0) kill(-static_cast<pid_t>(runningBrowser), SIGTERM);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The bench's folder goes however the bench ends, after the broker and the seats are gone.
struct RemovedAtEnd {
    const fs::path& folder;
    ~RemovedAtEnd() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

std::string SeatName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "seat%02d", i + 1);
    return name;
}

// The seat each status is from, read as the station reads it; nothing for anything else.
std::optional<vp7::SeatStatus> StatusOf(const Instructor::Message& m) {
    if (m.topic.size() < 7 || m.topic.compare(m.topic.size() - 7, 7, "/status") != 0) return std::nullopt;
    auto read = vp7::ReadSeatStatus(m.payload);
    if (auto* status = std::get_if<vp7::SeatStatus>(&read)) return std::move(*status);
    return std::nullopt;
}

struct CommandLatency {
    std::vector<double> ms;        // from the command's sending to each seat's changed status at the station
    std::vector<double> browserMs; // the same, the browser's seats alone
    int missed = 0;                // seats whose status did not show it within kSettle
};

// Freezes the room or lets it continue, and waits kSettle; each seat's first status after it that shows
// `frozen`.
void Measure(Instructor& station, bool frozen, int round, int firstBrowserIndex, CommandLatency& into) {
    const auto sent = Clock::now();
    const vp7::SeatCommand command(frozen ? vp7::SeatCommandKind::Freeze : vp7::SeatCommandKind::Continue, {},
                                   1, false, "load-" + std::to_string(round) + (frozen ? "f" : "c"));
    station.Publish(vp7::RoomCommandTopic(kRoom), vp7::WriteSeatCommand(command));
    std::this_thread::sleep_for(kSettle);
    std::map<std::string, Clock::time_point> first;
    for (const Instructor::Message& m : station.Received()) {
        if (m.arrived < sent) continue;
        const auto status = StatusOf(m);
        if (status && status->online && status->frozen == frozen) first.try_emplace(status->seat, m.arrived);
    }
    for (const auto& [seat, at] : first) {
        into.ms.push_back(Ms(at - sent));
        if (seat >= SeatName(firstBrowserIndex)) into.browserMs.push_back(Ms(at - sent));
    }
    into.missed += kSeats - static_cast<int>(first.size());
}

// The machine's load average over the last minute, beside which the figures are read.
std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string minute;
    in >> minute;
    return minute.empty() ? "?" : minute;
}

double CorePercent(int64_t ns, Clock::duration over) {
    return 100.0 * static_cast<double>(ns) / static_cast<double>(std::chrono::nanoseconds(over).count());
}

void Row(const std::string& what, const std::string& value) {
    std::printf("%-58s %s\n", what.c_str(), value.c_str());
}

std::string Format(const char* format, double a, double b = 0, double c = 0) {
    char text[128];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

} // namespace

int main() {
    std::signal(SIGPIPE, SIG_IGN); // a seat that ended early fails its writes, not the bench
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, Interrupted);
    const fs::path folder = fs::temp_directory_path() / ("vp7-classroom-load-" + std::to_string(getpid()));
    const RemovedAtEnd removed{folder};
    int status = 0;
    std::vector<Instructor::Message> replayed;
    CommandLatency latency;
    std::vector<double> seatCpu, plainCpu;
    double brokerStrokes = 0, brokerIdle = 0;
    std::size_t strokeStatuses = 0;
    Clock::duration stroking{};
    const std::string loadBefore = LoadAverage();
    const std::optional<std::string> browserMissing = bench::BrowserSeats::Missing();
    const int browserSeats = browserMissing ? 0 : kBrowserSeats;
    const int headlessSeats = kSeats - browserSeats;
    std::optional<bench::BrowserSeats::IdleCpu> browserCpu;
    {
        vp7::test::Broker broker(folder / "broker");
        if (!broker.Start()) {
            std::fprintf(stderr, "vp7_classroom_load: mosquitto did not start (%s)\n",
                         vp7::test::Broker::kProgram);
            return 1;
        }
        runningBroker = broker.Pid();
        Instructor station;
        if (!station.Connect(broker.Port(), vp7::StationTopics(kRoom))) {
            std::fprintf(stderr, "vp7_classroom_load: the station could not subscribe\n");
            return 1;
        }
        // The browser's seats first: their pages take the longest to join.
        std::optional<bench::BrowserSeats> browser;
        if (browserSeats > 0) {
            browser.emplace(broker.Port(), kRoom, headlessSeats + 1, kSeats);
            runningBrowser = browser->Group();
        }
        std::vector<std::unique_ptr<SeatProcess>> seats;
        for (int i = 0; i < headlessSeats + kPlainSeats; ++i) {
            const std::string name =
                i < headlessSeats ? SeatName(i) : "plain" + std::to_string(i - headlessSeats + 1);
            seats.push_back(std::make_unique<SeatProcess>(folder, name));
            if (i < headlessSeats)
                seats.back()->Say("classroom 127.0.0.1 " + std::to_string(broker.Port()) + " " + kRoom + " " +
                                  name + "\n");
            seats.back()->Say("start\n");
        }
        std::optional<Feeder> feeder(std::in_place, seats);
        if (browser && !browser->Joined(kBrowserJoinLimit)) {
            std::fprintf(stderr, "vp7_classroom_load: the browser's seats did not join the room\n");
            status = 1;
        }
        const bool joined = vp7::test::WaitUntil(
            [&] {
                std::set<std::string> online;
                for (const Instructor::Message& m : station.Received())
                    if (const auto s = StatusOf(m); s && s->online) online.insert(s->seat);
                return online.size() == kSeats;
            },
            kJoinLimit);
        if (!joined) std::fprintf(stderr, "vp7_classroom_load: not every seat joined the room\n");

        // Strokes, staggered across the seats, each seat's setpoint between 0 and 100 %.
        const auto strokesBegin = Clock::now();
        const int64_t brokerBefore = CpuNs(broker.Pid());
        const std::size_t before = station.Received().size();
        for (int period = 0; period < kStrokeStretch / kStrokePeriod; ++period) {
            for (int i = 0; i < headlessSeats; ++i) {
                feeder->Say(static_cast<std::size_t>(i), period % 2 ? "set SetPointText 0\nclick Enter\n"
                                                                    : "set SetPointText 100\nclick Enter\n");
                std::this_thread::sleep_for(kStrokePeriod / headlessSeats);
            }
        }
        const auto stroked = station.Received();
        strokeStatuses = static_cast<std::size_t>(
            std::count_if(stroked.begin() + static_cast<std::ptrdiff_t>(before), stroked.end(),
                          [](const Instructor::Message& m) { return StatusOf(m).has_value(); }));
        stroking = Clock::now() - strokesBegin;
        brokerStrokes = CorePercent(CpuNs(broker.Pid()) - brokerBefore, stroking);

        for (int round = 0; round < kCommandRounds; ++round) {
            Measure(station, true, round, headlessSeats, latency);
            Measure(station, false, round, headlessSeats, latency);
        }
        replayed = station.Received();

        // Idle: the seats only let time pass.
        std::vector<int64_t> cpuBefore;
        for (const auto& seat : seats)
            cpuBefore.push_back(CpuNs(seat->Pid()));
        const int64_t brokerIdleBefore = CpuNs(broker.Pid());
        const auto idleBegin = Clock::now();
        if (browser) browser->MeasureIdle(std::chrono::duration_cast<std::chrono::seconds>(kIdleStretch));
        std::this_thread::sleep_for(kIdleStretch);
        const auto idle = Clock::now() - idleBegin;
        if (browser) browserCpu = browser->Idle(kBrowserIdleLimit);
        for (std::size_t i = 0; i < seats.size(); ++i)
            (static_cast<int>(i) < headlessSeats ? seatCpu : plainCpu)
                .push_back(CorePercent(CpuNs(seats[i]->Pid()) - cpuBefore[i], idle));
        brokerIdle = CorePercent(CpuNs(broker.Pid()) - brokerIdleBefore, idle);

        // The end of every script: each runner finishes, leaves the room and ends.
        feeder.reset();
        for (auto& seat : seats)
            seat->CloseInput();
        int ended = 0;
        vp7::test::WaitUntil(
            [&] {
                for (auto& seat : seats) {
                    int exit = 0;
                    if (seat->Reap(exit)) {
                        ++ended;
                        if (WIFEXITED(exit) && WEXITSTATUS(exit) == 0) continue;
                        std::fprintf(stderr, "vp7_classroom_load: a runner failed:\n");
                        seat->ShowLog();
                        status = 1;
                    }
                }
                return ended == static_cast<int>(seats.size());
            },
            kEndLimit);
        for (const auto& seat : seats)
            if (seat->Pid() > 0) {
                std::fprintf(stderr, "vp7_classroom_load: a runner did not end by itself:\n");
                seat->ShowLog();
                status = 1;
            }
        browser.reset();
        runningBrowser = 0;
        station.Disconnect();
        broker.Stop();
        runningBroker = 0;
    } // the seats that are left are killed before the broker

    const auto grid = bench::ReplayToStation(replayed, kRoom);

    std::printf("%-58s %s\n", "figure", "value");
    Row("room", std::to_string(headlessSeats) + " vp7-headless seats, " + std::to_string(browserSeats) +
                    " pages in one headless Chromium, 1 mosquitto, 1 station subscriber");
    Row("load average (1 minute) at the start / the end",
        loadBefore + " / " + LoadAverage() + " on " + std::to_string(std::thread::hardware_concurrency()) +
            " cores");
    if (browserMissing) Row("browser's seats", "skipped: no " + *browserMissing);
    const double strokeSeconds = std::chrono::duration<double>(stroking).count();
    Row("statuses while every vp7-headless seat strokes",
        Format("%.0f in %.1f s, %.1f a second", static_cast<double>(strokeStatuses), strokeSeconds,
               static_cast<double>(strokeStatuses) / strokeSeconds));
    Row("command to the room -> seat's status at the station",
        Format("median %.1f ms, max %.1f ms", Percentile(latency.ms, 0.5), Percentile(latency.ms, 1)) + " (" +
            std::to_string(latency.ms.size()) + " changes, " + std::to_string(latency.missed) +
            " later than " + Format("%.1f s)", std::chrono::duration<double>(kSettle).count()));
    if (browserSeats > 0)
        Row("  of these, the browser's seats",
            Format("median %.1f ms, max %.1f ms", Percentile(latency.browserMs, 0.5),
                   Percentile(latency.browserMs, 1)) +
                " (" + std::to_string(latency.browserMs.size()) + " changes)");
    if (grid) {
        Row("station: Received() + layout + paint, a seat's tile there",
            Format("99th percentile %.2f ms, max %.2f ms", Percentile(grid->takenMs, 0.99),
                   Percentile(grid->takenMs, 1)) +
                " (" + std::to_string(grid->takenMs.size()) + " messages, " + std::to_string(grid->paints) +
                " paints)");
        Row("  the same on the CPU clock, every message",
            Format("99th percentile %.2f ms, max %.2f ms", Percentile(grid->cpuMs, 0.99),
                   Percentile(grid->cpuMs, 1)));
        Row("  a seat's first status, its tile made and placed",
            Format("median %.2f ms, max %.2f ms", Percentile(grid->tileMadeMs, 0.5),
                   Percentile(grid->tileMadeMs, 1)) +
                " (" + std::to_string(grid->tileMadeMs.size()) + " tiles)");
    } else
        Row("station", "not built (VP7_BUILD_UI off)");
    Row("CPU of an idle seat in the room (median / max of " + std::to_string(headlessSeats) + ")",
        Format("%.3f %% / %.3f %% of a core", Percentile(seatCpu, 0.5), Percentile(seatCpu, 1)));
    Row("CPU of an idle seat without `classroom` (median of " + std::to_string(kPlainSeats) + ")",
        Format("%.3f %% of a core", Percentile(plainCpu, 0.5)));
    Row("the classroom's share of an idle seat",
        Format("%+.3f %% of a core", Percentile(seatCpu, 0.5) - Percentile(plainCpu, 0.5)));
    if (browserCpu) {
        Row("renderer CPU of an idle browser seat (median / max of " + std::to_string(browserSeats) + ")",
            Format("%.3f %% / %.3f %% of a core", browserCpu->seatMedian, browserCpu->seatMax));
        Row("  a bare page's renderer meanwhile", Format("%.3f %% of a core", browserCpu->bare));
    } else if (browserSeats > 0)
        Row("renderer CPU of an idle browser seat", "not measured (the browser's script did not answer)");
    Row("broker CPU while stroking / idle", Format("%.2f %% / %.2f %% of a core", brokerStrokes, brokerIdle));
    return status;
}

#ifndef VP7_LOAD_STATION
std::optional<bench::StationFigures> bench::ReplayToStation(const std::vector<Instructor::Message>&,
                                                            const std::string&) {
    return std::nullopt;
}
#endif
