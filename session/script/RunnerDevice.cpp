// SPDX-License-Identifier: GPL-3.0-or-later
// The runner's commands that act on the device as a user would: the pointer, the keys, the controls,
// the menu, the dialogs' answers, a parameter, a display field.
#include "session/script/Runner.h"

#include "platform/NumberFormat.h"
#include "session/ConfigSheet.h"
#include "session/language/Output.h"
#include "session/language/StateValues.h"
#include "session/script/PrintedValue.h"
#include "session/trend/TrendRecorder.h"
#include "sim/Simulator.h"
#include "sim/display/Lcd.h"
#include "sim/display/ScreenCheck.h"
#include "sim/motion/Controller.h"
#include "sim/operation/KeyInput.h"
#include "sim/operation/ParamSet.h"
#include "sim/operation/ScaleDialog.h"
#include <charconv>
#include <filesystem>
#include <istream>
#include <ostream>
#include <span>

namespace vp7 {

namespace {

MouseButton ToButton(const std::string& word) {
    if (word == "left") return MouseButton::Left;
    if (word == "right") return MouseButton::Right;
    if (word == "middle") return MouseButton::Middle;
    throw ScriptError("bad button '" + word + "'");
}

DeviceKey ToKey(const std::string& word) {
    for (int i = 0; i < 3; ++i)
        if (kKeyWords[i] == word) return KeyOfIndex(i);
    throw ScriptError("unknown key '" + word + "'");
}

} // namespace
namespace {
PicturePoint ToPoint(const Runner::Args& a) {
    return ToPicturePoint(a.words[0], a.words[1]);
}
} // namespace

void Runner::Down(const Args& a) {
    const PicturePoint p = ToPoint(a);
    MouseButton button = MouseButton::Left;
    bool shift = false;
    for (size_t i = 2; i < a.words.size(); ++i) {
        if (a.words[i] == "shift")
            shift = true;
        else
            button = ToButton(a.words[i]);
    }
    Simulator& sim = Started();
    if (button == MouseButton::Left) answers_.SetLeftButtonDown(true);
    sim.PointerDown(button, shift, p.x, p.y);
}

void Runner::Up(const Args& a) {
    const PicturePoint p = ToPoint(a);
    const MouseButton button = a.words.size() > 2 ? ToButton(a.words[2]) : MouseButton::Left;
    if (button == MouseButton::Left) answers_.SetLeftButtonDown(false);
    Started().PointerUp(button, p.x, p.y);
}

void Runner::Move(const Args& a) {
    const PicturePoint p = ToPoint(a);
    Started().PointerMove(p.x, p.y);
}

void Runner::Press(const Args& a) {
    const DeviceKey key = ToKey(a.words[0]);
    MouseButton button = MouseButton::Left;
    bool shift = false;
    for (size_t i = 1; i < a.words.size(); ++i) {
        if (a.words[i] == "right")
            button = MouseButton::Right;
        else if (a.words[i] == "shift")
            shift = true;
        else
            throw ScriptError("bad argument '" + a.words[i] + "'");
    }
    if (button == MouseButton::Left) answers_.SetLeftButtonDown(true);
    Started().PressKey(key, button, shift);
}

void Runner::Release(const Args& a) {
    const DeviceKey key = ToKey(a.words[0]);
    if (a.words.size() > 1 && a.words[1] != "right") throw ScriptError("bad argument '" + a.words[1] + "'");
    const MouseButton button = a.words.size() > 1 ? MouseButton::Right : MouseButton::Left;
    if (button == MouseButton::Left) answers_.SetLeftButtonDown(false);
    Started().ReleaseKey(key, button);
}

void Runner::Set(const Args& a) {
    Simulator& sim = Started();
    const std::string& name = a.words[0];
    if (name == "ValveType") {
        if (a.words.size() != 2) throw ScriptError("ValveType takes S, O or D");
        Control* c = a.words[1] == "S"   ? &sim.form.SelfClosingSelect
                     : a.words[1] == "O" ? &sim.form.SelfOpeningSelect
                     : a.words[1] == "D" ? &sim.form.DoubleActingSelect
                                         : nullptr;
        if (!c) throw ScriptError("ValveType takes S, O or D");
        CheckReach(*c);
        sim.UserCheck(*c, true);
        return;
    }
    Control* c = sim.form.Find(name);
    if (!c) throw ScriptError("unknown control '" + name + "'");
    if (!c->enabled) throw ScriptError("control '" + name + "' cannot be used now");
    CheckReach(*c);
    if (c->kind == ControlKind::Edit) {
        // The text is the rest of the line; a quoted text may carry blanks at its ends or be empty.
        std::string text = a.rest.substr(std::min(a.rest.size(), a.rest.find(name) + name.size()));
        if (!text.empty() && (text[0] == ' ' || text[0] == '\t')) text.erase(0, 1);
        std::string unquoted;
        if (!text.empty() && text.front() == '"' && UnquoteText(text, unquoted)) text = unquoted;
        sim.UserEdit(*c, std::move(text));
        return;
    }
    if (a.words.size() != 2) throw ScriptError("'set " + name + "' takes one value");
    const int v = ToInt(a.words[1], "value");
    switch (c->kind) {
    case ControlKind::CheckBox:
        if (v != 0 && v != 1) throw ScriptError("a check box takes 0 or 1");
        sim.UserCheck(*c, v == 1);
        break;
    case ControlKind::RadioButton:
        if (v != 1) throw ScriptError("a radio button can only be checked (1)");
        sim.UserCheck(*c, true);
        break;
    case ControlKind::RadioGroup:
        if (v < 0 || v >= static_cast<int>(c->items.size())) throw ScriptError("no item " + a.words[1]);
        sim.UserSelect(*c, v);
        break;
    default:
        throw ScriptError("control '" + name + "' cannot be set");
    }
}

void Runner::Click(const Args& a) {
    Simulator& sim = Started();
    const std::string& name = a.words[0];
    if (name == "Enter") {
        CheckReach(sim.form.SetPointText);
        sim.UserKeyDown(sim.form.SetPointText, Controller::KeyEnter);
        return;
    }
    if (name == "Image2") { // the splash view
        if (!sim.form.Image2.visible) throw ScriptError("the splash is not shown");
        sim.Image2Click();
        return;
    }
    if (name == "RunPauseButton") {
        if (!sim.form.initInfo.visible) throw ScriptError("button 'RunPauseButton' cannot be used now");
        sim.RunPauseClick();
        return;
    }
    Control* c = sim.form.Find(name);
    if (!c || c->kind != ControlKind::Button) throw ScriptError("unknown button '" + name + "'");
    if (!c->enabled) throw ScriptError("button '" + name + "' cannot be used now");
    CheckReach(*c);
    sim.UserClick(*c);
}

void Runner::Menu(const Args& a) {
    Simulator& sim = Started();
    Control* c = sim.form.Find(a.words[0]);
    if (!c || c->kind != ControlKind::MenuItem) throw ScriptError("unknown menu item '" + a.words[0] + "'");
    if (!c->visible || !c->enabled) throw ScriptError("menu item '" + a.words[0] + "' cannot be used now");
    CheckReach(*c);
    sim.UserClick(*c);
}

void Runner::Answer(const Args& a) {
    const auto b = MsgButtonFromName(a.words[0]);
    if (!b) throw ScriptError("unknown button '" + a.words[0] + "'");
    answers_.QueueAnswer(*b);
}

void Runner::File(const Args& a) {
    if (a.words.size() == 1 && a.words[0] == "cancel")
        answers_.QueueFile(std::nullopt);
    else
        answers_.QueueFile(a.rest.substr(a.rest.find_first_not_of(" \t")));
}

void Runner::Param(const Args& a) {
    Simulator& sim = Started();
    TParamField& field = sim.params.ParamTable[ParamIndex(sim, a.words[0])];
    const auto value = ReadInt32(a.words[1]);
    if (!value) throw ScriptError("bad value '" + a.words[1] + "'");
    const bool special = Has(field.Kind, ParamKind::Special) && *value == field.Special;
    if (!special && (*value < field.Min || *value > field.Max))
        throw ScriptError("value " + a.words[1] + " outside " + std::to_string(field.Min) + ".." +
                          std::to_string(field.Max));
    field.Value = *value;
    sim.params.StoreFromTable();
    sim.ApplyParameters();
}

// Any text on any field, as the device's own code writes it: how the display shows what it is given.
void Runner::WriteLcd(const Args& a) {
    const int field = ToInt(a.words[0], "field");
    const size_t textStart = a.rest.find_first_not_of(" \t", a.rest.find(a.words[0]) + a.words[0].size());
    std::string text;
    if (textStart == std::string::npos || !UnquoteText(a.rest.substr(textStart), text))
        throw ScriptError("lcd takes FIELD \"TEXT\"");
    Started().lcd.LCDWrite(text, field);
}

} // namespace vp7
