// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SimFixture.h"

#include "sim/diagnosis/Diagnostics.h"
#include "sim/diagnosis/Monitoring.h"

#include <tuple>

using namespace vp7;

namespace {

struct Watch : vp7::test::SimFixture {
    void Cycle(int n = 1) { clock.Advance(1000 * n); } // monitoring cycles
    void FitAlarmModule() { sim->UserCheck(sim->form.AlarmModulSelect, true); }
    int32_t Counter(int record) const { return sim->diagnostics.DiagTable[record].Value; }
    bool Shows(int x, int y, SpriteId id) const {
        return sim->image1.Pixel(x, y) == SpriteSet::FlatColor(id);
    }
    Monitoring& M() { return sim->monitoring; }
    // Parameters applied one after the other, in table units.
    void Params(std::initializer_list<std::pair<const char*, int32_t>> values) {
        for (const auto& [name, value] : values)
            Param(name, value);
    }
};

} // namespace

TEST_F(Watch, AlarmsHaveOnePercentHysteresisAndCountOnce) {
    Params({{"AFCT", 1}, {"A1", 100}}); // alarm 1 below 10.0 %
    const std::tuple<double, uint8_t, int32_t> steps[] = {
        {10.0, 0, 0}, {9.9, 1, 1}, {10.99, 1, 1}, {11.0, 0, 1}, {9.9, 1, 2}};
    for (const auto& [position, active, count] : steps) {
        S().Istwert = position;
        M().CheckAlarms();
        EXPECT_EQ(M().Alarm1Active, active) << position;
        EXPECT_EQ(Counter(DiagAlarms1), count) << position;
    }
}

TEST_F(Watch, OutputPicturesShowTheirStateOnlyWithTheAlarmModule) {
    // Inverted: alarm 1 output on while the position is above the threshold, the fault output without a
    // fault.
    Params({{"AFCT", 4}, {"/FCT", 3}});
    Enter("50");
    Cycle(3);
    EXPECT_TRUE(Shows(93, 161, SpriteId::KippBlack)) << "no module: an empty place";
    FitAlarmModule();
    EXPECT_TRUE(Shows(93, 161, SpriteId::Alarm1On));
    EXPECT_TRUE(Shows(17, 161, SpriteId::StoerMeldungOn));
    Enter("5");
    S().Language = Language::German;
    Cycle(3);
    EXPECT_TRUE(Shows(93, 161, SpriteId::Alarm1Aus));
    EXPECT_TRUE(Shows(17, 161, SpriteId::StoerMeldungEin));
}

// What each mode does to the valve is ControllerTest's; here, which inputs select it.
TEST_F(Watch, BinaryInputsSelectTheForcedMode) {
    // Variant, BIN1 (BIN for FF) and BIN2, the inputs closed; the forced mode and the lower line.
    const std::tuple<uint8_t, int, int, bool, bool, uint8_t, const char*> cases[] = {
        {0, 5, 0, true, false, 1, "  EX UP"},
        {0, 6, 0, true, false, 2, "  EXDWN"},
        {0, 8, 0, false, false, 1, "  EX UP"}, // NC: active while open
        {0, 7, 3, true, true, 3, "  EX5TP"},   // stop wins over up
        {0, 0, 5, false, true, 3, "  EX5TP"},
        {2, 5, 0, false, true, 1, "  EX UP"}, // FF: BIN acts on input 2
        {2, 5, 0, true, false, 0, "  AUT50"},
    };
    for (const auto& [variant, bin1, bin2, close1, close2, binMode, lower] : cases) {
        SCOPED_TRACE(std::to_string(bin1) + "/" + std::to_string(bin2));
        Restart(variant);
        FitAlarmModule();
        Param(variant == 2 ? "BIN" : "BIN1", bin1);
        if (variant != 2) Param("BIN2", bin2);
        MoveTo("50");
        if (close1) Click({40, 80});
        if (close2) Click({116, 80});
        Cycle();
        EXPECT_EQ(S().BinMode, binMode);
        EXPECT_EQ(Lower(), lower);
    }
    Restart();
    Click({116, 80});
    EXPECT_EQ(M().BinaryInput2, 0) << "without the alarm module input 2 cannot be switched";
}

TEST_F(Watch, ControlDeviationNeedsItsTimeAndCountsOnce) {
    for (const auto& [tim, cycles] : {std::pair{0, 1}, std::pair{5, 11}}) {
        Restart();
        MoveTo("50");
        Param("BIN1", 7); // a closed "StoP " input freezes the valve where it is
        Click({40, 80});
        Cycle();
        Enter("60");                           // 10 % short
        Params({{"/TIM", tim}, {"/LIM", 20}}); // 2.0 %
        int n = 0;
        for (; !M().FaultFlags[1] && n < 30; ++n)
            Cycle();
        EXPECT_EQ(n, cycles) << tim;
        Cycle(3);
        EXPECT_EQ(Counter(DiagFaults), 1) << "counted once, not per cycle";
    }
}

TEST_F(Watch, NotAutomaticIsCountedPerEntryIntoManualMode) {
    Param("/FCT", 1);
    for (int entry = 1; entry <= 2; ++entry) {
        Click(kModeKey);
        Cycle(4);
        EXPECT_EQ(M().FaultFlags[2], 1);
        EXPECT_EQ(Counter(DiagFaults), entry);
        Click(kModeKey);
        Cycle();
        EXPECT_EQ(M().FaultFlags[2], 0);
    }
}

