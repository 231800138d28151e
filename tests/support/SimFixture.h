// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A started simulator on a virtual clock with flat sprites, in a program folder of its own.
#include "model/PictureLayout.h"
#include "model/SpriteSet.h"
#include "platform/ScriptedHost.h"
#include "platform/VirtualClock.h"
#include "sim/Simulator.h"
#include "sim/display/Lcd.h"
#include "sim/display/LcdReadBack.h"
#include "sim/operation/ParamSet.h"
#include "support/FolderFixture.h"
#include "support/Operator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>

namespace vp7::test {

struct SimFixture : FolderFixture {
    VirtualClock clock;
    ScriptedHost host;
    SpriteSet sprites = SpriteSet::Flat();
    std::unique_ptr<Simulator> sim;
    bool keepLog = false; // the device picture logs what is drawn, as in a window that zooms

    void SetUp() override {
        FolderFixture::SetUp();
        Restart();
    }
    void TearDown() override {
        sim.reset();
        FolderFixture::TearDown();
    }
    // A fresh simulator of the device variant, created and through its start-up tick.
    void Restart(uint8_t controllerType = 0) {
        sim.reset();
        sim =
            std::make_unique<Simulator>(clock, host, sprites, SimulatorOptions{dir.string(), controllerType});
        if (keepLog) sim->image1.KeepLog();
        sim->FormCreate();
        clock.Advance(100);
    }
    SimState& S() { return sim->state; }
    Operator Person() { return {clock, host, *sim}; }
    // Types a setpoint and presses Enter, as a trainer does.
    void Enter(const std::string& text) { Person().Enter(text); }
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
    void MoveTo(const std::string& setpoint) {
        Enter(setpoint);
        RunToRest();
    }
    // The pointer on the device picture as a person uses it, the left button held from its press to
    // its release.
    void Down(std::pair<int, int> at, MouseButton button = MouseButton::Left, bool shift = false) {
        Person().Down(at, button, shift);
    }
    void Up(std::pair<int, int> at, MouseButton button = MouseButton::Left) { Person().Up(at, button); }
    void Click(std::pair<int, int> at, MouseButton button = MouseButton::Left) { Person().Click(at, button); }
    void Hold(std::pair<int, int> at, int ms) { Person().Hold(at, ms); }
    // Right clicks on the three keys and 2 s: the diagnostic display.
    void EnterDiagnostics() {
        for (auto key : {kModeKey, kDecKey, kIncKey})
            Click(key, MouseButton::Right);
        clock.Advance(2000);
    }
    static constexpr std::pair<int, int> kModeKey{layout::KeyCentres[0].x, layout::KeyCentres[0].y},
        kDecKey{layout::KeyCentres[1].x, layout::KeyCentres[1].y},
        kIncKey{layout::KeyCentres[2].x, layout::KeyCentres[2].y};

    // The display against the read-back of the texts expected on it (what a person sees, so S and 5
    // read alike). The expected texts are drawn and read back, then the picture is put back as the
    // device drew it, so later checks see the device's own display.
    void ExpectDisplay(const std::string& upper, const std::string& lower, const std::string& context) {
        const LcdReading actual = ReadLcd(sim->image1);
        const Picture shown = sim->image1;
        sim->lcd.LCDWrite(upper, UpperLine);
        sim->lcd.LCDWrite(lower, LowerLine);
        const LcdReading expected = ReadLcd(sim->image1);
        sim->image1 = shown;
        EXPECT_EQ(actual.upper, expected.upper) << context;
        EXPECT_EQ(actual.lower, expected.lower) << context;
    }

    std::string Lower() const { return ReadLcd(sim->image1).lower; }
    std::string LastMessage() const { return host.Messages().empty() ? "" : host.Messages().back().text; }
};

} // namespace vp7::test
