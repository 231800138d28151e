// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configuration menu: walks the parameter table on the display, the lower line showing number and
// name, the upper line the value; the decrease and increase keys change it, the mode key moves on.
#include "model/DeviceCodes.h"
#include "model/ParamCodes.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vp7 {

class StateVisitor;

class Simulator;

class ConfigMenu {
public:
    explicit ConfigMenu(Simulator& sim);
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);

    // One key event in configuration mode (Neutral only redraws); `step` is 1, or 10 once a value key
    // has been held long.
    void Run(KeyCode code, int32_t step);
    // Loads the working copy of the current parameter and its edit step.
    void PrepareEdit();

    // The name with its first two characters replaced by the number: " 1YFCT ", "17SL3  ".
    static std::string NumberedName(uint32_t n, const std::string& name);
    // " " + text + " ", broken once into two lines at the last blank up to character 43.
    static std::string WrapHelpText(std::string_view text);

    uint32_t CurrentParam = 0;
    int32_t EditStep = 1;

private:
    void Next();
    void Previous();
    std::string UpperText() const;
    void ShowHelp();

    // Working copy of the current parameter.
    int32_t value_ = 0, min_ = 0, max_ = 0, special_ = 0;
    ParamKind kind_{};
    int32_t stepMultiplier_ = 1;
    std::string specialText_;
    Simulator& sim_;
};

} // namespace vp7
