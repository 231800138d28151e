// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a seat in a real broker's room, and the instructor's station connected through it:
// its status and the status bar's line, every command carried out on the device shown (the window's
// own, then an exercise's), the trainee's hand-in sent, the live view's frames, the room left.
#include "DocumentsIn.h"
#include "ShownApp.h"
#include "broker/SeatLink.h"
#include "classroom/DeviceStatus.h"
#include "classroom/HandInVerifier.h"
#include "classroom/RunnerSeat.h"
#include "classroom/Seat.h"
#include "session/SavedState.h"
#include "session/StateFile.h"
#include "session/exercise/KeptExercise.h"
#include "sim/Simulator.h"
#include "tests/classroom/Broker.h"
#include "tests/classroom/Instructor.h"
#include "ui/app/ClassroomControl.h"
#include "ui/app/InstructorControls.h"
#include "ui/classroom/InstructorStation.h"
#include "ui/classroom/SeatTile.h"
#include "ui/classroom/StationSeatActions.h"
#include "ui/device/MenuBar.h"
#include "ui/training/ExerciseSession.h"
#include "ui/training/Player.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>
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

// The window's seat in the test's room.
ClassroomSettings AnnaInRoom(const test::Broker& broker) {
    ClassroomSettings settings;
    settings.port = static_cast<uint16_t>(broker.Port());
    settings.room = "r1";
    settings.seat = "anna";
    settings.trainee = "Anna Bähr";
    return settings;
}

// The program's windows and a broker of the test's own. The program's own clock: freezing and speed are
// the real clock's.
struct ProgramAndBroker {
    QTemporaryDir dir;
    test::Broker broker{std::filesystem::path(dir.path().toStdString()) / "broker"};
    std::optional<AppWindows> windows{CreateProgramWindows(test::ProgramFolder(dir).toStdString(), 1, false)};
};

// A runner's device as a seat of the test's room, in a program folder made for it.
struct RunnerInRoom {
    RunnerInRoom(const std::filesystem::path& program, int port, const std::string& name)
        : runner(out, MadeFolder(program)),
          seat(runner, (program / "Classroom").string(), log, &SeatLink::Make) {
        runner.Execute("classroom 127.0.0.1 " + std::to_string(port) + " r1 " + name);
    }
    static std::string MadeFolder(const std::filesystem::path& folder) {
        std::filesystem::create_directories(folder);
        return folder.string();
    }
    // Lets the window's events run, the runner's seat polled between them, until `done` or `ms` passed.
    bool Until(int ms, const std::function<bool()>& done) {
        test::RunEvents(ms, [&] {
            seat.Poll();
            return done();
        });
        return done();
    }
    std::ostringstream out, log;
    Runner runner;
    RunnerSeat seat;
};

// Closes the result the hand-in showed the trainee.
void AcceptShownResults() {
    test::RunEvents(200);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* result = qobject_cast<QDialog*>(w); result && result->isVisible()) result->accept();
}

} // namespace

