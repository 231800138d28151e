// SPDX-License-Identifier: GPL-3.0-or-later
// Freezing and the speed behave alike for every caller that steers a device: the window's instructor
// controls, an exercise's panel, and the runner (which a classroom seat in the runner drives).
#include "ShownApp.h"
#include "model/PictureLayout.h"
#include "session/exercise/Exercise.h"
#include "session/script/Runner.h"
#include "sim/Simulator.h"
#include "ui/app/InstructorControls.h"
#include "ui/device/PictureWidget.h"
#include "ui/training/ExerciseSession.h"

#include <QElapsedTimer>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <stdexcept>

using namespace vp7;

namespace {

// One caller of the steering, around a device of its own.
class Steered {
public:
    virtual ~Steered() = default;
    virtual Simulator& Sim() = 0;
    // The trainee presses the mode key and keeps it down, and lifts the hand from it (while frozen).
    virtual void HoldModeKey() = 0;
    virtual void LiftHand() {}
    virtual void SetFrozen(bool frozen) = 0;
    virtual bool Frozen() = 0;
    virtual void SetSpeed(double speed) = 0;
    virtual double Speed() = 0;
    // Lets the time that drives the device pass for about `ms`; returns how much passed.
    virtual int64_t Pass(int ms) = 0;
};

// A window's device runs on the wall clock.
class WindowSteered : public Steered {
public:
    Simulator& Sim() override { return Window().Sim(); }
    void HoldModeKey() override {
        const QPoint modeKey =
            Window().Picture()->mapTo(&Window(), QPoint(layout::KeyCentres[0].x, layout::KeyCentres[0].y));
        QTest::mousePress(Window().windowHandle(), Qt::LeftButton, {}, modeKey);
        held_ = modeKey;
    }
    // Qt's button state is the application's: no later test may find it down.
    void LiftHand() override { QTest::mouseRelease(Window().windowHandle(), Qt::LeftButton, {}, held_); }
    int64_t Pass(int ms) override {
        QElapsedTimer wall;
        wall.start();
        test::RunEvents(ms);
        return wall.elapsed();
    }

protected:
    virtual DeviceWindow& Window() = 0;
    QPoint held_;
};

class InstructorSteered : public WindowSteered {
public:
    InstructorSteered() {
        windows_.main->show();
        test::RunEvents(3000, [this] { return Sim().state.SplashDone != 0; });
    }
    void SetFrozen(bool frozen) override { windows_.instructor->SetFrozen(frozen); }
    bool Frozen() override { return windows_.instructor->Frozen(); }
    void SetSpeed(double speed) override { windows_.instructor->SetSpeed(speed); }
    double Speed() override { return windows_.instructor->Speed(); }

private:
    DeviceWindow& Window() override { return *windows_.main; }
    QTemporaryDir dir_;
    AppWindows windows_ = CreateProgramWindows(test::ProgramFolder(dir_).toStdString(), 1, false);
};

constexpr char kExercise[] = "title \"Handbetrieb\" \"Manual mode\"\nini Config CheckScreen 0\nstart\n"
                             "check Mode = 1 \"Handbetrieb\" \"Manual mode\"\n";

class ExerciseSteered : public WindowSteered {
public:
    ExerciseSteered() {
        const QString path = dir_.filePath(QStringLiteral("manual.vp7x"));
        test::WriteFile(path, kExercise);
        session_ = test::StartExercise(path, kExercise, dir_);
        // The offscreen screen is narrow: the panel would lie over the device's keys.
        session_->Panel()->parentWidget()->hide();
        // The splash goes by itself: a press on it would only take it away.
        test::RunEvents(5000, [this] { return Sim().StartedMs != 0 && !Sim().form.Image2.visible; });
    }
    void SetFrozen(bool frozen) override { session_->SetFrozen(frozen); }
    bool Frozen() override { return session_->Frozen(); }
    void SetSpeed(double speed) override { session_->SetSpeed(speed); }
    double Speed() override { return session_->Speed(); }

private:
    DeviceWindow& Window() override { return session_->Window(); }
    QTemporaryDir dir_;
    std::unique_ptr<ExerciseSession> session_;
};

// The runner's device runs on the script's waits.
class RunnerSteered : public Steered {
public:
    RunnerSteered() {
        for (const char* line : {"ini Config CheckScreen 0", "start", "wait 1000"})
            runner_.Execute(line);
    }
    Simulator& Sim() override { return *runner_.Sim(); }
    void HoldModeKey() override { runner_.Execute("press mode"); }
    void SetFrozen(bool frozen) override { runner_.SetFrozen(frozen); }
    bool Frozen() override { return runner_.Frozen(); }
    void SetSpeed(double speed) override { runner_.SetSpeed(speed); }
    double Speed() override { return runner_.Speed(); }
    int64_t Pass(int ms) override {
        runner_.Execute("wait " + std::to_string(ms));
        return ms;
    }

private:
    QTemporaryDir dir_;
    std::ostringstream out_;
    Runner runner_{out_, dir_.path().toStdString()};
};

} // namespace

// Frozen, a key held is let go first (the device is told, as a short click) and the time stands;
// continued at a speed, the device's time runs that many times the time driving it; a speed out of
// range is refused and the speed stays.
TEST(Steering, FreezeAndSpeedAreTheSameForEveryCaller) {
    struct Row {
        const char* caller;
        std::function<std::unique_ptr<Steered>()> make;
        int64_t toleranceMs; // of the driving time: the wall clock is read twice
    };
    const Row rows[] = {
        {"the window's instructor controls", [] { return std::make_unique<InstructorSteered>(); }, 40},
        {"an exercise's panel", [] { return std::make_unique<ExerciseSteered>(); }, 40},
        {"the runner (and a classroom seat in it)", [] { return std::make_unique<RunnerSteered>(); }, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caller);
        const std::unique_ptr<Steered> steered = row.make();
        Simulator& sim = steered->Sim();
        steered->HoldModeKey();
        ASSERT_EQ(sim.state.LastKeyCode, KeyCode::ModePressed);

        steered->SetFrozen(true);
        EXPECT_TRUE(steered->Frozen());
        EXPECT_EQ(sim.state.LastKeyCode, KeyCode::ModeReleased);
        const int64_t frozenAt = sim.clock.NowMs();
        steered->Pass(300);
        EXPECT_EQ(sim.clock.NowMs(), frozenAt);
        steered->LiftHand();
        EXPECT_EQ(sim.state.LastKeyCode, KeyCode::ModeReleased);

        steered->SetFrozen(false);
        steered->SetSpeed(4);
        const int64_t from = sim.clock.NowMs();
        const int64_t driven = steered->Pass(500);
        EXPECT_NEAR(static_cast<double>(sim.clock.NowMs() - from), 4.0 * static_cast<double>(driven),
                    4.0 * static_cast<double>(row.toleranceMs));

        EXPECT_THROW(steered->SetSpeed(kFastestSpeed * 2), std::runtime_error);
        EXPECT_THROW(steered->SetSpeed(kSlowestSpeed / 2), std::runtime_error);
        EXPECT_EQ(steered->Speed(), 4);
    }
}
