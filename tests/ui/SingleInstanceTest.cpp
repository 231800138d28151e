// SPDX-License-Identifier: GPL-3.0-or-later
// The single-instance rule, tried with the real program: a second start ends at once while the first
// runs, bringing the first one's window to the front, and a lock left by a killed instance does not
// block the next start. Each user has a simulator of their own: another user's never keeps one out.
#include "ui/app/SingleInstance.h"
#include "ShownApp.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <optional>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The program with `runtime` as the user's runtime folder, where the lock lives; with none, the
// temporary folder `tmp` has the user's folder in it. `asUser` (a uid) runs it as that user.
struct Program {
    QProcess process;
    explicit Program(const QString& runtime, const QString& tmp = {}, std::optional<uid_t> asUser = {},
                     const QStringList& options = {}, const QString& workingFolder = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        if (!runtime.isEmpty()) env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        if (!tmp.isEmpty()) env.insert(QStringLiteral("TMPDIR"), tmp);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QString program = QStringLiteral(VP7SIM_EXE);
        QStringList arguments;
        if (asUser) {
            // Its own home, so that its settings have somewhere to go.
            const QString home = QDir(tmp).filePath(QStringLiteral("home-%1").arg(*asUser));
            QDir().mkpath(home);
            if (chown(QFile::encodeName(home).constData(), *asUser, *asUser) != 0) return;
            for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
                env.insert(QString::fromLatin1(name), home);
            arguments = {QStringLiteral("--reuid=%1").arg(*asUser), QStringLiteral("--regid=%1").arg(*asUser),
                         QStringLiteral("--clear-groups"), program};
            program = QStringLiteral("setpriv");
        }
        process.setProcessEnvironment(env);
        if (!workingFolder.isEmpty()) process.setWorkingDirectory(workingFolder);
        process.start(program, arguments + options);
    }
    ~Program() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

// An ordinary user to run the program as: only root can start it as another.
std::optional<uid_t> OtherUser() {
    const passwd* nobody = getuid() == 0 ? getpwnam("nobody") : nullptr;
    if (!nobody || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()) return std::nullopt;
    return nobody->pw_uid;
}

// A runtime folder of the test's own for the instances made in this process, given up at the end.
struct RuntimeFolder {
    QTemporaryDir dir;
    RuntimeFolder() { qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit()); }
    ~RuntimeFolder() { qunsetenv("XDG_RUNTIME_DIR"); }
    QString path() const { return dir.path(); }
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
    QTemporaryDir tmp; // the runtime folder
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

// Two users on one computer, sharing the temporary folder: while one's simulator runs, the other's
// starts and stays, and the second user's lock lies in a folder of their own.
TEST(SingleInstance, AnotherUsersSimulatorDoesNotKeepThisOneOut) {
    const auto other = OtherUser();
    if (!other) GTEST_SKIP() << "needs root to start the program as another user";
    QTemporaryDir tmp;
    ASSERT_EQ(chmod(QFile::encodeName(tmp.path()).constData(), 01777), 0); // as /tmp is
    Program theirs({}, tmp.path(), other);
    ASSERT_TRUE(theirs.process.waitForStarted(5000));
    // By now they hold their lock; a program that ended could not be run as them here (its folder closed).
    if (theirs.process.waitForFinished(3000)) GTEST_SKIP() << "the other user cannot run the program here";
    Program mine({}, tmp.path());
    ASSERT_TRUE(mine.process.waitForStarted(5000));
    EXPECT_FALSE(mine.process.waitForFinished(3000)) << "another user's simulator kept this one out";
    EXPECT_EQ(theirs.process.state(), QProcess::Running);
}

// The lock lies in the runtime folder when that is the user's alone; else in another folder that is,
// never in one that others may enter or that someone else made.
TEST(SingleInstance, TheLockLiesInAFolderOfTheUsersAlone) {
    QTemporaryDir runtime, tmp, theirs;
    qputenv("TMPDIR", tmp.path().toLocal8Bit());
    const auto other = OtherUser();
    if (other) {
        ASSERT_EQ(chown(QFile::encodeName(theirs.path()).constData(), *other, *other), 0);
    }
    const struct {
        QString runtime;
        std::optional<bool> taken;
    } cases[] = {
        {runtime.path(), true},
        {theirs.path(), !other},                                 // someone else's, when there is someone else
        {tmp.filePath(QStringLiteral("missing")), std::nullopt}, // made, or another taken
    };
    for (const auto& c : cases) {
        qputenv("XDG_RUNTIME_DIR", c.runtime.toLocal8Bit());
        const QString folder = QFileInfo(vp7::SingleInstance::LockPath()).path();
        struct stat info {};
        ASSERT_EQ(lstat(QFile::encodeName(folder).constData(), &info), 0) << folder.toStdString();
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_uid, getuid());
        EXPECT_EQ(info.st_mode & 077, 0u) << folder.toStdString();
        if (c.taken) {
            EXPECT_EQ(folder == c.runtime, *c.taken) << c.runtime.toStdString();
        }
    }
    qunsetenv("XDG_RUNTIME_DIR");
    qunsetenv("TMPDIR");
}

