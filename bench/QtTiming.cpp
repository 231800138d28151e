// SPDX-License-Identifier: GPL-3.0-or-later
// Real-time figures of the desktop program (run it under Xvfb, or offscreen): a full stroke 0 -> 100 %
// against the nominal 2.000 s, the mode key's 5 s hold into the configuration, the 2 s time-out into the
// diagnostics and the cost of an idle minute. With --start: only the time from the process's start to
// the first painted window and the peak memory after a few full strokes, for one run of many. With
// --syncs: widget syncs and time per delivered pointer event. With --trend: the cost of the trend window.
// With --zoom: for each zoom step, the time to change to it, the memory resident after it and the CPU
// during continuous strokes.
#include "core/Simulator.h"
#include "platform/PictureLayout.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/PictureWidget.h"
#include "ui/ZoomControl.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs the event loop until the condition holds; returns the seconds it took.
template <class F> double Until(F done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return t.nsecsElapsed() / 1e9;
}

// A program folder whose settings switch the screen check off (the offscreen screen is small).
std::unique_ptr<QTemporaryDir> ProgramFolder() {
    auto dir = std::make_unique<QTemporaryDir>();
    QDir(dir->path()).mkpath(QStringLiteral("Config"));
    QFile ini(dir->filePath(QStringLiteral("Config/VP7.ini")));
    if (ini.open(QIODevice::WriteOnly)) ini.write("[Config]\r\nCheckScreen=0\r\n");
    return dir;
}

// Seconds since this process was started, from the kernel's start time (clock ticks since boot).
double SinceProcessStart() {
    std::ifstream statFile("/proc/self/stat"), uptimeFile("/proc/uptime");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2)); // the name may hold blanks
    std::string field;
    for (int i = 3; i <= 22; ++i)
        fields >> field; // field 22: starttime
    double uptime = 0;
    uptimeFile >> uptime;
    return uptime - std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct FirstPaint : QObject {
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted = true;
        return false;
    }
};

void StrokeTo(vp7::MainWindow& main, const char* percent) {
    vp7::Simulator& sim = main.Sim();
    main.findChild<QLineEdit*>(QStringLiteral("SetPointText"))->setText(QString::fromLatin1(percent));
    sim.UserEdit(sim.form.SetPointText, percent);
    sim.UserKeyDown(sim.form.SetPointText, vp7::Controller::KeyEnter);
}

// One start: to the first painted window, then a few strokes for the peak memory.
int StartFigures() {
    const auto dir = ProgramFolder();
    vp7::AppWindows w = vp7::CreateWindows(dir->path().toStdString(), 1);
    FirstPaint paint;
    w.main->Picture()->installEventFilter(&paint);
    w.main->show();
    Until([&] { return paint.painted; });
    const double firstPaint = SinceProcessStart();
    vp7::Simulator& sim = w.main->Sim();
    Until([&] { return sim.DiagnosticTimer.Enabled(); });
    for (const char* target : {"100", "0", "100", "0"}) {
        StrokeTo(*w.main, target);
        Until([&] { return !sim.Timer2.Enabled(); });
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("start to first paint: %.0f ms\npeak memory: %.1f MiB\n", firstPaint * 1000,
                usage.ru_maxrss / 1024.0);
    return 0;
}

// Widget syncs and time per delivered event: pointer moves over the picture with no help shown, moves
// with the hover help following the pointer, and clicks on the increase key in manual mode.
int SyncFigures() {
    const auto dir = ProgramFolder();
    vp7::AppWindows w = vp7::CreateWindows(dir->path().toStdString(), 1);
    vp7::MainWindow& main = *w.main;
    main.show();
    vp7::Simulator& sim = main.Sim();
    Until([&] { return sim.DiagnosticTimer.Enabled(); });
    QWidget* picture = main.Picture();
    const auto measure = [&](const char* what, int events, auto deliver) {
        QCoreApplication::processEvents();
        const long syncs = main.SyncCount();
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < events; ++i)
            deliver(i);
        const double us = t.nsecsElapsed() / 1e3 / events;
        std::printf("%-44s %5.2f syncs, %7.1f us per event\n", what,
                    static_cast<double>(main.SyncCount() - syncs) / events, us);
    };
    const auto move = [&](int i) { QTest::mouseMove(picture, QPoint(100 + i % 200, 120)); };
    measure("pointer move, no help shown", 1000, move);
    QTest::mouseClick(main.findChild<QWidget*>(QStringLiteral("HelpOthers")), Qt::LeftButton);
    measure("pointer move along a scale, help following", 500,
            [&](int i) { QTest::mouseMove(picture, QPoint(12, 480 + i % 180)); });
    const auto key = [](int k) { return QPoint(vp7::layout::KeyCentres[k].x, vp7::layout::KeyCentres[k].y); };
    QTest::mouseClick(picture, Qt::LeftButton, {}, key(0)); // manual mode
    measure("click on the increase key (press and release)", 200,
            [&](int) { QTest::mouseClick(picture, Qt::LeftButton, {}, key(2)); });
    return 0;
}

