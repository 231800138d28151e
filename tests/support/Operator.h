// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A person at a device on the virtual clock: the pointer on the picture, the left button held from
// its press to its release, and the setpoint typed and entered.
#include "platform/ScriptedHost.h"
#include "platform/VirtualClock.h"
#include "sim/Simulator.h"

#include <string>
#include <utility>

namespace vp7::test {

struct Operator {
    VirtualClock& clock;
    ScriptedHost& host;
    Simulator& sim;

    void Down(std::pair<int, int> at, MouseButton button = MouseButton::Left, bool shift = false) {
        if (button == MouseButton::Left) host.SetLeftButtonDown(true);
        sim.PointerDown(button, shift, at.first, at.second);
    }
    void Up(std::pair<int, int> at, MouseButton button = MouseButton::Left) {
        if (button == MouseButton::Left) host.SetLeftButtonDown(false);
        sim.PointerUp(button, at.first, at.second);
    }
    void Click(std::pair<int, int> at, MouseButton button = MouseButton::Left) {
        Down(at, button);
        Up(at, button);
    }
    void Hold(std::pair<int, int> at, int ms) {
        Down(at);
        clock.Advance(ms);
        Up(at);
    }
    void Enter(const std::string& text) {
        sim.UserEdit(sim.form.SetPointText, text);
        sim.UserKeyDown(sim.form.SetPointText, 13);
    }
};

} // namespace vp7::test
