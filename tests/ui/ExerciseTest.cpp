// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShownApp.h"
#include "model/PictureLayout.h"
#include "platform/Sha256.h"
#include "session/script/Runner.h"
#include "sim/Simulator.h"
#include "support/DeviceState.h"
#include "ui/app/MainWindow.h"
#include "ui/device/MenuBar.h"
#include "ui/device/PictureWidget.h"
#include "ui/training/ExerciseSession.h"
#include "ui/training/Player.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTime>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <sstream>

using namespace vp7;

namespace {

constexpr char kExercise[] = R"(title "Handbetrieb" "Manual mode"
task "Schalten Sie in den Handbetrieb." "Switch to manual mode."
ini Config CheckScreen 0
start
set LeakageSelect 1
hide LeakageSelect
lock FrictionSelect
check Mode = 1 "Handbetrieb" "Manual mode"
check Istwert within 0 100 "Stellung gültig" "Position valid"
question "Was leckt?" "What leaks?"
choice "Nichts" "Nothing"
choice "Der Antrieb" "The actuator" correct
)";

using test::Bytes;
using test::WriteFile;

} // namespace

// The exercise's device shows its panel and keeps the hidden and locked controls from the trainee; the
// trainee's work is handed in and judged, and the report and the recording lie in the data folder.
TEST(Exercise, IsWorkedOnHandedInAndReported) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("manual.vp7x"));
    ASSERT_TRUE(WriteFile(path, kExercise));
    const auto started = test::StartExercise(path, kExercise, dir, QStringLiteral("Anna B."));
    ExerciseSession& session = *started;
    DeviceWindow& window = session.Window();
    ASSERT_TRUE(session.Recording().Running());
    EXPECT_EQ(session.Panel()->findChild<QLabel*>(QStringLiteral("ExerciseTitle"))->text(), "Manual mode");
    EXPECT_TRUE(
        session.Panel()->findChild<QLabel*>(QStringLiteral("ExerciseTasks"))->text().contains("Switch"));
    EXPECT_FALSE(window.findChild<QCheckBox*>(QStringLiteral("LeakageSelect"))->isVisible());
    EXPECT_FALSE(window.findChild<QCheckBox*>(QStringLiteral("FrictionSelect"))->isEnabled());

    QTest::qWait(200); // the start-up tick, after which the scene is set
    EXPECT_TRUE(window.Sim().form.LeakageSelect.checked);
    QTest::mouseClick(window.Picture(), Qt::LeftButton, {},
                      QPoint(layout::KeyCentres[0].x, layout::KeyCentres[0].y));
    for (std::size_t i = 0; i < window.Trend().Events().Size(); ++i) // the hidden fault leaves no mark
        EXPECT_NE(window.Trend().Events()[i].kind, TrendEventKind::Option);
    const ExerciseResult& result = session.HandIn(1);
    EXPECT_EQ(result.Passed(), 3);
    EXPECT_EQ(result.Total(), 3);

    const QByteArray html = Bytes(session.ReportPath() + ".html");
    EXPECT_TRUE(html.contains("Anna B."));
    // The exercise and the recording by their SHA-256, for `verify`.
    EXPECT_TRUE(html.contains(QByteArray::fromStdString(Sha256Hex(kExercise))));
    EXPECT_TRUE(
        html.contains(QByteArray::fromStdString(Sha256Hex(Bytes(session.RecordingPath()).toStdString()))));
    EXPECT_TRUE(Bytes(session.ReportPath() + ".pdf").startsWith("%PDF"));
    const QByteArray recording = Bytes(session.RecordingPath());
    EXPECT_TRUE(recording.contains("\nexercise " + QFileInfo(path).absoluteFilePath().toUtf8() + "\n"));
    EXPECT_TRUE(recording.contains("\ndown 378 356 left\n"));

    // The recording plays the session in the window's player, the exercise's scene included.
    const auto player = OpenPlayer(nullptr, session.RecordingPath(), false);
    ASSERT_TRUE(player);
    player->SetPaused(true);
    player->PlayToEnd();
    const Simulator& played = player->Window().Sim();
    EXPECT_EQ(played.state.Mode, Mode::Manual);
    EXPECT_EQ(played.state.Istwert, window.Sim().state.Istwert);
    EXPECT_TRUE(played.form.LeakageSelect.checked);
}

