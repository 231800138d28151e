// SPDX-License-Identifier: GPL-3.0-or-later
// What an instructor does to a trainee's device behaves alike wherever the trainee sits: a fault set
// unseen and cleared, a fault refused, and the exercise's work judged, through the window's seat on its
// own device, through it on an exercise's window (which it hands the command to), and through the
// runner's seat.
#include "ShownApp.h"
#include "classroom/RunnerSeat.h"
#include "platform/FileRead.h"
#include "session/SessionRecorder.h"
#include "session/exercise/ExerciseReport.h"
#include "session/script/Runner.h"
#include "session/trend/TrendRecorder.h"
#include "sim/Simulator.h"
#include "ui/app/ClassroomControl.h"
#include "ui/training/ExerciseSession.h"

#include <QCheckBox>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>

using namespace vp7;

namespace {

constexpr char kExercise[] = R"(title "Reibung" "Friction"
ini Config CheckScreen 0
start
hide AlarmModulSelect
lock StromModulSelect
check FrictionSelect = 1 "Reibung an" "Friction on"
check LeakageSelect = 1 "Leckage an" "Leakage on"
check Mode = 1 "Handbetrieb" "Manual mode"
check Istwert within 0 100 "Stellung gültig" "Position valid"
question "Was klemmt?" "What sticks?"
choice "Nichts" "Nothing"
choice "Die Reibung" "Friction" correct
)";

// A judgement as a line: each check's outcome and value, the answer, the score.
std::string Summary(const ExerciseResult& result) {
    std::string line;
    for (const auto& [check, outcome] : result.checks)
        line += (outcome.passed ? "PASS " : "FAIL ") + outcome.value + "; ";
    return line + "question " + (result.QuestionPassed() ? "PASS " : "FAIL ") +
           std::to_string(result.Passed()) + "/" + std::to_string(result.Total());
}

// Where a trainee sits, with the seat that carries out the instructor's commands there.
class Seated {
public:
    virtual ~Seated() = default;
    virtual SeatTarget& Seat() = 0;
    virtual Simulator& Sim() = 0;
    virtual std::set<std::string> Hidden() = 0;
    virtual const TrendRecorder& Trend() = 0;
    // Whether the trainee can reach the control now.
    virtual bool Reachable(const std::string& control) = 0;
    // The exercise handed in with the choice at `index`; none without an exercise.
    virtual std::optional<std::string> HandIn(int index) = 0;
    // The recording of the exercise so far; none without an exercise.
    virtual std::optional<std::string> Recording() = 0;
};

// The window on the wall clock: a widget is out of reach when hidden.
bool Shown(DeviceWindow& window, const std::string& control) {
    const auto* box = window.findChild<QCheckBox*>(QString::fromStdString(control));
    return box && !box->isHidden();
}

class WindowSeated : public Seated {
public:
    WindowSeated() {
        windows_.main->show();
        test::RunEvents(3000, [this] { return windows_.main->Sim().state.SplashDone != 0; });
    }
    SeatTarget& Seat() override { return *windows_.classroom; }
    Simulator& Sim() override { return Shown().Sim(); }
    std::set<std::string> Hidden() override { return Shown().Hidden(); }
    const TrendRecorder& Trend() override { return Shown().Trend(); }
    bool Reachable(const std::string& control) override { return ::Shown(Shown(), control); }
    std::optional<std::string> HandIn(int) override { return std::nullopt; }
    std::optional<std::string> Recording() override { return std::nullopt; }

protected:
    virtual DeviceWindow& Shown() { return *windows_.main; }
    QTemporaryDir dir_;
    AppWindows windows_ = CreateProgramWindows(test::ProgramFolder(dir_).toStdString(), 1, false);
};

// The window's seat hands the command to the exercise the window runs.
class ExerciseSeated : public WindowSeated {
public:
    ExerciseSeated() {
        const QString path = dir_.filePath(QStringLiteral("friction.vp7x"));
        test::WriteFile(path, kExercise);
        auto session = test::StartExercise(path, kExercise, dir_);
        session_ = session.get();
        windows_.main->RunExercise(std::move(session));
        test::RunEvents(5000, [this] { return Sim().StartedMs != 0 && !Sim().form.Image2.visible; });
    }
    std::optional<std::string> HandIn(int index) override { return Summary(session_->HandIn(index)); }
    std::optional<std::string> Recording() override {
        session_->Recording().Recorder()->WriteUpToNow();
        return ReadWholeFile(session_->RecordingPath().toStdString(), 1u << 20);
    }

private:
    DeviceWindow& Shown() override { return session_->Window(); }
    ExerciseSession* session_; // the window's
};