// A client that sends something else, or without end, is let go; the running instance still answers.
TEST(SingleInstance, TheSocketReadsOnlyItsShortMessage) {
    RuntimeFolder runtime;
    vp7::SingleInstance running;
    ASSERT_TRUE(running.Acquire());
    int asked = 0;
    QObject::connect(&running, &vp7::SingleInstance::RaiseRequested, [&] { ++asked; });
    for (const QByteArray& sent :
         {QByteArray("hello, is anyone there\n"), QByteArray(4 << 20, 'r'), QByteArray("raise now\n"),
          QByteArray("open state relative.vp7s\n"), QByteArray("open format /dev/sda\n"),
          QByteArray("open state /a\x1b[2Jb.vp7s\n"), QByteArray("open play\n"),
          "open state /" + QByteArray(8000, 'a') + "\n"}) {
        QLocalSocket stranger;
        stranger.connectToServer(vp7::SingleInstance::ServerName());
        ASSERT_TRUE(stranger.waitForConnected(3000));
        stranger.write(sent);
        QElapsedTimer waited;
        waited.start();
        while (stranger.state() != QLocalSocket::UnconnectedState && waited.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(stranger.state(), QLocalSocket::UnconnectedState) << sent.left(20).constData();
    }
    EXPECT_EQ(asked, 0);
    // A restart after a change of the device variant: the lock is let go before the new instance starts.
    vp7::SingleInstance restarted;
    EXPECT_FALSE(restarted.Acquire());
    running.Release();
    EXPECT_TRUE(restarted.Acquire());
    restarted.Release();
}

// The first instance here, the second the real program: it asks for the window and ends; the minimized
// window comes back. A second start given a file hands it to the first by its absolute path.
TEST(SingleInstance, ASecondStartBringsTheFirstWindowToTheFront) {
    RuntimeFolder tmp;
    vp7::test::ShownApp app;
    vp7::SingleInstance running;
    ASSERT_TRUE(running.Acquire());
    int asked = 0;
    std::vector<vp7::OpenRequest> opened;
    QObject::connect(&running, &vp7::SingleInstance::RaiseRequested, [&] {
        ++asked;
        vp7::BringToFront(app.main);
    });
    QObject::connect(&running, &vp7::SingleInstance::OpenRequested,
                     [&](const vp7::OpenRequest& request) { opened.push_back(request); });
    const QTemporaryDir here;
    const struct {
        QStringList options;
        std::optional<vp7::OpenKind> kind;
    } starts[] = {{{}, std::nullopt},
                  {{QStringLiteral("--state"), QStringLiteral("class 1.vp7state")}, vp7::OpenKind::State},
                  {{QStringLiteral("--play"), QStringLiteral("a.vp7s")}, vp7::OpenKind::Recording},
                  {{QStringLiteral("--room"), QStringLiteral("room.json")}, vp7::OpenKind::Room}};
    for (const auto& start : starts) {
        app.main.showMinimized();
        opened.clear();
        Program second(tmp.path(), {}, {}, start.options, here.path());
        QElapsedTimer waited;
        waited.start();
        while (second.process.state() != QProcess::NotRunning && waited.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            second.process.waitForFinished(10);
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(second.process.state(), QProcess::NotRunning) << "the second instance must end by itself";
        EXPECT_EQ(second.process.exitCode(), 0);
        EXPECT_FALSE(app.main.isMinimized());
        ASSERT_EQ(opened.size(), start.kind ? 1u : 0u);
        if (!start.kind) continue;
        EXPECT_EQ(opened[0].kind, *start.kind);
        EXPECT_EQ(opened[0].path, QDir(here.path()).filePath(start.options[1]).toStdString());
    }
    EXPECT_EQ(asked, 4);
    running.Release();
}