// A scene's timed command that would write a file the exercise names is refused when it comes, in the
// window as in the runner, even in an exercise that was never checked.
TEST(Exercise, WritesNoFileItNames) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("target.txt"));
    WriteFile(target, "keep");
    Exercise unread;
    unread.settings = {"ini Config CheckScreen 0"};
    unread.timed = {{0, 3, "snapshot " + target.toStdString()}, {50, 4, "rewind 0"}};
    ExerciseSession session(std::move(unread), std::nullopt, dir.filePath(QStringLiteral("e.vp7x")),
                            QStringLiteral("Anna"), dir.path().toStdString(),
                            std::make_unique<QTemporaryDir>(), false);
    QTest::qWait(300);
    EXPECT_EQ(Bytes(target), "keep");
    EXPECT_TRUE(session.Recording().Running());
}

// Opened from the menu, an exercise that starts from a saved state shows the state's device with the
// scene set on it, as the runner loads them; the recording begins after the state.
TEST(Exercise, FromASavedStateShowsTheState) {
    QTemporaryDir dir, runnerDir;
    WriteFile(dir.filePath(QStringLiteral("state.vp7s")),
              "# state VP7A 0.1\nseed 7\nini Config CheckScreen 0\nstart\nset SetPointText 37\nclick Enter\n"
              "wait 3000\npress mode\nwait 200\nrelease mode\nwait 500\n");
    const QString path = dir.filePath(QStringLiteral("manual.vp7x"));
    WriteFile(path, "title \"Reibung\" \"Friction\"\nstate state.vp7s\nset FrictionSelect 1\n");
    QTimer nameGiven;
    QObject::connect(&nameGiven, &QTimer::timeout, [] {
        if (auto* ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
            ask->setTextValue(QStringLiteral("Anna"));
            ask->accept();
        }
    });
    nameGiven.start(10);
    QElapsedTimer opening;
    opening.start();
    const auto session =
        OpenExercise(nullptr, path, dir.path().toStdString(), dir.path().toStdString(), false);
    nameGiven.stop();
    ASSERT_TRUE(session);
    Simulator& sim = session->Window().Sim();
    EXPECT_EQ(sim.state.Mode, Mode::Manual);
    EXPECT_EQ(test::DeviceState(sim),
              test::RunnerDeviceState(runnerDir.path().toStdString(),
                                      {"state " + dir.filePath(QStringLiteral("state.vp7s")).toStdString(),
                                       "set FrictionSelect 1"}));
    // The exercise's time starts where the state leaves off, not with the state's own 3.7 s: on a busy
    // PC the opening itself may take a second, but never less than what the exercise counts (the two
    // clocks round their milliseconds apart).
    constexpr int64_t kRoundingMs = 1;
    EXPECT_LE(session->ElapsedMs(), opening.elapsed() + kRoundingMs);
    session->Recording().Stop();
    EXPECT_TRUE(Bytes(session->RecordingPath())
                    .contains("\nexercise " + QFileInfo(path).absoluteFilePath().toUtf8() + "\n"));
}

// Two hand-ins of the same exercise and name in the same second keep their own recordings and reports;
// the trainee's name is shown as typed, never as markup.
TEST(Exercise, HandInsOfTheSameNameInOneSecondKeepBoth) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("manual.vp7x"));
    WriteFile(path, kExercise);
    const QString trainee = QStringLiteral("<b>Anna</b><img src=\"x.png\">");
    // Early in a second, so that both fall in it.
    while (QTime::currentTime().msec() > 100)
        QThread::msleep(5);
    const auto first = test::StartExercise(path, kExercise, dir, trainee);
    const auto second = test::StartExercise(path, kExercise, dir, trainee);
    EXPECT_NE(first->RecordingPath(), second->RecordingPath());
    for (const char* name : {"ExerciseTrainee", "ExerciseTitle"}) {
        const auto* label = first->Panel()->findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_TRUE(label) << name;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
    }
    first->HandIn(1);
    second->HandIn(0);
    EXPECT_NE(first->ReportPath(), second->ReportPath());
    EXPECT_TRUE(Bytes(first->ReportPath() + ".html").contains("The actuator"));
    EXPECT_TRUE(Bytes(second->ReportPath() + ".html").contains("Nothing"));
    for (const auto* session : {first.get(), second.get()})
        EXPECT_TRUE(Bytes(session->RecordingPath()).contains("\nexercise "))
            << session->RecordingPath().toStdString();
}

