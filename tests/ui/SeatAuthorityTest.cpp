// SPDX-License-Identifier: GPL-3.0-or-later
// What the room sets at a seat holds there: the trainee's own freeze neither lifts nor shortens the
// room's, an exercise from the room leaves the trainee no freeze, and every way of the trainee's to
// replace or reset the device is refused while the room holds it. The room's commands are given to
// the window's seat target directly; its broker need not be there (the seat is in the room all the
// same, trying to connect).
#include "ShownApp.h"
#include "classroom/Seat.h"
#include "ui/app/ClassroomControl.h"
#include "ui/app/InstanceMessage.h"
#include "ui/app/InstructorControls.h"
#include "ui/device/MenuBar.h"
#include "ui/training/ExerciseSession.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using namespace vp7;

namespace {

// An exercise of one check, as the room sends it.
constexpr const char* kExercise = "title \"Raum\" \"Room\"\nini Config CheckScreen 0\nstart\n"
                                  "check Mode <= 1 \"Im Betrieb\" \"In operation\"\n";

constexpr int kNoBrokerPort = 9; // discard: nothing answers there

// The program's own windows (a real clock: freezing is the clock's), a seat of room r1.
struct SeatWindow {
    QTemporaryDir dir;
    std::optional<AppWindows> windows{CreateProgramWindows(test::ProgramFolder(dir).toStdString(), 1, false)};
    MainWindow& main = *windows->main;
    ClassroomControl& room = *windows->classroom;
    SeatWindow() {
        main.show();
        ClassroomSettings settings;
        settings.port = kNoBrokerPort;
        settings.room = "r1";
        settings.seat = "anna";
        EXPECT_TRUE(room.Join(settings, ""));
    }
    ~SeatWindow() { room.Detach(); }
    bool Frozen() const { return windows->instructor->Frozen(); }
    QAction* Item(ActionId id) const { return main.Menus().Action(id); }
};

// The trainee's own freeze in a window: its menu item, and F9.
void TriggerFreezeItem(MainWindow& window) {
    window.Menus().Action(ActionId::Freeze)->trigger();
}

void PressF9(QWidget& window) {
    window.activateWindow();
    QTest::keyClick(&window, Qt::Key_F9);
    test::RunEvents(50);
}

} // namespace

// Frozen by the room, the trainee's own freeze (the window's menu item and F9, neither once nor twice;
// the pause of an exercise the trainee opened at the seat) does not lift it; the room's continue lets
// the device go on. The trainee's own freeze outlasts the room's continue and is theirs to lift.
TEST(SeatAuthority, TheRoomsFreezeHoldsAgainstTheTraineesOwn) {
    for (const bool ownExercise : {false, true}) {
        SCOPED_TRACE(ownExercise ? "an exercise of the trainee's" : "the window");
        SeatWindow seat;
        ASSERT_NE(seat.room.InRoom(), nullptr);
        QAction* freezeItem = seat.Item(ActionId::Freeze);
        std::function<bool()> frozen = [&] { return seat.Frozen(); };
        std::function<bool()> shownFrozen = [&] { return freezeItem->isChecked(); };
        // The trainee's ways to freeze and go on, the first also the way to lift the trainee's freeze.
        std::vector<std::function<void()>> ways = {
            [&] { TriggerFreezeItem(seat.main); }, [&] { PressF9(seat.main); },
            [&] { TriggerFreezeItem(seat.main); }, [&] { PressF9(seat.main); }};
        if (ownExercise) {
            const QString path = seat.dir.filePath(QStringLiteral("own.vp7x"));
            ASSERT_TRUE(test::WriteFile(path, kExercise));
            seat.main.RunExercise(test::StartExercise(path, kExercise, seat.dir));
            ExerciseSession* own = seat.main.CurrentExercise();
            ASSERT_NE(own, nullptr);
            EXPECT_TRUE(freezeItem->isEnabled());
            auto* pause = own->Panel()->findChild<QPushButton*>(QStringLiteral("FreezeExercise"));
            ASSERT_NE(pause, nullptr);
            EXPECT_TRUE(pause->isVisible());
            frozen = [own] { return own->Frozen(); };
            shownFrozen = [pause] { return pause->isChecked(); };
            ways = {[pause] { pause->click(); }};
        }
        seat.room.SetFrozen(true);
        ASSERT_TRUE(frozen());
        for (std::size_t way = 0; way < ways.size(); ++way) {
            ways[way]();
            EXPECT_TRUE(frozen()) << "way " << way;
            EXPECT_TRUE(shownFrozen()) << "way " << way;
        }
        seat.room.SetFrozen(false);
        EXPECT_FALSE(frozen());

        ways[0]();
        ASSERT_TRUE(frozen());
        seat.room.SetFrozen(true);
        seat.room.SetFrozen(false);
        EXPECT_TRUE(frozen());
        ways[0]();
        EXPECT_FALSE(frozen());
    }
}

