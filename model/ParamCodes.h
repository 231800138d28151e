// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parameters' vocabulary: which parameter a record is and how its value is shown and edited.
#include <cstdint>

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

// How a parameter's value is shown and edited: flags, and two whole kinds that are tested as such.
enum class ParamKind : int32_t {
    None = 0,     // an empty record after the last parameter
    Plain = 1,    // whole number without unit
    List = 2,     // the value indexes ValueTexts
    Number = 4,   // number with a unit
    Tenths = 8,   // shown with one decimal
    Special = 16, // has a special value below the range, shown as ValueTexts[0]
    NoDecrease = 128,
    LargeCount = 256, // adaptive step, exponent form
    // Lists with extra flags 32 and 64 that have no effect of their own.
    Action = 98, // INITA, INITM
    Reset = 162, // PRST
};

constexpr ParamKind operator|(ParamKind a, ParamKind b) {
    return static_cast<ParamKind>(static_cast<int32_t>(a) | static_cast<int32_t>(b));
}

} // namespace vp7
