// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/SessionRecorder.h"

#include "formats/IniFile.h"
#include "session/language/Output.h"
#include "session/language/ScriptWords.h"
#include "sim/Simulator.h"
#include "sim/files/Settings.h"

#include <sstream>

namespace vp7 {
namespace {

const char* ButtonWord(MouseButton button) {
    switch (button) {
    case MouseButton::Right:
        return "right";
    case MouseButton::Middle:
        return "middle";
    default:
        return "left";
    }
}

std::string Point(const UserAction& a) {
    return std::to_string(a.x) + ' ' + std::to_string(a.y);
}

// The valve type's three radio buttons are one setting of the runner.
std::optional<char> ValveTypeLetter(const Control& c) {
    if (c.name == "SelfClosingSelect") return 'S';
    if (c.name == "SelfOpeningSelect") return 'O';
    if (c.name == "DoubleActingSelect") return 'D';
    return std::nullopt;
}

} // namespace

std::optional<std::string> SessionRecorder::Command(const UserAction& a) {
    switch (a.kind) {
    case ActionKind::PointerDown:
        return "down " + Point(a) + ' ' + ButtonWord(a.button) + (a.shift ? " shift" : "");
    case ActionKind::PointerUp:
        return "up " + Point(a) + ' ' + ButtonWord(a.button);
    case ActionKind::PointerMove:
        return "move " + Point(a);
    case ActionKind::KeyPress:
        return "press " + std::string(kKeyWords[a.index]) + (a.button == MouseButton::Right ? " right" : "") +
               (a.shift ? " shift" : "");
    case ActionKind::KeyRelease:
        return "release " + std::string(kKeyWords[a.index]) +
               (a.button == MouseButton::Right ? " right" : "");
    case ActionKind::Check:
        if (const auto letter = ValveTypeLetter(*a.control)) return std::string("set ValveType ") + *letter;
        return "set " + a.control->name + (a.on ? " 1" : " 0");
    case ActionKind::Select:
        return "set " + a.control->name + ' ' + std::to_string(a.index);
    case ActionKind::Edit:
        return "set " + a.control->name + ' ' + QuoteText(a.text.value_or(""));
    case ActionKind::Click:
        return (a.control->kind == ControlKind::MenuItem ? "menu " : "click ") + a.control->name;
    case ActionKind::Enter:
        return "click Enter";
    case ActionKind::PauseClick:
        return "click RunPauseButton";
    case ActionKind::Answer:
        return std::string("answer ") + MsgButtonName(a.answer);
    case ActionKind::FileChosen:
        return "file " + a.text.value_or("cancel");
    case ActionKind::ScaleDialog:
        return a.text && a.text2 ? "scaledialog " + *a.text + ' ' + *a.text2 : "scaledialog cancel";
    case ActionKind::Ignored:
        break;
    }
    return std::nullopt;
}

std::vector<std::string> SettingsLines(std::string_view iniText) {
    std::vector<std::string> written;
    std::istringstream lines{std::string(iniText)};
    std::string line, section;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
        } else if (const auto equals = line.find('='); equals != std::string::npos && !section.empty()) {
            written.push_back("ini " + section + ' ' + line.substr(0, equals) + ' ' +
                              line.substr(equals + 1));
        }
    }
    return written;
}

SessionRecorder::SessionRecorder(Simulator& sim, const std::string& path, const std::string& header,
                                 std::string startLine, std::optional<int64_t> startMs)
    : sim_(sim), path_(path), startLine_(std::move(startLine)),
      file_(path, std::ios::binary | std::ios::trunc) {
    good_ = file_.good();
    const SimState& s = sim.state;
    Write("# " + header);
    Write("screen " + std::to_string(s.ScreenWidth) + ' ' + std::to_string(s.ScreenHeight) + ' ' +
          std::to_string(s.ScreenBitsPerPixel));
    Write("seed " + std::to_string(sim.RandomSeed));
    IniFile settings;
    sim.settings.WriteAll(settings);
    for (const std::string& line : SettingsLines(settings.Text()))
        Write(line);
    // The start line waits for the first action: answers to the start-up's dialogs must stand before
    // it. The runner's `start` (and `exercise`) runs the start-up tick too.
    lastMs_ = originMs_ = startMs.value_or(sim.CreatedMs + sim.Timer1.Interval());
    sim_.SetActionObserver(this);
}

