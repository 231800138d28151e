// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/bridge/FormJson.h"

#include "model/ClosedRows.h"
#include "model/FormState.h"
#include "session/exercise/ExerciseRun.h"
#include "sim/Simulator.h"

namespace vp7 {

namespace {

const char* CursorName(CursorShape shape) {
    switch (shape) {
    case CursorShape::Cross:
        return "crosshair";
    case CursorShape::Hand:
        return "pointer";
    case CursorShape::Standard:
        break;
    }
    return "default";
}

nlohmann::json ControlJson(const Control& c) {
    return {{"kind", ControlKindName(c.kind)},
            {"name", c.name},
            {"parent", c.parent},
            {"left", c.left},
            {"top", c.top},
            {"width", c.width},
            {"height", c.height},
            {"caption", c.caption},
            {"items", c.items},
            {"text", c.text},
            {"checked", c.checked},
            {"itemIndex", c.itemIndex},
            {"visible", c.visible},
            {"enabled", c.enabled},
            {"radioItem", c.radioItem}};
}

// Whether `control` or a group or menu it lies in is in `names`.
bool InOrUnder(const FormState& form, const Control& control, const std::set<std::string>& names) {
    for (const Control* c = &control; c; c = c->parent.empty() ? nullptr : form.Find(c->parent))
        if (names.contains(c->name)) return true;
    return false;
}

} // namespace

nlohmann::json FormJson(const Simulator& sim, const ExerciseRun* exercise) {
    const FormState& f = sim.form;
    nlohmann::json controls = nlohmann::json::array();
    const ClosedRows closed = exercise ? RowsClosedUp(exercise->Hidden()) : ClosedRows{};
    for (const Control* c : f.All()) {
        nlohmann::json control = ControlJson(*c);
        control["top"] = c->top - closed.Up(c->name);
        control["height"] = c->height - closed.Shorter(c->name);
        if (exercise && InOrUnder(f, *c, exercise->Hidden())) control["visible"] = false;
        if (exercise && InOrUnder(f, *c, exercise->Locked())) control["enabled"] = false;
        controls.push_back(std::move(control));
    }
    const InitInfoState& info = f.initInfo;
    return {{"title", f.title},
            {"cursor", CursorName(f.cursor)},
            {"controls", std::move(controls)},
            {"parTab",
             {{"visible", f.parTab.visible},
              {"caption", f.parTab.caption},
              {"left", f.parTab.left},
              {"top", f.parTab.top},
              {"height", f.parTab.height},
              {"rows", f.parTab.rows}}},
            {"initInfo",
             {{"visible", info.visible},
              {"left", info.left},
              {"top", info.top},
              {"statusLabel", info.runStatusLabel},
              {"explanationLabel", info.runDiscrLabel},
              {"errorLabel", info.runErrorLabel},
              {"measureLabel", info.runToDoLabel},
              {"keyLabel", info.runKeyLabel},
              {"functionLabel", info.runFunctionLabel},
              {"run", info.currentRunText},
              {"lines", info.runLines},
              {"error", info.errorText},
              {"measure", info.measureText},
              {"keys", info.keyText},
              {"pause", info.pauseCaption}}},
            {"scaleDialog",
             {{"caption", f.scaleDialog.caption},
              {"label1", f.scaleDialog.label1},
              {"label2", f.scaleDialog.label2},
              {"label3", f.scaleDialog.label3},
              {"cancel", f.scaleDialog.cancelCaption},
              {"setpoint100", f.scaleDialog.setpoint100Edit},
              {"setpoint0", f.scaleDialog.setpoint0Edit}}},
            {"screenCheck",
             {{"lines", f.screenCheck.lines},
              {"continue", f.screenCheck.continueCaption},
              {"close", f.screenCheck.closeCaption},
              {"check", f.screenCheck.checkCaption},
              {"checked", f.screenCheck.checked}}}};
}

} // namespace vp7
