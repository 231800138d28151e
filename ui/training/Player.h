// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Plays a recording in a window of its own: a second device, started from the recording's settings in
// a scratch folder, on a simulated clock that runs at 1x, 2x or 4x real time. A bar under it pauses,
// changes the speed and shows the progress, the time and the message boxes the recording answered;
// the recorded pointer is marked on the device picture. The user's own input to the device is ignored,
// and the recording's saves go to the scratch folder, never over the user's files.
#include "platform/ScriptedAnswers.h"
#include "platform/VirtualClock.h"
#include "session/exercise/Exercise.h"
#include "session/script/PlayScript.h"
#include "session/script/Runner.h"
#include "ui/device/DeviceWindow.h"
#include "ui/device/SessionOwner.h"
#include "ui/qt/Messages.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <optional>
#include <sstream>

class QComboBox;
class QLabel;
class QProgressBar;
class QToolBar;
class QToolButton;

namespace vp7 {

class PointerMark;
class TrendWindow;
struct TrendSettings;

class Player : public QObject {
    Q_OBJECT
public:
    // `script` was checked in a folder of `scratch`, which the player takes over and removes at the end.
    Player(PlayScript script, std::unique_ptr<QTemporaryDir> scratch, const QString& name);
    ~Player() override;

    DeviceWindow& Window() const { return *window_; }
    // The played device's trend opens beside the user's (`user` its place), as the played window does,
    // and is saved into the user's `folder`, not the player's scratch folder.
    void PlaceTrendBeside(const TrendSettings& user, const QString& folder);
    void SetSpeed(int factor);
    void SetPaused(bool paused);
    bool Finished() const { return finished_; }
    // Plays every line due up to `ms` on the simulated clock at once.
    void PlayUntil(int64_t ms);
    void PlayToEnd() { PlayUntil(script_.endMs); }

    static constexpr int kSpeeds[] = {1, 2, 4};

signals:
    void Closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<DeviceWindow> StartDevice();
    void ReadStartingExercise();
    void BuildBar();
    void Tick();
    void RunStep(const PlayStep& step);
    void ShowKey(const std::string& line, bool pressed);
    void ShowProgress();
    void ShowMessage(const std::string& text, MsgButton answer);
    const char* Text(const char* de, const char* en) const;

    std::unique_ptr<QTemporaryDir> scratch_;
    PlayScript script_;
    // The exercise a recorded exercise session began with, and the saved state that exercise starts
    // from when it does.
    std::optional<Exercise> exercise_;
    std::optional<PlayScript> exerciseState_;
    QString name_;
    VirtualClock clock_;
    ScriptedAnswers answers_;
    std::ostringstream discarded_;
    Runner runner_;
    // The played device's session, its window and its trend window, which go in the reverse order.
    std::unique_ptr<SessionOwner> sessions_;
    std::unique_ptr<DeviceWindow> window_;
    std::unique_ptr<TrendWindow> trend_;
    size_t next_ = 0;
    bool busy_ = false, paused_ = false, finished_ = false;
    int speed_ = 1;
    QTimer frame_;
    QElapsedTimer wall_;
    PointerMark* mark_ = nullptr;
    QToolBar* bar_ = nullptr;
    QToolButton* pause_ = nullptr;
    QComboBox* speedBox_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel *time_ = nullptr, *message_ = nullptr;
    QTimer messageShown_;
};

// Asks for a recording (in `dataDir`), checks it whole and opens a player for it; a recording that
// cannot be read or has a bad line is refused with the runner's "error LINE: REASON". `german` picks
// the language of the questions. Returns nothing when refused or cancelled.
std::unique_ptr<Player> OpenPlayer(QWidget* parent, const QString& path, bool german);

} // namespace vp7
