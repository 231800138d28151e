// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device's configuration parameters: the compact store the simulation reads (and the settings and
// configuration files keep), the parameter table of the device variant that the configuration menu and
// the parameter table window walk through, and the conversions between the two.
#include "model/ParamCodes.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vp7 {

class StateVisitor;

// One field per parameter of any variant. Percentages are 8.8 fixed point (percent x 256; negative is
// the special value "Auto "/" OFF "), times whole seconds, lists indexes.
struct ParamStore {
    void DoState(StateVisitor& v);
    uint8_t YFCT = 1, YAGL = 1, YWAY = 0;
    uint8_t LiveZero = 1; // SCUR: 1 = 4-20 mA
    uint8_t SDIR = 0;
    int16_t SPRA = 0, SPRE = 25600;
    int16_t MinTimeUp = 0, MinTimeDown = 0; // TSUP (TSI), TSDO (TSD)
    uint8_t KennlinienTyp = 0;              // SFCT
    std::array<int16_t, 21> SL{};           // support values SL0 ... SL20
    int16_t DEBA = -30720;
    int16_t YA = 0, YE = 25600;
    uint8_t YNRM = 0, YDIR = 0, YCLS = 0;
    int16_t YCDO = 128, YCUP = 25472;
    uint8_t BIN1 = 0, BIN2 = 0, AFCT = 0;
    int16_t A1 = 2560, A2 = 23040;
    uint8_t StoerFCT = 0;                                               // /FCT
    int16_t StoerTIM = -120;                                            // /TIM, seconds
    int16_t StoerLIM = -30720;                                          // /LIM
    int32_t StoerSTRK = 0, StoerDCHG = 0;                               // /STRK, /DCHG
    int16_t StoerZERO = -30720, StoerOPEN = -30720, StoerDEBA = -30720; // /ZERO, /OPEN, /DEBA
    uint8_t FSTY = 2;
    int16_t FSTI = 30;
    int16_t FSVL = 0;
    uint8_t STNR = 126, IDENT = 1;
};

// Whether the kind carries the flag.
constexpr bool Has(ParamKind kind, ParamKind flag) {
    return (static_cast<int32_t>(kind) & static_cast<int32_t>(flag)) != 0;
}

// One record of the parameter table.
struct TParamField {
    void DoState(StateVisitor& v);
    ParamKind Kind = ParamKind::None;
    std::string Name;  // e.g. "  YFCT ": two blanks (replaced by the number when shown), padded to 7
    int32_t Value = 0; // table units: list index, whole number, or tenths (ParamKind::Tenths)
    int32_t Default = 0, Min = 0, Max = 0, Special = 0;
    std::array<std::string, 15> ValueTexts;
    std::array<std::string, 5> LongName;                    // [0] German, [1] English
    const std::array<std::string, 75>* ValueHelp = nullptr; // [Language * 15 + value]
};

class ParamSet {
public:
    static constexpr int TableSize = 56;
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);

    // Every store field to its factory value for the variant (0 = 0/4-20 mA, 1 = PA, 2 = FF).
    void SetFactoryDefaults(uint8_t controllerType);
    // Fills the table and the index variables for the variant.
    void BuildParamTable(uint8_t controllerType);
    void LoadTableFromStore();
    void StoreFromTable();
    void ResetTableToDefaults();
    bool TableAtDefaults() const;
    // The travel found by the last initialization, by the store's YFCT and YWAY.
    std::string InitTravelText() const;

    // Table index of a parameter by its display name without blanks ("YFCT", "SL12", "/STRK", "TSI"),
    // or -1 when the variant lacks it.
    int FindByName(std::string_view name) const;
    // The display names without blanks of the variant's parameters, in table order.
    std::vector<std::string> Names() const;

    static int16_t ToFixed88(int32_t tenths);
    static int32_t FromFixed88(int16_t w);
    static double Fixed88ToReal(int16_t w) { return w / 256.0; }

    ParamStore store;
    std::array<TParamField, TableSize> ParamTable;
    uint8_t controllerType = 0;

    // Table indexes of particular parameters (0 when the variant lacks one).
    int ParamFirstIndex = 0, ParamLastIndex = 0;
    int YFCTIndex = 0, YAGLIndex = 0, YWAYIndex = 0, INITAIndex = 0, INITMIndex = 0, SDIRIndex = 0;
    int TSUPIndex = 0, TSDOIndex = 0, SFCTIndex = 0, SL0Index = 0, SL20Index = 0, DEBAIndex = 0;
    int YAIndex = 0, YEIndex = 0, YCDOIndex = 0, YCUPIndex = 0, BIN1Index = 0, AFCTIndex = 0;
    int PRSTIndex = 0, STNRIndex = 0, IDENTIndex = 0;

private:
    bool IsAction(int index) const;

    std::array<ParamId, TableSize> ids_{}; // per record, ParamId::None for the empty ones
};

} // namespace vp7
