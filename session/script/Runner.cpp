// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/script/Runner.h"

#include "formats/IniFile.h"
#include "platform/SameWord.h"
#include "session/ConfigSheet.h"
#include "session/ScratchFolder.h"
#include "session/language/Output.h"
#include "session/language/RoomLines.h"
#include "session/language/StateValues.h"
#include "session/language/TextLines.h"
#include "session/script/PrintedValue.h"
#include "session/trend/TrendCsv.h"
#include "session/trend/TrendRecorder.h"
#include "sim/Simulator.h"
#include "sim/display/Lcd.h"
#include "sim/display/ScreenCheck.h"
#include "sim/motion/Controller.h"
#include "sim/operation/KeyInput.h"
#include "sim/operation/ScaleDialog.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <istream>
#include <ostream>
#include <span>
#include <thread>

namespace vp7 {
namespace {

// The script's own lines that would undo the room's hold: a device in place of the room's, the device
// put back to a moment, the room's freeze let go or its fault cleared in the room's name.
constexpr std::array<std::string_view, 4> kUndoRoomsHold = {"state", "exercise", "rewind", "room"};

bool UndoesRoomsHold(std::string_view command) {
    return std::find(kUndoRoomsHold.begin(), kUndoRoomsHold.end(), command) != kUndoRoomsHold.end();
}

} // namespace

struct Runner::Command {
    std::string_view name;
    int minWords, maxWords;
    When when;
    void (Runner::*run)(const Args&);
    unsigned traits = 0;
};

Runner::Runner(std::ostream& out, std::string programDir, std::optional<DeviceLook> look)
    : out_(out), programDir_(std::move(programDir)), deviceDir_(programDir_),
      world_(
          [this](const ScriptedHost::Message& m) {
              out_ << "message " << MsgTypeName(m.type) << ' ' << QuoteText(m.text) << '\n';
          },
          std::move(look)),
      clock_(world_.Clock()), virtualClock_(&world_.Clock()), answers_(world_.Host()) {
    answers_.OnModalDialog([this](ModalDialog dialog) { RunDialog(dialog); });
    log_.KeepSettings(SettingsPath());
}

Runner::Runner(std::ostream& out, std::string programDir, Clock& clock, ScriptedAnswers& answers)
    : out_(out), programDir_(std::move(programDir)), deviceDir_(programDir_), world_({}), clock_(clock),
      virtualClock_(dynamic_cast<VirtualClock*>(&clock)), answers_(answers) {
    answers_.OnModalDialog([this](ModalDialog dialog) { RunDialog(dialog); });
}

std::optional<int64_t> Runner::NextTimerMs() const {
    if (!virtualClock_ || steering_.Frozen()) return std::nullopt;
    const int64_t due = virtualClock_->NextDue();
    if (due < 0) return std::nullopt;
    return due;
}

void Runner::Attach(Simulator& sim) {
    sim_ = &sim;
    values_ = StateValues(sim);
}

// The program's own dialogs, answered from the script: the scale dialog with the texts queued by
// `scaledialog` (confirmed with Ok, cancelled when refused), the screen check with `answer`
// (OK continues, Cancel closes the program).
void Runner::RunDialog(ModalDialog dialog) {
    if (dialog == ModalDialog::ScreenCheck) {
        const auto answer = answers_.TakeAnswer();
        if (answer == MsgButton::Cancel)
            sim_->screenCheck.Button2Click();
        else
            sim_->screenCheck.Button1Click();
        return;
    }
    // Values the dialog refuses keep it open for the next queued texts, as in the window; with none
    // left it is cancelled.
    while (!scaleTexts_.empty()) {
        const auto texts = scaleTexts_.front();
        scaleTexts_.pop_front();
        if (!texts) return; // cancelled
        sim_->form.scaleDialog.setpoint100Edit = texts->first;
        sim_->form.scaleDialog.setpoint0Edit = texts->second;
        if (sim_->scaleDialog.Button1Click()) return;
    }
}

void Runner::ScaleDialogTexts(const Args& a) {
    if (a.words.size() == 1 && a.words[0] == "cancel")
        scaleTexts_.push_back(std::nullopt);
    else if (a.words.size() == 2)
        scaleTexts_.push_back(std::pair{a.words[0], a.words[1]});
    else
        throw ScriptError("scaledialog takes XE XA or cancel");
}

Runner::~Runner() = default;

bool Runner::RoomHoldsDevice() const {
    return peerConnected_ &&
           (roomExercise_ || !roomFaults_.empty() || steering_.HeldBy(FreezeHolder::Instructor));
}

int Runner::Run(std::istream& script, std::ostream& err) {
    std::string line;
    int number = 0;
    while (std::getline(script, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        try {
            PollPeer();
            if (RoomHoldsDevice() && UndoesRoomsHold(CommandName(line)))
                throw ScriptError(kRoomHoldsDeviceEnglish);
            Execute(line, number);
        } catch (const ScriptError& e) {
            out_.flush();
            err << "error " << number << ": " << e.what() << '\n';
            return 2;
        } catch (const RunFailure& e) {
            out_.flush();
            err << "error " << number << ": " << e.what() << '\n';
            return 1;
        }
    }
    out_.flush();
    return 0;
}

std::string_view Runner::CommandName(std::string_view line) {
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') return {};
    line.remove_prefix(first);
    return line.substr(0, line.find_first_of(" \t"));
}

const Runner::Command& Runner::Parse(std::string_view line, Args& args) {
    const std::string_view name = CommandName(line);
    line.remove_prefix(line.find_first_not_of(" \t"));
    const size_t nameEnd = line.find_first_of(" \t");
    args.name = name;
    if (nameEnd != std::string_view::npos) {
        args.rest = std::string(line.substr(nameEnd + 1));
        size_t i = 0;
        const std::string& r = args.rest;
        while ((i = r.find_first_not_of(" \t", i)) != std::string::npos) {
            const size_t e = r.find_first_of(" \t", i);
            args.words.push_back(r.substr(i, e - i));
            i = e;
        }
    }
    for (const Command& c : Commands()) {
        if (c.name != name) continue;
        const int n = static_cast<int>(args.words.size());
        if (n < c.minWords || (c.maxWords >= 0 && n > c.maxWords))
            throw ScriptError("wrong number of arguments for '" + std::string(name) + "'");
        return c;
    }
    throw ScriptError("unknown command '" + std::string(name) + "'");
}

std::vector<std::string> Runner::SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    TextLines walk(text);
    while (const auto line = walk.Next())
        lines.emplace_back(*line);
    return lines;
}

void Runner::KeepFilesInProgramFolder() {
    const std::filesystem::path files = std::filesystem::path(programDir_) / "Files";
    std::error_code ec;
    std::filesystem::create_directories(files, ec);
    answers_.KeepFilesIn(files.string());
}

void Runner::KeepingFiles(const std::function<void()>& run) {
    const std::string before = answers_.FilesKeptIn();
    KeepFilesInProgramFolder();
    try {
        run();
    } catch (...) {
        answers_.KeepFilesIn(before);
        throw;
    }
    answers_.KeepFilesIn(before);
}

void Runner::Execute(std::string_view line, int number) {
    const std::string_view name = CommandName(line);
    if (name.empty()) return;
    Args args;
    const Command& c = Parse(line, args);
    if (c.when == When::BeforeStart && sim_)
        throw ScriptError("'" + std::string(name) + "' must come before start");
    if (c.when == When::Running) {
        if (!sim_) throw ScriptError("'" + std::string(name) + "' needs start first");
        if (closed_) throw ScriptError("the window is closed");
    }
    // The load-time checks refuse these already; a scene's command or a state's line that acted
    // regardless would free the device under the command running it, or write where it likes.
    if ((exerciseActing_ || replayingState_) && (c.traits & kNotInScene))
        throw ScriptError("'" + std::string(name) + "' does not belong in " +
                          (replayingState_ ? "a saved state" : "an exercise"));
    lineNumber_ = number;
    (this->*c.run)(args);
    AfterCommand();
    if (!std::exchange(waitNoted_, false)) NoteSession(line);
}

void Runner::CheckTimedCommand(std::string_view line) {
    Args args;
    const Command& c = Parse(line, args);
    // Commands that set the start, let time pass or belong to the trainee make no sense at a time.
    const bool timeless = c.when == When::BeforeStart || (c.traits & (kPassesTime | kDeclares)) ||
                          c.run == &Runner::Choose || c.run == &Runner::HandIn;
    if (timeless) throw ScriptError("'" + args.name + "' cannot run at a time");
    if (c.traits & kNotInScene) throw ScriptError("'" + args.name + "' does not belong in an exercise");
}

bool Runner::HasTrait(std::string_view line, unsigned traits) {
    const std::string_view name = CommandName(line);
    for (const Command& c : Commands())
        if (c.name == name) return (c.traits & traits) != 0;
    return false;
}

Simulator& Runner::Started() {
    return *sim_;
}

// The program may ask to close its window itself (a folder that cannot be made, the screen check, a
// restart for a setting). An exercise's window closes only when the trainee agrees to abandon the
// exercise, which ends its recording: a recording that goes on is of a trainee who kept it.
void Runner::AfterCommand() {
    if (plant_) plant_->Refresh();
    if (sim_ && !closed_ && answers_.CloseRequested()) {
        answers_.ClearCloseRequest();
        if (!run_.Opened()) CloseWindow();
    }
}

void Runner::CloseWindow() {
    if (!sim_->FormCloseQuery()) return; // refused: the window stays
    sim_->FormClose();
    closed_ = true;
    if (world_.Host().RestartRequested()) out_ << "restart\n"; // the desktop program would start itself again
}

void Runner::Screen(const Args& a) {
    answers_.SetScreen({ToInt(a.words[0], "width"), ToInt(a.words[1], "height"), ToInt(a.words[2], "depth")});
}

void Runner::Ini(const Args& a) {
    if (languageKept_ && SameIgnoringCase(a.words[0], "Config") && SameIgnoringCase(a.words[1], "Sprache"))
        return;
    // The value is the rest of the line after section and key.
    size_t pos = 0;
    for (int i = 0; i < 2; ++i) {
        pos = a.rest.find_first_not_of(" \t", pos);
        pos = a.rest.find_first_of(" \t", pos);
    }
    std::string value = pos == std::string::npos ? std::string() : a.rest.substr(pos + 1);
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(fs::path(deviceDir_) / "Config", ec);
    IniFile ini(SettingsPath());
    // A settings file that cannot be read is the user's all the same: never replaced by one line.
    if (!ini.Load() && IniFile::PresentButUnreadable(ini.Path()))
        throw RunFailure("cannot read " + ini.Path());
    ini.WriteString(a.words[0], a.words[1], value);
    if (!ini.Save(Flush::BySystem)) throw RunFailure("cannot write " + ini.Path());
}

void Runner::CreateDevice(uint8_t variant) {
    SimulatorOptions options{deviceDir_, variant};
    options.randomSeed = seed_;
    Attach(world_.CreateDevice(options));
    sim_->FormCreate();
    trend_ = std::make_unique<TrendRecorder>(*sim_);
    ++devicesMade_;
    if (plant_) plant_->DeviceMade(*sim_);
}

void Runner::Start(const Args&) {
    CreateDevice();
    FinishStart();
}

void Runner::FinishStart() {
    AfterCommand();
    if (!closed_ && virtualClock_) virtualClock_->Advance(sim_->Timer1.Interval()); // the start-up tick
    run_.Begin(clock_.NowMs());
}

// A recording's random seed, so the dead band's draws repeat.
void Runner::Seed(const Args& a) {
    uint64_t seed = 0;
    const std::string& word = a.words[0];
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), seed);
    if (error != std::errc() || end != word.data() + word.size())
        throw ScriptError("bad seed '" + word + "'");
    seed_ = seed;
}