TEST(ClassroomWindow, TheWindowIsASeatThatCarriesOutTheRoomsCommands) {
    ProgramAndBroker program;
    auto& [dir, broker, windows] = program;
    ASSERT_TRUE(broker.Start());
    MainWindow& main = *windows->main;
    main.show();
    ClassroomControl& classroom = *windows->classroom;
    EXPECT_EQ(classroom.InRoom(), nullptr); // off until asked
    EXPECT_FALSE(main.Menus().Action(ActionId::ClassroomDisconnect)->isEnabled());

    test::Instructor instructor;
    ASSERT_TRUE(instructor.Connect(broker.Port(), {"vp7/r1/seat/+/#"}));
    ClassroomSettings settings = AnnaInRoom(broker);
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

    // Freeze and speed on the window's own device (its hidden faults come from the station below).
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"freeze"})"));
    EXPECT_TRUE(until([&] { return windows->instructor->Frozen(); }));
    EXPECT_TRUE(seen("\"frozen\":true"));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/seat/anna", R"({"command":"continue"})"));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/seat/anna", R"({"command":"speed","value":2})"));
    EXPECT_TRUE(until([&] { return windows->instructor->Speed() == 2 && !windows->instructor->Frozen(); }));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"speed","value":1000})")); // refused

    // A message, shown without stopping the device.
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"message","text":"Pause <b>now</b>"})"));
    QMessageBox* box = nullptr;
    EXPECT_TRUE(
        until([&] { return (box = main.findChild<QMessageBox*>(QStringLiteral("InstructorMessage"))); }));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(windows->instructor->Speed(), 2);
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
    // under the name the trainee gave when joining, not the seat's
    EXPECT_EQ(main.CurrentExercise()->Panel()->findChild<QLabel*>(QStringLiteral("ExerciseTrainee"))->text(),
              QStringLiteral("Name: Anna Bähr"));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"freeze"})"));
    EXPECT_TRUE(until([&] { return main.CurrentExercise()->Frozen(); }));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"continue"})"));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"handin"})"));
    const std::string handIn = arrived("event", "\"handin\"");
    EXPECT_NE(handIn.find("\"exercise\":\"Class\""), std::string::npos) << handIn;
    AcceptShownResults();

    // Leaving, the room hears it at once.
    classroom.Leave();
    EXPECT_FALSE(line->isVisible());
    EXPECT_TRUE(seen("\"online\":false"));
    main.EndExercise();
    windows.reset();
}

// The station judges every hand-in itself: a window seat's and a runner seat's genuine work, each on
// the seed the station chose for it, shows the replay's score under the trainee's name.
TEST(ClassroomWindow, TheStationGradesEachHandInItself) {
    namespace fs = std::filesystem;
    ProgramAndBroker program;
    auto& [dir, broker, windows] = program;
    ASSERT_TRUE(broker.Start());
    MainWindow& main = *windows->main;
    main.show();
    ClassroomControl& classroom = *windows->classroom;
    test::Instructor instructor;
    ASSERT_TRUE(instructor.Connect(broker.Port(), {"vp7/r1/seat/+/event"}));
    ClassroomSettings settings = AnnaInRoom(broker);
    ASSERT_TRUE(classroom.Join(settings, ""));
    RunnerInRoom benInRoom(fs::path(dir.path().toStdString()) / "runner", broker.Port(), "ben");
    auto& [out, log, runner, ben] = benInRoom;
    const test::DocumentsIn documents(dir);
    InstructorStation* station = classroom.OpenStation(settings, "");
    ASSERT_NE(station, nullptr);
    const auto until = [&](const std::function<bool()>& done) { return benInRoom.Until(20000, done); };
    ASSERT_TRUE(until([&] { return station->Tile("anna") && station->Tile("ben"); }));

    // The trainee's answer goes after the recording's end, as the station replays it.
    const std::string withQuestion = std::string(kExercise) +
                                     "question \"Frage\" \"Question\"\n"
                                     "choice \"Ja\" \"Yes\"\nchoice \"Nein\" \"No\" correct\n";
    station->Send({SeatCommandKind::OpenExercise, withQuestion}); // to each seat, a seed of its own
    ASSERT_TRUE(until([&] { return main.CurrentExercise() && runner.CurrentExercise().title.en == "Class"; }))
        << log.str();
    for (const char* line : {"wait 3000", "press mode", "wait 6000", "release mode", "choose 1", "handin"})
        runner.Execute(line);
    main.CurrentExercise()->HandIn(1);
    ASSERT_TRUE(until([&] { return station->HandIns()->rowCount() == 2 && station->Grading() == 0; }));
    std::map<std::string, HandInMessage> genuine;
    for (const auto& m : instructor.Received())
        if (const auto read = ReadHandIn(m.payload); std::holds_alternative<HandInMessage>(read))
            genuine.emplace(std::get<HandInMessage>(read).seat, std::get<HandInMessage>(read));
    ASSERT_EQ(genuine.size(), 2u);
    EXPECT_EQ(genuine.at("anna").trainee, "Anna Bähr"); // from the seat's settings
    EXPECT_EQ(genuine.at("ben").trainee, "");           // the runner asks no name
    QTableWidget& table = *station->HandIns();
    for (int row = 0; row < 2; ++row) {
        const HandInMessage& handIn = genuine.at(table.item(row, 0)->text().toStdString());
        const SeatHandIn& claim = handIn.result;
        EXPECT_EQ(table.item(row, 1)->text().toStdString(), handIn.trainee);
        EXPECT_EQ(table.item(row, 3)->text(), QStringLiteral("%1/%2").arg(claim.passed).arg(claim.total))
            << table.item(row, 0)->text().toStdString() << ": " << table.item(row, 4)->text().toStdString();
    }

    AcceptShownResults();
    main.EndExercise();
    windows.reset();
}

