#pragma once
// A started simulator on a virtual clock with flat sprites, in a program folder of its own.
#include "core/Simulator.h"
#include "platform/ScriptedHost.h"
#include "platform/SpriteSet.h"
#include "platform/VirtualClock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace vp7::test {

struct SimFixture : ::testing::Test {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("vp7-test-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    VirtualClock clock;
    ScriptedHost host;
    SpriteSet sprites = SpriteSet::Flat();
    std::unique_ptr<Simulator> sim;

    void SetUp() override {
        std::filesystem::create_directories(dir);
        Restart();
    }
    void TearDown() override {
        sim.reset();
        std::filesystem::remove_all(dir);
    }
    // A fresh simulator of the device variant, created and through its start-up tick.
    void Restart(uint8_t controllerType = 0) {
        sim.reset();
        sim = std::make_unique<Simulator>(clock, host, sprites, SimulatorOptions{dir.string(), controllerType});
        sim->FormCreate();
        clock.Advance(100);
    }
    SimState& S() { return sim->state; }
    // Types a setpoint and presses Enter, as a trainer does.
    void Enter(const std::string& text) {
        sim->UserEdit(sim->form.SetPointText, text);
        sim->UserKeyDown(sim->form.SetPointText, 13);
    }
    // A parameter changed in table units and applied, as leaving the configuration does.
    void Param(const char* name, int32_t value) {
        const int index = sim->params.FindByName(name);
        ASSERT_GE(index, 0) << name;
        sim->params.ParamTable[index].Value = value;
        sim->params.StoreFromTable();
        sim->ApplyParameters();
    }
    // Runs the motion until the valve has arrived; returns the number of motion ticks.
    int RunToRest() {
        int ticks = 0;
        while (sim->Timer2.Enabled() && ticks < 100000) {
            clock.Advance(50);
            ++ticks;
        }
        return ticks;
    }
    std::string LastMessage() const { return host.Messages().empty() ? "" : host.Messages().back().text; }
};

} // namespace vp7::test
