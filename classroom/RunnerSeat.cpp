// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/RunnerSeat.h"

#include "classroom/DeviceStatus.h"

#include "session/SavedState.h"
#include "session/StateFile.h"
#include "session/exercise/Exercise.h"
#include "session/language/ScriptWords.h"
#include "session/trend/TrendRecorder.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Monitoring.h"
#include "sim/display/LcdReadBack.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace vp7 {
namespace {

// The `classroom` line waits this long for the broker at most, so that a script's first lines already
// reach the room; a broker that does not answer by then is joined later.
constexpr std::chrono::milliseconds kFirstConnection{3000};

} // namespace

RunnerSeat::RunnerSeat(Runner& runner, std::string outboxFolder, std::ostream& log, RoomLinkMaker makeLink)
    : runner_(runner), outboxFolder_(std::move(outboxFolder)), log_(log), makeLink_(std::move(makeLink)) {
    runner_.SetPeer(this);
}

RunnerSeat::~RunnerSeat() {
    runner_.SetPeer(nullptr);
}

void RunnerSeat::Connect(const std::vector<std::string>& words) {
    if (words.size() != 4 && words.size() != 6)
        throw ScriptError("classroom takes HOST PORT ROOM SEAT [USER PASSWORD]");
    if (!makeLink_) throw ScriptError(kNoRoomLink);
    SeatSettings settings;
    settings.host = words[0];
    settings.port = ToInt(words[1], "port");
    settings.room = words[2];
    settings.seat = words[3];
    if (words.size() == 6) {
        settings.user = words[4];
        settings.password = words[5];
    }
    settings.outbox = outboxFolder_ + "/Outbox";
    settings.trainee = trainee_;
    // The room's certificate authority beside the outbox turns TLS on.
    if (const std::string ca = outboxFolder_ + "/ca.crt"; std::filesystem::exists(ca)) settings.caFile = ca;
    auto seat = std::make_unique<Seat>(*this, std::move(settings), makeLink_);
    if (const auto problem = seat->Start()) throw ScriptError(*problem);
    seat_ = std::move(seat);
    seat_->WaitForConnection(kFirstConnection);
}

void RunnerSeat::Poll() {
    if (seat_) seat_->Poll();
}

void RunnerSeat::Finish(std::chrono::milliseconds limit) {
    if (seat_ && !seat_->Finish(limit)) Log("not every message reached the broker before the end");
}

int64_t RunnerSeat::NowMs() const {
    return runner_.NowMs();
}

SeatStatus RunnerSeat::Status() {
    SeatStatus status;
    status.frozen = runner_.Frozen();
    status.speed = runner_.Speed();
    Simulator* sim = runner_.Sim();
    const TrendRecorder* trend = runner_.Trend();
    if (!sim || !trend) {
        status.mode = "OFF";
        return status;
    }
    FillDeviceStatus(status, *sim, *trend);
    const Exercise& exercise = runner_.CurrentExercise();
    status.exercise = exercise.title.en;
    status.checks = static_cast<int>(exercise.checks.size());
    status.checksHolding = runner_.ChecksHolding();
    status.timeLeftMs = runner_.RunningExercise().TimeLeftMs(runner_.NowMs());
    return status;
}

std::vector<SeatEvent> RunnerSeat::TakeEvents() {
    const TrendRecorder* trend = runner_.Trend();
    if (!trend) return {};
    if (runner_.DevicesMade() != device_) { // a new device: its trend starts afresh
        device_ = runner_.DevicesMade();
        eventsTaken_ = trend->Events().FirstKept();
    }
    return TrendEventsSince(*trend, eventsTaken_);
}

void RunnerSeat::OpenExercise(const std::string& text, std::optional<uint64_t> seed) {
    runner_.OpenExerciseText(text, seed);
    roomExercise_ = runner_.DevicesMade();
}

void RunnerSeat::LoadState(const std::string& bytes) {
    runner_.LoadStateBytes(bytes);
}

std::string RunnerSeat::SaveState() {
    Simulator* sim = runner_.Sim();
    if (!sim) throw ScriptError("no device to save");
    return vp7::SaveState(*sim, runner_.SessionRecording());
}

// As the script's `rewind` line goes back, to a moment after the start; the faults the room hid are
// set again on the device replayed: the instructor clears them, not the rewind.
void RunnerSeat::Rewind(int64_t ms) {
    if (!runner_.Sim()) throw ScriptError("no device to rewind");
    const int64_t moment = std::max<int64_t>(0, runner_.NowMs() - runner_.StartedAtMs() - ms);
    runner_.Execute("rewind " + std::to_string(moment));
    for (const std::string& option : roomFaults_)
        runner_.SetHiddenOption(option, true);
}

void RunnerSeat::SetFrozen(bool frozen) {
    runner_.SetFrozen(frozen);
}

void RunnerSeat::SetSpeed(double speed) {
    runner_.SetSpeed(speed);
}

void RunnerSeat::SetHiddenFault(const std::string& option, bool on) {
    runner_.SetHiddenOption(option, on);
    if (on)
        roomFaults_.insert(option);
    else
        roomFaults_.erase(option);
}

void RunnerSeat::ShowMessage(const std::string& text) {
    runner_.ShowRoomMessage(text);
}

void RunnerSeat::HandedIn(const ExerciseResult& result) {
    handedIn_ = runner_.DevicesMade();
    if (seat_) seat_->SendHandIn(WithRecording(result));
}

// The session's lines since the exercise opened are its recording, as the station replays it.
SeatHandIn RunnerSeat::WithRecording(const ExerciseResult& result) {
    SeatHandIn handIn = HandInOf(result);
    if (const auto leftOut = AttachRecording(handIn, runner_.SessionRecording())) Log(*leftOut);
    return handIn;
}

std::optional<SeatHandIn> RunnerSeat::HandIn() {
    if (!runner_.Sim()) throw ScriptError("no device to hand in");
    // Nothing to judge: a hand-in would stand in the station's results as a row of nothing.
    const Exercise& exercise = runner_.CurrentExercise();
    if (exercise.checks.empty() && !exercise.question) throw ScriptError("no exercise to hand in");
    // Its result is on its way (or in the outbox) already; a second would be a second row.
    if (handedIn_ == runner_.DevicesMade()) throw ScriptError("the exercise was handed in already");
    SeatHandIn handIn = WithRecording(runner_.HandInNow());
    handedIn_ = runner_.DevicesMade();
    return handIn;
}

void RunnerSeat::Log(const std::string& line) {
    log_ << "classroom: " << line << '\n';
}

} // namespace vp7
