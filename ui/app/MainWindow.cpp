// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/MainWindow.h"

#include "sim/files/Settings.h"
#include "ui/device/MenuBar.h"
#include "ui/device/ZoomControl.h"
#include "ui/training/ExerciseSession.h"
#include "ui/training/Player.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMenuBar>
#include <QStatusBar>

#include <algorithm>

namespace vp7 {

MainWindow::MainWindow(SessionOwner& sessions, int scale, SessionMode session)
    : DeviceWindow(sessions, scale, session), recording_(new DeviceRecording(*this)) {
    recording_->Handle(ActionId::Record, [this] { AskForRecording(); });
    recording_->Handle(ActionId::Play, [this] { PlayRecording(); });
    recording_->Handle(ActionId::Exercise, [this] { StartExercise(); });
    Begin(session, [this, &session] {
        if (!session.recordPath.empty())
            recording_->Start(session.recordPath, session.startLine, std::nullopt);
        else
            recording_->Show();
    });
}

// The keyboard goes first: focus changes while the window is torn down must not reach the device.
MainWindow::~MainWindow() {
    Device().StopKeyboard();
}

void MainWindow::TakeSession(std::unique_ptr<Session> next) {
    DeviceWindow::TakeSession(std::move(next));
    recording_->Show();
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
        exercise_->StopDevice();
        exercise_.release()->deleteLater();
    }
    exercise_ = std::move(session);
    exercise_->Window().View().Follow(View());
    exercise_->Recording().SeatIn(recording_->Room());
    connect(exercise_.get(), &ExerciseSession::Ended, this, [this] { EndExercise(); });
    hide();
    emit ExerciseChanged();
}

void MainWindow::EndExercise() {
    if (!exercise_) return;
    disconnect(exercise_.get(), nullptr, this, nullptr);
    show();
    // Its device stands still from now: the session goes only when the events come round again.
    exercise_->StopDevice();
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
