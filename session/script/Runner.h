// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The scenario runner: drives a Simulator from a script, one command a line, on a virtual clock with
// flat sprites and a scripted host, and prints what the script asks for. It also runs exercises: the
// lines that declare one, loading one for a trainee, and handing it in.
#include "session/Steering.h"
#include "session/exercise/ExerciseRun.h"
#include "session/language/ScriptWords.h"
#include "session/language/StateValues.h"
#include "session/script/HeadlessWorld.h"
#include "session/script/ScriptTime.h"
#include "session/script/SessionLog.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vp7 {

class Simulator;
class TrendRecorder;
struct Control;
struct RoomAction;
struct ScratchFolder;
struct StateFile;

// Something outside the interpreter that takes part in a run, such as a classroom's network link. The
// runner calls it on its own thread only, where the device lives.
class RunnerPeer {
public:
    virtual ~RunnerPeer() = default;
    // The `classroom` line's words; ScriptError or RunFailure when they cannot be taken.
    virtual void Connect(const std::vector<std::string>& words) = 0;
    // Between lines, and at least every kPeerPollMs of a `wait`: takes what has arrived meanwhile.
    virtual void Poll() = 0;
    // The script's `handin` judged the exercise.
    virtual void HandedIn(const ExerciseResult& result) = 0;
};

// A server for a plant's control system outside the interpreter, such as a Modbus server: it takes the
// `modbus` line and serves the devices the runner makes, and the runner polls it between lines and
// while `serve` lets time pass. Called on the runner's thread only, where the device lives.
class RunnerPlantPeer {
public:
    virtual ~RunnerPlantPeer() = default;
    // The `modbus` line's words, before `start`; ScriptError when they cannot be taken.
    virtual void Configure(const std::vector<std::string>& words) = 0;
    // The runner made its device (`start`, a state, a rewind): served from now on when `modbus` asked
    // for it. RunFailure when the server cannot open.
    virtual void DeviceMade(Simulator& sim) = 0;
    // The device is about to go: the clients stay connected for the next one.
    virtual void DeviceGone() = 0;
    // Whether a device is served: `serve` needs one.
    virtual bool Serving() const = 0;
    // What clients wrote meanwhile, entered on the device; `line` is told the runner's command of each
    // user action it amounted to.
    virtual void ApplyPending(const std::function<void(const std::string& line)>& line) = 0;
    // After each command and each step of the clock: the device's registers to the clients.
    virtual void Refresh() = 0;
};

class Runner {
public:
    // With a `look`, the runner's device is one a page shows: its artwork, and text drawn as the page
    // draws it.
    Runner(std::ostream& out, std::string programDir, std::optional<DeviceLook> look = std::nullopt);
    // Runs a script on a simulator that lives elsewhere (a window playing a recording or running an
    // exercise) on `clock`, with the dialogs answered through `answers`: the lines before `start` write
    // the settings into `programDir`, and Attach() stands for `start` itself. On a clock other than a
    // VirtualClock, `wait` is refused: time passes by itself there.
    Runner(std::ostream& out, std::string programDir, Clock& clock, ScriptedAnswers& answers);
    ~Runner();
    void Attach(Simulator& sim);
    // After the attached simulator's form was created: the start-up tick, as `start` runs it (on the
    // real clock the tick comes by itself).
    void FinishStart();
    // Where the script lies: `exercise` and `compare` find files named without a folder there.
    void SetScriptFolder(std::string folder) { scriptFolder_ = std::move(folder); }
    // `path` as the script names it: relative to the script's folder unless absolute.
    std::string ScriptRelative(const std::string& path) const;

    // Sets the exercise's scene on the created simulator before its start-up tick: hides and locks its
    // controls (refused to `set`, `click` and `menu` from now on, the exercise's own commands
    // excepted); its prepare lines run when the start-up is through, at the end of the start-up tick
    // (which takes the unlit display from the picture: nothing may draw on it before), and each timed
    // command at CreatedMs + the start-up tick's interval + afterMs, when the trainee began. They run
    // without the action observer: a recording would write them twice, since replaying the exercise
    // sets them again. One that fails prints "error LINE: REASON" (LINE in the exercise, 0 for a
    // prepare line), and the exercise goes on.
    void PrepareExercise(const Exercise& exercise);
    // The same on a device already started (from the exercise's saved state): the prepare lines run
    // now, and the trainee begins now. The device draws from the seed given before the exercise's
    // settings (RunExerciseSettings) from here on, when that is not the state's own.
    void PrepareStartedExercise(const Exercise& exercise);
    // One check on the running simulator: `NAME OP VALUE` or `NAME within LOW HIGH` (see
    // CheckExpression.h). ScriptError for a malformed check or a NAME `print` does not know.
    CheckOutcome Evaluate(const std::string& expression);
    // The exercise loaded, or declared by the script's own lines so far.
    const Exercise& CurrentExercise() const { return run_.Definition(); }
    // The exercise as the trainee works on it: what is hidden and locked, its time, its answer.
    const ExerciseRun& RunningExercise() const { return run_; }
    // How many of the exercise's checks hold now.
    int ChecksHolding();
    // A command for `at`: known, with a fitting number of words, and one that acts on a running
    // device; ScriptError otherwise.
    static void CheckTimedCommand(std::string_view line);

