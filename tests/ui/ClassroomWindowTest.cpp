// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a seat in a real broker's room, and the instructor's station connected through it:
// its status and the status bar's line, every command carried out on the device shown (the window's
// own, then an exercise's), the trainee's hand-in sent, the live view's frames, the room left.
#include "ShownApp.h"
#include "classroom/Seat.h"
#include "tests/classroom/Broker.h"
#include "tests/classroom/Instructor.h"
#include "ui/app/ClassroomControl.h"
#include "ui/app/InstructorControls.h"
#include "ui/classroom/InstructorStation.h"
#include "ui/classroom/SeatTile.h"
#include "ui/device/MenuBar.h"
#include "ui/training/ExerciseSession.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <optional>
#include <unistd.h>

using namespace vp7;

namespace {

constexpr const char* kExercise = R"(title "Klasse" "Class"
task "Aufgabe" "Task"
ini Config CheckScreen 0
start
check Mode <= 1 "Im Betrieb" "In operation"
)";

std::string ExerciseCommand() {
    return WriteSeatCommand({SeatCommandKind::OpenExercise, kExercise});
}

} // namespace

TEST(ClassroomWindow, TheWindowIsASeatThatCarriesOutTheRoomsCommands) {
    QTemporaryDir dir;
    test::Broker broker(std::filesystem::path(dir.path().toStdString()) / "broker");
    ASSERT_TRUE(broker.Start());
    // The program's own clock: freezing and speed are the real clock's.
    std::optional<AppWindows> windows(CreateProgramWindows(test::ProgramFolder(dir).toStdString(), 1, false));
    MainWindow& main = *windows->main;
    main.show();
    ClassroomControl& classroom = *windows->classroom;
    EXPECT_EQ(classroom.InRoom(), nullptr); // off until asked
    EXPECT_FALSE(main.Menus().Action(ActionId::ClassroomDisconnect)->isEnabled());

    test::Instructor instructor;
    ASSERT_TRUE(instructor.Connect(broker.Port(), {"vp7/r1/seat/+/#"}));
    ClassroomSettings settings;
    settings.port = static_cast<uint16_t>(broker.Port());
    settings.room = "r1";
    settings.seat = "anna";
    ASSERT_TRUE(classroom.Join(settings, ""));
    const auto until = [&](const std::function<bool()>& done) {
        test::RunEvents(8000, done);
        return done();
    };
    // What arrived on the seat's `topic` holding `part`, the window's events running meanwhile.
    const auto arrived = [&](const std::string& topic, const std::string& part) {
        std::string found;
        test::RunEvents(8000, [&] {
            for (const auto& m : instructor.Received())
                if (m.topic == "vp7/r1/seat/anna/" + topic && m.payload.find(part) != std::string::npos)
                    found = m.payload;
            return !found.empty();
        });
        return found;
    };
    const auto seen = [&](const std::string& part) { return !arrived("status", part).empty(); };
    ASSERT_TRUE(seen("\"variant\":\"VP7A\""));
    auto* line = main.findChild<QLabel*>(QStringLiteral("ClassroomShown"));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(until([&] { return line->text() == QStringLiteral("Classroom r1, seat anna: connected"); }))
        << line->text().toStdString();
    EXPECT_TRUE(line->isVisible());

    // Freeze, speed and a hidden fault on the window's own device.
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"freeze"})"));
    EXPECT_TRUE(until([&] { return windows->instructor->Frozen(); }));
    EXPECT_TRUE(seen("\"frozen\":true"));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/seat/anna", R"({"command":"continue"})"));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/seat/anna", R"({"command":"speed","value":2})"));
    EXPECT_TRUE(until([&] { return windows->instructor->Speed() == 2 && !windows->instructor->Frozen(); }));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"speed","value":1000})")); // refused
    ASSERT_TRUE(
        instructor.Publish("vp7/r1/cmd/all", R"({"command":"fault","option":"FrictionSelect","on":true})"));
    auto* friction = main.findChild<QCheckBox*>(QStringLiteral("FrictionSelect"));
    ASSERT_NE(friction, nullptr);
    EXPECT_TRUE(until([&] { return friction->isChecked(); }));
    EXPECT_EQ(windows->instructor->Speed(), 2);

    // A message, shown without stopping the device.
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"message","text":"Pause <b>now</b>"})"));
    QMessageBox* box = nullptr;
    EXPECT_TRUE(
        until([&] { return (box = main.findChild<QMessageBox*>(QStringLiteral("InstructorMessage"))); }));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Pause <b>now</b>"));
    EXPECT_FALSE(box->isModal());
    box->close();

    // The live view's frames while asked for.
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/seat/anna", R"({"command":"watch","on":true})"));
    EXPECT_FALSE(arrived("picture", "\xFF\xD8").empty());

    // An exercise from the room takes the window's place; the instructor's hand-in sends its result.
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", ExerciseCommand()));
    EXPECT_TRUE(until([&] { return main.CurrentExercise() != nullptr; })) << "exercise not started";
    ASSERT_NE(main.CurrentExercise(), nullptr);
    EXPECT_TRUE(seen("\"exercise\":\"Class\""));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"freeze"})"));
    EXPECT_TRUE(until([&] { return main.CurrentExercise()->Frozen(); }));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"continue"})"));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"handin"})"));
    const std::string handIn = arrived("event", "\"handin\"");
    EXPECT_NE(handIn.find("\"exercise\":\"Class\""), std::string::npos) << handIn;
    test::RunEvents(200);
    for (QWidget* w : QApplication::topLevelWidgets()) // the result shown to the trainee
        if (auto* result = qobject_cast<QDialog*>(w); result && result->isVisible()) result->accept();

    // The station on the same broker sees the seat and steers it.
    settings.stationUser = "";
    InstructorStation* station = classroom.OpenStation(settings, "");
    ASSERT_NE(station, nullptr);
    EXPECT_TRUE(until([&] { return station->Tile(QStringLiteral("anna")) != nullptr; }));
    station->Send({SeatCommandKind::Message, "hello"});
    EXPECT_TRUE(until([&] {
        for (QWidget* w : QApplication::allWidgets())
            if (auto* shown = qobject_cast<QMessageBox*>(w);
                shown && shown->objectName() == QStringLiteral("InstructorMessage") &&
                shown->text() == "hello")
                return true;
        return false;
    }));

    // Leaving, the room hears it at once.
    classroom.Leave();
    EXPECT_FALSE(line->isVisible());
    EXPECT_TRUE(seen("\"online\":false"));
    main.EndExercise();
    windows.reset();
}

