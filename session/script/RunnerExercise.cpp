// SPDX-License-Identifier: GPL-3.0-or-later
// The runner's exercise commands: the lines that declare an exercise, loading one for a trainee,
// the answer, handing in, and comparing configurations with a model solution.
#include "session/script/Runner.h"

#include "platform/FileRead.h"
#include "platform/Sha256.h"
#include "session/ConfigCompare.h"
#include "session/SavedState.h"
#include "session/ScratchFolder.h"
#include "session/exercise/CheckExpression.h"
#include "session/exercise/ExerciseReport.h"
#include "session/language/Output.h"
#include "session/script/PrintedValue.h"
#include "session/script/ReadExercise.h"
#include "sim/Simulator.h"

#include <filesystem>
#include <ostream>

namespace vp7 {
namespace {

// An exercise is a page of lines.
constexpr std::uintmax_t kExerciseMaxBytes = 1u << 20;
// A report is a page; the recording it names may hold hours of session.
constexpr std::uintmax_t kReportMaxBytes = 1u << 20;

// OK when the file beside the report or at the path recorded has the reported digest, CHANGED when
// one of them is there but neither has it, MISSING when neither is there.
const char* SourceState(const std::optional<ReportedFile>& file, const std::filesystem::path& reportFolder) {
    if (!file) return "MISSING";
    bool found = false;
    const std::filesystem::path recorded(file->path);
    for (const std::filesystem::path& candidate : {reportFolder / recorded.filename(), recorded}) {
        const auto sha256 = Sha256OfFile(candidate.string(), kRecordingMaxBytes);
        if (sha256 && *sha256 == file->sha256) return "OK";
        found = found || sha256.has_value();
    }
    return found ? "CHANGED" : "MISSING";
}

} // namespace

std::string Runner::ScriptRelative(const std::string& path) const {
    const std::filesystem::path p(path);
    return p.is_relative() && !scriptFolder_.empty() ? (std::filesystem::path(scriptFolder_) / p).string()
                                                     : path;
}

// An exercise's own lines declare it as they come; hiding, locking and the timed commands take effect
// when an exercise is loaded (`exercise FILE`, or the window's), after its scene is set.
void Runner::Declare(const Args& a) {
    DeclareExerciseLine(run_.Declared(), a.name, a.rest, lineNumber_);
}

// An exercise's text is checked whole, in a scratch folder, before anything changes.
Exercise Runner::CheckedExercise(const std::string& name, const std::string& text,
                                 const std::string& folder) {
    const ScratchFolder scratch("vp7-exercise");
    auto read = ReadExercise(text, scratch.path, folder);
    if (const auto* problem = std::get_if<ScriptProblem>(&read))
        throw ScriptError(name + " line " + std::to_string(problem->line) + ": " + problem->reason);
    return std::get<Exercise>(std::move(read));
}

// As `start` (or `state FILE`), with the exercise's settings before it and its scene set before the
// start-up tick (or right after the state was loaded).
void Runner::ExerciseFile(const Args& a) {
    const std::string name = a.rest.substr(a.rest.find_first_not_of(" \t"));
    const std::string path = ScriptRelative(name);
    const auto text = ReadWholeFile(path, kExerciseMaxBytes);
    if (!text) throw RunFailure("cannot read " + name);
    const Exercise exercise =
        CheckedExercise(name, *text, std::filesystem::path(path).parent_path().string());

    // The session goes on from this line, as a recording of the exercise does: the exercise's
    // settings and its state's own lines are its doing, not the script's (and a seed of the
    // exercise's own after the one given would make the session's recording one of two seeds).
    const size_t noted = log_.Size();
    RunExerciseSettings(exercise, [&] {
        if (!exercise.state.empty()) StartFromState(exercise.state);
    });
    log_.Truncate(noted);
    if (!exercise.state.empty()) {
        PrepareStartedExercise(exercise);
        return;
    }
    CreateDevice();
    PrepareExercise(exercise);
    FinishStart();
}

void Runner::RunExerciseSettings(const Exercise& exercise, const std::function<void()>& more) {
    const bool kept = std::exchange(languageKept_, true);
    const std::optional<uint64_t> given = seed_;
    try {
        for (const std::string& line : exercise.settings)
            Execute(line);
        if (given) seed_ = given;
        exerciseSeed_ = given;
        if (more) more();
    } catch (...) {
        languageKept_ = kept;
        throw;
    }
    languageKept_ = kept;
}

void Runner::PrepareExercise(const Exercise& exercise) {
    exerciseSeed_.reset(); // the device was made on it
    timedCommands_.clear();
    run_.Open(exercise, sim_->CreatedMs + sim_->Timer1.Interval());
    // The start-up tick takes the unlit display from the picture: nothing may draw on it before.
    sim_->OnStartedUp([this, prepare = exercise.prepare, timed = exercise.timed] {
        SetScene(prepare, timed, sim_->CreatedMs + sim_->Timer1.Interval());
    });
}

// A device reseeded when its seed is the state's own already would draw anew what the state's replay
// drew: a recording of an exercise that was not the room's begins with the state's seed, and replays
// on as the state left it.
void Runner::PrepareStartedExercise(const Exercise& exercise) {
    if (const auto given = std::exchange(exerciseSeed_, std::nullopt); given && *given != sim_->RandomSeed) {
        sim_->RandomSeed = *given;
        sim_->random.seed(*given);
    }
    timedCommands_.clear();
    run_.Open(exercise, clock_.NowMs());
    SetScene(exercise.prepare, exercise.timed, clock_.NowMs());
}

void Runner::SetScene(const std::vector<std::string>& prepare, const std::vector<TimedCommand>& timed,
                      int64_t beganMs) {
    for (const std::string& line : prepare)
        RunExerciseCommand({0, 0, line});
    for (const TimedCommand& command : timed) {
        const int64_t dueIn = beganMs + command.afterMs - clock_.NowMs();
        if (dueIn <= 0) {
            RunExerciseCommand(command);
            continue;
        }
        Timer& timer =
            *timedCommands_.emplace_back(std::make_unique<Timer>(clock_, "at", static_cast<int>(dueIn)));
        timer.SetHandler([this, &timer, command] {
            timer.SetEnabled(false); // once
            RunExerciseCommand(command);
        });
        timer.SetEnabled(true);
    }
}

void Runner::RunExerciseCommand(const TimedCommand& command) {
    if (closed_) return;
    try {
        ActingForExercise([&] { KeepingFiles([&] { Execute(command.command, command.line); }); });
    } catch (const std::runtime_error& e) {
        out_ << "error " << command.line << ": " << e.what() << '\n';
    }
}

void Runner::ActingForExercise(const std::function<void()>& act) {
    // Put back however `act` ends; nothing it may run replaces the device.
    struct Restore {
        Runner& runner;
        ActionObserver* observer;
        bool acting;
        ~Restore() {
            runner.sim_->SetActionObserver(observer);
            runner.exerciseActing_ = acting;
        }
    } const restore{*this, sim_->GetActionObserver(), std::exchange(exerciseActing_, true)};
    sim_->SetActionObserver(nullptr);
    act();
}

// A hidden or locked control, or one inside a hidden or locked group or menu, is out of the trainee's
// reach, as a disabled one is.
void Runner::CheckReach(const Control& control) const {
    if (exerciseActing_) return;
    for (const Control* c = &control; c; c = c->parent.empty() ? nullptr : sim_->form.Find(c->parent))
        if (run_.OutOfReach(c->name)) throw ScriptError("control '" + control.name + "' cannot be used now");
}

CheckOutcome Runner::Evaluate(const std::string& expression) {
    const std::vector<CheckExpression> parts = ParseChecks(expression);
    if (!sim_) throw ScriptError("a check needs start first");
    return JudgeChecks(
        parts,
        [this](const std::vector<std::string>& name) { return LookUpPrinted(*sim_, values_, name).value; },
        [this](const std::vector<std::string>& name, const std::string& judged) {
            return ShownValue(*sim_, name, judged);
        });
}

void Runner::Choose(const Args& a) {
    const auto& question = run_.Definition().question;
    if (!question) throw ScriptError("no question to answer");
    const int n = ToInt(a.words[0], "choice");
    if (n < 1 || n > static_cast<int>(question->choices.size())) throw ScriptError("no choice " + a.words[0]);
    run_.Choose(n - 1);
}

void Runner::HandIn(const Args&) {
    const ExerciseResult result = HandInNow();
    if (peerConnected_) peer_->HandedIn(result);
}

ExerciseResult Runner::HandInNow() {
    ExerciseResult result =
        run_.Judge(clock_.NowMs(), [this](const std::string& expression) { return Evaluate(expression); });
    for (const auto& [check, outcome] : result.checks)
        if (!outcome.evaluated) // a check the script declared itself, not read beforehand
            throw ScriptError("check in line " + std::to_string(check->line) + ": " + outcome.value);
    for (const auto& [check, outcome] : result.checks)
        out_ << "check " << (outcome.passed ? "PASS " : "FAIL ") << QuoteText(check->text.en) << '\n';
    if (result.question) out_ << "question " << (result.QuestionPassed() ? "PASS" : "FAIL") << '\n';
    out_ << "result " << result.Passed() << '/' << result.Total() << '\n';
    roomExercise_ = false; // handed in, the exercise is the room's no longer
    return result;
}

int Runner::ChecksHolding() {
    return run_.ChecksHolding([this](const std::string& expression) { return Evaluate(expression); });
}

// The values print as the parameter table shows them, without its padding blanks.
void Runner::Compare(const Args& a) {
    std::optional<std::string> second;
    if (a.words.size() > 1) second = ScriptRelative(a.words[1]);
    const auto compared = CompareConfigurations(Started(), ScriptRelative(a.words[0]), second);
    if (const auto* refusal = std::get_if<std::string>(&compared)) throw RunFailure(*refusal);
    int differences = 0;
    for (const CompareRow& row : std::get<std::vector<CompareRow>>(compared)) {
        if (!row.differs) continue;
        ++differences;
        out_ << "diff " << row.name << ' ' << QuoteText(row.left) << ' ' << QuoteText(row.right) << '\n';
    }
    out_ << "differences " << differences << '\n';
}

// Whether the exercise and the recording a report names are still the files it was made from.
void Runner::Verify(const Args& a) {
    const std::string name = a.rest.substr(a.rest.find_first_not_of(" \t"));
    const std::string path = ScriptRelative(name);
    const auto html = ReadWholeFile(path, kReportMaxBytes);
    if (!html) throw RunFailure("cannot read " + name);
    const ReportedSources sources = ReadReportSources(*html);
    if (!sources.exercise && !sources.recording)
        throw RunFailure(name + " names no exercise and no recording");
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    out_ << "verify exercise " << SourceState(sources.exercise, folder) << '\n';
    out_ << "verify recording " << SourceState(sources.recording, folder) << '\n';
}

} // namespace vp7
