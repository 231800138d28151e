// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The constant records of the parameter tables, used by ParamSet only.
#include "device/ParamSet.h"

#include <vector>

namespace vp7 {

// Which parameter a table record is, whatever its display name in the variant (TSI is TSUP, BIN is
// BIN1). The support values SL0 ... SL20 are consecutive, so SLn is SL0 + n.
// clang-format off
enum class ParamId : uint8_t {
    None,
    YFCT, YAGL, YWAY, INITA, INITM, SCUR, SDIR, SPRA, SPRE, TSUP, TSDO, SFCT,
    SL0, SL20 = SL0 + 20,
    DEBA, YA, YE, YNRM, YDIR, YCLS, YCDO, YCUP, BIN1, BIN2, AFCT, A1, A2,
    StoerFCT, StoerTIM, StoerLIM, StoerSTRK, StoerDCHG, StoerZERO, StoerOPEN, StoerDEBA,
    PRST, FSTY, FSTI, FSVL, STNR, IDENT,
};
// clang-format on

struct ParamRecord {
    ParamId id = ParamId::None;
    TParamField field;
};

// The records of a device variant (0 = 0/4-20 mA, 1 = PA, 2 = FF) in table order, values at default.
const std::vector<ParamRecord>& VariantRecords(uint8_t controllerType);

} // namespace vp7