// The room's exercise that starts from a saved state, taken by the window's seat on the seed the station
// chose for it: the state replays on its own seed, the device draws from the seat's after it, and the
// station's verifier replays the hand-in to the seat's score.
TEST(ClassroomWindow, AnExerciseFromAStateVerifiesOnTheSeatsSeed) {
    namespace fs = std::filesystem;
    QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
    const fs::path state = folder / "stroke.vp7s";
    ASSERT_TRUE(test::WriteFile(QString::fromStdString(state.string()),
                                MakeSavedState("# vp7sim test\nseed 7\nini Config CheckScreen 0\nstart\n"
                                               "set SetPointText 60\nclick Enter\nwait 20000\n",
                                               0, ProgramVersion())));
    const std::string text = "title \"Zustand\" \"State\"\nstate " + state.string() +
                             "\ncheck Istwert within 0 100 \"Stellung\" \"Position\"\n"
                             "question \"Frage\" \"Question\"\n"
                             "choice \"Ja\" \"Yes\"\nchoice \"Nein\" \"No\" correct\n";
    const QString path = QString::fromStdString((folder / KeptExerciseName(text)).string());
    ASSERT_TRUE(test::WriteFile(path, text));
    fs::create_directories(folder / "data");
    for (const uint64_t seed : {uint64_t{1111}, uint64_t{2222}}) {
        auto started =
            StartExerciseFor(path, QStringLiteral("Anna"), (folder / "data").string(), false, seed);
        ASSERT_TRUE(std::holds_alternative<std::unique_ptr<ExerciseSession>>(started))
            << std::get<QString>(started).toStdString();
        ExerciseSession& session = *std::get<std::unique_ptr<ExerciseSession>>(started);
        EXPECT_EQ(session.Window().Sim().RandomSeed, seed);
        test::RunEvents(300);
        const ExerciseResult& result = session.HandIn(1);
        SeatHandIn handIn = HandInOf(result);
        ASSERT_TRUE(result.chosen);
        // The answer after the recording, as the seat hands it in.
        handIn.recording = test::Bytes(session.RecordingPath()).toStdString() + "choose " +
                           std::to_string(*result.chosen + 1) + "\n";
        const HandInVerdict verdict = VerifyHandIn({text, seed}, handIn);
        EXPECT_TRUE(verdict.Verified()) << seed << ": " << verdict.refusal << "\n" << handIn.recording;
        // The instructor's player shows the seat's device as well.
        const auto player = OpenPlayer(nullptr, session.RecordingPath(), false);
        ASSERT_TRUE(player);
        player->SetPaused(true);
        player->PlayToEnd();
        EXPECT_EQ(player->Window().Sim().RandomSeed, seed);
        EXPECT_EQ(player->Window().Sim().state.Istwert, session.Window().Sim().state.Istwert);
        AcceptShownResults();
    }
}

