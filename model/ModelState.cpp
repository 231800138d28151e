// SPDX-License-Identifier: GPL-3.0-or-later
// The shared and the form state as a snapshot keeps them: each field named once, for saving, loading,
// checking and comparing alike.
#include "model/FormState.h"
#include "model/SimState.h"
#include "platform/StateVisitor.h"

namespace vp7 {

void SimState::DoState(StateVisitor& v) {
    v.Part("state");
    v("Sollwert", Sollwert);
    v("ReglerSollwert", ReglerSollwert);
    v("KennlinienEingang", KennlinienEingang);
    v("PositionSetpoint", PositionSetpoint);
    v("SollwertShown", SollwertShown);
    v("AutoTarget", AutoTarget);
    v("ManuellTarget", ManuellTarget);
    v("DeadBand", DeadBand);
    v("DeadBandOffset", DeadBandOffset);
    v("TightCloseInput", TightCloseInput);
    v("Istwert", Istwert);
    v("MoveDirection", MoveDirection);
    v("LastDirection", LastDirection);
    v("TargetFrame", TargetFrame);
    v("CurrentFrame", CurrentFrame);
    v("FrameTravel", FrameTravel);
    v("StepUp", StepUp);
    v("StepDown", StepDown);
    v("MoveActive", MoveActive);
    for (SpriteId& frame : KolbenFrames)
        v.Enum("KolbenFrames", frame, static_cast<SpriteId>(static_cast<int>(SpriteId::Count) - 1));
    v("BaseTimeUp", BaseTimeUp);
    v("BaseTimeDown", BaseTimeDown);
    v("SollwertMarkY", SollwertMarkY);
    v("ReglerMarkY", ReglerMarkY);
    v("VentilMarkY", VentilMarkY);
    v("ScalesValid", ScalesValid);
    v("MarksErased", MarksErased);
    v.Enum("Mode", Mode, Mode::ConfigurationLeft);
    v("BinMode", BinMode);
    v("DiagnosticMode", DiagnosticMode);
    v("InitRunning", InitRunning);
    v("InitStepRunning", InitStepRunning);
    v("LastKeyCode", LastKeyCode);
    v("Updating", Updating);
    v("ControllerType", ControllerType);
    v.Enum("Language", Language, Language::English);
    v("GearIs33", GearIs33);
    v("SplashValid", SplashValid);
    v("SplashDone", SplashDone);
    v("RestartRequested", RestartRequested);
    v("CheckScreen", CheckScreen);
    v("CloseApplication", CloseApplication);
    v("ScreenWidth", ScreenWidth);
    v("ScreenHeight", ScreenHeight);
    v("ScreenBitsPerPixel", ScreenBitsPerPixel);
}

void ParTabState::DoState(StateVisitor& v) {
    v("left", left);
    v("top", top);
    v("height", height);
    v("checked", checked);
    v("visible", visible);
    v("placing", placing);
    v("caption", caption);
    v("rows", rows, StateVisitor::kMaxItems);
}

void ScaleDialogState::DoState(StateVisitor& v) {
    for (std::string* text :
         {&caption, &label1, &label2, &label3, &cancelCaption, &setpoint100Edit, &setpoint0Edit})
        v("scaleDialog", *text);
}

void ScreenCheckState::DoState(StateVisitor& v) {
    v("lines", lines);
    v("continueCaption", continueCaption);
    v("closeCaption", closeCaption);
    v("checkCaption", checkCaption);
    v("checked", checked);
}

void InitInfoState::DoState(StateVisitor& v) {
    v("visible", visible);
    v("left", left);
    v("top", top);
    for (std::string* text : {&runStatusLabel, &runDiscrLabel, &runErrorLabel, &runToDoLabel, &runKeyLabel,
                              &runFunctionLabel, &currentRunText})
        v("label", *text);
    v("runLines", runLines, StateVisitor::kMaxItems);
    v("errorText", errorText);
    v("measureText", measureText);
    v("keyText", keyText);
    v("pauseCaption", pauseCaption);
}

// Kind, name and parent are the form's layout; the name is checked, so another layout is refused.
void Control::DoState(StateVisitor& v) {
    v.Expect("name", name);
    v("left", left);
    v("top", top);
    v("width", width);
    v("height", height);
    v("caption", caption);
    v("items", items, StateVisitor::kMaxItems);
    v("text", text);
    v("checked", checked);
    v("itemIndex", itemIndex);
    v("visible", visible);
    v("enabled", enabled);
    v("radioItem", radioItem);
}

void FormState::DoState(StateVisitor& v) {
    v.Part("form");
    v("title", title);
    v("maximized", maximized);
    v("initInfo", initInfo);
    v("parTab", parTab);
    v("scaleDialog", scaleDialog);
    v("screenCheck", screenCheck);
    v.Enum("cursor", cursor, CursorShape::Hand);
    for (Control* control : all_) {
        if (control == &ExtendedFaultsSelect) continue; // kept by the extended fault effects
        v.Part(control->name);
        v("control", *control);
    }
}

} // namespace vp7
