#include "device/ParamSet.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(ParamSetTest, VariantLayout) {
    struct Case {
        uint8_t variant;
        int last, sdir, tsup, sl0, sl20, deba, bin1, prst, ident;
    } const cases[] = {
        {0, 54, 6, 9, 12, 32, 33, 41, 54, 0},
        {1, 55, 5, 6, 9, 29, 30, 37, 50, 55},
        {2, 47, 0, 5, 8, 28, 29, 35, 47, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.variant));
        const ParamSet ps = Started(c.variant);
        EXPECT_EQ(ps.ParamFirstIndex, 0);
        EXPECT_EQ(ps.ParamLastIndex, c.last);
        EXPECT_EQ(ps.SDIRIndex, c.sdir);
        EXPECT_EQ(ps.TSUPIndex, c.tsup);
        EXPECT_EQ(ps.TSDOIndex, c.tsup + 1);
        EXPECT_EQ(ps.SL0Index, c.sl0);
        EXPECT_EQ(ps.SL20Index, c.sl20);
        EXPECT_EQ(ps.DEBAIndex, c.deba);
        EXPECT_EQ(ps.BIN1Index, c.bin1);
        EXPECT_EQ(ps.PRSTIndex, c.prst);
        EXPECT_EQ(ps.IDENTIndex, c.ident);
        for (int i = 0; i < ParamSet::TableSize; ++i) {
            const TParamField& f = ps.ParamTable[i];
            if (i <= c.last) {
                EXPECT_EQ(f.Name.size(), 7u) << i;
                EXPECT_NE(f.Kind, ParamKind::None) << i;
                EXPECT_FALSE(f.LongName[0].empty() || f.LongName[1].empty()) << i;
            } else {
                EXPECT_EQ(f.Kind, ParamKind::None) << i;
                EXPECT_TRUE(f.Name.empty()) << i;
            }
        }
    }
}

TEST(ParamSetTest, FixedPointConversions) {
    struct Case {
        int32_t tenths;
        int16_t fixed;
    } const toFixed[] = {
        {0, 0},          {1, 26},       {-1, -26},     {5, 128},      {995, 25472},   {1000, 25600},
        {-1200, -30720}, {1269, 32486}, {1270, 32512}, {1300, 32512}, {99999, 32512}, {-1300, -32512},
    };
    for (const Case& c : toFixed)
        EXPECT_EQ(ParamSet::ToFixed88(c.tenths), c.fixed) << c.tenths;

    const Case fromFixed[] = {
        {0, 0}, {1000, 25600}, {-1200, -30720}, {1, 13}, {2, 64}, {8, 192}, {-2, -64}, {1270, 32512},
    };
    for (const Case& c : fromFixed)
        EXPECT_EQ(ParamSet::FromFixed88(c.fixed), c.tenths) << c.fixed;
}

TEST(ParamSetTest, StoreFromTableWritesTheFields) {
    struct Case {
        const char* name;
        int32_t value;
        int32_t (*field)(const ParamStore&);
        int32_t stored;
    } const cases[] = {
        {"SCUR", 0, [](const ParamStore& s) -> int32_t { return s.LiveZero; }, 0},
        {"TSUP", -120, [](const ParamStore& s) -> int32_t { return s.MinTimeUp; }, -120},
        {"TSDO", 400, [](const ParamStore& s) -> int32_t { return s.MinTimeDown; }, 400},
        {"SL3", 123, [](const ParamStore& s) -> int32_t { return s.SL[3]; }, 3149},
        {"SL20", 999, [](const ParamStore& s) -> int32_t { return s.SL[20]; }, 25574},
        {"/DEBA", 15, [](const ParamStore& s) -> int32_t { return s.StoerDEBA; }, 384},
        {"/DCHG", 5000, [](const ParamStore& s) -> int32_t { return s.StoerDCHG; }, 5000},
    };
    for (const Case& c : cases) {
        ParamSet ps = Started(0);
        Param(ps, c.name).Value = c.value;
        ps.StoreFromTable();
        EXPECT_EQ(c.field(ps.store), c.stored) << c.name;
    }
}

TEST(ParamSetTest, TableSurvivesTheStore) {
    for (uint8_t variant : {0, 1, 2}) {
        SCOPED_TRACE(int(variant));
        ParamSet ps = Started(variant);
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
    struct Case {
        int32_t ycdo, ycup;
        uint8_t ycls;
        int16_t storedYcdo, storedYcup; // 1111 and 2222: the field was left alone
    } const cases[] = {
        {-1200, -1200, 0, 1111, 2222},
        {-1200, 990, 1, 1111, 25344},
        {20, -1200, 2, 512, 2222},
        {20, 990, 3, 512, 25344},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.ycls));
        ParamSet ps = Started(2);
        ps.store.YCDO = 1111;
        ps.store.YCUP = 2222;
        ps.ParamTable[ps.YCDOIndex].Value = c.ycdo;
        ps.ParamTable[ps.YCUPIndex].Value = c.ycup;
        ps.StoreFromTable();
        EXPECT_EQ(ps.store.YCLS, c.ycls);
        EXPECT_EQ(ps.store.YCDO, c.storedYcdo);
        EXPECT_EQ(ps.store.YCUP, c.storedYcup);

        // Loading back turns the off sides into " OFF " whatever their fields hold.
        ps.ParamTable[ps.YCDOIndex].Value = ps.ParamTable[ps.YCUPIndex].Value = 0;
        ps.LoadTableFromStore();
        EXPECT_EQ(ps.ParamTable[ps.YCDOIndex].Value, c.ycdo < 0 ? -1200 : ps.FromFixed88(c.storedYcdo));
        EXPECT_EQ(ps.ParamTable[ps.YCUPIndex].Value, c.ycup < 0 ? -1200 : ps.FromFixed88(c.storedYcup));
    }
}

TEST(ParamSetTest, ResetAndDefaultsIgnoreActions) {
    struct Case {
        uint8_t variant;
        const char* name;
        bool stillAtDefaults;
    } const cases[] = {
        {0, "INITA", true}, {0, "INITM", true},  {0, "PRST", true},   {0, "DEBA", false}, {0, "YFCT", false},
        {1, "PRST", true},  {1, "IDENT", false}, {2, "/DEBA", false}, {2, "YCUP", false},
    };
    for (const Case& c : cases) {
        ParamSet ps = Started(c.variant);
        TParamField& f = Param(ps, c.name);
        f.Value = f.Default == 2 ? 1 : 2;
        EXPECT_EQ(ps.TableAtDefaults(), c.stillAtDefaults) << int(c.variant) << " " << c.name;
        ps.ResetTableToDefaults();
        EXPECT_TRUE(ps.TableAtDefaults());
        EXPECT_EQ(f.Value == f.Default, !c.stillAtDefaults) << "actions keep their value";
    }
}

} // namespace
} // namespace vp7
