// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What of a form changed since a view last took it. The view keeps a copy of what it shows and asks
// for the controls that differ, so that a cycle which changed nothing costs one comparison and no
// widget work.
#include "model/FormState.h"

#include <string_view>
#include <vector>

namespace vp7 {

class FormChanges {
public:
    struct Taken {
        std::vector<const Control*> controls; // in creation order
        bool window = false;                  // title, cursor, maximized
        bool smallWindows = false;            // the info window, the parameter table, the dialogs
        bool Any() const { return window || smallWindows || !controls.empty(); }
    };
    // What differs from the copy, which then holds `form`; at the first call, everything.
    Taken Take(const FormState& form);
    // The next Take names the control `name` whether it changed or not: its widget changed itself
    // (a click toggles a check box) and may now differ from what the device made of it.
    void Refresh(std::string_view name);

private:
    bool taken_ = false;
    std::vector<Control> controls_;
    std::string title_;
    bool maximized_ = false;
    CursorShape cursor_ = CursorShape::Standard;
    InitInfoState initInfo_;
    ParTabState parTab_;
    ScaleDialogState scaleDialog_;
    ScreenCheckState screenCheck_;
};

} // namespace vp7
