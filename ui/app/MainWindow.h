// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simulator's main window: a device window with the program's own items in its menu bar (recording,
// playing, exercises, comparing), the recording and the status bar around it, and the player and the
// exercise it opens.
#include "ui/device/DeviceWindow.h"

#include <QStringList>

#include <memory>
#include <set>
#include <string>

class QLabel;
class QTimer;

namespace vp7 {

class PictureWidget;
class MenuBar;
class Steering;

// Who asks a window's device to freeze or go on: the instructor, or the window's own user.
enum class FreezeAsker { Instructor, WindowUser };
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
    // Whether a session is being recorded, and the command line a restart into a recording takes.
    bool Recording() const { return Recorder() != nullptr; }
    SessionRecorder* Recorder() const { return CurrentSession().Recorder(); }
    void StopRecording();
    // An exercise's device: its recording is stopped only by the exercise, and no other recording,
    // exercise or session is started in it; the items that would are greyed and refused.
    void KeepForExercise();
    // The room of a classroom seat the window is: whether the seat is in it now, and whether the room
    // holds the device shown (it set a hidden fault, runs its exercise there or holds it frozen). An
    // exercise run in the window is given the same.
    struct SeatRoom {
        std::function<bool()> inRoom;
        std::function<bool()> holdsDevice;
    };
    void SeatIn(SeatRoom room) { room_ = std::move(room); }
    // Freezes or continues the device on `steering` for the instructor (the room's command) or the
    // window's own user (its menu, F9, an exercise's panel). The user's is the trainee's hold at a seat
    // in a room; standing alone the user is the trainer, whose continue lifts a trainee's hold left
    // from a room too.
    void SteerFreeze(Steering& steering, bool frozen, FreezeAsker asker) const;
    // Says why the device shown may not be replaced, reset or recorded anew now: true, after the
    // message, while the room holds it or in an exercise's device.
    bool RefusedInExercise();
    // Goes on recording into `path`, whose lines were replayed into this device up to `from.atMs`.
    void ContinueRecording(const std::string& path, SessionRecorder::Continuation from);
    // Records from now into `path` (replaced), the session standing on `startLine`.
    void StartRecording(const std::string& path, const std::string& startLine);
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
    // The recording into `path` has ended; the session goes on.
    void RecordingStopped(const QString& path);

protected:
    bool RefusesReplacing() override { return RefusedInExercise(); }
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildRecordingItems();
    void AskForRecording();
    void ShowRecording();
    std::unique_ptr<SessionRecorder> NewRecorder(const std::string& path, const std::string& startLine,
                                                 std::optional<int64_t> startMs = std::nullopt);
    std::unique_ptr<Player> player_;
    std::unique_ptr<ExerciseSession> exercise_;
    QLabel* recordingMark_ = nullptr;
    QTimer* recordingClock_ = nullptr;
    QStringList restartArguments_;
    bool exerciseDevice_ = false;
    SeatRoom room_;
};

} // namespace vp7