    // Runs every line; returns the exit status (0 fine, 1 failure, 2 bad script), having written
    // "error LINE: REASON" to `err` on failure.
    int Run(std::istream& script, std::ostream& err);
    // One line (`number` for the exercise lines it declares); throws ScriptError or RunFailure.
    void Execute(std::string_view line, int number = 0);
    // A line's command word; empty for a blank or comment line.
    static std::string_view CommandName(std::string_view line);
    // A script's lines without their line ends (LF or CR LF).
    static std::vector<std::string> SplitLines(std::string_view text);
    // Files saved go into the program folder's "Files" instead, and a file opened is taken from there
    // when a save put it there: checking a script in a scratch folder writes nothing outside.
    void KeepFilesInProgramFolder();
    // An exercise's settings lines, then `more` (its saved state's), with `ini Config Sprache` passed
    // over: they speak the language in force (the program's), so the exercise's device and the window
    // around it never differ. The language is free again afterwards, also on a throw. A seed given
    // before them (the room's, or the one a recording of the room's exercise begins with) stands over
    // the exercise's own `seed`, and over the seed of the saved state the exercise starts from: the
    // state replays on its own seed, so that it reaches the device it was saved from, and
    // PrepareStartedExercise then reseeds the device with the given one. Two seats starting from one
    // state thus draw apart from their start, and the recording of either (which begins with the
    // device's seed) replays to the device it had.
    void RunExerciseSettings(const Exercise& exercise, const std::function<void()>& more = {});

    struct Args {
        std::string name;
        std::vector<std::string> words; // the words after the command name
        std::string rest;               // everything after the command name and one blank
    };
    enum class When { BeforeStart, Running, Any };
    // What a command does beyond acting on the device, declared once in the command table: the lines
    // that may stand in an exercise, at a time or in a saved state follow from it.
    enum Trait : unsigned {
        kOutput = 1u << 0,    // only writes output: the terminal or a file (print, snapshot, trend, export)
        kNamedFile = 1u << 1, // writes a file the script names (snapshot, trend FILE, export)
        kTrainee = 1u << 2,   // the trainee's doing: loading an exercise, answering, handing in, comparing
        kJudges = 1u << 3,    // judges the work done and changes nothing (handin, compare)
        kReplays = 1u << 4,   // replays a recording on a device made anew (state, rewind)
        kClosesWindow = 1u << 5,
        kPassesTime = 1u << 6,
        kDeclares = 1u << 7, // declares an exercise rather than acts (title, task, at, ...)
        kConnects = 1u << 8, // joins a network: never replayed, never in an exercise or a state
        kPlant = 1u << 9,    // serves the plant's clients (modbus, serve): a session keeps what they did
    };
    // Whether the command of `line` (a command name alone will do) has any of `traits`; false for an
    // unknown command, a blank or a comment line.
    static bool HasTrait(std::string_view line, unsigned traits);
    // What may not stand in an exercise's scene (its lines after start and its timed lines) nor in a
    // saved state: a scene and a state set up a device, they do not replace it, end the trainee's
    // session, do the trainee's part, or write files anywhere the script names.
    static constexpr unsigned kNotInScene =
        kNamedFile | kTrainee | kReplays | kClosesWindow | kConnects | kPlant;
    struct Command;

