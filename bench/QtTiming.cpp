// SPDX-License-Identifier: GPL-3.0-or-later
// Real-time figures of the desktop program (run it under Xvfb, or offscreen): a full stroke 0 -> 100 %
// against the nominal 2.000 s, the mode key's 5 s hold into the configuration, the 2 s time-out into the
// diagnostics and the cost of an idle minute. With --start: only the time from the process's start to
// the first painted window and the peak memory after a few full strokes, for one run of many. With
// --syncs: widget syncs and time per delivered pointer event. With --latency: from a key press or
// release to its repainted pixels. With --trend: the cost of the trend window.
// With --zoom: for each zoom step, the time to change to it, the memory resident after it and the CPU
// during continuous strokes. With --modbus: what a Modbus client's setpoint costs the window.
#include "LaunchClock.h"
#include "model/PictureLayout.h"
#include "plant/PlantLink.h"
#include "sim/Simulator.h"
#include "sim/motion/Controller.h"
#include "ui/app/Application.h"
#include "ui/app/MainWindow.h"
#include "ui/app/PlantControl.h"
#include "ui/device/MenuBar.h"
#include "ui/device/PictureWidget.h"
#include "ui/device/ZoomControl.h"

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

#include <modbus.h>

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

using bench::Until;

// A program folder whose settings switch the screen check off (the offscreen screen is small).
std::unique_ptr<QTemporaryDir> ProgramFolder() {
    auto dir = std::make_unique<QTemporaryDir>();
    QDir(dir->path()).mkpath(QStringLiteral("Config"));
    QFile ini(dir->filePath(QStringLiteral("Config/VP7.ini")));
    if (ini.open(QIODevice::WriteOnly)) ini.write("[Config]\r\nCheckScreen=0\r\n");
    return dir;
}

// A fresh window in a program folder of its own, shown and through its start-up.
std::pair<std::unique_ptr<QTemporaryDir>, vp7::AppWindows> Started() {
    auto dir = ProgramFolder();
    vp7::AppWindows w = vp7::CreateWindows(dir->path().toStdString(), 1);
    w.main->show();
    Until([&] { return w.main->Sim().DiagnosticTimer.Enabled(); });
    return {std::move(dir), std::move(w)};
}

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
    bench::PaintCounter paint;
    w.main->Picture()->installEventFilter(&paint);
    w.main->show();
    Until([&] { return paint.paints > 0; });
    bench::PrintStart(bench::MsSinceLaunch());
    vp7::Simulator& sim = w.main->Sim();
    Until([&] { return sim.DiagnosticTimer.Enabled(); });
    for (const char* target : {"100", "0", "100", "0"}) {
        StrokeTo(*w.main, target);
        Until([&] { return !sim.Timer2.Enabled(); });
    }
    std::printf("peak memory: %.1f MiB\n", bench::PeakMiB());
    return 0;
}

// Widget syncs and time per delivered event: pointer moves over the picture with no help shown, moves
// with the hover help following the pointer, and clicks on the increase key in manual mode.
int SyncFigures() {
    const auto [dir, w] = Started();
    vp7::MainWindow& main = *w.main;
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

// Paints of the device picture and the share of it they covered.
struct PaintedArea : QObject {
    int paints = 0;
    double share = 0;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::Paint) return false;
        ++paints;
        const QSize size = static_cast<QWidget*>(o)->size();
        for (const QRect& r : static_cast<QPaintEvent*>(e)->region())
            share += static_cast<double>(r.width()) * r.height() / (size.width() * size.height());
        return false;
    }
};

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + t.tv_nsec / 1e6;
}

