// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's zoom, kept in the settings file's section [View]: Zoom=150 for a step of the View
// menu, or Zoom=Fit to follow the window's size, with FitZoom the zoom it had last (the window opens at
// that size). A file without the section, a first start's or an older program's, leaves the choice to
// the screen; a damaged key counts as missing. Older programs leave the section alone.
#include <array>

namespace vp7 {

class IniFile;

struct ViewSettings {
    // The View menu's steps, in percent.
    static constexpr std::array<int, 5> kSteps = {100, 125, 150, 200, 300};
    // "Fit to window" shrinks the form to half its size at most and grows it as far as the largest step.
    static constexpr int kFitLeast = 50, kFitMost = kSteps.back();

    int percent = 0; // a step; 0 when none was ever chosen
    bool fit = false;
    int fitPercent = kSteps.front();

    bool Chosen() const { return fit || percent != 0; }
    void Read(const IniFile& ini);
    void Write(IniFile& ini) const;
};

} // namespace vp7
