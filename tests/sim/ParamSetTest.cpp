// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/operation/ParamSet.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

namespace vp7 {
namespace {

// The start-up order: factory store, table of the variant, table values from the store.
ParamSet Started(uint8_t variant) {
    ParamSet ps;
    ps.SetFactoryDefaults(variant);
    ps.BuildParamTable(variant);
    ps.LoadTableFromStore();
    return ps;
}

TParamField& Param(ParamSet& ps, const char* name) {
    const int index = ps.FindByName(name);
    EXPECT_GE(index, 0) << name;
    return ps.ParamTable.at(index);
}

TEST(ParamSetTest, FixedPointRoundsAndSaturates) {
    const std::pair<int32_t, int16_t> toFixed[] = {{0, 0},        {1, 26},         {-1, -26},
                                                   {1000, 25600}, {-1200, -30720}, {1269, 32486},
                                                   {1300, 32512}, {-1300, -32512}};
    for (const auto& [tenths, fixed] : toFixed)
        EXPECT_EQ(ParamSet::ToFixed88(tenths), fixed) << tenths;
    const std::pair<int32_t, int16_t> fromFixed[] = {
        {1, 13}, {2, 64}, {-2, -64}, {-1200, -30720}, {1270, 32512}};
    for (const auto& [tenths, fixed] : fromFixed)
        EXPECT_EQ(ParamSet::FromFixed88(fixed), tenths) << fixed;
}

// A record tied to the wrong field or kind survives a round trip through the store; these rows show
// where the values land (the support values and /DCHG reach no behaviour test, only the files).
TEST(ParamSetTest, StoreFromTableWritesTheFields) {
    using Field = int32_t (*)(const ParamStore&);
    const std::tuple<const char*, int32_t, Field, int32_t> cases[] = {
        {"TSUP", -120, [](const ParamStore& s) -> int32_t { return s.MinTimeUp; }, -120},
        {"SL3", 123, [](const ParamStore& s) -> int32_t { return s.SL[3]; }, 3149},
        {"/DCHG", 5000, [](const ParamStore& s) -> int32_t { return s.StoerDCHG; }, 5000},
    };
    for (const auto& [name, value, field, stored] : cases) {
        ParamSet ps = Started(0);
        Param(ps, name).Value = value;
        ps.StoreFromTable();
        EXPECT_EQ(field(ps.store), stored) << name;
    }
}

// Every record survives the store. The settings file keys TSUP, TSDO and BIN1 whatever a variant calls
// them, and the listing starts at YFCT, all by index; each index must point at its record. The others
// act where other tests see them.
TEST(ParamSetTest, TableSurvivesTheStoreAndTheFilesIndicesPointAtTheirRecords) {
    const char* const names[3][4] = {
        {"YFCT", "TSUP", "TSDO", "BIN1"}, {"YFCT", "TSI", "TSD", "BIN1"}, {"YFCT", "TSUP", "TSDO", "BIN"}};
    for (uint8_t variant : {0, 1, 2}) {
        SCOPED_TRACE(int(variant));
        ParamSet ps = Started(variant);
        const int indices[] = {ps.YFCTIndex, ps.TSUPIndex, ps.TSDOIndex, ps.BIN1Index};
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(indices[k], ps.FindByName(names[variant][k])) << names[variant][k];
        // Varied in-range values, so that two records sharing a field or a wrong encoding show.
        for (int i = 0; i <= ps.ParamLastIndex; ++i) {
            TParamField& f = ps.ParamTable[i];
            f.Value = f.Min + (i * 7 + 1) % (f.Max - f.Min + 1);
        }
        ps.StoreFromTable();
        ParamSet copy;
        copy.BuildParamTable(variant);
        copy.store = ps.store;
        copy.LoadTableFromStore();
        for (int i = 0; i <= ps.ParamLastIndex; ++i) {
            if (i == ps.INITAIndex || i == ps.INITMIndex || i == ps.PRSTIndex) continue;
            EXPECT_EQ(copy.ParamTable[i].Value, ps.ParamTable[i].Value) << ps.ParamTable[i].Name;
        }
    }
}

TEST(ParamSetTest, FfTightClosingFollowsTheOffSides) {
    // YCDO and YCUP in the table; YCLS and the two fields stored (1111 and 2222: the field was left alone).
    const std::tuple<int32_t, int32_t, uint8_t, int16_t, int16_t> cases[] = {{-1200, -1200, 0, 1111, 2222},
                                                                             {-1200, 990, 1, 1111, 25344},
                                                                             {20, -1200, 2, 512, 2222},
                                                                             {20, 990, 3, 512, 25344}};
    for (const auto& [ycdo, ycup, ycls, storedYcdo, storedYcup] : cases) {
        SCOPED_TRACE(int(ycls));
        ParamSet ps = Started(2);
        ps.store.YCDO = 1111;
        ps.store.YCUP = 2222;
        ps.ParamTable[ps.YCDOIndex].Value = ycdo;
        ps.ParamTable[ps.YCUPIndex].Value = ycup;
        ps.StoreFromTable();
        EXPECT_EQ(ps.store.YCLS, ycls);
        EXPECT_EQ(ps.store.YCDO, storedYcdo);
        EXPECT_EQ(ps.store.YCUP, storedYcup);

        // Loading back turns the off sides into " OFF " whatever their fields hold.
        ps.ParamTable[ps.YCDOIndex].Value = ps.ParamTable[ps.YCUPIndex].Value = 0;
        ps.LoadTableFromStore();
        EXPECT_EQ(ps.ParamTable[ps.YCDOIndex].Value, ycdo < 0 ? -1200 : ps.FromFixed88(storedYcdo));
        EXPECT_EQ(ps.ParamTable[ps.YCUPIndex].Value, ycup < 0 ? -1200 : ps.FromFixed88(storedYcup));
    }
}

TEST(ParamSetTest, ResetAndDefaultsIgnoreActions) {
    const std::tuple<uint8_t, const char*, bool> cases[] = {
        {0, "INITA", true}, {0, "INITM", true},  {0, "PRST", true},  {0, "DEBA", false},
        {1, "PRST", true},  {1, "IDENT", false}, {2, "YCUP", false},
    };
    for (const auto& [variant, name, action] : cases) {
        ParamSet ps = Started(variant);
        TParamField& f = Param(ps, name);
        f.Value = f.Default == 2 ? 1 : 2;
        EXPECT_EQ(ps.TableAtDefaults(), action) << int(variant) << " " << name;
        ps.ResetTableToDefaults();
        EXPECT_TRUE(ps.TableAtDefaults());
        EXPECT_EQ(f.Value == f.Default, !action) << "actions keep their value";
    }
}

} // namespace
} // namespace vp7