// The exercise's device speaks the program's language beside the panel, whatever the exercise's own
// settings say, and its recording plays in that language too.
TEST(Exercise, SpeaksTheProgramsLanguage) {
    const struct {
        bool german;
        const char* fileSays;
    } rows[] = {{true, ""}, {true, "ini Config Sprache English\n"}, {false, "ini Config Sprache Deutsch\n"}};
    for (const auto& row : rows) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("e.vp7x"));
        const std::string text = std::string("title \"T\" \"T\"\nini Config CheckScreen 0\n") + row.fileSays +
                                 "start\ncheck Mode = 1 \"Hand\" \"Manual\"\n";
        WriteFile(path, text);
        const auto session = test::StartExercise(path, text, dir, QStringLiteral("Anna"), row.german);
        const Language expected = row.german ? Language::German : Language::English;
        EXPECT_EQ(session->Window().Sim().state.Language, expected) << row.fileSays;
        EXPECT_EQ(session->Window().Menus().Action(ActionId::Play)->text(),
                  row.german ? "Aufzeichnung abspielen…" : "Play recording…")
            << row.fileSays;
        QTest::qWait(100);
        session->Recording().Stop();
        const auto player = OpenPlayer(nullptr, session->RecordingPath(), row.german);
        ASSERT_TRUE(player);
        EXPECT_EQ(player->Window().Sim().state.Language, expected) << row.fileSays;
    }
}

// A control hidden from the trainee leaves no empty row: the rows below it in its group close up, the
// form's own rows lying in the group too, and the group shrinks by the rows it lost; shown again, all
// goes back to its place. Nothing outside the groups moves.
TEST(Exercise, HiddenControlsLeaveNoGap) {
    const struct {
        std::set<std::string> hidden;
        const char* moved;
        int top; // where it then lies, at 100 %
        const char* group;
        int groupShorter;
    } rows[] = {
        {{"BlockDownSelect", "BlockUpSelect"}, "FrictionSelect", 40, "ZorizOptions", 48},
        {{"NoPreasureSelect"}, "BottomEndError", 448 - 24, "ZorizOptions", 24},
        {{"ExtendedFaultsSelect"}, "InitErrorSelect", 429 - 15, "ZorizOptions", 15},
        {{"InitErrorSelect", "BottomEndError", "TopEndError", "MoveRangeError"},
         "ExtendedFaultsSelect",
         190,
         "ZorizOptions",
         19 + 3 * 24},
        {{"AlarmModulSelect"}, "StromModulSelect", 16, "OptionsSelect", 22},
        {{"HelpKeys"}, "HelpOthers", 24, "HelpSelect", 24},
        {{"HorizLeverError"}, "InitErrorSelect", 429, "ZorizOptions", 0}, // never shown: no row of its own
    };
    for (const auto& row : rows) {
        test::ShownApp app;
        const FormState& form = app.main.Sim().form;
        const auto widget = [&](const char* name) { return app.main.findChild<QWidget*>(name); };
        for (const double zoom : {1.0, 2.0}) {
            app.main.ApplyZoom(zoom);
            app.main.Restrict(row.hidden, {});
            EXPECT_EQ(widget(row.moved)->y(), std::lround(row.top * zoom)) << row.moved << " " << zoom;
            EXPECT_EQ(widget(row.group)->height(),
                      std::lround((form.Find(row.group)->height - row.groupShorter) * zoom))
                << row.moved << " " << zoom;
            EXPECT_EQ(widget("SetpointDimSelect")->y(), std::lround(form.SetpointDimSelect.top * zoom))
                << "outside the groups";
        }
        app.main.Restrict({}, {});
        EXPECT_EQ(widget(row.moved)->y(), std::lround(form.Find(row.moved)->top * 2.0)) << row.moved;
        EXPECT_EQ(widget(row.group)->height(), std::lround(form.Find(row.group)->height * 2.0)) << row.moved;
    }
}

// During an exercise its recording runs until the hand-in, and no other recording, exercise or session
// is loaded into its device: the items, greyed, are refused with a word when reached all the same.
TEST(Exercise, KeepsItsRecordingToTheHandIn) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("manual.vp7x"));
    WriteFile(path, kExercise);
    const auto session = test::StartExercise(path, kExercise, dir, QStringLiteral("Anna"), true);
    DeviceWindow& window = session->Window();
    test::MessageBoxes boxes;
    for (const ActionId id :
         {ActionId::StopRecording, ActionId::Record, ActionId::Play, ActionId::Exercise}) {
        QAction* item = window.Menus().Action(id);
        item->setEnabled(true); // greyed: the menus' test sees to that
        item->trigger();
        test::RunEvents(100, [&] { return !boxes.texts.isEmpty(); });
        ASSERT_EQ(boxes.texts.size(), 1) << item->text().toStdString();
        EXPECT_TRUE(boxes.texts.takeFirst().startsWith("Während einer Übung")) << item->text().toStdString();
        EXPECT_TRUE(session->Recording().Running());
    }
    session->HandIn(1);
    EXPECT_FALSE(session->Recording().Running());
}

