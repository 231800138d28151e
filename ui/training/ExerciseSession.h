// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An exercise worked on in a device of its own: started from the exercise's settings in a scratch
// folder (the user's own settings stay as they were), its scene set, the session recorded into the
// "Data" folder. A panel beside the device shows the title, the tasks and the time, and hands in:
// the question, the checks, the result on screen, and the report beside the recording as HTML and PDF.
#include "platform/ScriptedAnswers.h"
#include "session/exercise/Exercise.h"
#include "session/exercise/ExerciseReport.h"
#include "session/script/PlayScript.h"
#include "session/script/Runner.h"
#include "ui/qt/QtClock.h"

#include <QObject>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <optional>
#include <sstream>
#include <variant>

class QLabel;
class QPushButton;
class QWidget;

namespace vp7 {

class DeviceRecording;
class DeviceWindow;
class SessionOwner;
class TrendWindow;
enum class FreezeAsker;

class ExerciseSession : public QObject {
    Q_OBJECT
public:
    // `exercise` was read from `path` and checked, and `state` from the saved state it starts from
    // when it does; the recording and the report go into `dataDir`. With a `seed`, the device draws
    // from it (a room's exercise, so that the station can replay the recording).
    ExerciseSession(Exercise exercise, std::optional<PlayScript> state, const QString& path,
                    const QString& trainee, const std::string& dataDir,
                    std::unique_ptr<QTemporaryDir> scratch, bool german,
                    std::optional<uint64_t> seed = std::nullopt);
    ~ExerciseSession() override;

    // The exercise's device window, and its recording (with the room it is a seat of).
    DeviceWindow& Window() const { return *window_; }
    DeviceRecording& Recording() const { return *recording_; }
    QWidget* Panel() const { return panel_; }
    // Hands in with the question answered by `choice` (asked in a dialog when none is given), shows the
    // result and writes the report. Returns the result shown.
    const ExerciseResult& HandIn(std::optional<int> choice = std::nullopt);
    // The question of a hand-in is open.
    bool HandingIn() const { return handingIn_; }
    const QString& RecordingPath() const { return recordingPath_; }
    const QString& ReportPath() const { return reportPath_; } // without its suffix
    // Simulated time since the trainee began.
    int64_t ElapsedMs() const;
    const Exercise& Definition() const { return exercise_; }
    // The exercise as the trainee works on it: hidden and locked, its time, its answer.
    const ExerciseRun& Run() const { return runner_.RunningExercise(); }
    // The result once handed in.
    const std::optional<ExerciseResult>& Result() const { return result_; }
    // How many of the checks hold now.
    int ChecksHolding();
    // What an instructor does from outside: freezing (the device shown, no input), its speed, an option
    // set unseen (its control hidden from then on). The panel's button is the window's own user's
    // (DeviceRecording::SteerFreeze).
    void SetFrozen(bool frozen);
    bool Frozen() const { return clock_.Frozen(); }
    // Sent by the room: the trainee has no freeze of their own in it (the panel's button goes).
    void TakeFromRoom();
    bool FromRoom() const { return fromRoom_; }
    void SetSpeed(double rate);
    double Speed() const { return clock_.Rate(); }
    void SetHiddenOption(const std::string& control, bool on);
    // The device stands still for good, its clock firing no timer again, while its window may still
    // show it until the session goes (deleted later by whoever let it go).
    void StopDevice() { clock_.Stop(); }

signals:
    // Handed in: Result() holds what was handed in.
    void HandedIn();
    // The exercise is over (handed in and its result closed, or abandoned): the session may go.
    void Ended();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Steer(bool frozen, FreezeAsker asker);
    std::unique_ptr<DeviceWindow> StartDevice(const QString& path);
    void PlayState(DeviceWindow& window, const std::string& startLine);
    void BuildPanel();
    void ShowTime();
    void Judge();
    std::optional<int> AskQuestion();
    QString WriteReports(const std::string& html);
    void ShowResult(const QString& writeError);
    void Abandon();
    void End();
    const char* Text(const char* de, const char* en) const { return german_ ? de : en; }

    std::unique_ptr<QTemporaryDir> scratch_;
    Exercise exercise_;
    std::optional<PlayScript> state_;
    QString exerciseName_, trainee_, recordingPath_, reportPath_;
    std::string exercisePath_, exerciseSha256_; // the exercise file as the session was made from it
    bool german_;
    std::optional<uint64_t> seed_;
    QtClock clock_;
    ScriptedAnswers unused_; // the window answers its own dialogs
    std::ostringstream discarded_;
    Runner runner_;
    // The device's session, its window (with the recording and the panel) and its trend window, which
    // go in the reverse order, and all before the clock they run on. The recording is the window's, and
    // made with it (declared first: StartDevice sets it while the window is made).
    DeviceRecording* recording_ = nullptr;
    std::unique_ptr<SessionOwner> sessions_;
    std::unique_ptr<DeviceWindow> window_;
    std::unique_ptr<TrendWindow> trend_;
    QWidget* panel_ = nullptr;
    QLabel* time_ = nullptr;
    QPushButton* freeze_ = nullptr;
    QPushButton* abandon_ = nullptr;
    QTimer seconds_;
    std::optional<ExerciseResult> judged_, result_; // judged, then handed in with the answer
    bool ended_ = false;
    bool handingIn_ = false;
    bool fromRoom_ = false;
};

// Asks for an exercise (the shipped ones first), checks it, asks for the trainee's name and starts it;
// a bad exercise is refused with "error LINE: REASON". Nothing when refused or cancelled.
std::unique_ptr<ExerciseSession> OpenExercise(QWidget* parent, const QString& path,
                                              const std::string& programDir, const std::string& dataDir,
                                              bool german);
// Starts the exercise at `path` for `trainee` without asking anything, its device on `seed` when given;
// why it cannot be started (in the program's language) when it cannot.
std::variant<std::unique_ptr<ExerciseSession>, QString>
StartExerciseFor(const QString& path, const QString& trainee, const std::string& dataDir, bool german,
                 std::optional<uint64_t> seed = std::nullopt);

} // namespace vp7
