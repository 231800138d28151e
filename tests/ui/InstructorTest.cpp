// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShownApp.h"
#include "model/PictureLayout.h"
#include "session/script/Runner.h"
#include "sim/motion/Controller.h"
#include "support/DeviceState.h"
#include "ui/app/StateStart.h"
#include "ui/device/PictureWidget.h"
#include "ui/qt/QtClock.h"
#include "ui/training/InstructorControls.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <sstream>

using namespace vp7;

namespace {

// Lets real time pass for `ms` with the events running, or until `done` holds.
void RunEvents(int ms, const std::function<bool()>& done = {}) {
    QElapsedTimer wall;
    wall.start();
    while (wall.elapsed() < ms && !(done && done()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Three timers, two of them due together, one re-arming another from its handler: the window's
// clock driven by hand fires them in the virtual clock's order at the same moments.
template <typename C>
std::vector<std::string> FiringOrder(C& clock, const std::function<void(int64_t)>& run) {
    std::vector<std::string> fired;
    Timer a(clock, "a", 30), b(clock, "b", 50), c(clock, "c", 50);
    for (Timer* t : {&a, &b, &c})
        t->SetHandler([&fired, &clock, t] { fired.push_back(t->Name() + std::to_string(clock.NowMs())); });
    b.SetHandler([&] {
        fired.push_back("b" + std::to_string(clock.NowMs()));
        c.SetInterval(c.Interval() == 50 ? 70 : 50);
    });
    for (Timer* t : {&a, &b, &c})
        t->SetEnabled(true);
    run(400);
    return fired;
}

} // namespace

TEST(Instructor, TheWindowsClockReplaysAsTheVirtualOneAndKeepsItsPhaseAcrossAFreeze) {
    VirtualClock virtualClock;
    QtClock replayed;
    replayed.BeginReplay(0);
    EXPECT_EQ(FiringOrder(replayed, [&](int64_t ms) { replayed.ReplayUntil(ms); }),
              FiringOrder(virtualClock, [&](int64_t ms) { virtualClock.Advance(ms); }));

    QtClock live;
    live.SetRate(5);
    std::vector<int64_t> ticks;
    Timer timer(live, "t", 20);
    timer.SetHandler([&] { ticks.push_back(live.NowMs()); });
    timer.SetEnabled(true);
    const int64_t armed = live.NowMs();
    RunEvents(2000, [&] { return ticks.size() >= 3; });
    live.SetFrozen(true);
    const std::size_t atFreeze = ticks.size();
    const int64_t frozenAt = live.NowMs();
    RunEvents(150);
    EXPECT_EQ(ticks.size(), atFreeze);
    EXPECT_EQ(live.NowMs(), frozenAt);
    live.SetFrozen(false);
    RunEvents(2000, [&] { return ticks.size() >= atFreeze + 3; });
    ASSERT_GE(ticks.size(), atFreeze + 3);
    for (std::size_t k = 0; k < ticks.size(); ++k)
        EXPECT_EQ(ticks[k], armed + 20 * static_cast<int64_t>(k + 1)) << "tick " << k;
}

// A state loaded at the program's start is the state the runner loads: the display, the position,
// every value and control.
TEST(Instructor, AProgramStartedFromAStateShowsWhatTheRunnerLoads) {
    QTemporaryDir dir, runnerDir;
    const QString path = dir.filePath(QStringLiteral("state.vp7s"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "# vp7sim test\n# state VP7A 0.1\nscreen 1280 1024 24\nseed 7\nini Config CheckScreen 0\nstart\n"
        "set SetPointText 37\nclick Enter\nwait 3000\npress mode\nwait 200\nrelease mode\nwait 500\n"
        "set FrictionSelect 1\npress inc\nwait 1700\nrelease inc\nwait 900\n");
    file.close();
    AppWindows windows =
        StartProgram(test::ProgramFolder(dir).toStdString(), false, {"vp7sim", "--state", path}, "");
    std::ostringstream out;
    Runner runner(out, runnerDir.path().toStdString());
    runner.Execute("state " + path.toStdString());
    Simulator& sim = windows.main->Sim();
    EXPECT_EQ(sim.state.Mode, Mode::Manual);
    EXPECT_EQ(test::DeviceState(sim), test::DeviceState(*runner.Sim()));
    // Live from there: the session's log holds the state and what follows.
    RunEvents(300);
    const auto session = windows.instructor->SessionSoFar();
    ASSERT_TRUE(session);
    EXPECT_NE(session->find("release inc\nwait 900\nwait "), std::string::npos) << *session;
}

// Frozen during a stroke the piston stops and the keys do nothing; continued, it runs on, at ten
// times the speed with the speed in the status bar.
TEST(Instructor, FreezeHoldsTheStrokeAndIgnoresTheKeys) {
    QTemporaryDir dir;
    AppWindows windows = CreateProgramWindows(test::ProgramFolder(dir).toStdString(), 1, false);
    MainWindow& main = *windows.main;
    InstructorControls& instructor = *windows.instructor;
    Simulator& sim = main.Sim();
    main.show();
    EXPECT_EQ(main.menuBar()->actions().back()->menu()->objectName(), QStringLiteral("Hilfe1")); // last
    RunEvents(3000, [&] { return sim.state.SplashDone != 0; });
    instructor.SetSpeed(10);
    EXPECT_TRUE(main.statusBar()->isVisible());
    sim.UserEdit(sim.form.SetPointText, "100");
    sim.UserKeyDown(sim.form.SetPointText, Controller::KeyEnter);
    RunEvents(3000, [&] { return sim.state.Istwert > 20; });
    instructor.SetFrozen(true);
    const double held = sim.state.Istwert;
    const QPoint modeKey =
        main.Picture()->mapTo(&main, QPoint(layout::KeyCentres[0].x, layout::KeyCentres[0].y));
    QTest::mouseClick(main.windowHandle(), Qt::LeftButton, {}, modeKey);
    RunEvents(200);
    EXPECT_EQ(sim.state.Istwert, held);
    EXPECT_EQ(sim.state.Mode, Mode::Automatic);
    instructor.SetFrozen(false);
    RunEvents(3000, [&] { return sim.state.Istwert >= 100; });
    EXPECT_EQ(sim.state.Istwert, 100);
    instructor.SetSpeed(1);
    EXPECT_FALSE(main.statusBar()->isVisible());
}