// At the time limit the work is judged as it stands then, the time taken being the limit, however long
// the notice stays open and whatever happens after it.
TEST(Exercise, IsJudgedWhenTheTimeIsUp) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("limit.vp7x"));
    constexpr char kLimited[] = "title \"T\" \"T\"\nini Config CheckScreen 0\nstart\nlimit 1000\n"
                                "at 1600 set FrictionSelect 1\ncheck FrictionSelect = 0 \"Keine\" \"None\"\n";
    WriteFile(path, kLimited);
    const auto session = test::StartExercise(path, kLimited, dir);
    QElapsedTimer open;
    QTimer lateAnswer; // the notice is read only a while after it came
    QObject::connect(&lateAnswer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return open.invalidate();
        if (!open.isValid()) open.start();
        if (open.elapsed() > 1500) box->done(QMessageBox::Ok);
    });
    lateAnswer.start(10);
    test::RunEvents(8000, [&] { return session->Result().has_value(); });
    ASSERT_TRUE(session->Result());
    EXPECT_EQ(session->Result()->takenMs, 1000);
    EXPECT_EQ(session->Result()->Passed(), 1);
}

// The trainer freezes the exercise from its panel while talking to the class: the device takes no input
// and the time stands, then both go on.
TEST(Exercise, TheTrainerFreezesItFromItsPanel) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("manual.vp7x"));
    WriteFile(path, kExercise);
    const auto session = test::StartExercise(path, kExercise, dir, QStringLiteral("Anna"), true);
    auto* freeze = session->Panel()->findChild<QPushButton*>(QStringLiteral("FreezeExercise"));
    ASSERT_TRUE(freeze);
    QTest::qWait(200);
    freeze->click();
    ASSERT_TRUE(session->Frozen());
    const int64_t at = session->ElapsedMs();
    QTest::qWait(300);
    EXPECT_EQ(session->ElapsedMs(), at);
    EXPECT_FALSE(session->Window().Form()->isEnabled());
    EXPECT_FALSE(session->Panel()->findChild<QPushButton*>(QStringLiteral("HandIn"))->isEnabled());
    EXPECT_EQ(session->Panel()->findChild<QLabel*>(QStringLiteral("ExerciseTime"))->text(), "Angehalten");
    ASSERT_TRUE(freeze->isEnabled());
    freeze->click();
    EXPECT_FALSE(session->Frozen());
    QTest::qWait(300);
    EXPECT_GT(session->ElapsedMs(), at);
    EXPECT_TRUE(session->Window().Form()->isEnabled());
}

// An exercise the program's window lets go (ended, or replaced by the next one) goes only when the
// events come round again: its device stands still from the moment it is let go, so no tick of its
// clock reaches it while or after it goes, whatever runs the events then.
TEST(Exercise, ALetGoExercisesDeviceStandsStillBeforeItGoes) {
    enum class LetGo { Ended, Replaced };
    for (const LetGo how : {LetGo::Ended, LetGo::Replaced}) {
        test::ShownApp app;
        const QString path = app.dir.filePath(QStringLiteral("manual.vp7x"));
        ASSERT_TRUE(WriteFile(path, kExercise));
        auto session = test::StartExercise(path, kExercise, app.dir);
        const Simulator& sim = session->Window().Sim();
        const auto ticking = [&sim] {
            return std::ranges::any_of(
                std::initializer_list<const Timer*>{&sim.Timer1, &sim.Timer2, &sim.DiagnosticTimer,
                                                    &sim.KeyTimer, &sim.AlarmBlinkTimer,
                                                    &sim.SetpointRampTimer},
                [&sim](const Timer* timer) { return sim.clock.NextTick(*timer).has_value(); });
        };
        app.main.RunExercise(std::move(session));
        test::RunEvents(100);
        ASSERT_TRUE(ticking()) << static_cast<int>(how);
        if (how == LetGo::Ended)
            app.main.EndExercise();
        else
            app.main.RunExercise(test::StartExercise(path, kExercise, app.dir));
        EXPECT_FALSE(ticking()) << static_cast<int>(how);
        test::RunEvents(100);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        test::RunEvents(100);
    }
}
