// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device's three keys on the keyboard: M or Space the mode key, "-" or Left the decrease key, "+" or
// Right the increase key, with Shift their right-button function. A key held is a key held: pressed on
// its first key-down, released on its key-up, auto-repeat ignored, so the device's holds, repeats and
// acceleration run as with the mouse. The keys go through the simulator's key path, so a recording
// replays them. They act while the view's window has the focus and the focused control does not use the
// key itself: the device picture takes them all, a check box or button keeps Space and the arrows, the
// setpoint field keeps every key it types.
//
// On X11 a held key repeats as key-up and key-down pairs that Qt cannot always mark as auto-repeat (the
// key-down may not have arrived when the key-up is read), so a key-up counts only when the key has not
// come down again within kRepeatGraceMs, on the simulator's clock.
#include "model/DeviceCodes.h"
#include "model/UserAction.h"
#include "platform/Clock.h"

#include <QObject>

class QKeyEvent;
class QWidget;

namespace vp7 {

class DeviceView;
class PictureWidget;

class DeviceKeyboard : public QObject {
public:
    static constexpr int kRepeatGraceMs = 30;

    explicit DeviceKeyboard(DeviceView& view);
    // The held key let go: the device is told, unless a modal box or the key's own press is under
    // way, where a mouse button's release would not reach the picture either.
    void LetGo();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A key-down that reached the window (no control took it); whether it was a device key.
    bool KeyDown(const QKeyEvent& event);
    void KeyUp(const QKeyEvent& event);
    bool IsHeldKey(const QKeyEvent& event) const;
    bool PictureOrNothingFocused() const;

    // The window the view lies in.
    QWidget& Window() const;

    DeviceView& view_;
    PictureWidget& picture_;
    DeviceKey held_ = DeviceKey::None;
    MouseButton button_;
    quint32 scanCode_ = 0; // the held key's physical key, where the platform tells it
    bool pressing_ = false;
    Timer releaseGrace_; // runs from the held key's key-up until it counts
};

} // namespace vp7
