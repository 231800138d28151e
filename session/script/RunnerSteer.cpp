// SPDX-License-Identifier: GPL-3.0-or-later
// What an instructor may do to the runner's device from outside the script: freeze it, change its
// speed, open an exercise or a state in place of the device there is, set a fault the trainee does not
// see, show a message, and hand the exercise in. Each checks what it was given before anything
// changes. What the room did to a running device is noted as a `room` line, which the runner reads
// back as the room's seat carried it out.
#include "session/script/Runner.h"

#include "formats/AtomicFile.h"
#include "session/SavedState.h"
#include "session/ScratchFolder.h"
#include "session/StateFile.h"
#include "session/exercise/KeptExercise.h"
#include "session/language/Output.h"
#include "session/language/RoomLines.h"
#include "session/trend/TrendRecorder.h"
#include "sim/Simulator.h"

#include <filesystem>
#include <ostream>

namespace vp7 {

void Runner::SetFrozen(bool frozen) {
    if (frozen == Frozen()) return;
    steering_.SetFrozen(frozen, FreezeHolder::Instructor);
    NoteRoom({RoomAction::Kind::Freeze, frozen, 1, {}});
}

void Runner::SetSpeed(double speed) {
    if (!Steering::SpeedAllowed(speed)) throw ScriptError("speed out of range");
    steering_.SetSpeed(speed);
    NoteRoom({RoomAction::Kind::Speed, false, speed, {}});
}

void Runner::ShowRoomMessage(const std::string& text) {
    out_ << "classroom message " << QuoteText(text) << '\n';
    NoteRoom({RoomAction::Kind::Message, false, 1, text});
}

void Runner::NoteRoom(const RoomAction& action) {
    if (sim_ && !closed_) NoteSession(RoomLine(action));
}

// A recording's waits count the device's time, frozen or sped up as it was: a replay takes a freeze
// for the holds it lets go of and a speed for the record, and its waits move the device as far as the
// seat's moved. Run from a script, the freeze stands as the room's does.
void Runner::Room(const Args& a) {
    const RoomAction action = ReadRoomLine("room " + a.rest);
    switch (action.kind) {
    case RoomAction::Kind::Freeze:
        steering_.SetFrozen(action.on, FreezeHolder::Instructor);
        break;
    case RoomAction::Kind::Speed:
        if (!Steering::SpeedAllowed(action.speed)) throw ScriptError("speed out of range");
        break;
    case RoomAction::Kind::Fault:
        HideOption(action.words, action.on, nullptr);
        break;
    case RoomAction::Kind::Message:
        out_ << "classroom message " << QuoteText(action.words) << '\n';
        break;
    }
}

void Runner::OpenExerciseText(const std::string& text, std::optional<uint64_t> seed) {
    CheckOwnDevice();
    CheckedExercise("exercise", text, ClassroomFolder());
    ReplaceDevice("exercise", KeptExerciseName(text), text, seed);
    roomExercise_ = true;
}

std::string Runner::SessionRecording() const {
    return log_.Recording();
}

// Reset first, so that the settings file of the device there was is back as it was; the runner's own
// is then copied as it stands, and what the room's device writes goes to the copy.
void Runner::MoveToRoomsFolder() {
    namespace fs = std::filesystem;
    if (sim_) ResetDevice();
    auto folder = std::make_unique<ScratchFolder>("vp7-room");
    const fs::path config = fs::path(folder->path) / "Config";
    const std::string own = (fs::path(programDir_) / "Config" / "VP7.ini").string();
    std::error_code ec;
    fs::create_directories(config, ec);
    if (fs::exists(own, ec) && !fs::copy_file(own, config / "VP7.ini", ec))
        throw RunFailure("cannot copy " + own + " to " + config.string());
    deviceDir_ = folder->path;
    roomsFolder_ = std::move(folder); // the room's device before goes with its folder
    log_.KeepSettings(SettingsPath());
}

void Runner::LoadStateBytes(const std::string& bytes) {
    CheckOwnDevice();
    if (!IsSnapshotFile(bytes)) throw ScriptError("not a snapshot state");
    // Everything is checked against the device as the reset leaves it before anything is reset, so
    // that a refused state leaves the device there as it was.
    const auto decoded = DecodeStateFile(bytes, VariantAfterReset());
    if (const auto* refusal = std::get_if<StateRefusal>(&decoded)) throw RunFailure(refusal->english);
    if (sim_ && log_.SettingsUnreadable()) throw RunFailure(UnreadableSettings(log_.SettingsPath()).english);
    if (const auto reason = SnapshotMisfit(std::get<StateFile>(decoded)))
        throw RunFailure("the state does not fit this device: " + *reason);
    // Restored from the bytes themselves: a rewind goes on from the recording the state keeps, which
    // becomes the session's.
    MoveToRoomsFolder();
    StartFromSnapshot("the instructor's state", bytes);
}

void Runner::CheckOwnDevice() const {
    if (!virtualClock_ || (sim_ && !world_.Device())) throw ScriptError("the device is not the runner's own");
}

std::string Runner::ClassroomFolder() const {
    return (std::filesystem::path(programDir_) / "Classroom").string();
}

// The file the command reads is kept in the program folder, where a rewind finds it again.
void Runner::ReplaceDevice(std::string_view command, const std::string& fileName, const std::string& bytes,
                           std::optional<uint64_t> seed) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(ClassroomFolder(), ec);
    const fs::path path = fs::path(ClassroomFolder()) / fileName;
    if (!WriteFileAtomically(path.string(), bytes)) throw RunFailure("cannot write " + path.string());
    MoveToRoomsFolder();
    if (seed) Execute("seed " + std::to_string(*seed), lineNumber_);
    Execute(std::string(command) + " " + path.string(), lineNumber_);
}

void Runner::SetHiddenOption(const std::string& control, bool on, TrendRecorder* trend) {
    HideOption(control, on, trend);
    if (on)
        roomFaults_.insert(control);
    else
        roomFaults_.erase(control);
    NoteRoom({RoomAction::Kind::Fault, on, 1, control});
}

// The option is set as the exercise's own commands are, out of the trainee's reach; the session notes
// the room's line instead.
void Runner::HideOption(const std::string& control, bool on, TrendRecorder* trend) {
    if (!sim_ || closed_) throw ScriptError("no device running");
    ActingForExercise([&] { run_.HideFault(*sim_, trend ? trend : trend_.get(), control, on); });
    AfterCommand();
}

} // namespace vp7
