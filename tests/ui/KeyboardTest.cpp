// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShownApp.h"
#include "session/script/Runner.h"
#include "sim/operation/ModeLogic.h"
#include "support/DeviceState.h"
#include "ui/device/DeviceKeyboard.h"
#include "ui/device/PictureWidget.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <sstream>

using namespace vp7;

namespace {

struct Step {
    enum Kind { Down, Up, Repeat, Wait, LeaveWindow } kind;
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers mods = Qt::NoModifier;
    int ms = 0;
};
Step Down(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    return {Step::Down, key, mods};
}
Step Up(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    return {Step::Up, key, mods};
}
Step Repeat(Qt::Key key) {
    return {Step::Repeat, key};
}
Step Wait(int ms) {
    return {Step::Wait, Qt::Key_unknown, Qt::NoModifier, ms};
}
const Step kLeaveWindow{Step::LeaveWindow};

// A key event as the system delivers it to the focused widget (auto-repeat: a release and a press
// marked as such).
void SendKey(QWidget* to, QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers mods, bool repeat = false) {
    const QString text = key == Qt::Key_Space   ? QStringLiteral(" ")
                         : key == Qt::Key_Minus ? QStringLiteral("-")
                         : key == Qt::Key_M     ? QStringLiteral("m")
                                                : QString();
    QKeyEvent event(type, key, mods, text, repeat);
    QApplication::sendEvent(to, &event);
}

void Play(test::ShownApp& app, QWidget* focus, const std::vector<Step>& steps) {
    for (const Step& s : steps) {
        switch (s.kind) {
        case Step::Down:
            SendKey(focus, QEvent::KeyPress, s.key, s.mods);
            break;
        case Step::Up:
            SendKey(focus, QEvent::KeyRelease, s.key, s.mods);
            break;
        case Step::Repeat:
            SendKey(focus, QEvent::KeyRelease, s.key, {}, true);
            SendKey(focus, QEvent::KeyPress, s.key, {}, true);
            break;
        case Step::Wait:
            app.Run(s.ms);
            break;
        case Step::LeaveWindow: {
            QWidget other;
            other.show();
            other.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
            break;
        }
        }
    }
}

} // namespace

