// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's captions and title in German or English, switched from the language menu.
#include <string>
#include <string_view>

namespace vp7 {

class Simulator;
struct Control;

// The caption the window gives the control named `control` in German or English; empty for a control
// without one of its own.
std::string CaptionOf(std::string_view control, bool german);

class Captions {
public:
    explicit Captions(Simulator& sim);

    void Deutsch1Click();
    void English1Click();
    // Every caption and the title for the current language; outside the window's creation also the
    // pictures with captions, and the setpoint confirmed again so the display follows.
    void SetLanguageTexts();
    // One control's own caption for the current language, as SetLanguageTexts gives it.
    void SetCaption(Control& control) const;

private:
    Simulator& sim_;
};

} // namespace vp7
