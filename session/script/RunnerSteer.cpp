// SPDX-License-Identifier: GPL-3.0-or-later
// What an instructor may do to the runner's device from outside the script: freeze it, change its
// speed, open an exercise or a state in place of the device there is, set a fault the trainee does not
// see, and hand the exercise in. Each checks what it was given before anything changes.
#include "session/script/Runner.h"

#include "formats/AtomicFile.h"
#include "session/SavedState.h"
#include "session/StateFile.h"
#include "session/exercise/KeptExercise.h"
#include "session/trend/TrendRecorder.h"
#include "sim/Simulator.h"

#include <filesystem>

namespace vp7 {

void Runner::SetSpeed(double speed) {
    if (!Steering::SpeedAllowed(speed)) throw ScriptError("speed out of range");
    steering_.SetSpeed(speed);
}

void Runner::OpenExerciseText(const std::string& text, std::optional<uint64_t> seed) {
    CheckOwnDevice();
    CheckedExercise("exercise", text, ClassroomFolder());
    ReplaceDevice("exercise", KeptExerciseName(text), text, seed);
}

std::string Runner::SessionRecording() const {
    return log_.Recording();
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
    if (sim_) ResetDevice();
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
    if (sim_) ResetDevice();
    if (seed) Execute("seed " + std::to_string(*seed), lineNumber_);
    Execute(std::string(command) + " " + path.string(), lineNumber_);
}

// The instructor's doing, not the trainee's: a recording replays the exercise, not the room's commands.
void Runner::SetHiddenOption(const std::string& control, bool on, TrendRecorder* trend) {
    if (!sim_ || closed_) throw ScriptError("no device running");
    ActingForExercise([&] { run_.HideFault(*sim_, trend ? trend : trend_.get(), control, on); });
    AfterCommand();
}

} // namespace vp7