// CPU of the whole program over `seconds`, in % of one core, with the valve stroking 0 <-> 100 % or
// resting: a new stroke as soon as the last one ended, looked at ten times a second; in between the
// program runs on its own as it does for a user.
double CpuPercent(vp7::MainWindow& main, bool strokes, int seconds) {
    bool up = true;
    QTimer next;
    QObject::connect(&next, &QTimer::timeout, [&] {
        if (!strokes || main.Sim().Timer2.Enabled()) return;
        StrokeTo(main, up ? "100" : "0");
        up = !up;
    });
    next.start(100);
    const std::clock_t cpu = std::clock();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    return 100.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC / seconds;
}

// CPU of the whole program while the valve strokes for 30 s, without and with the trend window open,
// and with the window open while nothing moves.
int TrendFigures() {
    const auto dir = ProgramFolder();
    vp7::AppWindows w = vp7::CreateWindows(dir->path().toStdString(), 1);
    w.main->show();
    vp7::Simulator& sim = w.main->Sim();
    Until([&] { return sim.DiagnosticTimer.Enabled(); });
    const auto cpuPercent = [&](bool strokes) { return CpuPercent(*w.main, strokes, 30); };
    std::printf("CPU during strokes, trend window closed: %.2f %% of one core over 30 s\n", cpuPercent(true));
    w.main->TrendAction()->trigger();
    std::printf("CPU during strokes, trend window open: %.2f %% of one core over 30 s\n", cpuPercent(true));
    std::printf("CPU idle, trend window open: %.2f %% of one core over 30 s\n", cpuPercent(false));
    return 0;
}

// Resident memory now, in MiB.
double ResidentMiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

int ZoomFigures() {
    const auto dir = ProgramFolder();
    vp7::AppWindows w = vp7::CreateWindows(dir->path().toStdString(), 1);
    w.main->show();
    vp7::Simulator& sim = w.main->Sim();
    Until([&] { return sim.DiagnosticTimer.Enabled(); });
    std::printf("%-6s %-6s %10s %14s %18s\n", "zoom", "scale", "change", "resident", "CPU in strokes");
    for (int percent : {100, 125, 150, 200, 300, 100}) {
        QElapsedTimer change;
        change.start();
        w.main->View().Choose(percent);
        w.main->repaint();
        const double changeMs = change.nsecsElapsed() / 1e6;
        constexpr int kStrokeSeconds = 10;
        const double cpuPercent = CpuPercent(*w.main, true, kStrokeSeconds);
        std::printf("%4d %%  %-6d %7.0f ms %10.0f MiB %15.1f %%\n", percent, w.main->PictureScale(), changeMs,
                    ResidentMiB(), cpuPercent);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--start") == 0) return StartFigures();
    if (argc > 1 && std::strcmp(argv[1], "--syncs") == 0) return SyncFigures();
    if (argc > 1 && std::strcmp(argv[1], "--trend") == 0) return TrendFigures();
    if (argc > 1 && std::strcmp(argv[1], "--zoom") == 0) return ZoomFigures();
    const int runs = 5;
    std::vector<double> stroke, hold, timeout;
    const auto started = [] { // a fresh window, through its start-up
        auto dir = ProgramFolder();
        vp7::AppWindows w = vp7::CreateWindows(dir->path().toStdString(), 1);
        w.main->show();
        Until([&] { return w.main->Sim().DiagnosticTimer.Enabled(); });
        return std::pair{std::move(dir), std::move(w)};
    };
    for (int run = 0; run < runs; ++run) {
        {
            auto [dir, w] = started();
            vp7::Simulator& sim = w.main->Sim();
            StrokeTo(*w.main, "100");
            // 39 more steps after the first and the arrival tick: nominally 40 ticks of 50 ms.
            stroke.push_back(Until([&] { return !sim.Timer2.Enabled(); }));
            const QPoint modeKey(vp7::layout::KeyCentres[0].x, vp7::layout::KeyCentres[0].y);
            QTest::mousePress(w.main->Picture(), Qt::LeftButton, {}, modeKey);
            hold.push_back(Until([&] { return sim.state.Mode == vp7::Mode::Configuration; }));
            QTest::mouseRelease(w.main->Picture(), Qt::LeftButton, {}, modeKey);
        }
        auto [dir, w] = started();
        vp7::Simulator& sim = w.main->Sim();
        // Right clicks latch the three keys; the third starts the 2 s into the diagnostics.
        for (const vp7::layout::Point key : vp7::layout::KeyCentres)
            QTest::mouseClick(w.main->Picture(), Qt::RightButton, {}, QPoint(key.x, key.y));
        timeout.push_back(Until([&] { return sim.state.DiagnosticMode != 0; }));
    }
    std::printf("full stroke 0 -> 100 %%: median %.3f s (nominal 2.000 s)\n", Median(stroke));
    std::printf("mode key held into the configuration: median %.3f s (nominal 5.000 s)\n", Median(hold));
    std::printf("three latched keys into the diagnostics: median %.3f s (nominal 2.000 s)\n",
                Median(timeout));

    const auto dir = ProgramFolder();
    vp7::AppWindows w = vp7::CreateWindows(dir->path().toStdString(), 1);
    w.main->show();
    QEventLoop settle;
    QTimer::singleShot(1000, &settle, &QEventLoop::quit);
    settle.exec();
    const std::clock_t cpu = std::clock();
    QEventLoop idle; // the program left alone for a minute
    QTimer::singleShot(60000, &idle, &QEventLoop::quit);
    idle.exec();
    std::printf("CPU while idle: %.2f %% of one core over 60 s\n",
                100.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC / 60.0);
    return 0;
}
