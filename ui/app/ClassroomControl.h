// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window as a classroom seat, and the way to the instructor's station: "Klassenraum / Classroom"
// with "Verbinden… / Connect…", "Trennen / Disconnect" and "Ausbilderstation… / Instructor station…";
// the settings in the section [Classroom], the password in a file beside them that only the user may
// read (or asked for each time); a line in the status bar while the seat is in a room. The seat is
// polled on the window's thread; the device it tells of and that the instructor steers is the
// exercise's while one runs, else the window's own.
#include "classroom/ClassroomSettings.h"
#include "classroom/SeatTarget.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <set>
#include <string>

class QLabel;
class QMessageBox;

namespace vp7 {

struct AppWindows;
class DeviceWindow;
class ExerciseSession;
class InstructorControls;
class InstructorStation;
class MainWindow;
struct RoomAction;
class Seat;
class Simulator;
class StationLink;
class TrendRecorder;

class ClassroomControl : public QObject, public SeatTarget {
    Q_OBJECT
public:
    // What arrived is taken, and what changed published, this often while in a room.
    static constexpr int kPollMs = 100;
    // The live view's frames, at most this often and only when the picture changed.
    static constexpr int kFrameMs = 500;

    ClassroomControl();
    ~ClassroomControl() override;
    // Before the device reads its settings: the section it keeps.
    void BeforeStart(Simulator& sim);
    // Once the windows are built: the menu, and the room joined again when the seat was in one.
    void Attach(AppWindows& windows);
    // Before the windows go: the room left, the broker told.
    void Detach();

    // Joins the room `settings` name; false (after a message) when the seat cannot join.
    bool Join(const ClassroomSettings& settings, const std::string& password);
    void Leave();
    Seat* InRoom() const { return seat_.get(); }
    // What the room set stays while the seat is in it: its exercise running, its freeze held or a
    // fault it hid. The trainee's ways to replace or reset the device are refused meanwhile.
    bool HoldsDevice() const;
    // The instructor's station, connected as `settings` and `password` say; none (after a message)
    // when it cannot connect.
    InstructorStation* OpenStation(const ClassroomSettings& settings, const std::string& password);
    InstructorStation* Station() const { return station_.get(); }
    const ClassroomSettings& Settings() const { return settings_; }
    // The status bar's line.
    QString StatusText() const;
    // Asks for the station's connection and opens it (the menu's item, `vp7sim --instructor`).
    void AskForStation();
    // The station on the room the room file at `path` describes, its seats shown from the start (the
    // station's "Open room…", `vp7sim --room`); none (after a message) when it cannot connect.
    InstructorStation* OpenRoom(const QString& path);

    // SeatTarget
    int64_t NowMs() const override;
    SeatStatus Status() override;
    std::vector<SeatEvent> TakeEvents() override;
    void OpenExercise(const std::string& text, std::optional<uint64_t> seed) override;
    void LoadState(const std::string& bytes) override;
    void SetFrozen(bool frozen) override;
    void SetSpeed(double speed) override;
    void SetHiddenFault(const std::string& option, bool on) override;
    void ShowMessage(const std::string& text) override;
    std::optional<SeatHandIn> HandIn() override;
    std::string SaveState() override;
    void Rewind(int64_t ms) override;
    void Watch(bool on) override;
    void Log(const std::string& line) override;

private:
    void AskToJoin();
    // The class sheet's code or link: the room's authority fetched and checked where its broker
    // speaks TLS, the seat's password kept for the lesson.
    void AskToJoinWithCode();
    // Throws while a modal dialog runs its own event loop: nothing is replaced under it.
    void CheckNoDialog() const;
    void Poll();
    void ShowConnection();
    void SendFrame();
    void FollowExercise();
    SeatHandIn WithRecording(const ExerciseSession& exercise);
    void Record(const RoomAction& action);
    // The password kept in `file` for the next time, or the file removed.
    void KeepOrForget(const std::string& file, bool keep, const std::string& password);
    DeviceWindow& Shown() const; // the exercise's window while one runs
    ExerciseSession* Exercise() const;
    std::string PasswordFile(const char* name) const;
    std::string ClassroomFolder() const;
    bool German() const;
    const char* Text(const char* de, const char* en) const { return German() ? de : en; }

    MainWindow* main_ = nullptr;
    InstructorControls* instructor_ = nullptr;
    ClassroomSettings settings_;
    std::unique_ptr<Seat> seat_;
    std::unique_ptr<StationLink> stationLink_;
    std::unique_ptr<InstructorStation> station_;
    QTimer poll_;
    QTimer frames_;
    int64_t watchedUntilMs_ = 0; // wall clock: the live view lapses unless the instructor asks again
    QByteArray lastFrame_;
    QLabel* shown_ = nullptr;
    QPointer<QMessageBox> message_;
    QPointer<ExerciseSession> followed_;   // whose hand-ins go to the room
    const TrendRecorder* trend_ = nullptr; // the trend the events were taken from
    uint64_t eventsTaken_ = 0;
    std::set<std::string> roomHidden_; // the faults the room hid
    bool connected_ = false;
    bool joinedByCode_ = false; // a broker's refusal then means the code was wrong: the seat leaves
};

} // namespace vp7
