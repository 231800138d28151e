// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an instructor works the simulation with, beside the device: freezing it (F9), its speed, saved
// states and rewinding, in the "Simulation" menu of the user's own program window. The session so far
// is always kept as a recording (the user's own when one runs, else one in a scratch folder), so a
// state saved is that recording and a rewind replays it cut at a moment.
#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QWidget;

namespace vp7 {

struct AppWindows;
enum class FreezeAsker;
class MainWindow;
class QtClock;
class SessionRecorder;
class Simulator;

class InstructorControls : public QObject {
    Q_OBJECT
public:
    explicit InstructorControls(AppWindows& windows);
    ~InstructorControls() override;

    // The instructor's freeze: the room's at a seat, the trainer's standing alone. The window's own
    // menu and F9 are the trainee's at a seat (DeviceRecording::SteerFreeze).
    void SetFrozen(bool frozen);
    bool Frozen() const;
    void SetSpeed(double rate);
    double Speed() const;
    // The session so far as a recording, written up to this moment; none while nothing records it.
    std::optional<std::string> SessionSoFar();
    // The session goes on from a replayed recording: its text, and the moment it was replayed to.
    void ContinueLog(const std::string& text, int64_t atMs);
    // Goes back to `ms` after the session's start: the whole session is kept in a file, and the
    // window shows the session cut there, replayed. False when nothing happened.
    bool RewindTo(int64_t ms);
    // Saves the session so far as a state at `path` (Simulation, Save state); a file there stays as it
    // was, after a message, when the state cannot be written whole.
    bool SaveStateTo(const QString& path);
    // Shows the saved state at `path` in place of the session (Simulation, Load state); nothing
    // changes, after a message, when it cannot be loaded.
    bool LoadStateFrom(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Steer(bool frozen, FreezeAsker asker);
    void BuildMenu();
    void Retranslate();
    void StartLog();
    // What records the session now: the user's recording, else the log.
    SessionRecorder* SessionRecording() const;
    // The session keeps a backtrack every ten seconds from now on, for a quick rewind.
    void KeepBacktracks();
    void TakeOverRecording(const QString& path);
    // The window shows a new session: the log of the old one ends, its clock's freeze and speed go.
    void FollowSession();
    Simulator& Sim() const;
    QtClock* Clock() const; // none on a virtual clock (tests): no freezing or speed there
    void ReleaseHolds();
    void CheckSpeed(double rate);
    void LockDeviceMenus();
    void PlaceBand();
    void SaveState();
    void LoadState();
    void AskForRewind();
    bool WriteFile(const QString& path, const std::string& text);
    // The message that `path` could not be written; false.
    bool WriteFailed(const QString& path);
    const char* Text(const char* de, const char* en) const;

    MainWindow& main_;
    QWidget* initInfo_;
    QWidget* parameterTable_;
    QMetaObject::Connection splashWait_;
    QTemporaryDir logFolder_;
    std::unique_ptr<SessionRecorder> log_;
    QAction* freeze_ = nullptr;
    QLabel* band_ = nullptr;
    QLabel* speedShown_ = nullptr;
};

} // namespace vp7
