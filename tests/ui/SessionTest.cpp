// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShownApp.h"
#include "formats/IniFile.h"
#include "model/PictureLayout.h"
#include "session/Backtracks.h"
#include "session/SavedState.h"
#include "session/script/RecordingLines.h"
#include "session/script/Runner.h"
#include "sim/files/Settings.h"
#include "sim/motion/Controller.h"
#include "support/DeviceState.h"
#include "ui/app/InstructorControls.h"
#include "ui/app/StateStart.h"
#include "ui/device/Dialogs.h"
#include "ui/device/MenuBar.h"
#include "ui/device/PictureWidget.h"
#include "ui/training/TrendWindow.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <sstream>

using namespace vp7;
using test::RunEvents;
using test::WriteFile;

namespace {

// 37 % in manual mode with friction, the parameter table open with a parameter changed.
constexpr char kState[] =
    "# vp7sim test\n# state VP7A 0.1\nscreen 1280 1024 24\nseed 7\nini Config CheckScreen 0\nstart\n"
    "set SetPointText 37\nclick Enter\nwait 3000\npress mode\nwait 200\nrelease mode\nwait 500\n"
    "set FrictionSelect 1\npress inc\nwait 1700\nrelease inc\nwait 900\nparam SPRA 55\n"
    "menu ParameterTabelle1\nwait 300\n";

// The device a saved state shows, as the runner loads it.
std::vector<std::string> RunnerState(std::string_view state) {
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("state.vp7s"));
    WriteFile(path, state);
    return test::RunnerDeviceState(folder.path().toStdString(), {"state " + path.toStdString()});
}

// The session so far cut at `ms`, saved as a state.
std::string CutState(InstructorControls& instructor, int64_t ms) {
    const auto session = instructor.SessionSoFar();
    return session ? MakeSavedState(CutRecording(*session, ms), 0, ProgramVersion()) : std::string();
}

// What the picture widget shows of the display: every pixel of it, and what it reads to a screen reader.
struct ShownDisplay {
    bool samePixels;
    QString read;
};
ShownDisplay Shown(PictureWidget& picture) {
    const QImage shown = picture.grab().toImage();
    const Picture& drawn = picture.Sim().image1;
    bool same = true;
    const Rect lcd = layout::LcdArea;
    for (int y = lcd.top; y < lcd.bottom; ++y)
        for (int x = lcd.left; x < lcd.right; ++x)
            same = same && shown.pixelColor(x, y) == QColor::fromRgb(drawn.Pixel(x, y));
    QAccessibleInterface* display = QAccessible::queryAccessibleInterface(&picture)->child(3);
    return {same, display->text(QAccessible::Value)};
}

// The program's windows on a virtual clock, started, the trend window open; recording when asked.
struct ProgramOnVirtualClock {
    QTemporaryDir dir;
    VirtualClock clock;
    QString recording = dir.filePath(QStringLiteral("session.vp7s"));
    AppWindows windows;
    MainWindow& main;
    explicit ProgramOnVirtualClock(bool record = false)
        : windows(CreateProgramWindows(test::ProgramFolder(dir).toStdString(), 1, false, &clock,
                                       {.recordPath = record ? recording.toStdString() : std::string()})),
          main(*windows.main) {
        main.show();
        main.Menus().Action(ActionId::Trend)->setChecked(true);
        clock.Advance(2000);
        main.AfterEvent();
    }
};