// Input latency, event in to pixels out: in manual mode, presses and releases of the increase key (each
// press moves the valve a step and changes the display); for each, the widget syncs, the paints of the
// picture and their share of it, and the CPU from delivering the event until nothing it caused is left
// to do. Between events the valve comes to rest, so no motion tick is counted.
int LatencyFigures() {
    const auto [dir, w] = Started();
    vp7::MainWindow& main = *w.main;
    vp7::Simulator& sim = main.Sim();
    QWidget* picture = main.Picture();
    const auto key = [](int k) { return QPoint(vp7::layout::KeyCentres[k].x, vp7::layout::KeyCentres[k].y); };
    QTest::mouseClick(picture, Qt::LeftButton, {}, key(0)); // manual mode
    PaintedArea painted;
    picture->installEventFilter(&painted);
    constexpr int kEvents = 50;
    std::vector<double> cpu[2];
    double syncs[2] = {}, paints[2] = {}, share[2] = {};
    for (int i = 0; i < 2 * kEvents; ++i) {
        const bool press = i % 2 == 0;
        Until([&] { return !sim.Timer2.Enabled(); });
        bench::Settle(press ? 100 : 150); // a release before the hold's first repeat
        const long syncsBefore = main.SyncCount();
        const int paintsBefore = painted.paints;
        const double shareBefore = painted.share, before = CpuMs();
        if (press)
            QTest::mousePress(picture, Qt::LeftButton, {}, key(2));
        else
            QTest::mouseRelease(picture, Qt::LeftButton, {}, key(2));
        for (int round = 0; round < 3; ++round) // the event, then the repaint it posted, then its flush
            QCoreApplication::processEvents();
        cpu[!press].push_back(CpuMs() - before);
        syncs[!press] += main.SyncCount() - syncsBefore;
        paints[!press] += painted.paints - paintsBefore;
        share[!press] += painted.share - shareBefore;
    }
    for (int release : {0, 1})
        std::printf(
            "%-30s %4.2f syncs, %4.2f paints of %4.1f %% of the picture, %6.3f ms CPU (median)\n",
            release ? "release of the increase key:" : "press of the increase key:", syncs[release] / kEvents,
            paints[release] / kEvents, 100 * share[release] / kEvents, Median(cpu[release]));
    return 0;
}

// A Modbus client's setpoint in the window: from the request sent to the window repainted (the client,
// the server's thread and the window's in this one process), with the widget syncs it took; the valve
// comes to rest between writes, so no motion tick is counted.
int ModbusFigures() {
    const auto dir = ProgramFolder();
    vp7::AppWindows w = vp7::CreateProgramWindows(dir->path().toStdString(), 1, false);
    vp7::MainWindow& main = *w.main;
    main.show();
    Until([&] { return main.Sim().DiagnosticTimer.Enabled(); });
    vp7::PlantSettings settings;
    settings.serve = true;
    settings.options.port = 0;
    if (!w.plant->Apply(settings)) return 1;
    modbus_t* client = modbus_new_tcp("127.0.0.1", w.plant->Link()->Server().Port());
    if (modbus_connect(client) != 0) return 1;
    vp7::Simulator& sim = main.Sim();
    constexpr int kWrites = 50;
    std::vector<double> cpu;
    double syncs = 0;
    for (int i = 0; i < kWrites; ++i) {
        Until([&] { return !sim.Timer2.Enabled(); });
        bench::Settle(50);
        const uint16_t hundredths = i % 2 ? 4000 : 6000;
        const long syncsBefore = main.SyncCount();
        const double before = CpuMs();
        if (modbus_write_register(client, 0, hundredths) != 1) return 1;
        while (sim.state.Sollwert * 100 != hundredths)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        for (int round = 0; round < 3; ++round) // the write, then the repaint it posted, then its flush
            QCoreApplication::processEvents();
        cpu.push_back(CpuMs() - before);
        syncs += main.SyncCount() - syncsBefore;
    }
    std::printf("Modbus setpoint written to window repainted: %4.2f syncs, %6.3f ms CPU (median)\n",
                syncs / kWrites, Median(cpu));
    // The same setpoints entered in the field, for comparison.
    std::vector<double> typed;
    for (int i = 0; i < kWrites; ++i) {
        Until([&] { return !sim.Timer2.Enabled(); });
        bench::Settle(50);
        const double before = CpuMs();
        StrokeTo(main, i % 2 ? "40" : "60");
        for (int round = 0; round < 3; ++round)
            QCoreApplication::processEvents();
        typed.push_back(CpuMs() - before);
    }
    std::printf("the same setpoint typed and entered:           %6.3f ms CPU (median)\n", Median(typed));
    modbus_close(client);
    modbus_free(client);
    return 0;
}

