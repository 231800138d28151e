// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/MainWindow.h"

#include "session/Steering.h"
#include "session/language/RoomLines.h"
#include "sim/files/Settings.h"
#include "ui/device/MenuBar.h"
#include "ui/device/ZoomControl.h"
#include "ui/training/CompareDialog.h"
#include "ui/training/ExerciseSession.h"
#include "ui/training/Player.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>

namespace vp7 {

MainWindow::MainWindow(SessionOwner& sessions, int scale, SessionMode session)
    : DeviceWindow(sessions, scale, session) {
    Menus().Add(MenuPart::Program, Sim().state.Language);
    BuildRecordingItems();
    Begin(session, [this, &session] {
        if (!session.recordPath.empty())
            CurrentSession().Record(NewRecorder(session.recordPath, session.startLine));
        ShowRecording();
    });
}

// The keyboard goes first: focus changes while the window is torn down must not reach the device.
MainWindow::~MainWindow() {
    Device().StopKeyboard();
}

void MainWindow::TakeSession(std::unique_ptr<Session> next) {
    DeviceWindow::TakeSession(std::move(next));
    ShowRecording();
}

// The window's own items of "Datei": record a session (the program starts afresh into the recording),
// stop and play one, open an exercise, compare configurations. The running recording shows as a red
// dot with its time at the menu bar's right end.
void MainWindow::BuildRecordingItems() {
    const auto on = [this](ActionId id, auto handler) {
        connect(Menus().Action(id), &QAction::triggered, this, handler);
    };
    // An exercise's device refuses them even when reached while greyed.
    const auto unlessExercise = [this, on](ActionId id, auto handler) {
        on(id, [this, handler] {
            if (!RefusedInExercise()) handler();
        });
    };
    unlessExercise(ActionId::Record, [this] { AskForRecording(); });
    unlessExercise(ActionId::StopRecording, [this] { StopRecording(); });
    unlessExercise(ActionId::Play, [this] { PlayRecording(); });
    unlessExercise(ActionId::Exercise, [this] { StartExercise(); });
    on(ActionId::Compare, [this] { CompareConfigurations(this, Sim()); });
    recordingMark_ = new QLabel(this);
    recordingMark_->setObjectName(QStringLiteral("RecordingMark"));
    recordingMark_->setStyleSheet(QStringLiteral("color: #c00000; padding: 0 8px;"));
    menuBar()->setCornerWidget(recordingMark_, Qt::TopRightCorner);
    recordingClock_ = new QTimer(this);
    recordingClock_->setInterval(1000);
    connect(recordingClock_, &QTimer::timeout, this, [this] { ShowRecording(); });
}

void MainWindow::ShowRecording() {
    // A recording that cannot be opened or no longer written (a full disk, a removed medium) ends with
    // a word.
    if (Recorder() && !Recorder()->Good()) {
        const std::string path = Recorder()->Path();
        CurrentSession().StopRecording();
        Host().MessageDlg(Sim().state.Text("Die Aufzeichnung kann nicht geschrieben werden:\n",
                                           "The recording cannot be written:\n") +
                              path,
                          MsgType::Error, MsgButton::OK);
    }
    const bool on = Recording();
    Menus().Action(ActionId::Record)->setEnabled(!on && !exerciseDevice_);
    Menus().Action(ActionId::StopRecording)->setEnabled(on && !exerciseDevice_);
    recordingMark_->setVisible(on);
    if (!on) {
        recordingClock_->stop();
        return;
    }
    if (!recordingClock_->isActive()) recordingClock_->start();
    const int64_t seconds = Recorder()->ElapsedMs() / 1000;
    recordingMark_->setText(
        QStringLiteral("\u25CF %1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

void MainWindow::KeepForExercise() {
    exerciseDevice_ = true;
    for (const ActionId id : {ActionId::Play, ActionId::Exercise})
        Menus().Action(id)->setEnabled(false);
    ShowRecording();
}

void MainWindow::SteerFreeze(Steering& steering, bool frozen, FreezeAsker asker) const {
    if (asker == FreezeAsker::WindowUser && room_.inRoom && room_.inRoom())
        return steering.SetFrozen(frozen, FreezeHolder::Trainee);
    steering.SetFrozen(frozen, FreezeHolder::Instructor);
    if (asker == FreezeAsker::WindowUser && !frozen) steering.SetFrozen(false, FreezeHolder::Trainee);
}

// The room's word comes first: an exercise from the room is the instructor's as well.
bool MainWindow::RefusedInExercise() {
    const char* why = nullptr;
    if (room_.holdsDevice && room_.holdsDevice())
        why = Sim().state.Text(kRoomHoldsDeviceGerman, kRoomHoldsDeviceEnglish);
    else if (exerciseDevice_)
        why = Sim().state.Text(
            "Während einer Übung nicht möglich: Die Aufzeichnung läuft bis zur Abgabe, und es "
            "wird keine andere Aufzeichnung, Übung oder Sitzung geladen.",
            "Not during an exercise: its recording runs until it is handed in, and no other "
            "recording, exercise or session is loaded.");
    if (!why) return false;
    ShowPlainMessage(this, QMessageBox::Information, QString::fromUtf8(why));
    return true;
}

void MainWindow::StopRecording() {
    if (!Recording()) return;
    const QString path = QString::fromStdString(Recorder()->Path());
    CurrentSession().StopRecording();
    ShowRecording();
    emit RecordingStopped(path);
}

std::unique_ptr<SessionRecorder> MainWindow::NewRecorder(const std::string& path,
                                                         const std::string& startLine,
                                                         std::optional<int64_t> startMs) {
    const std::string header = "vp7sim " VP7_VERSION ", recorded " +
                               QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    return std::make_unique<SessionRecorder>(Sim(), path, header, startLine, startMs);
}

void MainWindow::StartRecording(const std::string& path, const std::string& startLine) {
    CurrentSession().Record(NewRecorder(path, startLine, Sim().clock.NowMs()));
    ShowRecording();
}

void MainWindow::ContinueRecording(const std::string& path, SessionRecorder::Continuation from) {
    CurrentSession().Record(std::make_unique<SessionRecorder>(Sim(), path, from));
    ShowRecording();
}

bool MainWindow::RestartWith(QStringList arguments) {
    restartArguments_ = std::move(arguments);
    if (close()) return true;
    restartArguments_.clear();
    return false;
}

void MainWindow::PlayRecording(const QString& path) {
    QString chosen = path;
    // Not through the host: choosing a recording to watch is no action of the device's session.
    if (chosen.isEmpty())
        chosen = QFileDialog::getOpenFileName(
            this, {}, QString::fromStdString(Sim().settings.DataDir()),
            QString::fromUtf8(Sim().state.Text("Aufzeichnung (*.vp7s);;Alle Dateien (*)",
                                               "Recording (*.vp7s);;All files (*)")));
    if (chosen.isEmpty()) return;
    player_.reset();
    player_ = OpenPlayer(this, chosen, Sim().state.Language == Language::German);
    if (!player_) return;
    player_->Window().View().Follow(View());
    player_->PlaceTrendBeside(TrendPlace(), QString::fromStdString(Sim().settings.DataDir()));
    // Deleted once its window has closed, after the close event that said so has been handled.
    connect(player_.get(), &Player::Closed, this, [this] { player_.release()->deleteLater(); });
}

// The exercise runs in a device of its own; this window steps aside until it is over.
void MainWindow::StartExercise(const QString& path) {
    if (exercise_) return;
    auto session = OpenExercise(this, path, QCoreApplication::applicationDirPath().toStdString(),
                                Sim().settings.DataDir(), Sim().state.Language == Language::German);
    if (session) RunExercise(std::move(session));
}

void MainWindow::RunExercise(std::unique_ptr<ExerciseSession> session) {
    if (exercise_) {
        disconnect(exercise_.get(), nullptr, this, nullptr);
        exercise_.release()->deleteLater();
    }
    exercise_ = std::move(session);
    exercise_->Window().View().Follow(View());
    exercise_->Window().SeatIn(room_);
    connect(exercise_.get(), &ExerciseSession::Ended, this, [this] { EndExercise(); });
    hide();
    emit ExerciseChanged();
}

void MainWindow::EndExercise() {
    if (!exercise_) return;
    disconnect(exercise_.get(), nullptr, this, nullptr);
    show();
    exercise_.release()->deleteLater();
    emit ExerciseChanged();
}

void MainWindow::FitStatusBar() {
    const QList<QWidget*> lines = statusBar()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    statusBar()->setVisible(std::ranges::any_of(lines, [this](const QWidget* line) {
        return line->isVisibleTo(statusBar()) && !line->inherits("QSizeGrip");
    }));
}

// The recording starts from the settings in force: they are saved as at closing, and the program starts
// afresh into the recording.
void MainWindow::AskForRecording() {
    const auto path =
        Host().SaveFileDialog(Sim().state.Text("Aufzeichnung (*.vp7s)|*.vp7s", "Recording (*.vp7s)|*.vp7s"),
                              Sim().settings.DataDir(), "vp7s");
    if (!path) return;
    RestartWith({QStringLiteral("--record"), QString::fromStdString(*path)});
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!Sim().FormCloseQuery()) {
        event->ignore();
        return;
    }
    Sim().FormClose();
    player_.reset();
    event->accept();
    emit Closing();
}

} // namespace vp7
