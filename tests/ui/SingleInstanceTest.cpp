// SPDX-License-Identifier: GPL-3.0-or-later
// The single-instance rule, tried with the real program: a second start ends at once while the first
// runs, bringing the first one's window to the front, and a lock left by a killed instance does not
// block the next start.
#include "ui/app/SingleInstance.h"
#include "ShownApp.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace {

struct Program {
    QProcess process;
    explicit Program(const QString& tmp) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), tmp); // the lock lives in the temporary folder
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VP7SIM_EXE), {});
    }
    ~Program() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

bool WaitForFile(const QString& path, int ms) {
    for (int waited = 0; waited < ms; waited += 50) {
        if (QFile::exists(path)) return true;
        QThread::msleep(50);
    }
    return false;
}

} // namespace

TEST(SingleInstance, ASecondStartEndsWhileTheFirstRuns) {
    QTemporaryDir tmp;
    const QString lock = tmp.filePath(QStringLiteral("VP7Zoriz is still active.lock"));
    Program first(tmp.path());
    ASSERT_TRUE(first.process.waitForStarted(5000));
    ASSERT_TRUE(WaitForFile(lock, 10000));

    Program second(tmp.path());
    ASSERT_TRUE(second.process.waitForFinished(10000)) << "the second instance must end by itself";
    EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process.exitCode(), 0);
    EXPECT_EQ(first.process.state(), QProcess::Running);

    // A crash leaves the lock file behind; it must not keep the simulator from starting again.
    first.process.kill();
    first.process.waitForFinished(5000);
    ASSERT_TRUE(QFile::exists(lock));
    Program third(tmp.path());
    ASSERT_TRUE(third.process.waitForStarted(5000));
    EXPECT_FALSE(third.process.waitForFinished(1500)) << "a stale lock blocked the start";
}

// The first instance here, the second the real program: it asks for the window and ends; the minimized
// window comes back.
TEST(SingleInstance, ASecondStartBringsTheFirstWindowToTheFront) {
    QTemporaryDir tmp;
    qputenv("TMPDIR", tmp.path().toLocal8Bit());
    vp7::test::ShownApp app;
    app.main.showMinimized();
    vp7::SingleInstance running;
    ASSERT_TRUE(running.Acquire());
    int asked = 0;
    QObject::connect(&running, &vp7::SingleInstance::RaiseRequested, [&] {
        ++asked;
        vp7::BringToFront(app.main);
    });

    Program second(tmp.path());
    QElapsedTimer waited;
    waited.start();
    while (second.process.state() != QProcess::NotRunning && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        second.process.waitForFinished(10);
    }
    EXPECT_EQ(second.process.state(), QProcess::NotRunning) << "the second instance must end by itself";
    EXPECT_EQ(second.process.exitCode(), 0);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(app.main.isMinimized());
    running.Release();
    qunsetenv("TMPDIR");
}

// A restart after a change of the device variant: the lock is let go before the new instance starts.
TEST(SingleInstance, ReleasingTheLockLetsTheRestartedProgramIn) {
    QTemporaryDir tmp;
    qputenv("TMPDIR", tmp.path().toLocal8Bit());
    vp7::SingleInstance running, restarted;
    ASSERT_TRUE(running.Acquire());
    EXPECT_FALSE(restarted.Acquire());
    running.Release();
    EXPECT_TRUE(restarted.Acquire());
    restarted.Release();
    qunsetenv("TMPDIR");
}