SessionRecorder::SessionRecorder(Simulator& sim, const std::string& path, Continuation from)
    : sim_(sim), path_(path), file_(path, std::ios::binary | std::ios::app) {
    good_ = file_.good();
    started_ = true;
    lastMs_ = from.atMs;
    originMs_ = from.atMs - from.recordedMs;
    sim_.SetActionObserver(this);
}

// The time since the last action is part of the session: a replay ends where the recording did.
SessionRecorder::~SessionRecorder() {
    sim_.SetActionObserver(nullptr);
    Started();
    if (const int64_t now = sim_.clock.NowMs(); now > lastMs_) Write("wait " + std::to_string(now - lastMs_));
}

void SessionRecorder::WriteUpToNow() {
    if (depth_ > 0) return;
    Started();
    if (skippedMove_) WriteTimed(*skippedMove_);
    skippedMove_.reset();
    if (const int64_t now = sim_.clock.NowMs(); now > lastMs_) {
        Write("wait " + std::to_string(now - lastMs_));
        lastMs_ = now;
    }
}

// Inside an action (a dialog's own loop) the line waits for the action's: the replay runs the action
// whole before it.
void SessionRecorder::WriteOutside(const std::string& line) {
    if (depth_ > 0) {
        held_.push_back({sim_.clock.NowMs(), line});
        return;
    }
    WriteUpToNow();
    Write(line);
}

void SessionRecorder::Started() {
    if (started_) return;
    started_ = true;
    Write(startLine_);
}

int64_t SessionRecorder::ElapsedMs() const {
    return sim_.clock.NowMs() - sim_.CreatedMs;
}

int64_t SessionRecorder::RecordedMs() const {
    return sim_.clock.NowMs() - originMs_;
}

void SessionRecorder::Write(const std::string& text) {
    file_ << text << '\n';
    file_.flush();
    good_ = good_ && file_.good();
}

void SessionRecorder::WriteTimed(const Line& line) {
    Started();
    if (line.timeMs > lastMs_) {
        Write("wait " + std::to_string(line.timeMs - lastMs_));
        lastMs_ = line.timeMs;
    }
    Write(line.text);
}

std::string SessionRecorder::HelpShown() const {
    std::string shown;
    for (const Control* c : {&sim_.form.HilfeOben, &sim_.form.HilfeUnten, &sim_.form.HelpText})
        if (c->visible)
            shown += c->text + '\n' + std::to_string(c->left) + ',' + std::to_string(c->top) + '\n';
    return shown;
}

void SessionRecorder::OnAction(const UserAction& action) {
    const std::optional<std::string> command = Command(action);
    switch (action.kind) {
    case ActionKind::Answer:
    case ActionKind::FileChosen:
    case ActionKind::ScaleDialog:
        // An answer stands before the line whose handling opened its box.
        if (depth_ > 0)
            answers_.push_back(*command);
        else
            Write(*command);
        return;
    default:
        break;
    }
    if (depth_++ == 0) helpAtEntry_ = HelpShown();
    if (command) held_.push_back({sim_.clock.NowMs(), *command});
}

void SessionRecorder::OnActionDone() {
    if (--depth_ > 0) return;
    const bool onlyMove = held_.size() == 1 && held_[0].text.starts_with("move ");
    if (onlyMove && answers_.empty() && HelpShown() == helpAtEntry_ &&
        held_[0].timeMs - lastMoveMs_ < kMoveEveryMs) {
        skippedMove_ = held_[0];
        held_.clear();
        return;
    }
    // The pointer where it was before the next press, release or other action.
    if (skippedMove_ && !onlyMove) WriteTimed(*skippedMove_);
    skippedMove_.reset();
    if (!answers_.empty()) Started();
    for (const std::string& answer : answers_)
        Write(answer);
    for (const Line& line : held_) {
        WriteTimed(line);
        if (line.text.starts_with("move ")) lastMoveMs_ = line.timeMs;
    }
    answers_.clear();
    held_.clear();
}

} // namespace vp7
