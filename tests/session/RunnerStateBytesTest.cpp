// SPDX-License-Identifier: GPL-3.0-or-later
// A snapshot state sent to the runner as bytes is checked whole before its device is reset: against
// the settings the reset puts back and against a device of its variant, so that a refused one leaves
// the device there running as it was.
#include "session/StateFile.h"
#include "session/script/Runner.h"
#include "sim/Simulator.h"

#include "support/FolderFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <variant>

using namespace vp7;

namespace {

struct RunnerStateBytes : test::FolderFixture {
    // A program folder whose settings, there before any script, select `variant`.
    std::string ProgramFolder(const std::string& name, const std::string& variant) {
        const auto folder = dir / name;
        std::filesystem::create_directories(folder / "Config");
        std::ofstream(folder / "Config" / "VP7.ini")
            << "[Config]\nController=" << variant << "\nCheckScreen=0\n";
        return folder.string();
    }

    // A state saved from a device of `variant` a while after its start.
    std::string SavedState(const std::string& variant) {
        std::ostringstream out;
        Runner runner(out, ProgramFolder("saved-" + variant, variant));
        for (const char* line : {"start", "wait 7000", "set LeakageSelect 1", "wait 500"})
            runner.Execute(line);
        return SaveState(*runner.Sim(), "start\nwait 7000\nset LeakageSelect 1\nwait 500\n");
    }
};

// What the runner's device answers to a few questions.
std::string Answers(Runner& runner, std::ostringstream& out) {
    out.str("");
    for (const char* line : {"print Istwert", "print lcd", "print statehash"})
        runner.Execute(line);
    return out.str();
}

} // namespace

TEST_F(RunnerStateBytes, ARefusalLeavesTheDeviceRunningAsItWas) {
    const std::string fitting = SavedState("VP7PA");
    auto file = std::get<StateFile>(DecodeStateFile(fitting, std::nullopt));
    file.snapshot += "xx";
    const struct {
        const char* what;
        std::string bytes;
    } refused[] = {
        {"of a variant the settings put back do not select", SavedState("VP7A")},
        {"whole, but not fitting a device of its variant", EncodeStateFile(file)},
    };
    std::ostringstream out;
    Runner runner(out, ProgramFolder("taker", "VP7PA"));
    // The script's own settings go when the device is reset; the ones kept from before it stay.
    for (const char* line :
         {"ini Config Controller VP7A", "start", "wait 2000", "press mode", "release mode"})
        runner.Execute(line);
    for (const auto& row : refused) {
        SCOPED_TRACE(row.what);
        const Simulator* device = runner.Sim();
        const std::string before = Answers(runner, out);
        EXPECT_THROW(runner.LoadStateBytes(row.bytes), std::runtime_error);
        ASSERT_EQ(runner.Sim(), device);
        EXPECT_EQ(Answers(runner, out), before);
    }
    runner.LoadStateBytes(fitting);
    ASSERT_NE(runner.Sim(), nullptr);
    EXPECT_TRUE(runner.Sim()->form.LeakageSelect.checked);
}
