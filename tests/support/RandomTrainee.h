// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A trainee at a device doing one thing after another at random, through the inputs a recording keeps:
// a click or a hold on a key with either button, a fault option, the valve type and the throttle, a
// setpoint in either unit (some no number at all), a binary input, the language, the pointer moved.
// A greyed control is left alone, as a person cannot reach it.
#include "model/PictureLayout.h"
#include "support/Operator.h"

#include <random>

namespace vp7::test {

struct RandomTrainee {
    Operator person;
    std::mt19937& rng;

    static constexpr int kActions = 7;
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    // Action `which`, from 0 to kActions - 1.
    void Act(int which) {
        Simulator& sim = person.sim;
        FormState& f = sim.form;
        switch (which) {
        case 0: {
            const layout::Point centre = layout::KeyCentres[Pick(3)];
            const std::pair key{centre.x, centre.y};
            const MouseButton button = Pick(4) == 0 ? MouseButton::Right : MouseButton::Left;
            person.Down(key, button, Pick(8) == 0);
            person.clock.Advance(Pick(3) == 0 ? Pick(7000) : Pick(300));
            person.Up(key, button);
            break;
        }
        case 1: {
            Control* options[] = {&f.NoPreasureSelect, &f.BlockDownSelect, &f.BlockUpSelect,
                                  &f.FrictionSelect,   &f.LeakageSelect,   &f.AlarmModulSelect,
                                  &f.StromModulSelect, &f.HelpOthers};
            if (Control& c = *options[Pick(8)]; c.enabled) sim.UserCheck(c, !c.checked);
            break;
        }
        case 2: {
            Control* valves[] = {&f.SelfClosingSelect, &f.SelfOpeningSelect, &f.DoubleActingSelect};
            if (Control& valve = *valves[Pick(3)]; valve.enabled) sim.UserCheck(valve, true);
            if (f.DrosselSelect.enabled) sim.UserSelect(f.DrosselSelect, Pick(4));
            break;
        }
        case 3: {
            static const char* const texts[] = {"0",   "50",  "100", "37,4",  "-5",
                                                "120", "abc", "",    "1e999", "12.5.1"};
            if (Pick(3) == 0 && f.SetpointDimSelect.enabled) sim.UserSelect(f.SetpointDimSelect, Pick(2));
            person.Enter(texts[Pick(10)]);
            break;
        }
        case 4:
            person.Click({Pick(2) ? 40 : 116, 80}); // a binary input
            break;
        case 5:
            sim.UserClick(Pick(2) ? f.Deutsch1 : f.English1);
            break;
        default:
            sim.PointerMove(Pick(layout::PictureSize.width), Pick(layout::PictureSize.height));
            break;
        }
    }
};

} // namespace vp7::test
