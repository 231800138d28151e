// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/script/PrintedValue.h"

#include "session/language/Output.h"
#include "session/language/ScriptWords.h"
#include "session/language/StateValues.h"
#include "session/trend/TrendRecorder.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/diagnosis/Monitoring.h"
#include "sim/display/LcdReadBack.h"
#include "sim/operation/ModeLogic.h"
#include "sim/operation/ParamSet.h"
#include "sim/operation/ParamTableView.h"

#include <cstdio>

namespace vp7 {
namespace {

constexpr int kFaultCount = 8; // faults are numbered from 1

int32_t DiagValue(const Simulator& sim, const std::string& word) {
    const int n = ToInt(word, "diagnostic value");
    if (n < 0 || n >= Diagnostics::Count) throw ScriptError("no diagnostic value " + word);
    return sim.diagnostics.DiagTable[n].Value;
}

int32_t FaultValue(const Simulator& sim, const std::string& word) {
    const int n = ToInt(word, "fault number");
    if (n < 1 || n > kFaultCount) throw ScriptError("no fault " + word);
    return sim.monitoring.FaultFlags[n];
}

// What `print` knows by one word (its own words taking no argument, the timers, the state values and
// the controls) and the parameters as `param NAME`: what a misspelt name is compared with.
std::vector<std::string> PrintableNames(const Simulator& sim, const std::vector<NamedValue>& values,
                                        std::span<const Timer* const> timers) {
    std::vector<std::string> names{"latches", "initinfo", "lcd", "title"};
    for (const Timer* t : timers)
        names.push_back(t->Name());
    for (const NamedValue& v : values)
        names.push_back(v.name);
    for (const Control* c : sim.form.All())
        names.push_back(c->name);
    for (const std::string& p : sim.params.Names())
        names.push_back("param " + p);
    return names;
}

} // namespace

int ParamIndex(const Simulator& sim, const std::string& name) {
    const int index = sim.params.FindByName(name);
    if (index < 0) throw ScriptError("no parameter '" + name + "'");
    return index;
}

PrintedValue LookUpPrinted(Simulator& sim, const std::vector<NamedValue>& values,
                           std::span<const std::string> words) {
    const std::string& what = words[0];
    if (what == "pixel") {
        if (words.size() != 3) throw ScriptError("print pixel takes X and Y");
        const PicturePoint p = ToPicturePoint(words[1], words[2]);
        char hex[8];
        std::snprintf(hex, sizeof hex, "%06X", static_cast<unsigned>(sim.image1.Pixel(p.x, p.y)));
        return {"pixel " + std::to_string(p.x) + ' ' + std::to_string(p.y), hex};
    }
    if (what == "param" || what == "diag" || what == "fault") {
        if (words.size() != 2) throw ScriptError("'print " + what + "' takes one argument");
        const int32_t value = what == "param"  ? sim.params.ParamTable[ParamIndex(sim, words[1])].Value
                              : what == "diag" ? DiagValue(sim, words[1])
                                               : FaultValue(sim, words[1]);
        return {what + ' ' + words[1], std::to_string(value)};
    }
    if (what == "lcd" && words.size() == 2 && (words[1] == "upper" || words[1] == "lower")) {
        const LcdReading lcd = ReadLcd(sim.image1);
        return {"lcd " + words[1], QuoteText(words[1] == "upper" ? lcd.upper : lcd.lower)};
    }
    if (words.size() != 1) throw ScriptError("'print " + what + "' takes no further argument");
    if (what == "latches") {
        const ModeLogic& m = sim.modes;
        return {what, std::to_string(int(m.LatchUmschalt)) + ' ' + std::to_string(int(m.LatchKleiner)) + ' ' +
                          std::to_string(int(m.LatchGroesser))};
    }
    if (what == "initinfo") {
        const InitInfoState& info = sim.form.initInfo;
        std::string lines;
        for (size_t i = 0; i < info.runLines.size(); ++i)
            lines += (i ? "\n" : "") + info.runLines[i];
        std::string text = std::string(info.visible ? "1" : "0") + ' ' + QuoteText(info.currentRunText) +
                           ' ' + QuoteText(lines) + ' ' + QuoteText(info.pauseCaption);
        // The error, measures and function fields follow once anything has filled them.
        if (!info.errorText.empty() || !info.measureText.empty() || !info.keyText.empty())
            text += ' ' + QuoteText(info.errorText) + ' ' + QuoteText(info.measureText) + ' ' +
                    QuoteText(info.keyText);
        return {what, text};
    }
    if (what == "lcd") {
        const LcdReading lcd = ReadLcd(sim.image1);
        return {what, QuoteText(lcd.upper) + ' ' + QuoteText(lcd.lower)};
    }
    if (what == "title") return {what, QuoteText(sim.form.title)};
    const Timer* const timers[] = {&sim.Timer1,   &sim.Timer2,          &sim.DiagnosticTimer,
                                   &sim.KeyTimer, &sim.AlarmBlinkTimer, &sim.SetpointRampTimer};
    for (const Timer* t : timers)
        if (t->Name() == what) return {what, t->Enabled() ? "1" : "0"};
    if (const NamedValue* v = FindValue(values, what)) return {what, FormatValue(*v)};
    if (const Control* c = sim.form.Find(what)) {
        std::string text = FormatControl(*c);
        if (c->kind == ControlKind::Label)
            text +=
                ' ' + std::to_string(c->left) + ' ' + std::to_string(c->top) + ' ' + (c->visible ? '1' : '0');
        return {what, text};
    }
    std::string message = "nothing called '" + what + "'";
    const std::vector<std::string> near = NearestNames(what, PrintableNames(sim, values, timers));
    for (size_t i = 0; i < near.size(); ++i)
        message += (i == 0 ? "; did you mean " : i + 1 < near.size() ? ", " : " or ") + near[i];
    throw ScriptError(near.empty() ? message : message + '?');
}

std::string ShownValue(const Simulator& sim, std::span<const std::string> words, const std::string& judged) {
    if (words.size() == 2 && words[0] == "param") {
        const int index = sim.params.FindByName(words[1]);
        if (index >= 0) return std::string(Trimmed(sim.paramTableView.ParamValueText(index)));
    }
    if (words.size() == 1 && words[0] == "Mode") {
        const Mode mode = sim.state.Mode;
        return TrendModeName(mode == Mode::Automatic ? TrendMode::Automatic
                             : mode == Mode::Manual  ? TrendMode::Manual
                                                     : TrendMode::Configuration);
    }
    return judged;
}

} // namespace vp7
