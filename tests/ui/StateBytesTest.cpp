// SPDX-License-Identifier: GPL-3.0-or-later
// A snapshot state sent as bytes (a classroom's instructor sends one) replaces the device of the runner
// and of the window alike: checked whole first, so that a refused one changes nothing, and taken from
// the bytes themselves, writing no file.
#include "ShownApp.h"
#include "session/StateFile.h"
#include "session/script/Runner.h"
#include "support/DeviceState.h"
#include "ui/app/ClassroomControl.h"

#include <QDirIterator>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <variant>

using namespace vp7;

namespace {

// The files below `folder`, by their paths.
QStringList FilesBelow(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

// One caller that takes a state's bytes in place of its running device.
class StateTaker {
public:
    virtual ~StateTaker() = default;
    virtual Simulator& Sim() = 0;
    // Throws std::runtime_error when the state is refused.
    virtual void Load(const std::string& bytes) = 0;
    virtual QString Folder() = 0; // every file the caller writes lies below it
};

// The program folder `dir`, its settings naming the variant before any script runs, as a seat's do: a
// state of another variant is refused.
std::string NamingTheVariant(const QTemporaryDir& dir) {
    QDir(dir.path()).mkpath(QStringLiteral("Config"));
    std::ofstream(dir.filePath(QStringLiteral("Config/VP7.ini")).toStdString())
        << "[Config]\nController=VP7A\n";
    return dir.path().toStdString();
}

class RunnerTaker : public StateTaker {
public:
    RunnerTaker() {
        for (const char* line :
             {"ini Config CheckScreen 0", "start", "wait 2000", "press mode", "release mode"})
            runner_.Execute(line);
    }
    Simulator& Sim() override { return *runner_.Sim(); }
    void Load(const std::string& bytes) override { runner_.LoadStateBytes(bytes); }
    QString Folder() override { return dir_.path(); }

private:
    QTemporaryDir dir_;
    std::ostringstream out_;
    Runner runner_{out_, NamingTheVariant(dir_)};
};

class WindowTaker : public StateTaker {
public:
    WindowTaker() {
        test::RunEvents(3000, [this] { return Sim().state.SplashDone != 0; });
    }
    Simulator& Sim() override { return windows_.main->Sim(); }
    void Load(const std::string& bytes) override { windows_.classroom->LoadState(bytes); }
    QString Folder() override { return dir_.path(); }

private:
    QTemporaryDir dir_;
    AppWindows windows_ = CreateProgramWindows(test::ProgramFolder(dir_).toStdString(), 1, false);
};

// A state saved from a runner's device of `variant` a while after its start.
std::string SavedState(const char* variant = "VP7A") {
    QTemporaryDir dir;
    std::ostringstream out;
    Runner runner(out, dir.path().toStdString());
    runner.Execute(std::string("ini Config Controller ") + variant);
    for (const char* line :
         {"ini Config CheckScreen 0", "start", "wait 7000", "set LeakageSelect 1", "wait 500"})
        runner.Execute(line);
    return SaveState(*runner.Sim(), "start\nwait 7000\nset LeakageSelect 1\nwait 500\n");
}

} // namespace

TEST(StateBytes, ARefusedStateChangesNothingAndATakenOneWritesNoFile) {
    const std::string saved = SavedState();
    std::string damaged = saved;
    damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x5A);
    auto misfit = std::get<StateFile>(DecodeStateFile(saved, std::nullopt));
    misfit.snapshot += "xx";
    const struct {
        const char* what;
        std::string bytes;
    } refused[] = {
        {"not a state at all", "hello"},
        {"a state that is a recording", "# vp7sim test\n# state VP7A 0.1\nseed 7\nstart\nwait 500\n"},
        {"cut short", saved.substr(0, saved.size() / 2)},
        {"damaged", damaged},
        // Both are found only once the state is read whole: the runner once reset its device first.
        {"of another variant", SavedState("VP7PA")},
        {"whole, but not fitting a device of its variant", EncodeStateFile(misfit)},
    };
    const struct {
        const char* caller;
        std::function<std::unique_ptr<StateTaker>()> make;
    } callers[] = {
        {"the runner (a classroom seat in it)", [] { return std::make_unique<RunnerTaker>(); }},
        {"the window's classroom seat", [] { return std::make_unique<WindowTaker>(); }},
    };
    for (const auto& caller : callers) {
        SCOPED_TRACE(caller.caller);
        const std::unique_ptr<StateTaker> taker = caller.make();
        const QStringList files = FilesBelow(taker->Folder());
        for (const auto& row : refused) {
            SCOPED_TRACE(row.what);
            Simulator* device = &taker->Sim();
            const auto before = test::DeviceState(*device);
            test::MessageBoxes boxes;
            EXPECT_THROW(taker->Load(row.bytes), std::runtime_error);
            EXPECT_EQ(&taker->Sim(), device);
            EXPECT_EQ(test::DeviceState(taker->Sim()), before);
            EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('\n').toStdString();
        }
        taker->Load(saved);
        EXPECT_TRUE(taker->Sim().form.LeakageSelect.checked);
        // A settings file may go back to what it was before the device there started; none is new.
        for (const QString& file : FilesBelow(taker->Folder()))
            EXPECT_TRUE(files.contains(file)) << file.toStdString();
    }
}