    Simulator* Sim() { return sim_; }
    const TrendRecorder* Trend() const { return trend_.get(); }
    ScriptedAnswers& Answers() { return answers_; }
    int64_t NowMs() const { return clock_.NowMs(); }
    // When the runner's own device next has a timer due, on its clock; none without one, or while the
    // device stands still (frozen).
    std::optional<int64_t> NextTimerMs() const;
    // The random seed a `seed` line gave.
    std::optional<uint64_t> RandomSeed() const { return seed_; }
    // A peer takes the `classroom` line and is polled while the script runs; none by default.
    void SetPeer(RunnerPeer* peer) { peer_ = peer; }
    // A plant's server takes the `modbus` line and serves the device; none by default (refused then).
    void SetPlant(RunnerPlantPeer* plant) { plant_ = plant; }
    // Paced, a `wait` lets its time pass as the wall clock does: a seat in a classroom, a demonstration.
    void SetPaced(bool paced) { paced_ = paced; }
    static constexpr int kPeerPollMs = 100;
    // What a classroom's instructor may do to the runner's device (RunnerSteer.cpp). Each throws
    // ScriptError or RunFailure, and changes nothing then, unless said otherwise. What the room does to
    // a running device goes into the session's lines as a `room` line (RoomLines.h), so that a replay
    // of them shows it.
    // Frozen, a `wait` lets the script's time pass but not the device's; the speed multiplies it. The
    // session's lines count a wait in the device's time, as a recording does.
    void SetFrozen(bool frozen);
    bool Frozen() const { return steering_.Frozen(); }
    void SetSpeed(double speed);
    double Speed() const { return steering_.Speed(); }
    // In a room, the room holds the device while its exercise runs (until it is handed in), while the
    // instructor's freeze holds or a fault the room hid is set. Meanwhile Run() refuses the script's own
    // lines that would undo it (`state`, `exercise`, `rewind`, and `room`, which speaks for the room) with
    // the window's reason (kRoomHoldsDeviceEnglish), changing nothing.
    bool RoomHoldsDevice() const;
    // An exercise's text, opened as `exercise` opens a file, in place of the device there is; with a
    // `seed`, its device draws from it, and the session's lines begin with `seed N` as a recording's do.
    // The room's device, and the device of a state below, keep a program folder of their own, their
    // settings copied from the runner's: an exercise's `ini` lines leave the runner's settings alone.
    void OpenExerciseText(const std::string& text, std::optional<uint64_t> seed = std::nullopt);
    // The session's lines since the device was made, as a recording of it: what a seat hands in.
    std::string SessionRecording() const;
    // A snapshot state file's bytes, restored in place of the device there is.
    void LoadStateBytes(const std::string& bytes);
    // The instructor's message, printed as `classroom message "TEXT"`.
    void ShowRoomMessage(const std::string& text);
    // Sets or clears one of the device's options (FrictionSelect, ...) without the trainee seeing it, as
    // SetHiddenFault (ExerciseRun.h) does, the change itself unrecorded as an exercise's own commands
    // are (the session notes the room's line instead): the control is hidden until the exercise ends
    // and its changes leave no mark in `trend`, the device's (the runner's own when none is given; a
    // window attached to the runner gives its own). Which options an instructor may hide is the
    // classroom's to say: its reader refuses a command naming another, and the verifier a line.
    void SetHiddenOption(const std::string& control, bool on, TrendRecorder* trend = nullptr);
    // Judges the exercise as `handin` does, printing the same lines.
    ExerciseResult HandInNow();
    // A line of the runner's own output.
    std::ostream& Out() { return out_; }
    // When the trainee began the exercise (or the device started).
    int64_t StartedAtMs() const { return run_.BeganMs(); }
    // Counts the devices made: a new one has a trend of its own.
    uint64_t DevicesMade() const { return devicesMade_; }

private:
    static std::span<const Command> Commands();
    static const Command& Parse(std::string_view line, Args& args);
    Simulator& Started();
    // The device created as `start` creates it; `variant` is the one it has when the settings name none.
    void CreateDevice(uint8_t variant = 0);
    void CloseWindow();
    void AfterCommand();

