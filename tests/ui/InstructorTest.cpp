// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShownApp.h"
#include "model/PictureLayout.h"
#include "session/script/Runner.h"
#include "sim/files/Settings.h"
#include "sim/motion/Controller.h"
#include "sim/operation/ParamSet.h"
#include "support/DeviceState.h"
#include "ui/app/InstructorControls.h"
#include "ui/app/StateStart.h"
#include "ui/device/PictureWidget.h"
#include "ui/qt/QtClock.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sstream>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

using namespace vp7;

namespace {

using test::Bytes;
using test::MessageBoxes;
using test::RunEvents;
using test::WriteFile;

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

// A file system of its own, a small one, to be filled: root only.
struct SmallDisk {
    QTemporaryDir folder;
    bool mounted = false;
    SmallDisk() {
        if (getuid() == 0)
            mounted =
                QProcess::execute(QStringLiteral("mount"),
                                  {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                   QStringLiteral("size=64k"), QStringLiteral("tmpfs"), folder.path()}) == 0;
    }
    ~SmallDisk() {
        if (mounted) QProcess::execute(QStringLiteral("umount"), {folder.path()});
    }
    void Fill() {
        QFile filler(folder.filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return;
        const QByteArray block(512, 'x');
        while (filler.write(block) == block.size()) {
        }
    }
};

constexpr char kState[] =
    "# vp7sim test\n# state VP7A 0.1\nseed 7\nini Config CheckScreen 0\nstart\nwait 500\n";

} // namespace

TEST(Instructor, TheWindowsClockReplaysAsTheVirtualOneAndKeepsItsPhaseAcrossAFreeze) {
    VirtualClock virtualClock;
    QtClock replayed;
    replayed.BeginReplay(0);
    EXPECT_EQ(FiringOrder(replayed, [&](int64_t ms) { replayed.ReplayUntil(ms); }),
              FiringOrder(virtualClock, [&](int64_t ms) { virtualClock.Advance(ms); }));

    // At the real rate: a faster one counts a busy machine's stall of a fifth of a second as the long
    // stall after which a timer starts afresh, and the phase would be lost by design.
    QtClock live;
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

// On a busy PC the real clock passes ticks before their handlers run; a state saved then loads back,
// in place and at the program's start, with those ticks due at once.
TEST(Instructor, AStateSavedWhileTicksWereOverdueLoadsBack) {
    QTemporaryDir dir, states;
    const std::string program = test::ProgramFolder(dir).toStdString();
    const QString path = states.filePath(QStringLiteral("busy.vp7state"));
    AppWindows windows = CreateProgramWindows(program, 1, false);
    RunEvents(3000, [&] { return windows.main->Sim().state.SplashDone != 0; });
    windows.main->Sim().PressKey(DeviceKey::Umschalt, MouseButton::Left); // its repeat timer runs
    std::this_thread::sleep_for(std::chrono::milliseconds(250));          // no event handled meanwhile
    ASSERT_TRUE(windows.instructor->SaveStateTo(path));
    MessageBoxes boxes;
    EXPECT_TRUE(windows.instructor->LoadStateFrom(path));
    AppWindows started = StartProgram(program, false, {"vp7sim", "--state", path}, "");
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join(u'|').toStdString();
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

// On a full disk the state saved over an older one leaves that one whole, and says so.
TEST(Instructor, ASaveOnAFullDiskKeepsTheOldStateAndSaysSo) {
    SmallDisk disk;
    if (!disk.mounted) GTEST_SKIP() << "needs root to mount a small file system";
    QTemporaryDir dir;
    AppWindows windows = CreateProgramWindows(test::ProgramFolder(dir).toStdString(), 1, false);
    RunEvents(3000, [&] { return windows.main->Sim().state.SplashDone != 0; });
    const QString path = disk.folder.filePath(QStringLiteral("state.vp7s"));
    WriteFile(path, kState);
    disk.Fill();
    MessageBoxes boxes;
    EXPECT_FALSE(windows.instructor->SaveStateTo(path));
    EXPECT_EQ(Bytes(path), kState);
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].contains(path)) << boxes.texts[0].toStdString();
    EXPECT_EQ(QDir(disk.folder.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("filler")} << "state.vp7s");
}

// An installed program's folder takes no settings, not even from a state loaded by root: the state's
// device variant comes up, from the settings in the user's folder.
TEST(Instructor, AStateLoadedIntoAnInstalledProgramKeepsItsSettingsInTheUsersFolder) {
    QTemporaryDir dir, data, states;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    const QString program = test::ProgramFolder(dir);
    WriteFile(dir.filePath(QString::fromLatin1(kInstalledMark)), {});
    const QByteArray before = Bytes(dir.filePath(QStringLiteral("Config/VP7.ini")));
    const QString path = states.filePath(QStringLiteral("state.vp7s"));
    WriteFile(path, "# vp7sim test\n# state VP7PA 0.1\nseed 7\nini Config CheckScreen 0\n"
                    "ini Config Controller VP7PA\nstart\nwait 500\n");
    {
        AppWindows windows = StartProgram(program.toStdString(), false, {"vp7sim", "--state", path}, "");
        EXPECT_EQ(windows.main->Sim().state.ControllerType, 1);
        EXPECT_EQ(windows.main->Sim().settings.BaseDir(), UserDataDir());
    }
    EXPECT_EQ(Bytes(dir.filePath(QStringLiteral("Config/VP7.ini"))), before);
    qunsetenv("XDG_DATA_HOME");
}

// What the command line names is no way to hang the start: a pipe to record into is refused with a
// message.
TEST(Instructor, TheStartRefusesAPipeToRecordInto) {
    QTemporaryDir dir, elsewhere;
    const std::string program = test::ProgramFolder(dir).toStdString();
    const QString pipe = elsewhere.filePath(QStringLiteral("pipe.vp7s"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    MessageBoxes boxes;
    AppWindows windows = StartProgram(program, false, {"vp7sim", "--record", pipe}, pipe.toStdString());
    EXPECT_FALSE(windows.main->Recording().Running());
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("not a regular file")))
        << boxes.texts[0].toStdString();
}

namespace {

// Should a reader wait on the pipe after all, writers come and go on it after a while, so that the
// test fails instead of hanging.
class PipeRescue {
public:
    explicit PipeRescue(const QString& pipe)
        : path_(QFile::encodeName(pipe).toStdString()), thread_([this] { Watch(); }) {}
    ~PipeRescue() {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    bool Rescued() const { return rescued_; }

private:
    void Watch() {
        using namespace std::chrono_literals;
        std::unique_lock lock(mutex_);
        while (!changed_.wait_for(lock, rescued_ ? 100ms : 10s, [this] { return done_; })) {
            rescued_ = true;
            if (const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0) ::close(fd);
        }
    }
    std::string path_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool done_ = false;
    std::atomic<bool> rescued_ = false;
    std::thread thread_;
};

} // namespace

// A state that is no file to read, a pipe nobody writes to above all, is refused with a message at the
// start (--state, as a second start hands it on) and from the menu, and never waits.
TEST(Instructor, AStateThatIsNoRegularFileIsRefusedAndNeverWaited) {
    QTemporaryDir dir, elsewhere;
    const std::string program = test::ProgramFolder(dir).toStdString();
    const QString pipe = elsewhere.filePath(QStringLiteral("pipe.vp7state"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const PipeRescue rescue(pipe);
    for (const QString& path : {pipe, elsewhere.path(), QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(path.toStdString());
        {
            MessageBoxes boxes;
            AppWindows windows = StartProgram(program, false, {"vp7sim", "--state", path}, "");
            EXPECT_EQ(boxes.texts.size(), 1);
        }
        AppWindows windows = CreateProgramWindows(program, 1, false);
        MessageBoxes boxes;
        EXPECT_FALSE(windows.instructor->LoadStateFrom(path));
        EXPECT_EQ(boxes.texts.size(), 1);
    }
    EXPECT_FALSE(rescue.Rescued()) << "the pipe was waited on";
}

// A state is what was saved, on any PC: loaded at the start or from the menu after this PC's settings
// changed (throttle, DEBA, YFCT), the device is the one saved (a recording state's the one the runner
// loads) and the settings file is left alone; the session's log goes on from the state. A recording
// state takes only its own settings lines, the rest at their defaults, as the runner does. A damaged
// snapshot (a byte flipped) changes nothing and says why.
TEST(Instructor, AStateLoadsAsSavedWhateverThisPcsSettingsSay) {
    QTemporaryDir dir, states, runnerDir;
    const QString ini = dir.filePath(QStringLiteral("Config/VP7.ini"));
    const std::string program = test::ProgramFolder(dir).toStdString();
    struct Row {
        QString path;
        std::vector<std::string> device;
        std::string logGoesOn; // part of the session's log after the load
    };
    Row snapshot{states.filePath(QStringLiteral("class.vp7state")), {}, "set FrictionSelect 1\n"};
    {
        AppWindows windows = CreateProgramWindows(program, 1, false);
        Simulator& sim = windows.main->Sim();
        RunEvents(3000, [&] { return sim.state.SplashDone != 0; });
        sim.UserSelect(sim.form.DrosselSelect, 3);
        for (auto [index, value] : {std::pair{sim.params.DEBAIndex, 20}, std::pair{sim.params.YFCTIndex, 0}})
            sim.params.ParamTable[index].Value = value;
        sim.params.StoreFromTable();
        sim.ApplyParameters();
        sim.UserEdit(sim.form.SetPointText, "37");
        sim.UserKeyDown(sim.form.SetPointText, Controller::KeyEnter);
        RunEvents(3000, [&] { return std::abs(sim.state.Istwert - 37) < 0.5; });
        sim.PressKey(DeviceKey::Umschalt, MouseButton::Left);
        RunEvents(200);
        sim.ReleaseKey(DeviceKey::Umschalt, MouseButton::Left);
        sim.UserCheck(sim.form.FrictionSelect, true);
        RunEvents(300);
        ASSERT_TRUE(windows.instructor->SaveStateTo(snapshot.path));
        snapshot.device = test::DeviceState(sim);
    }
    EXPECT_TRUE(IsSnapshotState(snapshot.path));
    Row recording{states.filePath(QStringLiteral("class.vp7s")), {}, "set FrictionSelect 1\nwait 500\nwait "};
    ASSERT_TRUE(
        WriteFile(recording.path,
                  "# vp7sim test\n# state VP7A 0.1\nscreen 1280 1024 24\nseed 7\nini Config CheckScreen 0\n"
                  "ini Skalen SP 37\nstart\nset SetPointText 37\nclick Enter\nwait 3000\npress mode\n"
                  "wait 200\nrelease mode\nwait 500\nset FrictionSelect 1\nwait 500\n"));
    recording.device =
        test::RunnerDeviceState(runnerDir.path().toStdString(), {"state " + recording.path.toStdString()});

    const std::string pcSettings =
        "[Config]\r\nCheckScreen=0\r\nDrossel=1\r\n[Parameter]\r\nDEBA=50\r\nYFCT=2\r\n";
    for (const Row& row : {snapshot, recording}) {
        const std::string name = row.path.toStdString();
        ASSERT_TRUE(WriteFile(ini, pcSettings));
        const auto goesOn = [&](InstructorControls& instructor) {
            RunEvents(300);
            const auto session = instructor.SessionSoFar();
            ASSERT_TRUE(session) << name;
            EXPECT_NE(session->find(row.logGoesOn), std::string::npos) << name << ":\n" << *session;
        };
        {
            AppWindows started = StartProgram(program, false, {"vp7sim", "--state", row.path}, "");
            EXPECT_EQ(test::DeviceState(started.main->Sim()), row.device) << name;
            EXPECT_EQ(Bytes(ini).toStdString(), pcSettings) << name;
            goesOn(*started.instructor);
        }
        AppWindows windows = CreateProgramWindows(program, 1, false);
        RunEvents(3000, [&] { return windows.main->Sim().state.SplashDone != 0; });
        ASSERT_TRUE(windows.instructor->LoadStateFrom(row.path)) << name;
        EXPECT_EQ(test::DeviceState(windows.main->Sim()), row.device) << name;
        EXPECT_EQ(Bytes(ini).toStdString(), pcSettings) << name;
        goesOn(*windows.instructor);
    }

    QByteArray bytes = Bytes(snapshot.path);
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x40);
    ASSERT_TRUE(WriteFile(snapshot.path, bytes.toStdString()));
    AppWindows windows = CreateProgramWindows(program, 1, false);
    // Frozen, no tick can change the device while the refusal's box is up.
    windows.instructor->SetFrozen(true);
    const auto before = test::DeviceState(windows.main->Sim());
    MessageBoxes boxes;
    EXPECT_FALSE(windows.instructor->LoadStateFrom(snapshot.path));
    EXPECT_EQ(test::DeviceState(windows.main->Sim()), before);
    windows.instructor->SetFrozen(false);
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("damaged"))) << boxes.texts[0].toStdString();
}