// The device keys on the keyboard, from the picture or another control, as the window receives them.
TEST(Keyboard, TheKeysWorkTheDeviceAsTheMouseDoes) {
    const auto shift = Qt::ShiftModifier;
    // What the device shows afterwards: its mode, the manual target, the mode key latched, the friction
    // option, and the mode key drawn pressed.
    struct Outcome {
        Mode mode;
        double manualTarget;
        bool modeLatched, frictionOn, drawnPressed;
    };
    struct Row {
        const char* what;
        const char* focus;
        std::vector<Step> steps;
        Outcome expected;
    };
    const Row rows[] = {
        {"a short press switches to manual",
         "Image1",
         {Down(Qt::Key_Space), Up(Qt::Key_Space)},
         {Mode::Manual, 0, false, false, false}},
        {"held 5 s: the configuration, the key drawn pressed while held",
         "Image1",
         {Down(Qt::Key_Space), Wait(5100)},
         {Mode::Configuration, 0, false, false, true}},
        {"auto-repeat is one press, as a held mouse button, also where it is not marked (X11)",
         "Image1",
         {Down(Qt::Key_M), Up(Qt::Key_M), Down(Qt::Key_Right), Repeat(Qt::Key_Right), Repeat(Qt::Key_Right),
          Up(Qt::Key_Right), Down(Qt::Key_Right), Up(Qt::Key_Right)},
         {Mode::Manual, 0.1, false, false, false}},
        {"Shift: the right button latches",
         "Image1",
         {Down(Qt::Key_M, shift), Up(Qt::Key_M, shift)},
         {Mode::Automatic, 0, true, false, false}},
        {"focus leaving the window lets go after 1 s: a click, no configuration",
         "Image1",
         {Down(Qt::Key_Space), Wait(1000), kLeaveWindow, Wait(5000), Up(Qt::Key_Space)},
         {Mode::Manual, 0, false, false, false}},
        {"the setpoint field keeps its keys",
         "SetPointText",
         {Down(Qt::Key_Minus), Up(Qt::Key_Minus), Down(Qt::Key_M), Wait(5100), Up(Qt::Key_M)},
         {Mode::Automatic, 0, false, false, false}},
        {"a check box keeps Space; M still works the device",
         "FrictionSelect",
         {Down(Qt::Key_Space), Up(Qt::Key_Space), Down(Qt::Key_M), Up(Qt::Key_M)},
         {Mode::Manual, 0, false, true, false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        test::ShownApp app;
        app.main.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&app.main));
        app.Run(100);
        PictureWidget* picture = app.main.Picture();
        EXPECT_TRUE(picture->hasFocus()) << "the picture has the focus from the start";
        QWidget* focus = app.main.findChild<QWidget*>(QString::fromLatin1(row.focus));
        focus->setFocus();
        if (auto* field = qobject_cast<QLineEdit*>(focus)) field->clear();
        Play(app, focus, row.steps);
        app.Run(DeviceKeyboard::kRepeatGraceMs); // a key-up counts when the key stays up
        const Simulator& sim = app.main.Sim();
        const Outcome& expected = row.expected;
        EXPECT_EQ(sim.state.Mode, expected.mode);
        EXPECT_DOUBLE_EQ(sim.state.ManuellTarget, expected.manualTarget);
        EXPECT_EQ(sim.modes.LatchUmschalt != 0, expected.modeLatched);
        EXPECT_EQ(sim.form.FrictionSelect.checked, expected.frictionOn);
        // A corner of the mode key's cap, away from its symbol.
        const QPoint cap(372, 362);
        EXPECT_EQ(picture->grab().toImage().pixel(cap) != (0xFF000000 | sim.image1.Pixel(cap.x(), cap.y())),
                  expected.drawnPressed);
        if (auto* field = qobject_cast<QLineEdit*>(focus)) {
            EXPECT_EQ(field->text(), QStringLiteral("-m"));
        }
    }
}

// A session worked with the keyboard on the window, recorded, replays in the runner to the same end; the
// display reads to assistive technology as it shows.
TEST(Keyboard, AKeyboardSessionReplaysInTheRunner) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keys.vp7s"));
    std::vector<std::string> windowEnd;
    {
        VirtualClock clock;
        AppWindows windows = CreateWindows(test::ProgramFolder(dir).toStdString(), 1, &clock,
                                           {.recordPath = path.toStdString()});
        MainWindow& main = *windows.main;
        main.show();
        const auto run = [&](int ms) {
            clock.Advance(ms);
            main.AfterEvent();
        };
        const auto hold = [&](Qt::Key key, int ms, Qt::KeyboardModifiers mods = Qt::NoModifier) {
            SendKey(main.Picture(), QEvent::KeyPress, key, mods);
            run(ms);
            SendKey(main.Picture(), QEvent::KeyRelease, key, mods);
            run(300);
        };
        run(100);
        hold(Qt::Key_Space, 5200); // into the configuration
        hold(Qt::Key_Right, 150);
        hold(Qt::Key_M, 150);
        hold(Qt::Key_Right, 2500);               // repeating
        hold(Qt::Key_M, 150, Qt::ShiftModifier); // back to the parameter changed
        hold(Qt::Key_Space, 5200);               // out again, into manual mode
        hold(Qt::Key_Plus, 4000);                // faster and faster
        windowEnd = test::DeviceState(main.Sim());
        QAccessibleInterface* display = QAccessible::queryAccessibleInterface(main.Picture())->child(3);
        EXPECT_EQ(display->text(QAccessible::Name), QStringLiteral("68.1\nMAN 0"));
    }
    const std::string recorded = test::Bytes(path).toStdString();
    EXPECT_NE(recorded.find("\npress mode right shift\n"), std::string::npos) << recorded;
    const QTemporaryDir replayDir;
    EXPECT_EQ(test::RunnerDeviceState(replayDir.path().toStdString(), Runner::SplitLines(recorded)),
              windowEnd);
}
