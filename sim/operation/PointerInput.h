// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a pointer event on the device picture goes, decided once for every front end and the tests:
// the splash view while it covers the window, a red latch circle where one lies over the picture, else
// the picture itself (keys, switches, gear marks, the scale heading, hover help). What took a press
// keeps the pointer until its release, as a window toolkit's pointer grab does.
#include "model/DeviceCodes.h"
#include "model/UserAction.h"

namespace vp7 {

class StateVisitor;

class Simulator;

class PointerInput {
public:
    explicit PointerInput(Simulator& sim);
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);

    // Picture coordinates; a release or a drag may lie off the picture.
    void Down(MouseButton button, bool shift, int x, int y);
    void Up(MouseButton button, int x, int y);
    void Move(int x, int y);
    // The pointer pressed or released at a device key's centre.
    void PressKey(DeviceKey key, MouseButton button, bool shift);
    void ReleaseKey(DeviceKey key, MouseButton button);

private:
    enum class Target { None, Picture, Splash, UmschaltCircle, KleinerCircle, GroesserCircle };
    static int CircleIndex(Target circle);
    // What lies topmost at a point.
    Target TargetAt(int x, int y) const;
    bool Shown(Target target) const;
    Simulator& sim_;
    Target holder_ = Target::None; // what took the press under way
};

} // namespace vp7
