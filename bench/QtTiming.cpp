// Real-time figures of the desktop program (offscreen): a full stroke 0 -> 100 % against the nominal
// 2.000 s, the mode key's 5 s hold into the configuration, and the cost of an idle minute.
#include "core/Simulator.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/PictureWidget.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QEventLoop>

#include <algorithm>
#include <memory>
#include <cstdio>
#include <ctime>
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
    while (!done() && t.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
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

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int runs = 5;
    std::vector<double> stroke, hold;
    for (int run = 0; run < runs; ++run) {
        const auto dir = ProgramFolder();
        vp7::AppWindows w = vp7::CreateWindows(dir->path().toStdString(), 1);
        w.main->show();
        vp7::Simulator& sim = w.main->Sim();
        Until([&] { return sim.DiagnosticTimer.Enabled(); });
        auto* entry = w.main->findChild<QLineEdit*>(QStringLiteral("SetPointText"));
        entry->setText(QStringLiteral("100"));
        sim.UserEdit(sim.form.SetPointText, "100");
        sim.UserKeyDown(sim.form.SetPointText, 13);
        // 39 more steps after the first and the arrival tick: nominally 40 ticks of 50 ms.
        stroke.push_back(Until([&] { return !sim.Timer2.Enabled(); }));
        QTest::mousePress(w.main->Picture(), Qt::LeftButton, {}, QPoint(378, 356));
        hold.push_back(Until([&] { return sim.state.Mode == 2; }));
        QTest::mouseRelease(w.main->Picture(), Qt::LeftButton, {}, QPoint(378, 356));
    }
    std::printf("full stroke 0 -> 100 %%: median %.3f s (nominal 2.000 s)\n", Median(stroke));
    std::printf("mode key held into the configuration: median %.3f s (nominal 5.000 s)\n", Median(hold));

    const auto dir = ProgramFolder();
    vp7::AppWindows w = vp7::CreateWindows(dir->path().toStdString(), 1);
    w.main->show();
    QEventLoop settle;
    QTimer::singleShot(1000, &settle, &QEventLoop::quit);
    settle.exec();
    const std::clock_t cpu = std::clock();
    QEventLoop idle; // the program left alone for 30 s
    QTimer::singleShot(30000, &idle, &QEventLoop::quit);
    idle.exec();
    std::printf("CPU while idle: %.2f %% of one core over 30 s\n",
                100.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC / 30.0);
    return 0;
}
