// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/operation/PointerInput.h"

#include "model/PictureLayout.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/operation/KeyInput.h"

namespace vp7 {
namespace {

bool OnPicture(int x, int y) {
    return x >= 0 && y >= 0 && x < layout::PictureSize.width && y < layout::PictureSize.height;
}

} // namespace

PointerInput::PointerInput(Simulator& sim) : sim_(sim) {}

int PointerInput::CircleIndex(Target circle) {
    return static_cast<int>(circle) - static_cast<int>(Target::UmschaltCircle);
}

PointerInput::Target PointerInput::TargetAt(int x, int y) const {
    if (sim_.form.Image2.visible) return Target::Splash; // it lies over the whole window
    for (const Target circle : {Target::UmschaltCircle, Target::KleinerCircle, Target::GroesserCircle})
        if (Shown(circle) && layout::LatchCircles[CircleIndex(circle)].Contains(x, y)) return circle;
    return Target::Picture;
}

bool PointerInput::Shown(Target target) const {
    const FormState& f = sim_.form;
    switch (target) {
    case Target::None:
        return false;
    case Target::Picture:
        return true;
    case Target::Splash:
        return f.Image2.visible;
    case Target::UmschaltCircle:
        return f.StaticUmschalt.visible;
    case Target::KleinerCircle:
        return f.StaticKleiner.visible;
    case Target::GroesserCircle:
        return f.StaticGroesser.visible;
    }
    return false;
}

void PointerInput::Down(MouseButton button, bool shift, int x, int y) {
    // Every press is taken by what lies at its point: a release the toolkit never delivered (a modal box
    // opened by the press, a circle hidden by it) leaves nothing behind that could steer this one.
    holder_ = TargetAt(x, y);
    switch (holder_) {
    case Target::None:
        break;
    case Target::Splash:
        sim_.Image2Click();
        break;
    case Target::Picture:
        sim_.Image1MouseMove(x, y); // the device sees the pointer arrive before the press
        sim_.Image1MouseDown(button, shift, x, y);
        break;
    default:
        sim_.StaticMouseDown(CircleIndex(holder_), button);
        break;
    }
}

void PointerInput::Up(MouseButton button, int x, int y) {
    const Target holder = holder_;
    holder_ = Target::None;
    // A release without a press (a script may send one) goes where it is, and so does the release of a
    // circle hidden by its own press: the key below takes it, else the press that freed the key would be
    // the last code sent and the key's next press, the same code, would be dropped. The splash clicked
    // away takes its release with it.
    const bool lost = holder != Target::None && !Shown(holder);
    const Target target = holder == Target::None || (lost && holder != Target::Splash) ? TargetAt(x, y)
                          : lost                                                       ? Target::None
                                                                                       : holder;
    switch (target) {
    case Target::None:
    case Target::Splash:
        break;
    case Target::Picture:
        sim_.Image1MouseUp(button, x, y);
        break;
    default:
        sim_.StaticMouseUp(CircleIndex(target), button);
        break;
    }
}

void PointerInput::Move(int x, int y) {
    // A hidden holder has lost the pointer; the move goes where it is.
    if (holder_ != Target::None && !Shown(holder_)) holder_ = Target::None;
    switch (holder_ != Target::None ? holder_ : TargetAt(x, y)) {
    case Target::None:
    case Target::Splash:
        break;
    case Target::Picture:
        // A dragged pointer may leave the picture; the device only ever sees points on it.
        if (OnPicture(x, y)) sim_.Image1MouseMove(x, y);
        break;
    default:
        // A circle passed over keeps the move to itself; one holding a press hands its drags on to the
        // window, which takes them as moves off the picture.
        if (holder_ != Target::None) sim_.FormMouseMove();
        break;
    }
}

void PointerInput::PressKey(DeviceKey key, MouseButton button, bool shift) {
    if (key == DeviceKey::None) return;
    const layout::Point at = layout::KeyCentres[KeyIndex(key)];
    Down(button, shift, at.x, at.y);
}

void PointerInput::ReleaseKey(DeviceKey key, MouseButton button) {
    if (key == DeviceKey::None) return;
    const layout::Point at = layout::KeyCentres[KeyIndex(key)];
    Up(button, at.x, at.y);
}

void PointerInput::DoState(StateVisitor& v) {
    v.Part("pointer");
    v.Enum("holder", holder_, Target::GroesserCircle);
}

} // namespace vp7
