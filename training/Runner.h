#pragma once
// The scenario runner: drives a Simulator from a script, one command a line, on a virtual clock with
// flat sprites and a scripted host, and prints what the script asks for.
#include "platform/ScriptedHost.h"
#include "platform/SpriteSet.h"
#include "platform/VirtualClock.h"
#include "training/ScriptWords.h"
#include "training/StateValues.h"

#include <cstdint>
#include <deque>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vp7 {

class Simulator;
class TrendRecorder;

class Runner {
public:
    Runner(std::ostream& out, std::string programDir);
    // Runs a script on a simulator that lives elsewhere (a window playing a recording) on `clock`,
    // with the dialogs answered through `answers`: the lines before `start` write the settings into
    // `programDir`, and Attach() stands for `start` itself.
    Runner(std::ostream& out, std::string programDir, VirtualClock& clock, ScriptedAnswers& answers);
    ~Runner();
    void Attach(Simulator& sim);
    // After the attached simulator's form was created: the start-up tick, as `start` runs it.
    void FinishStart();

    // Runs every line; returns the exit status (0 fine, 1 failure, 2 bad script), having written
    // "error LINE: REASON" to `err` on failure.
    int Run(std::istream& script, std::ostream& err);
    // One line; throws ScriptError or RunFailure.
    void Execute(std::string_view line);
    // A line's command word; empty for a blank or comment line.
    static std::string_view CommandName(std::string_view line);

    struct Args {
        std::vector<std::string> words; // the words after the command name
        std::string rest;               // everything after the command name and one blank
    };
    enum class When { BeforeStart, Running, Any };
    struct Command;

    Simulator* Sim() { return sim_; }
    const TrendRecorder* Trend() const { return trend_.get(); }
    ScriptedAnswers& Answers() { return answers_; }
    int64_t NowMs() const { return clock_.NowMs(); }
    // The random seed a `seed` line gave.
    std::optional<uint64_t> RandomSeed() const { return seed_; }

private:
    static std::span<const Command> Commands();
    Simulator& Started();
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
    void PrintTrend();
    void ScaleDialogTexts(const Args& a);
    void RunDialog(ModalDialog dialog);

    std::ostream& out_;
    std::string programDir_;
    VirtualClock ownClock_;
    VirtualClock& clock_;
    ScriptedHost host_; // the headless runner's; unused while attached
    ScriptedAnswers& answers_;
    SpriteSet sprites_;
    std::unique_ptr<Simulator> ownSim_;
    Simulator* sim_ = nullptr;
    std::unique_ptr<TrendRecorder> trend_; // everything since `start`
    std::vector<NamedValue> values_;       // what `print NAME` finds in sim_
    bool closed_ = false;
    std::optional<uint64_t> seed_;
    std::deque<std::optional<std::pair<std::string, std::string>>> scaleTexts_;
};

} // namespace vp7
