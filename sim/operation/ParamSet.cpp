// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/operation/ParamSet.h"

#include "platform/StateVisitor.h"
#include "sim/operation/ParamTables.h"

#include <cmath>

namespace vp7 {
namespace {

// The store field of a table record; at most one pointer is set (none for INITA, INITM, PRST).
struct FieldRef {
    uint8_t* byte = nullptr;    // list index or number
    int16_t* fixed = nullptr;   // 8.8 fixed point percent, table tenths
    int16_t* seconds = nullptr; // whole seconds as in the table
    int32_t* count = nullptr;   // counts as in the table
};

FieldRef StoreField(ParamStore& s, ParamId id) {
    using enum ParamId;
    if (id >= SL0 && id <= SL20) return {.fixed = &s.SL[int(id) - int(SL0)]};
    // clang-format off
    switch (id) {
    case YFCT: return {.byte = &s.YFCT};
    case YAGL: return {.byte = &s.YAGL};
    case YWAY: return {.byte = &s.YWAY};
    case SCUR: return {.byte = &s.LiveZero};
    case SDIR: return {.byte = &s.SDIR};
    case SPRA: return {.fixed = &s.SPRA};
    case SPRE: return {.fixed = &s.SPRE};
    case TSUP: return {.seconds = &s.MinTimeUp};
    case TSDO: return {.seconds = &s.MinTimeDown};
    case SFCT: return {.byte = &s.KennlinienTyp};
    case DEBA: return {.fixed = &s.DEBA};
    case YA: return {.fixed = &s.YA};
    case YE: return {.fixed = &s.YE};
    case YNRM: return {.byte = &s.YNRM};
    case YDIR: return {.byte = &s.YDIR};
    case YCLS: return {.byte = &s.YCLS};
    case YCDO: return {.fixed = &s.YCDO};
    case YCUP: return {.fixed = &s.YCUP};
    case BIN1: return {.byte = &s.BIN1};
    case BIN2: return {.byte = &s.BIN2};
    case AFCT: return {.byte = &s.AFCT};
    case A1: return {.fixed = &s.A1};
    case A2: return {.fixed = &s.A2};
    case StoerFCT: return {.byte = &s.StoerFCT};
    case StoerTIM: return {.seconds = &s.StoerTIM};
    case StoerLIM: return {.fixed = &s.StoerLIM};
    case StoerSTRK: return {.count = &s.StoerSTRK};
    case StoerDCHG: return {.count = &s.StoerDCHG};
    case StoerZERO: return {.fixed = &s.StoerZERO};
    case StoerOPEN: return {.fixed = &s.StoerOPEN};
    case StoerDEBA: return {.fixed = &s.StoerDEBA};
    case FSTY: return {.byte = &s.FSTY};
    case FSTI: return {.seconds = &s.FSTI};
    case FSVL: return {.fixed = &s.FSVL};
    case STNR: return {.byte = &s.STNR};
    case IDENT: return {.byte = &s.IDENT};
    default: return {}; // INITA, INITM, PRST and empty records
    }
    // clang-format on
}

std::string WithoutBlanks(std::string_view text) {
    std::string result;
    for (char c : text)
        if (c != ' ') result += c;
    return result;
}

constexpr uint8_t FF = 2;
constexpr int32_t FixedOff = -1200; // the special value " OFF " of YCDO/YCUP in FF

} // namespace

void ParamSet::SetFactoryDefaults(uint8_t controllerType) {
    const bool variant0 = controllerType == 0;
    ParamStore& s = store;
    s.YFCT = 1;
    s.YAGL = 1;
    s.YWAY = 0;
    s.LiveZero = 1;
    s.SDIR = 0;
    s.SPRA = ToFixed88(0);
    s.SPRE = ToFixed88(1000);
    s.MinTimeUp = 0;
    s.MinTimeDown = 0;
    s.KennlinienTyp = 0;
    for (int n = 0; n <= 20; ++n)
        s.SL[n] = ToFixed88(50 * n);
    s.DEBA = ToFixed88(-1200);
    s.YA = ToFixed88(0);
    s.YE = ToFixed88(1000);
    s.YNRM = 0;
    s.YDIR = 0;
    s.YCLS = 0;
    s.YCDO = ToFixed88(variant0 ? 5 : 0);
    s.YCUP = ToFixed88(variant0 ? 995 : 1000);
    s.BIN1 = 0;
    s.BIN2 = 0;
    s.AFCT = 0;
    s.A1 = ToFixed88(100);
    s.A2 = ToFixed88(900);
    s.StoerFCT = 0;
    s.StoerTIM = -120;
    s.StoerLIM = ToFixed88(-1200);
    s.StoerSTRK = controllerType == 1 ? 1000000000 : 0;
    s.StoerDCHG = 0;
    s.StoerZERO = ToFixed88(-1200);
    s.StoerOPEN = ToFixed88(-1200);
    s.StoerDEBA = ToFixed88(-1200);
    s.FSTY = 2;
    s.FSTI = 30;
    s.FSVL = ToFixed88(0);
    s.STNR = 126;
    s.IDENT = 1;
}

void ParamSet::BuildParamTable(uint8_t controllerType) {
    this->controllerType = controllerType;
    ParamTable.fill(TParamField{});
    ids_.fill(ParamId::None);
    ParamFirstIndex = ParamLastIndex = 0;
    YFCTIndex = YAGLIndex = YWAYIndex = INITAIndex = INITMIndex = SDIRIndex = 0;
    TSUPIndex = TSDOIndex = SFCTIndex = SL0Index = SL20Index = DEBAIndex = 0;
    YAIndex = YEIndex = YCDOIndex = YCUPIndex = BIN1Index = AFCTIndex = 0;
    PRSTIndex = STNRIndex = IDENTIndex = 0;

    const std::vector<ParamRecord>& records = VariantRecords(controllerType);
    for (int i = 0; i < int(records.size()); ++i) {
        ParamTable[i] = records[i].field;
        ids_[i] = records[i].id;
        ParamLastIndex = i;
        using enum ParamId;
        // clang-format off
        switch (records[i].id) {
        case YFCT: YFCTIndex = i; break;
        case YAGL: YAGLIndex = i; break;
        case YWAY: YWAYIndex = i; break;
        case INITA: INITAIndex = i; break;
        case INITM: INITMIndex = i; break;
        case SDIR: SDIRIndex = i; break;
        case TSUP: TSUPIndex = i; break;
        case TSDO: TSDOIndex = i; break;
        case SFCT: SFCTIndex = i; break;
        case SL0: SL0Index = i; break;
        case SL20: SL20Index = i; break;
        case DEBA: DEBAIndex = i; break;
        case YA: YAIndex = i; break;
        case YE: YEIndex = i; break;
        case YCDO: YCDOIndex = i; break;
        case YCUP: YCUPIndex = i; break;
        case BIN1: BIN1Index = i; break;
        case AFCT: AFCTIndex = i; break;
        case PRST: PRSTIndex = i; break;
        case STNR: STNRIndex = i; break;
        case IDENT: IDENTIndex = i; break;
        default: break;
        }
        // clang-format on
    }
}

void ParamSet::LoadTableFromStore() {
    for (int i = ParamFirstIndex; i <= ParamLastIndex; ++i) {
        const FieldRef f = StoreField(store, ids_[i]);
        int32_t& value = ParamTable[i].Value;
        if (f.byte) value = *f.byte;
        if (f.fixed) value = FromFixed88(*f.fixed);
        if (f.seconds) value = *f.seconds;
        if (f.count) value = *f.count;
    }
    if (controllerType == FF) {
        // YCLS tells which sides of tight closing are on; the off sides show " OFF ".
        if (store.YCLS == 0 || store.YCLS == 1) ParamTable[YCDOIndex].Value = FixedOff;
        if (store.YCLS == 0 || store.YCLS == 2) ParamTable[YCUPIndex].Value = FixedOff;
    }
}

void ParamSet::StoreFromTable() {
    for (int i = ParamFirstIndex; i <= ParamLastIndex; ++i) {
        // In FF the tight-closing values are written below, only for the sides that are on.
        if (controllerType == FF && (i == YCDOIndex || i == YCUPIndex)) continue;
        const FieldRef f = StoreField(store, ids_[i]);
        const int32_t value = ParamTable[i].Value;
        if (f.byte) *f.byte = uint8_t(value);
        if (f.fixed) *f.fixed = ToFixed88(value);
        if (f.seconds) *f.seconds = int16_t(value);
        if (f.count) *f.count = value;
    }
    if (controllerType == FF) {
        const int32_t ycdo = ParamTable[YCDOIndex].Value;
        const int32_t ycup = ParamTable[YCUPIndex].Value;
        if (ycdo >= 0) store.YCDO = ToFixed88(ycdo);
        if (ycup >= 0) store.YCUP = ToFixed88(ycup);
        store.YCLS = ycdo < 0 ? (ycup < 0 ? 0 : 1) : (ycup < 0 ? 2 : 3);
    }
}

bool ParamSet::IsAction(int index) const {
    return index == INITAIndex || index == INITMIndex || index == PRSTIndex;
}

void ParamSet::ResetTableToDefaults() {
    for (int i = ParamFirstIndex; i <= ParamLastIndex; ++i)
        if (!IsAction(i)) ParamTable[i].Value = ParamTable[i].Default;
}

bool ParamSet::TableAtDefaults() const {
    for (int i = ParamFirstIndex; i <= ParamLastIndex; ++i)
        if (!IsAction(i) && ParamTable[i].Value != ParamTable[i].Default) return false;
    return true;
}

std::string ParamSet::InitTravelText() const {
    // Linear actuators report the stroke of the chosen lever range in mm, part-turn ones the angle.
    static constexpr const char* linearTravel[15] = {" ",     "4.2 ",  "9.3 ",  "14.1 ",  "18.9 ",
                                                     "24.7 ", "28.6 ", "33.0 ", "39.2 ",  "48.8 ",
                                                     "56.3 ", "67.5 ", "89.4 ", "104.1 ", "125.7 "};
    switch (store.YFCT) {
    case 0:
        return "89.1~";
    case 1:
        return store.YWAY <= 14 ? linearTravel[store.YWAY] : " ";
    case 2:
        return " ";
    case 3:
        return "88.7~";
    case 4:
        return "90.1~";
    case 5:
        return "12.5 ";
    default:
        return "";
    }
}

int ParamSet::FindByName(std::string_view name) const {
    for (int i = ParamFirstIndex; i <= ParamLastIndex; ++i)
        if (ParamTable[i].Kind != ParamKind::None && WithoutBlanks(ParamTable[i].Name) == name) return i;
    return -1;
}

std::vector<std::string> ParamSet::Names() const {
    std::vector<std::string> names;
    for (int i = ParamFirstIndex; i <= ParamLastIndex; ++i)
        if (ParamTable[i].Kind != ParamKind::None) names.push_back(WithoutBlanks(ParamTable[i].Name));
    return names;
}

int16_t ParamSet::ToFixed88(int32_t tenths) {
    const double x = tenths * 256.0 / 10.0;
    if (x > 32512) return 32512;
    if (x < -32512) return -32512;
    return int16_t(std::nearbyint(x));
}

int32_t ParamSet::FromFixed88(int16_t w) {
    return int32_t(std::nearbyint(w * 10.0 / 256.0));
}

void ParamStore::DoState(StateVisitor& v) {
    v("YFCT", YFCT);
    v("YAGL", YAGL);
    v("YWAY", YWAY);
    v("LiveZero", LiveZero);
    v("SDIR", SDIR);
    v("SPRA", SPRA);
    v("SPRE", SPRE);
    v("MinTimeUp", MinTimeUp);
    v("MinTimeDown", MinTimeDown);
    v("KennlinienTyp", KennlinienTyp);
    v("SL", SL);
    v("DEBA", DEBA);
    v("YA", YA);
    v("YE", YE);
    v("YNRM", YNRM);
    v("YDIR", YDIR);
    v("YCLS", YCLS);
    v("YCDO", YCDO);
    v("YCUP", YCUP);
    v("BIN1", BIN1);
    v("BIN2", BIN2);
    v("AFCT", AFCT);
    v("A1", A1);
    v("A2", A2);
    v("StoerFCT", StoerFCT);
    v("StoerTIM", StoerTIM);
    v("StoerLIM", StoerLIM);
    v("StoerSTRK", StoerSTRK);
    v("StoerDCHG", StoerDCHG);
    v("StoerZERO", StoerZERO);
    v("StoerOPEN", StoerOPEN);
    v("StoerDEBA", StoerDEBA);
    v("FSTY", FSTY);
    v("FSTI", FSTI);
    v("FSVL", FSVL);
    v("STNR", STNR);
    v("IDENT", IDENT);
}

// ValueHelp points into the constant tables the variant's table was built with, and stays.
void TParamField::DoState(StateVisitor& v) {
    v("Kind", Kind);
    v("Name", Name);
    v("Value", Value);
    v("Default", Default);
    v("Min", Min);
    v("Max", Max);
    v("Special", Special);
    v("ValueTexts", ValueTexts);
    v("LongName", LongName);
}

void ParamSet::DoState(StateVisitor& v) {
    v.Part("params");
    v("store", store);
    v("ParamTable", ParamTable);
    v("controllerType", controllerType);
    v("ParamFirstIndex", ParamFirstIndex);
    v("ParamLastIndex", ParamLastIndex);
    v("YFCTIndex", YFCTIndex);
    v("YAGLIndex", YAGLIndex);
    v("YWAYIndex", YWAYIndex);
    v("INITAIndex", INITAIndex);
    v("INITMIndex", INITMIndex);
    v("SDIRIndex", SDIRIndex);
    v("TSUPIndex", TSUPIndex);
    v("TSDOIndex", TSDOIndex);
    v("SFCTIndex", SFCTIndex);
    v("SL0Index", SL0Index);
    v("SL20Index", SL20Index);
    v("DEBAIndex", DEBAIndex);
    v("YAIndex", YAIndex);
    v("YEIndex", YEIndex);
    v("YCDOIndex", YCDOIndex);
    v("YCUPIndex", YCUPIndex);
    v("BIN1Index", BIN1Index);
    v("AFCTIndex", AFCTIndex);
    v("PRSTIndex", PRSTIndex);
    v("STNRIndex", STNRIndex);
    v("IDENTIndex", IDENTIndex);
    v("ids_", ids_);
}

} // namespace vp7
