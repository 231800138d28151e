// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a classroom seat needs of the program it sits in: the device's state for its status, the
// events as they happen, and the instructor's commands carried out. The runner implements it
// (RunnerSeat); a window can implement it alike. Called on the thread the device lives on only.
#include "classroom/HandIn.h"
#include "classroom/SeatEvent.h"
#include "classroom/SeatStatus.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vp7 {

class SeatTarget {
public:
    virtual ~SeatTarget() = default;
    // The device's clock, which the seat's status follows.
    virtual int64_t NowMs() const = 0;
    // The device as it is; seat, room and online are the seat's to fill in.
    virtual SeatStatus Status() = 0;
    // What happened since the last call.
    virtual std::vector<SeatEvent> TakeEvents() = 0;
    // The commands; each throws std::runtime_error with the reason when it cannot be done, and then
    // nothing changed.
    // `seed`: the random seed the station chose for this seat's device, so that its recording replays
    // at the station; none from an older station.
    virtual void OpenExercise(const std::string& text, std::optional<uint64_t> seed) = 0;
    virtual void LoadState(const std::string& bytes) = 0;
    virtual void SetFrozen(bool frozen) = 0;
    virtual void SetSpeed(double speed) = 0;
    // `option` is one of kHideableFaults: the command's reader refused any other.
    virtual void SetHiddenFault(const std::string& option, bool on) = 0;
    virtual void ShowMessage(const std::string& text) = 0;
    // The result to send, or none when it is sent later (a question the trainee answers first).
    virtual std::optional<SeatHandIn> HandIn() = 0;
    // The device as a snapshot state file, as the program's own "save state" writes it.
    virtual std::string SaveState() = 0;
    // Goes back `ms` of the device's session, to its start when the session is shorter, as the
    // program's own rewind does. The room's: the room's hold on the device does not refuse it.
    virtual void Rewind(int64_t ms) = 0;
    // The instructor looks at the seat's live view, or no longer; a seat without a picture ignores it.
    virtual void Watch(bool on) { (void)on; }
    // A line for whoever runs the seat: a message refused, the link's state.
    virtual void Log(const std::string& line) = 0;
};

} // namespace vp7