    void Screen(const Args& a);
    void Ini(const Args& a);
    void Start(const Args& a);
    void Seed(const Args& a);
    void Wait(const Args& a);
    void Down(const Args& a);
    void Up(const Args& a);
    void Move(const Args& a);
    void Press(const Args& a);
    void Release(const Args& a);
    void Param(const Args& a);
    void Set(const Args& a);
    void Click(const Args& a);
    void Menu(const Args& a);
    void Answer(const Args& a);
    void File(const Args& a);
    void Print(const Args& a);
    void WriteLcd(const Args& a);
    void Snapshot(const Args& a);
    void Close(const Args& a);
    void Trend(const Args& a);
    void Export(const Args& a);
    void PrintTrend();
    void ScaleDialogTexts(const Args& a);
    void RunDialog(ModalDialog dialog);
    void Declare(const Args& a);
    void ExerciseFile(const Args& a);
    void Choose(const Args& a);
    void HandIn(const Args& a);
    void Compare(const Args& a);
    void Verify(const Args& a);
    void Classroom(const Args& a);
    void Room(const Args& a);
    // The room's action noted in the session's lines, while a device runs.
    void NoteRoom(const RoomAction& action);
    void HideOption(const std::string& control, bool on, TrendRecorder* trend);
    void CheckOwnDevice() const;
    std::string ClassroomFolder() const;
    // The room's device from now on in a program folder of its own (RunnerSteer.cpp).
    void MoveToRoomsFolder();
    std::string SettingsPath() const { return deviceDir_ + "/Config/VP7.ini"; }
    void ReplaceDevice(std::string_view command, const std::string& fileName, const std::string& bytes,
                       std::optional<uint64_t> seed = std::nullopt);
    void PollPeer();
    // Lets `ms` of the script's time pass on the steered time (the room's freeze and speed), the
    // device's time that passed counted towards the next noted wait.
    void PassNoted(int ms);
    static Exercise CheckedExercise(const std::string& name, const std::string& text,
                                    const std::string& folder);
    // The plant's server (RunnerServe.cpp).
    void Modbus(const Args& a);
    void Serve(const Args& a);
    RunnerPlantPeer& Plant() const;
    void ApplyPlantWrites();
    void CheckReach(const Control& control) const;
    void RunExerciseCommand(const TimedCommand& command);
    // Runs `act` as the exercise's doing: out of the recording, nothing out of its reach.
    void ActingForExercise(const std::function<void()>& act);
    void SetScene(const std::vector<std::string>& prepare, const std::vector<TimedCommand>& timed,
                  int64_t beganMs);
    // Saved states and rewinding (RunnerState.cpp): the session's lines so far are its recording.
    void State(const Args& a);
    void StartFromState(const std::string& name);
    void StartFromSnapshot(const std::string& name, std::string_view text);
    // The variant the settings select once the device there is reset (nullopt: any).
    std::optional<uint8_t> VariantAfterReset() const;
    // Why the snapshot does not fit a device of its variant; nullopt when it does.
    std::optional<std::string> SnapshotMisfit(const StateFile& file) const;
    void SaveStateFile(const Args& a);
    void PrintStateHash();
    void Rewind(const Args& a);
    void NoteSession(std::string_view line);
    void ReplaySilently(std::string_view text);
    // Runs a scene's or a state's lines with what they save through the file dialogs kept in the program
    // folder's "Files" (as KeepFilesInProgramFolder), then lets the script's own saves go where it says.
    void KeepingFiles(const std::function<void()>& run);
    void ResetDevice();

    std::ostream& out_;
    std::string programDir_;
    std::string deviceDir_; // the device's program folder: the program folder, or the room's device's
    std::unique_ptr<ScratchFolder> roomsFolder_;
    HeadlessWorld world_; // the runner's own; unused while attached
    Clock& clock_;
    VirtualClock* virtualClock_; // clock_ when it is one: `wait` moves it
    ScriptedAnswers& answers_;
    Simulator* sim_ = nullptr;
    std::unique_ptr<TrendRecorder> trend_; // everything since `start`
    std::vector<NamedValue> values_;       // what `print NAME` finds in sim_
    bool closed_ = false;
    std::optional<uint64_t> seed_;
    std::optional<uint64_t> exerciseSeed_; // given before an exercise's settings, until its start
    std::deque<std::optional<std::pair<std::string, std::string>>> scaleTexts_;
    std::string scriptFolder_;
    int lineNumber_ = 0; // of the line being executed

    ExerciseRun run_;
    std::vector<std::unique_ptr<Timer>> timedCommands_;
    bool exerciseActing_ = false; // a timed command is running: nothing is out of its reach
    bool replayingState_ = false; // a saved state's lines are running
    bool languageKept_ = false;

    SessionLog log_; // every line that acted, and the settings before the script
    // A `wait` the peer may act within notes the device's time in parts, each before what the peer
    // noted; `waitNoted_` tells Execute that the wait's line is noted already.
    int64_t waitUnnotedMs_ = 0;
    bool waitNoted_ = false;

    uint64_t devicesMade_ = 0;
    RunnerPeer* peer_ = nullptr;
    RunnerPlantPeer* plant_ = nullptr;
    bool peerConnected_ = false;
    bool roomExercise_ = false;        // the device is the room's exercise, not yet handed in
    std::set<std::string> roomFaults_; // the options the room set unseen on the device
    int replaying_ = 0;                // lines replayed silently: the peer waits until they are through
    bool paced_ = false;
    ScriptTime time_{virtualClock_};
    Steering steering_{time_, [this] { return closed_ ? nullptr : sim_; }};
};

} // namespace vp7
