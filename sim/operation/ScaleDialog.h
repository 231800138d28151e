// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The setpoint scale dialog: the begin and end of the setpoint scale, opened by a right click on the
// scale's heading.
namespace vp7 {

class Simulator;

class ScaleDialog {
public:
    explicit ScaleDialog(Simulator& sim);

    // Opens it modally with the current scale in both fields.
    void Show();
    void FormActivate();
    // Ok: applies and returns true, or shows "Skalenwert fehlerhaft" and returns false (it stays open).
    bool Button1Click();

private:
    Simulator& sim_;
};

} // namespace vp7