// CPU of the whole program over `seconds`, in % of one core, with the valve stroking 0 <-> 100 % or
// resting: a new stroke as soon as the last one ended, looked at ten times a second; in between the
// program runs on its own as it does for a user.
double CpuPercent(vp7::MainWindow& main, bool strokes, int seconds) {
    bool up = true;
    QTimer next;
    QObject::connect(&next, &QTimer::timeout, [&] {
        if (main.Sim().Timer2.Enabled()) return;
        StrokeTo(main, up ? "100" : "0");
        up = !up;
    });
    // Resting, nothing of the bench's own wakes the program.
    if (strokes) next.start(100);
    const std::clock_t cpu = std::clock();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    return 100.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC / seconds;
}

// CPU of the whole program while the valve strokes for 30 s, without and with the trend window open,
// and with the window open while nothing moves.
int TrendFigures() {
    const auto [dir, w] = Started();
    const auto cpuPercent = [&](bool strokes) {
        // A resting figure begins once the last stroke has ended and the window has drawn it.
        while (!strokes && w.main->Sim().Timer2.Enabled())
            QTest::qWait(100);
        if (!strokes) QTest::qWait(1000);
        return CpuPercent(*w.main, strokes, 30);
    };
    std::printf("CPU idle, trend window closed: %.2f %% of one core over 30 s\n", cpuPercent(false));
    std::printf("CPU during strokes, trend window closed: %.2f %% of one core over 30 s\n", cpuPercent(true));
    w.main->Menus().Action(vp7::ActionId::Trend)->trigger();
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
    const auto [dir, w] = Started();
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
    if (argc > 1 && std::strcmp(argv[1], "--latency") == 0) return LatencyFigures();
    if (argc > 1 && std::strcmp(argv[1], "--trend") == 0) return TrendFigures();
    if (argc > 1 && std::strcmp(argv[1], "--zoom") == 0) return ZoomFigures();
    if (argc > 1 && std::strcmp(argv[1], "--modbus") == 0) return ModbusFigures();
    const int runs = 5;
    std::vector<double> stroke, hold, timeout;
    for (int run = 0; run < runs; ++run) {
        {
            auto [dir, w] = Started();
            vp7::Simulator& sim = w.main->Sim();
            StrokeTo(*w.main, "100");
            // 39 more steps after the first and the arrival tick: nominally 40 ticks of 50 ms.
            stroke.push_back(Until([&] { return !sim.Timer2.Enabled(); }));
            const QPoint modeKey(vp7::layout::KeyCentres[0].x, vp7::layout::KeyCentres[0].y);
            QTest::mousePress(w.main->Picture(), Qt::LeftButton, {}, modeKey);
            hold.push_back(Until([&] { return sim.state.Mode == vp7::Mode::Configuration; }));
            QTest::mouseRelease(w.main->Picture(), Qt::LeftButton, {}, modeKey);
        }
        auto [dir, w] = Started();
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

    const auto [idleDir, idle] = Started();
    bench::Settle(1000);
    constexpr int kIdleSeconds = 60; // a monitoring cycle a second
    const long syncsBefore = idle.main->SyncCount();
    const double idlePercent = bench::IdleCpuPercent(kIdleSeconds);
    std::printf("CPU while idle: %.2f %% of one core over %d s\n", idlePercent, kIdleSeconds);
    std::printf("CPU per idle second: %.2f ms\n", idlePercent * 10);
    std::printf("syncs per idle monitoring cycle: %.2f\n",
                static_cast<double>(idle.main->SyncCount() - syncsBefore) / kIdleSeconds);
    return 0;
}