// Tight opening holds the valve at the upper end; blocked short of it for longer than the end-stop time
// it raises fault 7, which goes when the valve is back. The lower end shares the rule (next test).
TEST_F(Watch, TightOpeningWatchesTheUpperEndStop) {
    Params({{"YCLS", 1}, {"YCUP", 980}, {"/OPEN", 10}});
    MoveTo("99");
    EXPECT_DOUBLE_EQ(S().Istwert, 100);
    Cycle(M().EndStopTime + 5);
    EXPECT_EQ(M().FaultFlags[7], 0) << "held at the end stop: no fault";
    MoveTo("50");
    sim->UserCheck(sim->form.BlockUpSelect, true);
    MoveTo("99");
    EXPECT_DOUBLE_EQ(S().Istwert, 90);
    Cycle(M().EndStopTime - 1);
    EXPECT_EQ(M().FaultFlags[7], 0) << "not before the end-stop time";
    Cycle(2);
    EXPECT_EQ(M().FaultFlags[7], 1);
    sim->UserCheck(sim->form.BlockUpSelect, false);
    MoveTo("99,5");
    Cycle();
    EXPECT_EQ(M().FaultFlags[7], 0) << "back at the end stop the fault goes";
}

TEST_F(Watch, TwoFaultsAreShownInTurnAndTheEndStopFaultLatches) {
    // Tight closing demanded but the valve blocked at 10 %: fault 1 at once, fault 6 after the end-stop time.
    Params({{"YCLS", 2}, {"YCDO", 20}, {"/ZERO", 10}, {"/TIM", 0}, {"/LIM", 0}});
    MoveTo("50");
    sim->UserCheck(sim->form.BlockDownSelect, true);
    MoveTo("1");
    Cycle(M().EndStopTime + 1);
    ASSERT_EQ(M().FaultFlags[1], 1);
    ASSERT_EQ(M().FaultFlags[6], 1);
    std::string digits; // at each cycle and 0.7 s later, when they blink off
    clock.Advance((1000 - (clock.NowMs() - 100) % 1000) % 1000); // to the moment of a cycle
    for (int i = 0; i < 4; ++i, clock.Advance(200)) {
        clock.Advance(100);
        digits += Lower().substr(0, 2);
        clock.Advance(700);
        digits += Lower().substr(0, 2);
    }
    EXPECT_TRUE(digits == "/1  /6  /1  /6  " || digits == "/6  /1  /6  /1  ") << digits;
    // The end-stop fault stays after tight closing ends, also through a new set of thresholds...
    sim->UserCheck(sim->form.BlockDownSelect, false);
    MoveTo("50");
    Cycle();
    M().ApplyEndStopMonitoring();
    EXPECT_EQ(M().FaultFlags[6], 1);
    // ...and clears when the limit is switched off.
    Param("/ZERO", -1200);
    EXPECT_EQ(M().FaultFlags[6], 0);
    Cycle();
    EXPECT_EQ(M().ZeroFaultLatched, 0);
}

// An automatic dead band never grows by itself; one set by hand and then left to the automatic is
// watched against /DEBA while it shrinks by a fifth every 20 cycles, in automatic mode only.
TEST_F(Watch, DeadBandFaultFollowsTheShrinkingAutomaticBand) {
    Params({{"DEBA", 20}, {"/DEBA", 10}});
    Cycle(2);
    EXPECT_EQ(M().FaultFlags[8], 0) << "a fixed dead band is not watched";
    Param("DEBA", -1200);
    const std::tuple<int, double, int> steps[] = {
        {1, 2.0, 1}, {20, 1.6, 1}, {20, 1.28, 1}, {20, 1.024, 1}, {20, 0.8192, 0}};
    for (const auto& [cycles, band, fault] : steps) {
        Cycle(cycles);
        EXPECT_NEAR(S().DeadBand, band, 1e-9) << band;
        EXPECT_EQ(M().FaultFlags[8], fault) << band;
    }
    Click(kModeKey);
    Cycle(20);
    EXPECT_NEAR(S().DeadBand, 0.8192, 1e-9) << "manual mode: no shrinking";
    Click(kModeKey);
    Params({{"DEBA", 20}, {"DEBA", -1200}});
    Cycle();
    EXPECT_EQ(M().FaultFlags[8], 1);
    Param("/DEBA", -1200);
    Cycle();
    EXPECT_EQ(M().FaultFlags[8], 0) << "switched off, the fault goes";
}

TEST_F(Watch, LeakageLetsASelfClosingValveDrift) {
    Param("DEBA", 10); // 1.0 %: the drift stays inside the band for a while
    sim->UserCheck(sim->form.SelfClosingSelect, true);
    MoveTo("50");
    const double start = S().Istwert;
    sim->UserCheck(sim->form.LeakageSelect, true);
    Cycle(5);
    RunToRest();
    EXPECT_NEAR(S().Istwert, start - 5 * 0.04, 1e-9); // 2.4 %/min, a cycle a second
    sim->UserCheck(sim->form.DoubleActingSelect, true);
    const double held = S().Istwert;
    Cycle(5);
    RunToRest();
    EXPECT_DOUBLE_EQ(S().Istwert, held) << "a double-acting valve does not leak";
}
