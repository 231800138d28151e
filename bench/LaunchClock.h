// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the start-up figures of the desktop program and of the bare Qt window share: the time from the
// program's launch to its first painted window, peak memory and CPU left alone. figures.sh passes the
// launch time (bash's EPOCHREALTIME, taken just before exec) in VP7_BENCH_LAUNCHED, so loading the
// program and its libraries counts; without it the kernel's start time of the process counts, which is
// exact only to 10 ms.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace bench {

inline double MsSinceLaunch() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    if (const char* launched = std::getenv("VP7_BENCH_LAUNCHED"))
        return std::chrono::duration<double, std::milli>(now).count() - std::atof(launched) * 1000.0;
    std::ifstream statFile("/proc/self/stat");
    const std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2)); // the name may hold blanks
    std::string field;
    for (int i = 3; i <= 22; ++i)
        fields >> field; // field 22: start time in clock ticks since boot
    timespec boot{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    const double startedS = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    return (static_cast<double>(boot.tv_sec) + boot.tv_nsec / 1e9 - startedS) * 1000.0;
}

// Counts the paint events of the widgets it is installed on.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Runs the event loop until `done` holds (at most `limitMs`); returns the seconds it took.
template <class F> double Until(F done, int limitMs = 30000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return t.nsecsElapsed() / 1e9;
}

inline double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Lets the event loop run for `ms`.
inline void Settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// CPU of this process while the event loop runs alone for `seconds`, in % of one core.
inline double IdleCpuPercent(int seconds) {
    const std::clock_t cpu = std::clock();
    QEventLoop idle;
    QTimer::singleShot(seconds * 1000, &idle, &QEventLoop::quit);
    idle.exec();
    return 100.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC / seconds;
}

inline void PrintStart(double firstPaintMs) {
    std::printf("start to first paint: %.1f ms\n", firstPaintMs);
}

} // namespace bench