// An exercise from the room acts on its own device: its settings lines (a plant server switched on, the
// room's broker moved) change nothing of the seat's own settings, neither now nor after a restart.
TEST(ClassroomWindow, AnExerciseFromTheRoomLeavesTheSeatsSettingsAlone) {
    QTemporaryDir dir;
    const std::string folder = test::ProgramFolder(dir).toStdString();
    const QString ini = dir.filePath(QStringLiteral("Config/VP7.ini"));
    const std::string hostile = "title \"x\" \"Hostile\"\nini Modbus Server 1\nini Modbus Port 1502\n"
                                "ini Classroom Host evil.example\nini Classroom Joined 1\nstart\n";
    {
        AppWindows windows = CreateProgramWindows(folder, 1, false);
        windows.main->show();
        windows.classroom->OpenExercise(hostile);
        ASSERT_NE(windows.main->CurrentExercise(), nullptr);
        windows.main->EndExercise();
        windows.main->close();
    }
    const QByteArray written = test::Bytes(ini);
    EXPECT_FALSE(written.contains("evil.example")) << written.toStdString();
    EXPECT_FALSE(written.contains("Server=1")) << written.toStdString();
    AppWindows again = CreateProgramWindows(folder, 1, false);
    EXPECT_EQ(again.classroom->InRoom(), nullptr);
    EXPECT_FALSE(test::Bytes(ini).contains("evil.example"));
}
