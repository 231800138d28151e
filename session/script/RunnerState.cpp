// SPDX-License-Identifier: GPL-3.0-or-later
// The runner's saved states and rewinding: `state FILE` starts from a saved state, `rewind MS` goes
// back to a moment after the start. Both replay lines on the simulated clock, printing nothing; the
// session's lines so far are its recording, as a window's session is. A snapshot state (`savestate
// FILE`) is restored instead, replaying nothing.
#include "session/script/Runner.h"

#include "formats/AtomicFile.h"
#include "formats/IniFile.h"
#include "platform/FileRead.h"
#include "session/SavedState.h"
#include "session/ScratchFolder.h"
#include "session/StateFile.h"
#include "session/language/TextLines.h"
#include "session/script/PlayScript.h"
#include "session/script/RecordingLines.h"
#include "session/script/RewindPlan.h"
#include "session/trend/TrendRecorder.h"
#include "sim/Simulator.h"
#include "sim/Snapshot.h"

#include <cstdio>

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace vp7 {
namespace {

// Lines that only print, write files or judge, and the two that replay others: none of them is part of
// the session a rewind repeats.
constexpr unsigned kNotActing =
    Runner::kOutput | Runner::kJudges | Runner::kReplays | Runner::kConnects | Runner::kPlant;

// Output goes nowhere while it lives, and back where it went when it ends, even on an error.
class Silenced {
public:
    explicit Silenced(std::ostream& out) : out_(out), saved_(out.rdbuf(nullptr)) {}
    ~Silenced() { out_.rdbuf(saved_); }
    Silenced(const Silenced&) = delete;
    Silenced& operator=(const Silenced&) = delete;

private:
    std::ostream& out_;
    std::streambuf* saved_;
};

} // namespace

// An empty line notes only what a wait left unnoted.
void Runner::NoteSession(std::string_view line) {
    if (waitUnnotedMs_ > 0 && !exerciseActing_) {
        log_.Note("wait " + std::to_string(waitUnnotedMs_));
        waitUnnotedMs_ = 0;
    }
    const std::string_view name = CommandName(line);
    if (name.empty() || exerciseActing_ || HasTrait(name, kNotActing)) return;
    log_.Note(line);
}

// The variant settings select, when they name one: a state saved on another is refused.
static std::optional<uint8_t> VariantIn(const IniFile& ini) {
    const std::string word = ini.ReadString("Config", "Controller", "");
    for (uint8_t variant = 0; variant < 3; ++variant)
        if (word == VariantWord(variant)) return variant;
    return std::nullopt;
}

// The variant the settings so far select.
static std::optional<uint8_t> SettingsVariant(const std::string& programDir) {
    IniFile ini((std::filesystem::path(programDir) / "Config" / "VP7.ini").string());
    ini.Load();
    return VariantIn(ini);
}

std::optional<uint8_t> Runner::VariantAfterReset() const {
    if (!sim_) return SettingsVariant(deviceDir_);
    IniFile ini;
    if (log_.SettingsBefore()) ini.SetText(*log_.SettingsBefore());
    return VariantIn(ini);
}

// A snapshot's shape is its device's, as the settings the reset puts back make it: a device made on a
// world of its own, reading those, tells whether the snapshot fits while the runner's device stays as
// it is.
std::optional<std::string> Runner::SnapshotMisfit(const StateFile& file) const {
    const ScratchFolder scratch("vp7-state");
    SimulatorOptions options{deviceDir_, file.variant};
    if (sim_) {
        // None kept: the file is removed, and the trial reads none either.
        options.settingsFrom = (std::filesystem::path(scratch.path) / "VP7.ini").string();
        if (log_.SettingsBefore() && !WriteFileAtomically(options.settingsFrom, *log_.SettingsBefore()))
            throw RunFailure("cannot write " + options.settingsFrom);
    }
    HeadlessWorld trial([](const ScriptedHost::Message&) {});
    Simulator& sim = trial.CreateDevice(options);
    sim.FormCreate();
    return RestoreSnapshot(sim, file.snapshot, file.format);
}

void Runner::State(const Args& a) {
    StartFromState(std::string(Trimmed(a.rest)));
}

void Runner::StartFromState(const std::string& name) {
    const auto text = ReadWholeFile(ScriptRelative(name), kRecordingMaxBytes);
    if (!text) throw RunFailure("cannot read " + name);
    if (IsSnapshotFile(*text)) return StartFromSnapshot(name, *text);
    const auto refused = [&](int line, const std::string& reason) {
        return RunFailure(name + (line > 0 ? " line " + std::to_string(line) : std::string()) + ": " +
                          reason);
    };
    if (const auto refusal = CheckSavedState(*text, SettingsVariant(deviceDir_), ProgramVersion()))
        throw refused(refusal->line, refusal->english);
    if (const std::string settings = SettingsPath(); IniFile::PresentButUnreadable(settings))
        throw RunFailure(UnreadableSettings(settings).english);
    bool truncated = false;
    {
        const ScratchFolder scratch("vp7-state");
        const auto read = ReadPlayScript(*text, scratch.path);
        if (const auto* problem = std::get_if<ScriptProblem>(&read))
            throw refused(problem->line, problem->reason);
        truncated = std::get<PlayScript>(read).truncated;
    }
    // The line a crash cut off is left out, as the check left it out.
    const std::string_view played =
        truncated ? std::string_view(*text).substr(0, text->rfind('\n') + 1) : std::string_view(*text);
    const bool replaying = std::exchange(replayingState_, true);
    try {
        KeepingFiles([&] { ReplaySilently(played); });
    } catch (...) {
        replayingState_ = replaying;
        throw;
    }
    replayingState_ = replaying;
}

// The device as the snapshot has it, created as `start` creates it and then restored: nothing is
// replayed. The session's lines become the snapshot's recording, so that a rewind or a later state
// goes on from it.
void Runner::StartFromSnapshot(const std::string& name, std::string_view text) {
    auto decoded = DecodeStateFile(text, SettingsVariant(deviceDir_));
    if (const auto* refusal = std::get_if<StateRefusal>(&decoded))
        throw RunFailure(name + ": " + refusal->english);
    if (const std::string settings = SettingsPath(); IniFile::PresentButUnreadable(settings))
        throw RunFailure(UnreadableSettings(settings).english);
    const StateFile& file = std::get<StateFile>(decoded);
    // The clock where it was, so that the device's times read as they did; nothing is armed yet.
    if (world_.Device() == nullptr && virtualClock_ && clock_.NowMs() < file.clockMs)
        virtualClock_->Advance(file.clockMs - clock_.NowMs());
    {
        const Silenced quiet(out_); // the creation's messages were printed when the state was saved
        CreateDevice(file.variant);
    }
    if (const auto reason = RestoreSnapshot(*sim_, file.snapshot, file.format)) {
        trend_.reset(); // the device made for it is replaced by the next one made
        values_.clear();
        sim_ = nullptr;
        throw RunFailure(name + ": the state does not fit this device: " + *reason);
    }
    run_.Begin(sim_->StartedMs);
    log_.Clear();
    for (const std::string& line : SplitLines(file.recording))
        if (!CommandName(line).empty()) log_.Note(line);
}

void Runner::SaveStateFile(const Args& a) {
    Simulator& sim = Started();
    const std::string path = a.rest.substr(a.rest.find_first_not_of(" \t"));
    if (!WriteFileAtomically(path, SaveState(sim, log_.Recording())))
        throw RunFailure("cannot write " + path);
}

void Runner::PrintStateHash() {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llX",
                  static_cast<unsigned long long>(SnapshotHash(TakeSnapshot(*sim_))));
    out_ << "statehash " << hex << '\n';
}

