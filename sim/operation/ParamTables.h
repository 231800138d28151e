// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The constant records of the parameter tables, used by ParamSet only.
#include "sim/operation/ParamSet.h"

#include <vector>

namespace vp7 {

struct ParamRecord {
    ParamId id = ParamId::None;
    TParamField field;
};

// The records of a device variant (0 = 0/4-20 mA, 1 = PA, 2 = FF) in table order, values at default.
const std::vector<ParamRecord>& VariantRecords(uint8_t controllerType);

} // namespace vp7