// The station's own work on a window's seat through the broker: the faults it hid listed and cleared
// all at once, the seat's state kept as a file that reads whole, and a rewind that takes the device's
// time back (the room's faults set again after it).
TEST(ClassroomWindow, TheStationSavesRewindsAndClearsTheFaultsItHid) {
    namespace fs = std::filesystem;
    ProgramAndBroker beside;
    auto& [dir, broker, windows] = beside;
    ASSERT_TRUE(broker.Start());
    MainWindow& main = *windows->main;
    main.show();
    ClassroomControl& classroom = *windows->classroom;
    ClassroomSettings settings = AnnaInRoom(broker);
    ASSERT_TRUE(classroom.Join(settings, ""));
    // Ben's seat is the runner's.
    RunnerInRoom benInRoom(fs::path(dir.path().toStdString()) / "runner", broker.Port(), "ben");
    auto& [out, log, runner, ben] = benInRoom;
    runner.Execute("start");
    const test::DocumentsIn documents(dir);
    InstructorStation* station = classroom.OpenStation(settings, "");
    ASSERT_NE(station, nullptr);
    // The lesson is kept in the user's documents, under the room and the day.
    EXPECT_TRUE(station->ClassFolder().startsWith(documents.documents + QStringLiteral("/VP7 Classroom/r1/")))
        << station->ClassFolder().toStdString();
    const auto until = [&](const std::function<bool()>& done) { return benInRoom.Until(8000, done); };
    const auto bensFriction = [&] {
        const std::size_t before = out.str().size();
        runner.Execute("print FrictionSelect");
        return out.str().substr(before);
    };
    ASSERT_TRUE(
        until([&] { return station->Tile(QStringLiteral("anna")) && station->Tile(QStringLiteral("ben")); }));
    // Both faults' boxes in the window (made anew with a rewind's device) showing `on`.
    const auto annasFaults = [&](bool on) {
        auto* friction = main.findChild<QCheckBox*>(QStringLiteral("FrictionSelect"));
        auto* leakage = main.findChild<QCheckBox*>(QStringLiteral("LeakageSelect"));
        return friction && leakage && friction->isChecked() == on && leakage->isChecked() == on;
    };
    station->Send({SeatCommandKind::SetHiddenFault, "FrictionSelect", 1, true});
    station->SendTo({QStringLiteral("anna")}, {SeatCommandKind::SetHiddenFault, "LeakageSelect", 1, true});
    ASSERT_TRUE(until([&] { return annasFaults(true) && bensFriction() == "FrictionSelect 1\n"; }));

    // Every seat's state, asked for with none chosen, kept as a file that reads whole.
    const QDir folder(station->ClassFolder());
    station->SeatActions()->RequestStates({});
    for (const QString& seat : {QStringLiteral("anna"), QStringLiteral("ben")}) {
        const QStringList pattern{seat + QStringLiteral("-*.vp7state")};
        ASSERT_TRUE(until([&] { return !folder.entryList(pattern).isEmpty(); }))
            << station->Log().join('\n').toStdString();
        const QByteArray kept = test::Bytes(folder.filePath(folder.entryList(pattern)[0]));
        const auto decoded = DecodeStateFile(kept.toStdString(), std::nullopt);
        ASSERT_TRUE(std::holds_alternative<StateFile>(decoded)) << seat.toStdString();
        EXPECT_NE(std::get<StateFile>(decoded).recording.find("start"), std::string::npos)
            << seat.toStdString();
    }

    test::RunEvents(1500);
    const int64_t before = main.Sim().clock.NowMs();
    station->SendTo({QStringLiteral("anna")}, {SeatCommandKind::Rewind, {}, 86400});
    EXPECT_TRUE(until([&] { return main.Sim().clock.NowMs() < before - 1000; }))
        << main.Sim().clock.NowMs() << " from " << before;
    ASSERT_TRUE(until([&] { return annasFaults(true); }));

    station->findChild<QPushButton*>(QStringLiteral("ClearHiddenFaults"))->click();
    EXPECT_TRUE(until([&] { return annasFaults(false) && bensFriction() == "FrictionSelect 0\n"; }));
    EXPECT_FALSE(classroom.HoldsDevice());

    classroom.Leave();
    windows.reset();
}