void Runner::Rewind(const Args& a) {
    const int ms = ToInt(a.words[0], "time");
    if (ms < 0) throw ScriptError("bad time '" + a.words[0] + "'");
    if (!world_.Device() || !virtualClock_) throw ScriptError("'rewind' needs the runner's own device");
    if (run_.BeganMs() + ms > clock_.NowMs()) throw ScriptError("cannot rewind to a moment still to come");
    // A settings file the script could not read at its start cannot be put back: nothing is rewound.
    // The runner keeps no backtracks: the cut replays from the start.
    auto planned = PlanRewind(log_.Recording(), ms, Backtracks(),
                              {.path = log_.SettingsPath(), .unreadable = log_.SettingsUnreadable()});
    if (const auto* refusal = std::get_if<StateRefusal>(&planned)) throw RunFailure(refusal->english);
    const std::string cut = std::move(std::get<RewindPlan>(planned).cut);
    ResetDevice();
    ReplaySilently(cut);
}

// The lines' waits count the device's time: they replay unfrozen at the plain speed, whatever the room
// set meanwhile (their own `room freeze` lines freeze as the room did), and the room's setting is back
// at the end.
void Runner::ReplaySilently(std::string_view text) {
    const Silenced quiet(out_);
    const bool frozen = time_.Frozen();
    const double rate = time_.Rate();
    const auto restore = [&] {
        --replaying_;
        time_.SetFrozen(frozen);
        time_.SetRate(rate);
    };
    ++replaying_;
    time_.SetFrozen(false);
    time_.SetRate(1);
    try {
        TextLines lines(text);
        while (const auto line = lines.Next())
            Execute(*line);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

// Back to before the script's first line: the settings file as it was, no device, the clock at zero,
// nothing queued.
void Runner::ResetDevice() {
    // The settings first: when they cannot be put back, nothing else has changed yet.
    if (!log_.RestoreSettings()) throw RunFailure("cannot write " + log_.SettingsPath());
    timedCommands_.clear();
    if (plant_) plant_->DeviceGone();
    trend_.reset();
    values_.clear();
    sim_ = nullptr;
    world_.Reset();
    answers_.OnModalDialog([this](ModalDialog dialog) { RunDialog(dialog); });
    closed_ = false;
    seed_.reset();
    exerciseSeed_.reset();
    roomExercise_ = false; // the room's hold on the device goes with it; the freeze is the clock's
    roomFaults_.clear();
    scaleTexts_.clear();
    run_.Close();
    log_.Clear();
    // A wait the new device came in counts only the time it ran on the new one.
    waitUnnotedMs_ = 0;
}

} // namespace vp7
