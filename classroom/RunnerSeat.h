// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The runner's seat: `classroom HOST PORT ROOM SEAT [USER PASSWORD]` joins a room, and from then on the
// runner's device is the seat's, polled between script lines and while `wait` lets time pass. Lines of
// its own: `classroom message "TEXT"` on the runner's output for the instructor's message, and
// `classroom: TEXT` on `log` (standard error) for a command refused or the link's state, whose moment
// depends on the network and so stays out of the script's output.
#include "classroom/Seat.h"
#include "classroom/SeatTarget.h"
#include "session/script/Runner.h"

#include <chrono>
#include <iosfwd>
#include <memory>
#include <set>
#include <string>

namespace vp7 {

class RunnerSeat final : public RunnerPeer, public SeatTarget {
public:
    // Hand-ins wait in `folder`/Outbox until the broker has them; a `folder`/ca.crt turns TLS on. The
    // room is reached through links `makeLink` makes; without one a `classroom` line is refused.
    RunnerSeat(Runner& runner, std::string folder, std::ostream& log, RoomLinkMaker makeLink);
    ~RunnerSeat() override;

    // RunnerPeer
    void Connect(const std::vector<std::string>& words) override;
    void Poll() override;
    void HandedIn(const ExerciseResult& result) override;
    // Before the runner ends: waits up to `limit` for the broker to acknowledge what was published.
    void Finish(std::chrono::milliseconds limit);
    // Waits up to `limit` until the broker acknowledged what was published; true when it did.
    bool Flush(std::chrono::milliseconds limit) { return seat_ && seat_->WaitForAcknowledgements(limit); }

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
    void Watch(bool on) override { watched_ = on; }
    void Log(const std::string& line) override;

    // The name the seat's hand-ins carry, given by a program that asked the trainee before its
    // `classroom` line (the page); the runner's own line has no place for one.
    void SetTrainee(std::string name) { trainee_ = std::move(name); }

    // Whether the instructor looks at the seat's live view; a program with a picture then sends it.
    bool Watched() const { return watched_ && seat_ && seat_->Connected(); }
    void SendPicture(const std::string& image) {
        if (seat_) seat_->SendPicture(image);
    }
    // The device the room's exercise runs on (the runner's count of devices made), 0 while the device is
    // none of the room's; and whether that exercise was handed in. A program with a panel of its own
    // for the exercise (the page) follows these.
    uint64_t RoomExerciseDevice() const { return runner_.DevicesMade() == roomExercise_ ? roomExercise_ : 0; }
    bool RoomExerciseHandedIn() const { return roomExercise_ != 0 && handedIn_ == roomExercise_; }

    // Before leaving the room: what changed goes out, and the seat's status says it is offline.
    void Leave() {
        if (seat_) seat_->Finish(std::chrono::milliseconds(0));
    }

private:
    SeatHandIn WithRecording(const ExerciseResult& result);
    std::string trainee_;

    Runner& runner_;
    std::string outboxFolder_;
    std::ostream& log_;
    RoomLinkMaker makeLink_;
    std::unique_ptr<Seat> seat_;
    uint64_t device_ = 0;       // the runner's device the events were taken from
    uint64_t eventsTaken_ = 0;  // of its trend's events
    uint64_t roomExercise_ = 0; // the device the room's exercise started, 0 for none
    uint64_t handedIn_ = 0;     // the device whose exercise was handed in last, 0 for none
    bool watched_ = false;
    std::set<std::string> roomFaults_; // the faults the room hid, set again after a rewind
};

} // namespace vp7