// Whatever the room holds the device by, each way of the trainee's to replace or reset it is refused
// with the instructor's word, and the device stays the one there was.
TEST(SeatAuthority, WhatTheRoomSetCannotBeUndoneFromTheSeat) {
    SeatWindow seat;
    const QString state = seat.dir.filePath(QStringLiteral("saved.vp7state"));
    const QString exercise = seat.dir.filePath(QStringLiteral("other.vp7x"));
    ASSERT_TRUE(test::WriteFile(exercise, kExercise));
    const auto item = [&](ActionId id) {
        return [&seat, id] {
            QAction* action = seat.Item(id);
            action->setEnabled(true); // reached even when greyed
            action->trigger();
        };
    };
    const auto secondStart = [&](OpenKind kind, const QString& path) {
        return [&seat, kind, path] { OpenForSecondStart(*seat.windows, {kind, path.toStdString()}); };
    };
    const struct {
        const char* way;
        std::function<void()> act;
    } ways[] = {
        {"load state", item(ActionId::LoadState)},
        {"rewind", item(ActionId::Rewind)},
        {"open exercise", item(ActionId::Exercise)},
        {"play recording", item(ActionId::Play)},
        {"record", item(ActionId::Record)},
        {"load configuration",
         [&] {
             QAction* load = seat.main.Menus().Item(seat.main.Sim().form.Konfigurationladen1);
             load->setEnabled(true);
             load->trigger();
         }},
        {"second start, state", secondStart(OpenKind::State, state)},
        {"second start, exercise", secondStart(OpenKind::Exercise, exercise)},
        {"second start, recording", secondStart(OpenKind::Recording, exercise)},
    };
    const struct {
        const char* hold;
        std::function<void()> set, lift;
    } holds[] = {
        {"frozen", [&] { seat.room.SetFrozen(true); }, [&] { seat.room.SetFrozen(false); }},
        {"hidden fault", [&] { seat.room.SetHiddenFault("FrictionSelect", true); },
         [&] { seat.room.SetHiddenFault("FrictionSelect", false); }},
    };
    test::MessageBoxes boxes;
    for (const auto& hold : holds) {
        hold.set();
        ASSERT_TRUE(seat.room.HoldsDevice()) << hold.hold;
        for (const auto& way : ways) {
            const Session* before = &seat.main.CurrentSession();
            way.act();
            test::RunEvents(200, [&] { return !boxes.texts.isEmpty(); });
            ASSERT_EQ(boxes.texts.size(), 1) << hold.hold << ", " << way.way;
            EXPECT_TRUE(boxes.texts.takeFirst().startsWith("Set by the instructor"))
                << hold.hold << ", " << way.way;
            EXPECT_EQ(&seat.main.CurrentSession(), before) << hold.hold << ", " << way.way;
            EXPECT_EQ(seat.main.CurrentExercise(), nullptr) << hold.hold << ", " << way.way;
            EXPECT_EQ(seat.main.CurrentPlayer(), nullptr) << hold.hold << ", " << way.way;
        }
        hold.lift();
        EXPECT_FALSE(seat.room.HoldsDevice()) << hold.hold;
    }
    // Out of the room's hold, the ways are the trainee's again: loading a state asks for its file.
    item(ActionId::LoadState)();
    test::RunEvents(200, [&] { return !boxes.texts.isEmpty(); });
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_FALSE(boxes.texts.takeFirst().startsWith("Set by the instructor"));
}

// During an exercise from the room the trainee has no freeze and no abandon: no buttons for them in its
// panel, F9 does nothing, the menu's item is greyed; another exercise and closing the exercise's window
// are refused with the instructor's word, and the exercise goes on.
TEST(SeatAuthority, AnExerciseFromTheRoomLeavesTheTraineeNoFreeze) {
    SeatWindow seat;
    seat.room.OpenExercise(kExercise, std::nullopt);
    ExerciseSession* exercise = seat.main.CurrentExercise();
    ASSERT_NE(exercise, nullptr);
    for (const char* name : {"FreezeExercise", "AbandonExercise"}) {
        auto* button = exercise->Panel()->findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_FALSE(button->isVisible()) << name;
    }
    EXPECT_FALSE(seat.Item(ActionId::Freeze)->isEnabled());
    PressF9(exercise->Window());
    EXPECT_FALSE(exercise->Frozen());
    test::MessageBoxes boxes;
    const struct {
        const char* way;
        std::function<void()> act;
    } ways[] = {
        {"another exercise",
         [&] {
             QAction* other = exercise->Window().Menus().Action(ActionId::Exercise);
             other->setEnabled(true);
             other->trigger();
         }},
        {"close its window", [&] { exercise->Window().close(); }},
    };
    for (const auto& way : ways) {
        way.act();
        test::RunEvents(200, [&] { return !boxes.texts.isEmpty(); });
        ASSERT_EQ(boxes.texts.size(), 1) << way.way;
        EXPECT_TRUE(boxes.texts.takeFirst().startsWith("Set by the instructor")) << way.way;
        EXPECT_EQ(seat.main.CurrentExercise(), exercise) << way.way;
        EXPECT_TRUE(exercise->Window().isVisible()) << way.way;
    }
}
