// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parameter table window: every parameter of the device with its current value in a two-column
// grid beside the device, its place and height kept over restarts.
#include <cstdint>
#include <string>

namespace vp7 {

class Simulator;

class ParamTableView {
public:
    explicit ParamTableView(Simulator& sim);

    // Refills the grid from the parameter table.
    void SetParTab();
    // The display text of one parameter's value, or of another value of that parameter.
    std::string ParamValueText(int index) const;
    std::string ParamValueText(int index, int32_t value) const;
    void ParameterTabelle1Click();
    // The window's own close button.
    void FormClose();
    void FormActivate();
    // F5 without Shift, Alt or Ctrl refreshes the grid while the window is shown.
    void FormKeyDown(int key, bool shift, bool alt, bool ctrl);
    // Width 251 and at least 224 high, unless the start-up is placing the window.
    bool FormCanResize(int width, int height);
    // Placing at start: the stored place, and shown when it was open at the last close.
    void PlaceAtStart();

    static constexpr int Width = 251, MinHeight = 224, KeyF5 = 116;

private:
    Simulator& sim_;
};

} // namespace vp7
