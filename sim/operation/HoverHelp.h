// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hover help on the device picture: the value at a scale row or a marker, what the display lines show,
// what each key does in the current mode, and the gear marks, in a help label beside the pointer.
#include <string>

namespace vp7 {

class Simulator;
struct Control;

class HoverHelp {
public:
    explicit HoverHelp(Simulator& sim);

    // The pointer moved over the picture (picture coordinates).
    void Image1MouseMove(int x, int y);
    // The pointer moved over the window outside the picture: every help label goes.
    void HideAll();

private:
    bool ScaleReadout(int x, int y);
    bool MarkerReadout(int x, int y);
    bool Display(int x, int y);
    bool Keys(int x, int y);
    bool Gear(int x, int y);
    // Shows HelpText with `text` at window (x, y); an empty text only moves it.
    void Show(const std::string& text, int x, int y);
    // Shows a label at the display with its right edge left of the display, at window row y.
    void ShowAtDisplay(Control& label, const std::string& text, int y);
    Simulator& sim_;
};

} // namespace vp7
