// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simulator's main window: the device's view (the device picture on the right, the option controls
// on the left), the main menu, the recording and the status bar around it.
#include "session/Session.h"
#include "session/trend/TrendSettings.h"
#include "ui/app/SessionMode.h"
#include "ui/app/SessionOwner.h"
#include "ui/device/DeviceView.h"
#include "ui/qt/QtClock.h"
#include "ui/qt/QtHost.h"
#include "ui/qt/Zoom.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

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
class ZoomControl;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Shows the sessions of `sessions`, which opens its first as `session` says: recorded or played
    // (either starts without the splash); `scale` is the screen's pixel scale. On a virtual clock
    // (tests) the change mark is taken by whoever advances it.
    MainWindow(SessionOwner& sessions, int scale, SessionMode session = {});
    ~MainWindow() override;

    // The device shown, of the session shown now.
    Session& CurrentSession() const { return sessions_.Current(); }
    Simulator& Sim() { return CurrentSession().Sim(); }
    const Simulator& Sim() const { return CurrentSession().Sim(); }
    // A session for this window to take: its device on `clock` (one of its own), with the window's
    // host and pictures, its picture kept to draw again at another scale; `seed` fixes the random
    // stream and the device starts without the splash, as a replay does, from the settings file
    // `settingsFrom` when given (a state's own), else from its own. Not started yet.
    std::unique_ptr<Session> NewSession(std::unique_ptr<Clock> clock, std::optional<uint64_t> seed,
                                        const std::string& settingsFrom = {}) {
        return sessions_.NewSession(std::move(clock), seed, settingsFrom);
    }
    // Shows `next`, started, in place of the session shown: every widget, the pictures and the small
    // windows follow it, the old device and its timers are gone. Not from inside the old device's
    // handlers.
    void TakeSession(std::unique_ptr<Session> next);
    const std::string& ProgramDir() const { return sessions_.ProgramDir(); }
    PictureWidget* Picture() const { return view_->Picture(); }
    // The device shown: its widgets, their sync, the zoom's layout and the keyboard.
    DeviceView& Device() const { return *view_; }
    bool RestartWanted() const { return sessions_.Host().RestartWanted(); }
    QtHost& Host() { return sessions_.Host(); }
    // Copies the whole form state into the widgets (signals blocked) and repaints what changed: for
    // what the form does not hold (hidden and locked controls, the zoom).
    void SyncFromForm() { view_->SyncFromForm(); }
    // The title the device gives the window.
    QString DeviceTitle() const { return view_->DeviceTitle(); }
    // Takes the simulator's change mark: syncs the widgets when the form state changed, repaints
    // what was drawn. Run after every event handed to the simulator.
    void AfterEvent() { view_->AfterEvent(); }
    // The trend recorded since the window was created, and the trend window's kept place.
    const TrendRecorder& Trend() const { return CurrentSession().Trend(); }
    TrendSettings& TrendPlace() { return trendSettings_; }
    // The menu bar's menus and items, by their handles.
    MenuBar& Menus() const { return *menus_; }
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
    // A device key held on the keyboard is let go, as when the focus leaves the window.
    void LetGoOfKeys() { view_->LetGoOfKeys(); }
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
    // Controls an exercise hides (a fault it sets stays unseen) or shows but locks.
    void Restrict(std::set<std::string> hidden, std::set<std::string> locked);
    const std::set<std::string>& Hidden() const { return view_->Hidden(); }
    const std::set<std::string>& Locked() const { return view_->Locked(); }
    // Controls a client of the Modbus server works now: shown greyed, whatever the device says.
    void HoldForClient(std::set<std::string> held) { view_->HoldForClient(std::move(held)); }
    // A settings section of the window's own (the trend window's place, the view), attached to every
    // session it shows: the first reads it, all write it.
    void AddSettingsSection(std::function<void(const IniFile&)> read, std::function<void(IniFile&)> write) {
        sessions_.AddSettingsSection(std::move(read), std::move(write));
    }
    // How often the widgets were synced (benchmarks count it per event).
    long SyncCount() const { return view_->SyncCount(); }

    // The client area laid out as designed (at the zoom), inside the window's scroll area.
    QWidget* Form() const { return view_->Form(); }
    // The zoom the form is shown at (1 as designed), and the "Ansicht" / "View" menu that chooses it.
    const FormZoom& Zoom() const { return view_->Zoom(); }
    ZoomControl& View() const { return *zoomControl_; }
    // Lays the form out at `factor`: every control, its fonts, the pictures, the menu bar's font; the
    // window keeps its size.
    void ApplyZoom(double factor);
    // The scale the device picture is drawn at; a new one renders the artwork anew and draws the
    // picture again at it. The screen's own scale is the least.
    int PictureScale() const { return sessions_.PictureScale(); }
    int ScreenScale() const { return screenScale_; }
    void SetPictureScale(int scale);
    // The window resized to show the form at its zoom (1025 x 768 points with its frame at 100 %), and
    // kept on the screen; `centred` on the screen, as at its first showing.
    void SizeToForm(bool centred);

signals:
    // The window closes: the program ends, and its other windows with it.
    void Closing();
    // The form state was copied into the main window; the other windows follow.
    void FormChanged();
    // An event was handled (the trend window redraws when something was recorded).
    void EventHandled();
    // A new session is shown: whatever refers to the device follows it before the old one goes.
    void SessionTaken();
    // An exercise began or ended.
    void ExerciseChanged();
    // The recording into `path` has ended; the session goes on.
    void RecordingStopped(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void BuildMenu();
    // The device's menu items as the form state has them.
    void ShowMenuItems(const FormChanges::Taken& changed);
    void BuildRecordingItems();
    void AskForRecording();
    void ShowRecording();
    std::unique_ptr<SessionRecorder> NewRecorder(const std::string& path, const std::string& startLine,
                                                 std::optional<int64_t> startMs = std::nullopt);
    // The clock the device shown runs on, when it is a real one.
    QtClock* LiveClock();

    SessionOwner& sessions_;
    int screenScale_;
    TrendSettings trendSettings_;
    std::unique_ptr<Player> player_;
    std::unique_ptr<ExerciseSession> exercise_;
    QLabel* recordingMark_ = nullptr;
    QTimer* recordingClock_ = nullptr;
    QStringList restartArguments_;
    std::unique_ptr<MenuBar> menus_;
    DeviceView* view_ = nullptr;
    ZoomControl* zoomControl_ = nullptr;
    bool placed_ = false;
    bool exerciseDevice_ = false;
    SeatRoom room_;
};

} // namespace vp7
