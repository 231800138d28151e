// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A device window's recording and what guards it: the program's items of "Datei" (record, stop, play,
// open an exercise, compare), the session recorded into a file from its start line, the red dot with
// the recording's time at the menu bar's right end, and the word that refuses whatever would replace,
// reset or record anew a device an exercise runs in or a classroom's room holds. The program's window
// has one, and so has an exercise's device of its own.
#include "session/SessionRecorder.h"
#include "ui/device/MenuBar.h"

#include <QObject>

#include <functional>
#include <map>
#include <optional>
#include <string>

class QLabel;
class QTimer;

namespace vp7 {

class DeviceWindow;
class Steering;

// Who asks a window's device to freeze or go on: the instructor, or the window's own user.
enum class FreezeAsker { Instructor, WindowUser };

class DeviceRecording : public QObject {
    Q_OBJECT
public:
    // Adds the program's items to `window`'s menu bar and lives as long as the window (its child); made
    // before the window begins its device.
    explicit DeviceRecording(DeviceWindow& window);

    // What the program's item `id` (Record, Play or Exercise) does when it is not refused; an item with
    // nothing to do only says why not.
    void Handle(ActionId id, std::function<void()> handler) { handlers_[id] = std::move(handler); }
    // Whether the session shown is being recorded, and by which recorder.
    bool Running() const { return Recorder() != nullptr; }
    SessionRecorder* Recorder() const;
    // Records into `path` (replaced), the session standing on `startLine` at `startMs`; without a
    // moment, from the device's start (right after it started).
    void Start(const std::string& path, const std::string& startLine, std::optional<int64_t> startMs);
    // Goes on recording into `path`, whose lines were replayed into this device up to `from.atMs`.
    void Continue(const std::string& path, SessionRecorder::Continuation from);
    void Stop();
    // The items and the dot as the recording stands now (after the window took a session); a recording
    // that can no longer be written ends here with a word.
    void Show();

    // An exercise's device: its recording is stopped only by the exercise, and no other recording,
    // exercise or session is started in it; the items that would are greyed and refused.
    void KeepForExercise();
    // The room of a classroom seat the window is: whether the seat is in it now, and whether the room
    // holds the device shown (it set a hidden fault, runs its exercise there or holds it frozen). An
    // exercise run from the window is given the same.
    struct SeatRoom {
        std::function<bool()> inRoom;
        std::function<bool()> holdsDevice;
    };
    void SeatIn(SeatRoom room) { room_ = std::move(room); }
    const SeatRoom& Room() const { return room_; }
    // Freezes or continues the device on `steering` for the instructor (the room's command) or the
    // window's own user (its menu, F9, an exercise's panel). The user's is the trainee's hold at a seat
    // in a room; standing alone the user is the trainer, whose continue lifts a trainee's hold left
    // from a room too.
    void SteerFreeze(Steering& steering, bool frozen, FreezeAsker asker) const;
    // Says why the device shown may not be replaced, reset or recorded anew now: true, after the
    // message, while the room holds it or in an exercise's device.
    bool Refused();
    // The same for what only the room forbids (an exercise may be abandoned, but not the room's):
    // true, after the instructor's word, while the room holds the device.
    bool RefusedByRoom();

signals:
    // The recording into `path` has ended; the session goes on.
    void Stopped(const QString& path);

private:
    DeviceWindow& window_;
    std::map<ActionId, std::function<void()>> handlers_;
    QLabel* mark_ = nullptr;
    QTimer* markClock_ = nullptr;
    bool exerciseDevice_ = false;
    SeatRoom room_;
};

} // namespace vp7
