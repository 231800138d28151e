// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pointer on the device picture as the device's keys: presses and releases become key event codes,
// the key timer repeats and times held keys. PointerInput decides whether the picture or a red latch
// circle gets a pointer event.
#include "model/DeviceCodes.h"
#include "model/UserAction.h"

#include <cstdint>

namespace vp7 {

class Simulator;

// A key's place in the lists of three (layout::KeyAreas, KeyCentres): 0 mode, 1 decrease, 2 increase.
constexpr int KeyIndex(DeviceKey key) {
    return static_cast<int>(key) - static_cast<int>(DeviceKey::Umschalt);
}
constexpr DeviceKey KeyOfIndex(int index) {
    return static_cast<DeviceKey>(index + static_cast<int>(DeviceKey::Umschalt));
}

class KeyInput {
public:
    explicit KeyInput(Simulator& sim);

    // The key whose area (layout::KeyAreas) holds the picture point.
    static DeviceKey KeyAt(int x, int y);

    void Image1MouseDown(MouseButton button, bool shift, int x, int y);
    void Image1MouseUp(MouseButton button, int x, int y);
    // A press and a release on the red circle shown on a latched key.
    void CircleMouseDown(DeviceKey key, MouseButton button);
    void CircleMouseUp(DeviceKey key, MouseButton button);
    void KeyTimerTimer();

    // The cursor menu's three radio items.
    void MausStandardClick();
    void MausKreuzClick();
    void MausHandClick();

private:
    static KeyCode PressCode(DeviceKey key, bool right);
    void Send(KeyCode code);
    bool PointerOn(DeviceKey key) const;
    void SetCursor(int item);
    Simulator& sim_;
};

} // namespace vp7