// `steps` moments of the user's input six seconds apart, chosen at random but alike in every run;
// `during` is called at each, between the input and the next.
void DriveSession(ProgramOnVirtualClock& app, int steps, const std::function<void(int step)>& during = {}) {
    std::mt19937 rng(5);
    const char* const setpoints[] = {"20", "85", "37,5", "60", "5"};
    const DeviceKey keys[] = {DeviceKey::Umschalt, DeviceKey::Kleiner, DeviceKey::Groesser};
    for (int step = 0; step < steps; ++step) {
        Simulator& sim = app.main.Sim();
        int64_t spent = 0;
        switch (rng() % 3) {
        case 0:
            sim.UserEdit(sim.form.SetPointText, setpoints[rng() % 5]);
            sim.UserKeyDown(sim.form.SetPointText, Controller::KeyEnter);
            break;
        case 1: { // a key pressed (held longer, it would need the real mouse button down)
            const DeviceKey key = keys[rng() % 3];
            sim.PressKey(key, MouseButton::Left);
            spent = 200;
            app.clock.Advance(spent);
            sim.ReleaseKey(key, MouseButton::Left);
            break;
        }
        default:
            sim.UserCheck(sim.form.FrictionSelect, !sim.form.FrictionSelect.checked);
            break;
        }
        app.clock.Advance(6000 - spent - 1357);
        app.main.AfterEvent();
        if (during) during(step);
        app.clock.Advance(1357);
    }
}

} // namespace

// A state shown in place: the same window, every widget, the picture, the parameter table and the
// trend show the new device at once, the user's input reaches it, and nothing of the old one runs on.
TEST(Session, AWindowTakesANewDeviceMadeFromAStateInPlace) {
    ProgramOnVirtualClock app;
    MainWindow& main = app.main;
    const QString path = app.dir.filePath(QStringLiteral("state.vp7s"));
    WriteFile(path, kState);
    const auto state = ReadStateFile(&main, path, 0, main.Sim().settings.IniPath(), false);
    ASSERT_TRUE(state);
    auto* friction = main.findChild<QCheckBox*>(QStringLiteral("FrictionSelect"));
    auto* setpoint = main.findChild<QLineEdit*>(QStringLiteral("SetPointText"));
    auto* table = main.findChild<ParamTableWindow*>();
    auto* trend = main.findChild<TrendWindow*>();
    ASSERT_TRUE(friction && setpoint && table && trend);
    EXPECT_FALSE(friction->isChecked());
    main.SetPictureScale(2);
    // A device key held on the keyboard is let go.
    QKeyEvent hold(QEvent::KeyPress, Qt::Key_Minus, Qt::NoModifier, QStringLiteral("-"));
    QApplication::sendEvent(main.Picture(), &hold);
    ASSERT_EQ(main.Picture()->KeyHeld(), DeviceKey::Kleiner);
    const uint64_t oldTicks = app.clock.Fired();

    ShowStateInPlace(main, *app.windows.instructor, *state);
    Simulator& sim = main.Sim();
    EXPECT_NE(&sim.clock, &app.clock) << "the new device runs on a clock of its own";
    EXPECT_EQ(test::DeviceState(sim), RunnerState(kState));
    // Drawn at the window's picture scale, and drawn again from its log at another.
    EXPECT_EQ(sim.image1.DeviceWidth(), 2 * sim.image1.Width());
    main.SetPictureScale(1);
    EXPECT_EQ(sim.image1.DeviceWidth(), sim.image1.Width());
    EXPECT_EQ(main.Picture()->KeyHeld(), DeviceKey::None);
    EXPECT_TRUE(friction->isChecked());
    EXPECT_EQ(setpoint->text(), QStringLiteral("37"));
    const ShownDisplay display = Shown(*main.Picture());
    EXPECT_TRUE(display.samePixels);
    const LcdReading lcd = ReadLcd(sim.image1);
    EXPECT_EQ(display.read.toStdString(), QString::fromStdString(lcd.upper).simplified().toStdString() +
                                              "\n" +
                                              QString::fromStdString(lcd.lower).simplified().toStdString());
    EXPECT_TRUE(table->isVisible());
    EXPECT_EQ(table->findChild<QTableWidget*>()->item(4, 1)->text(), QStringLiteral(" 5.5 "));
    EXPECT_EQ(trend->Plot()->graph(0)->dataCount(), static_cast<int>(main.Trend().Samples().Size()));

    // The old device's timers are gone with it: its clock has nothing left to fire.
    EXPECT_EQ(app.clock.NextDue(), -1);
    app.clock.Advance(5000);
    EXPECT_EQ(app.clock.Fired(), oldTicks);

    // A check box and a click on the picture reach the new device.
    QTest::mouseClick(friction, Qt::LeftButton, {}, QPoint(6, friction->height() / 2));
    EXPECT_FALSE(sim.form.FrictionSelect.checked);
    const QPoint key(layout::KeyCentres[1].x, layout::KeyCentres[1].y);
    QTest::mousePress(main.Picture(), Qt::LeftButton, {}, key);
    EXPECT_EQ(std::pair(sim.MouseX, sim.MouseY), std::pair(key.x(), key.y()));
    QTest::mouseRelease(main.Picture(), Qt::LeftButton, {}, key);
    // The session's log goes on from the state.
    const auto session = app.windows.instructor->SessionSoFar();
    ASSERT_TRUE(session);
    EXPECT_NE(session->find("menu ParameterTabelle1\nwait 300\n"), std::string::npos) << *session;
}