void Runner::Wait(const Args& a) {
    const int ms = ToInt(a.words[0], "time");
    if (ms < 0) throw ScriptError("bad time '" + a.words[0] + "'");
    if (!virtualClock_) throw ScriptError("'wait' needs the simulated clock");
    if (plant_) ApplyPlantWrites();
    if (!peerConnected_ && time_.Plain() && !paced_) {
        virtualClock_->Advance(ms);
        return;
    }
    // In steps, so that what the peer received is taken while the time passes. The session notes the
    // device's time that passed, frozen or sped up, before each line the peer noted meanwhile: its
    // replay moves the device as far in the same order.
    const auto begin = std::chrono::steady_clock::now();
    for (int left = ms; left > 0;) {
        const int step = std::min(left, kPeerPollMs);
        PassNoted(step);
        left -= step;
        PollPeer();
        if (paced_) std::this_thread::sleep_until(begin + std::chrono::milliseconds(ms - left));
    }
    NoteSession({});
    waitNoted_ = true;
}

void Runner::PassNoted(int ms) {
    const int64_t before = clock_.NowMs();
    if (!closed_) time_.Pass(ms);
    waitUnnotedMs_ += clock_.NowMs() - before;
}

void Runner::PollPeer() {
    if (peerConnected_ && replaying_ == 0 && !exerciseActing_ && !replayingState_) peer_->Poll();
}