// The runner's own device, the exercise loaded by its script; the seat needs no room for commands.
class RunnerSeated : public Seated {
public:
    RunnerSeated() {
        const std::string path = dir_.filePath(QStringLiteral("friction.vp7x")).toStdString();
        test::WriteFile(QString::fromStdString(path), kExercise);
        runner_.Execute("exercise " + path);
        runner_.Execute("wait 1000");
    }
    SeatTarget& Seat() override { return seat_; }
    Simulator& Sim() override { return *runner_.Sim(); }
    std::set<std::string> Hidden() override { return runner_.RunningExercise().Hidden(); }
    const TrendRecorder& Trend() override { return *runner_.Trend(); }
    bool Reachable(const std::string& control) override {
        try {
            runner_.Execute("set " + control + (Sim().form.Find(control)->checked ? " 1" : " 0"));
            return true;
        } catch (const ScriptError&) {
            return false;
        }
    }
    std::optional<std::string> HandIn(int index) override {
        runner_.Execute("choose " + std::to_string(index + 1));
        return Summary(runner_.HandInNow());
    }
    std::optional<std::string> Recording() override { return runner_.SessionRecording(); }

private:
    QTemporaryDir dir_;
    std::ostringstream out_, log_;
    Runner runner_{out_, dir_.path().toStdString()};
    RunnerSeat seat_{runner_, dir_.path().toStdString(), log_, {}};
};

std::string Refusal(Seated& seated, const std::string& option) {
    try {
        seated.Seat().SetHiddenFault(option, true);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "set";
}

} // namespace

// A fault set unseen is hidden from then on and leaves no mark in the trend; cleared, it stays hidden.
// A fault that is no option, or one the device greys now, is refused with the reason, and nothing
// changes. The same actions are judged the same.
TEST(HiddenFault, IsSetRefusedAndJudgedAlikeForEverySeat) {
    struct Row {
        const char* seat;
        std::function<std::unique_ptr<Seated>()> make;
    };
    const Row rows[] = {
        {"the window's seat", [] { return std::make_unique<WindowSeated>(); }},
        {"an exercise's window, through the window's seat",
         [] { return std::make_unique<ExerciseSeated>(); }},
        {"the runner's seat", [] { return std::make_unique<RunnerSeated>(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.seat);
        const std::unique_ptr<Seated> seated = row.make();
        Simulator& sim = seated->Sim();
        std::set<std::string> hidden = seated->Hidden();
        const uint64_t eventsBefore = seated->Trend().Events().Pushed();

        ASSERT_TRUE(seated->Reachable("FrictionSelect"));
        seated->Seat().SetHiddenFault("FrictionSelect", true);
        EXPECT_TRUE(sim.form.FrictionSelect.checked);
        hidden.insert("FrictionSelect");
        EXPECT_EQ(seated->Hidden(), hidden);
        EXPECT_FALSE(seated->Reachable("FrictionSelect"));
        seated->Seat().SetHiddenFault("FrictionSelect", false);
        EXPECT_FALSE(sim.form.FrictionSelect.checked);
        EXPECT_EQ(seated->Hidden(), hidden);
        test::RunEvents(100);
        const auto& events = seated->Trend().Events();
        for (uint64_t i = std::max(eventsBefore, events.FirstKept()); i < events.Pushed(); ++i)
            EXPECT_NE(events[i - events.FirstKept()].kind, TrendEventKind::Option);

        sim.form.BlockUpSelect.enabled = false;
        const struct {
            const char* option;
            const char* reason;
        } refused[] = {
            {"NoSuchSelect", "no option 'NoSuchSelect'"},
            {"SetPointText", "no option 'SetPointText'"},
            {"BlockUpSelect", "option 'BlockUpSelect' cannot be set now"},
        };
        for (const auto& refusal : refused) {
            EXPECT_EQ(Refusal(*seated, refusal.option), refusal.reason);
            EXPECT_EQ(seated->Hidden(), hidden) << refusal.option;
        }
        EXPECT_FALSE(sim.form.BlockUpSelect.checked);
        sim.form.BlockUpSelect.enabled = true;

        seated->Seat().SetHiddenFault("FrictionSelect", true);
        // A replay of the exercise's recording ends on the fault the room set, hidden.
        if (const auto recording = seated->Recording()) {
            std::ostringstream out;
            QTemporaryDir replayDir;
            Runner replay(out, replayDir.path().toStdString());
            for (const std::string& line : Runner::SplitLines(*recording))
                replay.Execute(line);
            replay.Execute("print FrictionSelect");
            EXPECT_EQ(out.str(), "FrictionSelect 1\n") << *recording;
            EXPECT_TRUE(replay.RunningExercise().Hidden().contains("FrictionSelect"));
        }
        sim.UserCheck(sim.form.LeakageSelect, true); // the trainee's own doing
        if (const auto judged = seated->HandIn(1)) {
            EXPECT_EQ(*judged, "PASS 1; PASS 1; FAIL AUT; PASS 0.0000; question PASS 4/5");
        }
    }
}