// Loaded through the menu, a state leaves the window where it is, with no restart; rewound (as a
// recording is, below), the window keeps the whole session in the data folder.
TEST(Session, LoadingAndRewindingReplaceTheDeviceNotTheWindow) {
    ProgramOnVirtualClock app;
    MainWindow& main = app.main;
    const QString path = app.dir.filePath(QStringLiteral("state.vp7s"));
    WriteFile(path, kState);
    QAction* load = main.findChild<QAction*>(QStringLiteral("ZustandLaden1"));
    ASSERT_NE(load, nullptr);
    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [&path] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            name->setText(path);
            QTest::keyClick(name, Qt::Key_Return);
        }
    });
    answering.start(50);
    load->trigger();
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.RestartArguments().isEmpty());
    EXPECT_EQ(test::DeviceState(main.Sim()), RunnerState(kState));

    RunEvents(300);
    ASSERT_TRUE(app.windows.instructor->RewindTo(2500));
    const QStringList kept = QDir(QString::fromStdString(main.Sim().settings.DataDir()))
                                 .entryList({QStringLiteral("rewound-*.vp7s")}, QDir::Files);
    EXPECT_EQ(kept.size(), 1);
}

// Rewound while recording, the window shows the session cut at the moment and the recording goes on
// from it, the whole session kept beside it.
TEST(Session, ARewoundRecordingGoesOnInTheSameWindow) {
    ProgramOnVirtualClock app(true);
    MainWindow& main = app.main;
    InstructorControls& instructor = *app.windows.instructor;
    Simulator& before = main.Sim();
    before.UserEdit(before.form.SetPointText, "60");
    before.UserKeyDown(before.form.SetPointText, Controller::KeyEnter);
    app.clock.Advance(3000);
    main.AfterEvent();
    ASSERT_TRUE(main.Recording().Running());
    constexpr int64_t kCutMs = 3000; // in the stroke
    const std::string cut = CutState(instructor, kCutMs);

    ASSERT_TRUE(instructor.RewindTo(kCutMs));
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.RestartArguments().isEmpty());
    EXPECT_EQ(test::DeviceState(main.Sim()), RunnerState(cut));
    ASSERT_TRUE(main.Recording().Running());
    EXPECT_EQ(main.Recording().Recorder()->Path(), app.recording.toStdString());
    RunEvents(200);
    const auto goneOn = instructor.SessionSoFar();
    ASSERT_TRUE(goneOn);
    EXPECT_EQ(goneOn->rfind(cut, 0), 0u) << *goneOn;
    EXPECT_EQ(QDir(app.dir.path()).entryList({QStringLiteral("session-rewound-*.vp7s")}, QDir::Files).size(),
              1);
}

