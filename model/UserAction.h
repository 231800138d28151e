// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A user action as it enters the simulator, for an observer beside it that records a session. Each
// kind is one command of the scenario language, so a recording replays through the same calls.
#include "platform/Clock.h"
#include "platform/Host.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vp7 {

struct Control;

enum class MouseButton { Left, Right, Middle };

enum class ActionKind : uint8_t {
    PointerDown, // button, shift, x, y on the device picture
    PointerUp,   // button, x, y
    PointerMove, // x, y
    KeyPress,    // a device key by name (index 0 mode, 1 decrease, 2 increase), button, shift
    KeyRelease,  // index, button
    Check,       // control (check box or radio button), on
    Select,      // control (radio group), index
    Edit,        // control (edit field), text
    Click,       // control (button or menu item)
    Enter,       // the Enter key in the setpoint field
    PauseClick,  // the initialization info window's pause button
    Answer,      // a message box or the screen check answered: button
    FileChosen,  // a file dialog closed: text, none when cancelled
    ScaleDialog, // the setpoint scale dialog closed: text and text2, none when cancelled
    Ignored,     // an input that changes nothing a recording has to repeat (a key other than Enter)
};

struct UserAction {
    ActionKind kind = ActionKind::PointerMove;
    MouseButton button = MouseButton::Left;
    bool shift = false;
    int x = 0, y = 0;
    const Control* control = nullptr;
    bool on = false;
    int index = 0;
    MsgButton answer = MsgButton::OK;
    std::optional<std::string> text = std::nullopt, text2 = std::nullopt;
};

class ActionObserver {
public:
    virtual ~ActionObserver() = default;
    // At the moment the action enters, on the simulator's clock (timer ticks already due have run).
    virtual void OnAction(const UserAction& action) = 0;
    // When the action's handler has returned: the answers given to the dialogs it opened are known.
    virtual void OnActionDone() {}
};

// The handling of one input: the clock holds still from its start, and at its end the observer learns
// that the action is done.
class ActionScope {
public:
    ActionScope(Clock& clock, ActionObserver* observer) : clock_(clock), observer_(observer) {}
    ~ActionScope() {
        clock_.EndInput();
        if (observer_) observer_->OnActionDone();
    }
    ActionScope(const ActionScope&) = delete;
    ActionScope& operator=(const ActionScope&) = delete;

private:
    Clock& clock_;
    ActionObserver* observer_;
};

} // namespace vp7
