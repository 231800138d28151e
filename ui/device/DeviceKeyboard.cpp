// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/device/DeviceKeyboard.h"

#include "sim/Simulator.h"
#include "ui/device/DeviceView.h"
#include "ui/device/PictureWidget.h"
#include "ui/qt/QtHost.h"

#include <QApplication>
#include <QKeyEvent>

#include <utility>

namespace vp7 {
namespace {

struct Mapped {
    DeviceKey key = DeviceKey::None;
    bool right = false;       // Shift: the right button's function
    bool pictureOnly = false; // a key that check boxes and buttons use themselves
};

Mapped Map(const QKeyEvent& e) {
    const Qt::KeyboardModifiers mods = e.modifiers() & ~Qt::KeypadModifier;
    if (mods & ~Qt::ShiftModifier) return {}; // with Ctrl, Alt or Meta a key is a shortcut of its own
    const bool shift = mods & Qt::ShiftModifier;
    switch (e.key()) {
    case Qt::Key_M:
        return {DeviceKey::Umschalt, shift, false};
    case Qt::Key_Space:
        return {DeviceKey::Umschalt, shift, true};
    case Qt::Key_Left:
        return {DeviceKey::Kleiner, shift, true};
    case Qt::Key_Right:
        return {DeviceKey::Groesser, shift, true};
    case Qt::Key_Minus:
        return {DeviceKey::Kleiner, shift, false};
    case Qt::Key_Underscore: // Shift with "-" on the usual layouts
        return {DeviceKey::Kleiner, true, false};
    case Qt::Key_Plus:
        // Some layouts need Shift to type "+" at all; only the keypad's "+" tells Shift apart.
        return {DeviceKey::Groesser, shift && (e.modifiers() & Qt::KeypadModifier), false};
    default:
        return {};
    }
}

// Widgets lying over the device picture: a press on them gives the picture the focus, as one on it does.
constexpr const char* kOverPicture[] = {"StaticUmschalt", "StaticKleiner", "StaticGroesser",
                                        "HilfeOben",      "HilfeUnten",    "HelpText"};

} // namespace

DeviceKeyboard::DeviceKeyboard(DeviceView& view)
    : QObject(nullptr), view_(view), picture_(*view.Picture()), button_(MouseButton::Left),
      releaseGrace_(view.Sim().clock, "keyboard release", kRepeatGraceMs) {
    releaseGrace_.SetHandler([this] { LetGo(); });
    // Application-wide: a key may come up over another control, and a key-down reaches the window only
    // when the focused control did not take it.
    qApp->installEventFilter(this);
    picture_.setFocus(Qt::OtherFocusReason);
}

QWidget& DeviceKeyboard::Window() const {
    return *view_.window();
}

bool DeviceKeyboard::PictureOrNothingFocused() const {
    const QWidget* focus = Window().focusWidget();
    return !focus || focus == &picture_ || focus == &Window() || focus == view_.Form();
}

bool DeviceKeyboard::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        return watched == &Window() && KeyDown(*static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease:
        if (held_ != DeviceKey::None) KeyUp(*static_cast<QKeyEvent*>(event));
        return false;
    case QEvent::WindowDeactivate:
        if (watched == &Window()) LetGo();
        return false;
    case QEvent::MouseMove:
        // The pointer stays on the held key, or the device would take the hold as dragged off it.
        return held_ != DeviceKey::None && watched == &picture_;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != &Window()) return false;
        const bool overPicture = std::any_of(std::begin(kOverPicture), std::end(kOverPicture),
                                             [&](const char* name) { return widget->objectName() == name; });
        if (widget != &picture_ && !overPicture) return false;
        LetGo(); // the mouse takes over: one pointer holds one key
        picture_.setFocus(Qt::MouseFocusReason);
        return false;
    }
    default:
        return false;
    }
}

bool DeviceKeyboard::KeyDown(const QKeyEvent& event) {
    const Mapped m = Map(event);
    if (m.key == DeviceKey::None || (m.pictureOnly && !PictureOrNothingFocused())) return false;
    if (releaseGrace_.Enabled()) {
        if (IsHeldKey(event)) {
            releaseGrace_.SetEnabled(false); // the key-up was the auto-repeat's
            return true;
        }
        LetGo(); // another key: this one was let go indeed
    }
    // One key at a time, as under one pointer; a mouse button held on the picture keeps it.
    if (event.isAutoRepeat() || held_ != DeviceKey::None || QGuiApplication::mouseButtons() != Qt::NoButton)
        return true;
    held_ = m.key;
    button_ = m.right ? MouseButton::Right : MouseButton::Left;
    scanCode_ = event.nativeScanCode();
    view_.Host().SetKeyHeld(!m.right);
    picture_.ShowKeyHeld(m.key);
    pressing_ = true;
    view_.Sim().PressKey(m.key, button_, m.right);
    pressing_ = false;
    view_.AfterEvent();
    return true;
}

// The physical key where known: the character may change with Shift let go first ("_" to "-").
bool DeviceKeyboard::IsHeldKey(const QKeyEvent& event) const {
    return scanCode_ != 0 ? event.nativeScanCode() == scanCode_ : Map(event).key == held_;
}

void DeviceKeyboard::KeyUp(const QKeyEvent& event) {
    if (!event.isAutoRepeat() && IsHeldKey(event)) releaseGrace_.SetEnabled(true);
}

void DeviceKeyboard::LetGo() {
    releaseGrace_.SetEnabled(false);
    const DeviceKey key = std::exchange(held_, DeviceKey::None);
    if (key == DeviceKey::None) return;
    view_.Host().SetKeyHeld(false);
    picture_.ShowKeyHeld(DeviceKey::None);
    if (pressing_ || QApplication::activeModalWidget()) return;
    view_.Sim().ReleaseKey(key, button_);
    view_.AfterEvent();
}

} // namespace vp7