// A long session rewound goes back through its backtracks: each moment shows the device exactly as it
// was then, however far back, and the backtracks up to the moment stay for the next rewind; the window,
// going back through its backtracks, shows the device the runner, which keeps none, replays to.
TEST(Session, ARewindRestoresTheNearestBacktrackAndReplaysOnlyWhatFollows) {
    ProgramOnVirtualClock app;
    MainWindow& main = app.main;
    InstructorControls& instructor = *app.windows.instructor;
    std::map<int64_t, std::vector<std::string>> seen; // the device at moments of the recording
    DriveSession(app, 30, [&](int step) {             // three minutes
        if (step % 7 == 3)
            seen[RecordingLengthMs(*instructor.SessionSoFar())] = test::DeviceState(main.Sim());
    });
    ASSERT_GE(main.CurrentSession().Backtracked().Count(), 17u);
    // Back and back again, to the latest moment first.
    for (auto it = seen.rbegin(); it != seen.rend(); ++it) {
        const auto [ms, device] = *it;
        ASSERT_TRUE(main.CurrentSession().Backtracked().Before(ms).has_value()) << ms;
        ASSERT_TRUE(instructor.RewindTo(ms)) << ms;
        EXPECT_EQ(test::DeviceState(main.Sim()), device) << ms;
        // The backtracks up to the moment came along, none after it.
        const auto last = main.CurrentSession().Backtracked().Before(INT64_MAX);
        ASSERT_TRUE(last.has_value()) << ms;
        EXPECT_LE(last->atMs, ms);
        RunEvents(200);
    }
    // Exactly at a backtrack, and before the first, the device is the one the runner replays the
    // session to.
    constexpr int64_t kEarly = 3000;
    ASSERT_FALSE(main.CurrentSession().Backtracked().Before(kEarly));
    for (const int64_t ms : {main.CurrentSession().Backtracked().Before(INT64_MAX)->atMs, kEarly}) {
        const std::string cut = CutState(instructor, ms);
        ASSERT_TRUE(instructor.RewindTo(ms)) << ms;
        EXPECT_EQ(test::DeviceState(main.Sim()), RunnerState(cut)) << ms;
    }
}

// YFCT changed on the device's keys after the chosen moment is undone by the rewind, whether a
// backtrack is restored or the session replayed: the parameter as it was then, also in what the
// device writes to the settings file afterwards.
TEST(Session, ARewindTakesBackAParameterChangedAfterTheMoment) {
    struct Row {
        int64_t changeAtMs, rewindToMs;
    };
    for (const Row row : {Row{14000, 8000}, Row{24000, 18000}}) {
        ProgramOnVirtualClock app;
        MainWindow& main = app.main;
        InstructorControls& instructor = *app.windows.instructor;
        const auto run = [&](int64_t ms) {
            app.clock.Advance(ms);
            main.AfterEvent();
        };
        const auto key = [&](QEvent::Type type, Qt::Key which) {
            QKeyEvent event(type, which, Qt::NoModifier, which == Qt::Key_Space ? QStringLiteral(" ") : "+");
            QApplication::sendEvent(main.Picture(), &event);
        };
        const auto hold = [&](Qt::Key which, int64_t ms) {
            key(QEvent::KeyPress, which);
            run(ms);
            key(QEvent::KeyRelease, which);
            run(300);
        };
        const int64_t startedAt = RecordingLengthMs(*instructor.SessionSoFar());
        run(row.changeAtMs - startedAt);
        // Configuration, YFCT one on, and out again: the parameters applied.
        const int32_t before = main.Sim().params.ParamTable[main.Sim().params.YFCTIndex].Value;
        hold(Qt::Key_Space, 5100);
        hold(Qt::Key_Plus, 100);
        hold(Qt::Key_Space, 5100);
        run(2000);
        Simulator& changed = main.Sim();
        ASSERT_EQ(changed.params.ParamTable[changed.params.YFCTIndex].Value, before + 1) << row.changeAtMs;
        ASSERT_EQ(changed.params.store.YFCT, before + 1);

        ASSERT_TRUE(instructor.RewindTo(row.rewindToMs)) << row.rewindToMs;
        Simulator& rewound = main.Sim();
        EXPECT_EQ(rewound.params.ParamTable[rewound.params.YFCTIndex].Value, before) << row.rewindToMs;
        EXPECT_EQ(rewound.params.store.YFCT, before) << row.rewindToMs;
        rewound.settings.SaveSettings();
        IniFile ini(rewound.settings.IniPath());
        ASSERT_TRUE(ini.Load());
        EXPECT_EQ(ini.ReadString("Parameter", "YFCT", ""), "$000" + std::to_string(before)) << row.rewindToMs;
    }
}