void Runner::Classroom(const Args& a) {
    if (!peer_) throw ScriptError("this program has no classroom");
    if (peerConnected_) throw ScriptError("already in a classroom");
    peer_->Connect(a.words);
    peerConnected_ = true;
}

void Runner::Close(const Args&) {
    CloseWindow();
}

// Every command with how many words it takes (-1: any number) and when it may stand.
std::span<const Runner::Command> Runner::Commands() {
    static const Runner::Command commands[] = {
        {"screen", 3, 3, When::BeforeStart, &Runner::Screen},
        {"ini", 2, -1, When::BeforeStart, &Runner::Ini},
        {"start", 0, 0, When::BeforeStart, &Runner::Start},
        {"seed", 1, 1, When::BeforeStart, &Runner::Seed},
        {"wait", 1, 1, When::Running, &Runner::Wait, kPassesTime},
        {"down", 2, 4, When::Running, &Runner::Down},
        {"up", 2, 3, When::Running, &Runner::Up},
        {"move", 2, 2, When::Running, &Runner::Move},
        {"press", 1, 3, When::Running, &Runner::Press},
        {"release", 1, 2, When::Running, &Runner::Release},
        {"param", 2, 2, When::Running, &Runner::Param},
        {"lcd", 2, -1, When::Running, &Runner::WriteLcd},
        {"set", 1, -1, When::Running, &Runner::Set},
        {"click", 1, 1, When::Running, &Runner::Click},
        {"menu", 1, 1, When::Running, &Runner::Menu},
        {"answer", 1, 1, When::Any, &Runner::Answer},
        {"file", 1, -1, When::Any, &Runner::File},
        {"scaledialog", 1, 2, When::Any, &Runner::ScaleDialogTexts},
        {"print", 1, -1, When::Any, &Runner::Print, kOutput},
        {"snapshot", 1, -1, When::Any, &Runner::Snapshot, kOutput | kNamedFile},
        {"close", 0, 0, When::Running, &Runner::Close, kClosesWindow},
        {"trend", 1, -1, When::Running, &Runner::Trend, kOutput | kNamedFile},
        {"export", 1, -1, When::Running, &Runner::Export, kOutput | kNamedFile},
        {"title", 1, -1, When::Any, &Runner::Declare, kDeclares},
        {"task", 1, -1, When::Any, &Runner::Declare, kDeclares},
        {"hide", 1, 1, When::Any, &Runner::Declare, kDeclares},
        {"lock", 1, 1, When::Any, &Runner::Declare, kDeclares},
        {"at", 2, -1, When::Any, &Runner::Declare, kDeclares},
        {"limit", 1, 1, When::Any, &Runner::Declare, kDeclares},
        {"check", 1, -1, When::Any, &Runner::Declare, kDeclares},
        {"question", 1, -1, When::Any, &Runner::Declare, kDeclares},
        {"choice", 1, -1, When::Any, &Runner::Declare, kDeclares},
        {"exercise", 1, -1, When::BeforeStart, &Runner::ExerciseFile, kTrainee},
        {"choose", 1, 1, When::Any, &Runner::Choose, kTrainee},
        {"handin", 0, 0, When::Running, &Runner::HandIn, kTrainee | kJudges},
        {"compare", 1, 2, When::Running, &Runner::Compare, kTrainee | kJudges},
        {"state", 1, -1, When::BeforeStart, &Runner::State, kReplays},
        {"rewind", 1, 1, When::Running, &Runner::Rewind, kReplays},
        {"verify", 1, -1, When::Any, &Runner::Verify, kOutput},
        {"savestate", 1, -1, When::Running, &Runner::SaveStateFile, kOutput | kNamedFile},
        {"classroom", 4, 6, When::BeforeStart, &Runner::Classroom, kConnects},
        {"room", 2, -1, When::Running, &Runner::Room},
        {"modbus", 1, 4, When::BeforeStart, &Runner::Modbus, kPlant},
        {"serve", 1, 1, When::Running, &Runner::Serve, kPassesTime | kPlant},
    };
    return commands;
}

} // namespace vp7
