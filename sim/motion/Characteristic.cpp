// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/motion/Characteristic.h"

#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/motion/CharacteristicTables.h"
#include "sim/motion/Scales.h"
#include "sim/operation/ParamSet.h"

#include <algorithm>
#include <cmath>

namespace vp7 {

Characteristic::Characteristic(Simulator& sim) : sim_(sim) {
    for (int i = 0; i < 21; ++i)
        KennlinienTabelle[i] = FreeTable[i] = 5.0 * i;
}

bool Characteristic::BuildKennlinie() {
    const ParamSet& params = sim_.params;
    const int type = params.store.KennlinienTyp;
    bool ok = true;
    for (int i = 0; i < 21; ++i) {
        // The support parameters are tenths; the device keeps them as 8.8 fixed point within +-127 %.
        const int32_t tenths = params.ParamTable[params.SL0Index + i].Value;
        FreeTable[i] = std::clamp(tenths * 256.0 / 10.0, -32512.0, 32512.0) / 256.0;
        if (i > 0 && tenths - params.ParamTable[params.SL0Index + i - 1].Value < 2) ok = false;
    }
    const std::array<double, 21>* base = nullptr;
    if (type >= 1 && type <= 6) base = &kCharacteristicTables[type - 1];
    if (type == 7) base = &FreeTable;
    const Scales& sc = sim_.scales;
    for (int i = 0; i < 21; ++i)
        KennlinienTabelle[i] = sc.Yfactor * (base ? (*base)[i] : 5.0 * i) + sc.Yoffset;
    return ok;
}

double Characteristic::Kennlinie(double x) const {
    int i = 0;
    if (x >= 95)
        i = 19;
    else if (x >= 5)
        i = static_cast<int>(x) / 5;
    return (KennlinienTabelle[i + 1] - KennlinienTabelle[i]) / 5 * (x - 5 * i) + KennlinienTabelle[i];
}

double Characteristic::KennlinieInvers(double y) const {
    // A flat stretch cannot be inverted; the device shows an out-of-range number instead.
    const auto divide = [](double numerator, double denominator) {
        return denominator != 0 ? numerator / denominator : numerator >= 0 ? 999.9 : -99.9;
    };
    if (sim_.params.store.KennlinienTyp == 0) return divide(y - sim_.scales.Yoffset, sim_.scales.Yfactor);
    const auto& t = KennlinienTabelle;
    int i = 0;
    if (y > t[19])
        i = 19;
    else if (y > t[1])
        while (i < 19 && !(t[i] < y && y <= t[i + 1]))
            ++i;
    const double denominator = t[i + 1] - t[i];
    if (denominator == 0) return divide(y - t[i], 0);
    return (y - t[i]) * 5 / denominator + 5 * i;
}

void Characteristic::DoState(StateVisitor& v) {
    v.Part("characteristic");
    v("KennlinienTabelle", KennlinienTabelle);
    v("FreeTable", FreeTable);
}

} // namespace vp7
