// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simulator's main window: a device window with the program's own items in its menu bar (recording,
// playing, exercises, comparing) and the recording (DeviceRecording), the status bar, and the player and
// the exercise it opens.
#include "ui/device/DeviceWindow.h"
#include "ui/training/DeviceRecording.h"

#include <QStringList>

#include <memory>
#include <string>

namespace vp7 {

class ExerciseSession;
class Player;

class MainWindow : public DeviceWindow {
    Q_OBJECT
public:
    // Shows the sessions of `sessions`, which opens and starts its first as `session` says: recorded
    // or played (either starts without the splash); `scale` is the screen's pixel scale. On a virtual
    // clock (tests) the change mark is taken by whoever advances it.
    MainWindow(SessionOwner& sessions, int scale, SessionMode session = {});
    ~MainWindow() override;

    // Shows `next`, started, in place of the session shown, as DeviceWindow::TakeSession, with its
    // recording.
    void TakeSession(std::unique_ptr<Session> next);
    // The session's recording, the program's items of "Datei", and the room the window is a seat of.
    DeviceRecording& Recording() const { return *recording_; }
    const QStringList& RestartArguments() const { return restartArguments_; }
    // Closes the window as its close button does and starts the program again with `arguments`; false
    // when the window stays (the user kept it open).
    bool RestartWith(QStringList arguments);
    // Plays the recording at `path` in a player window of its own (asks for one when empty); the
    // player open now, if any.
    void PlayRecording(const QString& path = {});
    Player* CurrentPlayer() const { return player_.get(); }
    // Opens the exercise at `path` (asks for one when empty) in a device of its own.
    void StartExercise(const QString& path = {});
    ExerciseSession* CurrentExercise() const { return exercise_.get(); }
    // Runs `session` in place of the window (and of an exercise already running, which ends unhanded).
    void RunExercise(std::unique_ptr<ExerciseSession> session);
    // The running exercise ends without being handed in; the window is shown again.
    void EndExercise();
    // The status bar is shown while one of its lines has something to say.
    void FitStatusBar();

signals:
    // The window closes: the program ends, and its other windows with it.
    void Closing();
    // An exercise began or ended.
    void ExerciseChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void AskForRecording();
    DeviceRecording* recording_ = nullptr;
    std::unique_ptr<Player> player_;
    std::unique_ptr<ExerciseSession> exercise_;
    QStringList restartArguments_;
};

} // namespace vp7
