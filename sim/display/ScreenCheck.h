// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The screen check at start: a warning on a screen smaller than 1024 x 768 or with fewer than 24 bits
// of colour, with the choice to go on or to close, and the check switched on or off.
namespace vp7 {

class Simulator;

class ScreenCheck {
public:
    explicit ScreenCheck(Simulator& sim);

    // The dialog's texts in the language of the start; later switches leave them.
    void FormCreate();
    // At the start-up tick; false when the user chose to close the program.
    bool CheckAtStart();
    void ScreenCheckClick(bool checked);
    void Button1Click(); // continue
    void Button2Click(); // close
    void ExtraCheckScreenClick();

private:
    Simulator& sim_;
};

} // namespace vp7
