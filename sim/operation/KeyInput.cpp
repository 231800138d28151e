// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/operation/KeyInput.h"

#include "model/PictureLayout.h"
#include "platform/Host.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Monitoring.h"
#include "sim/display/FrontPanel.h"
#include "sim/operation/ModeLogic.h"
#include "sim/operation/ScaleDialog.h"

namespace vp7 {
namespace {

// The switch areas are the switch pictures' rectangles with both bounds included.
bool OnSwitch(layout::Point at, int x, int y) {
    return x >= at.x && x <= at.x + layout::SwitchSize.width && y >= at.y &&
           y <= at.y + layout::SwitchSize.height;
}

} // namespace

KeyInput::KeyInput(Simulator& sim) : sim_(sim) {}

DeviceKey KeyInput::KeyAt(int x, int y) {
    const Rect* areas = layout::KeyAreas;
    if (y < layout::KeyTop || y >= layout::KeyBottom) return DeviceKey::None;
    if (x >= areas[0].left && x < areas[0].right) return DeviceKey::Umschalt;
    if (x >= areas[1].left && x < areas[1].right) return DeviceKey::Kleiner;
    // To the right edge of the picture, and past it for a release dragged off the picture.
    if (x >= areas[2].left) return DeviceKey::Groesser;
    return DeviceKey::None;
}

KeyCode KeyInput::PressCode(DeviceKey key, bool right) {
    if (key == DeviceKey::Umschalt) return right ? KeyCode::ModeRightPressed : KeyCode::ModePressed;
    if (key == DeviceKey::Kleiner) return right ? KeyCode::DecreaseRightPressed : KeyCode::DecreasePressed;
    return right ? KeyCode::IncreaseRightPressed : KeyCode::IncreasePressed;
}

void KeyInput::Send(KeyCode code) {
    sim_.modes.KeyEvent(code);
}

void KeyInput::Image1MouseDown(MouseButton button, bool shift, int x, int y) {
    const bool right = button == MouseButton::Right;
    const DeviceKey key = KeyAt(x, y);
    if (key == DeviceKey::Kleiner && !right && sim_.state.Mode == Mode::Configuration && shift) {
        // PC shift + decrease: the previous parameter, as the right button on the mode key.
        Send(KeyCode::ModeRightPressed);
        return;
    }
    if (key != DeviceKey::None) {
        Send(PressCode(key, right));
        return;
    }
    if (button != MouseButton::Left) {
        if (button == MouseButton::Right && layout::SetpointScaleHeading.Contains(x, y))
            sim_.scaleDialog.Show();
        return;
    }
    if (OnSwitch(layout::BinaryInput1Place, x, y)) {
        sim_.monitoring.ToggleBinaryInput1();
        return;
    }
    if (OnSwitch(layout::BinaryInput2Place, x, y)) {
        sim_.monitoring.ToggleBinaryInput2(); // only with the alarm module
        return;
    }
    if (layout::LowerGearMarkArea.Contains(x, y)) {
        sim_.frontPanel.LowerGearMarkClick(); // to 90 degrees, when at 33
        return;
    }
    if (layout::UpperGearMarkArea.Contains(x, y)) sim_.frontPanel.UpperGearMarkClick(); // to 33 degrees
}

void KeyInput::Image1MouseUp(MouseButton button, int x, int y) {
    sim_.form.HilfeOben.visible = sim_.form.HilfeUnten.visible = false;
    const DeviceKey key = KeyAt(x, y);
    if (key != DeviceKey::None) Send(ReleaseOf(PressCode(key, button == MouseButton::Right)));
}

void KeyInput::CircleMouseDown(DeviceKey key, MouseButton button) {
    if (key != DeviceKey::None) Send(PressCode(key, button == MouseButton::Right));
}

void KeyInput::CircleMouseUp(DeviceKey key, MouseButton button) {
    if (key != DeviceKey::None) Send(ReleaseOf(PressCode(key, button == MouseButton::Right)));
}

bool KeyInput::PointerOn(DeviceKey key) const {
    return sim_.host.LeftButtonDown() && KeyAt(sim_.MouseX, sim_.MouseY) == key;
}

void KeyInput::KeyTimerTimer() {
    ModeLogic& m = sim_.modes;
    Timer& timer = sim_.KeyTimer;
    if (sim_.Timer2.Enabled()) return; // a repeat waits until the valve has arrived
    // Stops the timing and sends a code that may repeat the previous one.
    const auto finish = [&](KeyCode code) {
        timer.SetEnabled(false);
        sim_.host.ProcessMessages();
        sim_.state.LastKeyCode = KeyCode::Neutral;
        Send(code);
    };
    if (m.HoldGroesserLong) {
        if (PointerOn(DeviceKey::Groesser) && ++m.KeyHoldCount == 16) finish(KeyCode::IncreaseHeld);
    } else if (m.RepeatKleiner || m.RepeatGroesser) {
        const bool up = !m.RepeatKleiner;
        if (PointerOn(up ? DeviceKey::Groesser : DeviceKey::Kleiner)) {
            sim_.state.LastKeyCode = KeyCode::Neutral;
            Send(up ? KeyCode::IncreasePressed : KeyCode::DecreasePressed);
        }
        timer.SetInterval(100);
    } else if (m.HoldUmschalt) {
        if (PointerOn(DeviceKey::Umschalt) && ++m.KeyHoldCount == 50) finish(KeyCode::ModeHeld);
    } else if (m.HoldTimeout) {
        if (++m.KeyHoldCount == 20) finish(KeyCode::HoldTimeout);
    }
}

void KeyInput::SetCursor(int item) {
    FormState& f = sim_.form;
    f.MausStandard.checked = item == 0;
    f.MausKreuz.checked = item == 1;
    f.MausHand.checked = item == 2;
    f.cursor = static_cast<CursorShape>(item);
    sim_.ViewChanged();
}

void KeyInput::MausStandardClick() {
    SetCursor(0);
}
void KeyInput::MausKreuzClick() {
    SetCursor(1);
}
void KeyInput::MausHandClick() {
    SetCursor(2);
}

} // namespace vp7
