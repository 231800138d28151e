// SPDX-License-Identifier: GPL-3.0-or-later
// The device as a snapshot: the Simulator's own fields and every subsystem's, in one walk that saves,
// loads, checks and compares.
#include "model/SpriteSet.h"
#include "platform/BytesHash.h"
#include "platform/Host.h"
#include "platform/StateLayout.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/Snapshot.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/diagnosis/Initialization.h"
#include "sim/diagnosis/Monitoring.h"
#include "sim/display/FrontPanel.h"
#include "sim/display/Lcd.h"
#include "sim/display/OperatingDisplays.h"
#include "sim/display/Splash.h"
#include "sim/faults/ExtendedFaults.h"
#include "sim/files/ConfigFiles.h"
#include "sim/files/Settings.h"
#include "sim/motion/Actuator.h"
#include "sim/motion/Characteristic.h"
#include "sim/motion/Controller.h"
#include "sim/motion/Scales.h"
#include "sim/operation/ConfigMenu.h"
#include "sim/operation/ModeLogic.h"
#include "sim/operation/ParamSet.h"
#include "sim/operation/PointerInput.h"

#include <sstream>

namespace vp7 {
namespace {

// A time of the clock as the distance from its now.
void RelativeTime(StateVisitor& v, std::string_view name, int64_t& ms, int64_t now) {
    const int64_t relative = v.Value(name, ms - now);
    if (v.Loading()) ms = now + relative;
}

} // namespace

// The subsystems without fields of their own (KeyInput, IoPictures, FrontPanel, HelpTexts,
// Captions, HoverHelp, ParamTableView, ScaleDialog, ScreenCheck) keep everything in the shared state,
// the form state or the picture.
void Simulator::DoState(StateVisitor& v) {
    v.Part("simulator");
    // Another variant's parameter table and texts are another device: refused before anything else.
    if (v.Value("variant", state.ControllerType) != state.ControllerType)
        throw StateError("another device variant");
    const uint64_t look = v.Value("look", sprites.Look());
    v.RedrawPictures(!v.Saving() && look != sprites.Look());
    state.DoState(v);
    form.DoState(v);
    v.Part("simulator");
    Timer* const timers[] = {&Timer1,
                             &Timer2,
                             &DiagnosticTimer,
                             &KeyTimer,
                             &AlarmBlinkTimer,
                             &SetpointRampTimer,
                             &splash.ZoomTimer()};
    VisitTimers(v, clock, timers);
    v("MouseX", MouseX);
    v("MouseY", MouseY);
    v("RandomSeed", RandomSeed);
    std::ostringstream engine;
    engine << random;
    const std::string engineText = v.Text("random", engine.str());
    if (!v.Saving()) {
        std::istringstream in(engineText);
        Mt64 restored;
        if (!(in >> restored)) throw StateError("random: not an engine's state");
        if (v.Loading()) random = restored;
    }
    const int64_t now = clock.NowMs();
    RelativeTime(v, "CreatedMs", CreatedMs, now);
    const bool started = v.Value("started", StartedMs != 0); // 0 until the start-up is through
    if (started)
        RelativeTime(v, "StartedMs", StartedMs, now);
    else if (v.Loading())
        StartedMs = 0;
    const bool leftDown = v.Value("LeftButtonDown", host.LeftButtonDown());
    if (v.Loading()) host.RestoreLeftButton(leftDown);

    params.DoState(v);
    actuator.DoState(v);
    scales.DoState(v);
    characteristic.DoState(v);
    controller.DoState(v);
    modes.DoState(v);
    pointer.DoState(v);
    configMenu.DoState(v);
    diagnostics.DoState(v);
    initialization.DoState(v);
    monitoring.DoState(v);
    displays.DoState(v);
    splash.DoState(v);
    lcd.DoState(v);
    settings.DoState(v);
    configFiles.DoState(v);
    if (v.Loading() && splash.Running()) splash.Resume([this] { FinishStartUp(); });

    v.Part("image1");
    image1.DoState(v);
    extendedFaults.DoState(v); // last: format 2 had it only at times
    if (v.Loading() && v.PicturesRedrawn()) RepaintPicture();
    if (v.Loading()) ViewChanged();
}

void Simulator::RepaintPicture() {
    const Picture::Pen pen = image1.CurrentPen();
    const bool logged = image1.KeepsLog();
    image1 = sprites.Get(SpriteId::DevicePicture);
    if (logged) image1.KeepLog();
    splash.Redraw();
    if (StartedMs != 0) {
        lcd.Redraw();
        if (state.ScalesValid) frontPanel.DrawScales();
        actuator.RedrawMarks();
        controller.DrawTightSymbols();
        DrawOptionsAndPiston();
    }
    image1.SetPen(pen);
    image1.MarkDirty(image1.Bounds());
}

std::string TakeSnapshot(Simulator& sim) {
    StateWriter writer(kSnapshotFormat);
    sim.DoState(writer);
    return writer.Take();
}

std::optional<std::string> RestoreSnapshot(Simulator& sim, std::string_view body, uint32_t format) {
    if (format < kOldestSnapshotFormat || format > kSnapshotFormat)
        return "a format not read (" + std::to_string(format) + ")";
    try {
        StateReader check(StateVisitor::Mode::Check, body, format);
        sim.DoState(check);
        if (check.Left() != 0) return "bytes after the device's state";
    } catch (const StateError& e) {
        return e.what();
    }
    StateReader load(StateVisitor::Mode::Load, body, format);
    sim.DoState(load);
    return std::nullopt;
}

std::optional<std::string> SnapshotDifference(Simulator& sim, std::string_view body) {
    StateReader compare(StateVisitor::Mode::Compare, body, kSnapshotFormat);
    try {
        sim.DoState(compare);
    } catch (const StateError& e) {
        return compare.Difference().value_or(std::string("unreadable: ") + e.what());
    }
    if (!compare.Difference() && compare.Left() != 0) return "bytes after the device's state";
    return compare.Difference();
}

std::string SnapshotLayout(Simulator& sim) {
    StateLayout layout(kSnapshotFormat);
    sim.DoState(layout);
    return layout.Take();
}

uint64_t SnapshotHash(std::string_view bytes, uint64_t hash) {
    return BytesHash(bytes, hash);
}

} // namespace vp7
