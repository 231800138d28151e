// SPDX-License-Identifier: GPL-3.0-or-later
// vp7_bare_window [--idle SECONDS]: the floor the desktop program's figures are set against, a Qt
// program that only opens a main window of the simulator's designed size with a menu bar. Prints the
// time from its launch to the first paint and its peak memory; with --idle, the CPU it takes left alone.
#include "LaunchClock.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(1025, 768);
    for (const char* title : {"Datei", "Optionen", "Extras", "Ansicht"})
        window.menuBar()->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("…"));
    auto* client = new QWidget(&window);
    window.setCentralWidget(client);
    bench::PaintCounter paint;
    client->installEventFilter(&paint);
    window.show();
    bench::Until([&] { return paint.paints > 0; });
    bench::PrintStart(bench::MsSinceLaunch());
    std::printf("peak memory: %.1f MiB\n", bench::PeakMiB());
    if (argc == 3 && std::strcmp(argv[1], "--idle") == 0) {
        const int seconds = std::stoi(argv[2]);
        bench::Settle(1000);
        std::printf("CPU while idle: %.2f %% of one core over %d s\n", bench::IdleCpuPercent(seconds),
                    seconds);
    }
    return 0;
}
