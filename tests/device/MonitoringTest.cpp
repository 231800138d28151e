#include "support/SimFixture.h"

#include "device/LcdReadBack.h"
#include "platform/SpriteSet.h"

using namespace vp7;

namespace {

struct Watch : vp7::test::SimFixture {
    // One monitoring cycle.
    void Cycle(int n = 1) { clock.Advance(1000 * n); }
    void FitAlarmModule() { sim->UserCheck(sim->form.AlarmModulSelect, true); }
    int32_t Counter(int record) const { return sim->diagnostics.DiagTable[record].Value; }
    Rgb PixelOf(SpriteId id) const { return SpriteSet::FlatColor(id); }
};

} // namespace

TEST_F(Watch, AlarmsHaveOnePercentHysteresisAndCountOnce) {
    Param("AFCT", 1);
    Param("A1", 100); // 10.0 %
    struct Step {
        double position;
        uint8_t active;
        int32_t count;
    };
    for (const Step s : {Step{10.0, 0, 0}, Step{9.9, 1, 1}, Step{10.99, 1, 1}, Step{11.0, 0, 1}, Step{9.9, 1, 2}}) {
        S().Istwert = s.position;
        sim->monitoring.CheckAlarms();
        EXPECT_EQ(sim->monitoring.Alarm1Active, s.active) << s.position;
        EXPECT_EQ(Counter(DiagAlarms1), s.count) << s.position;
    }
}

TEST_F(Watch, OutputPicturesShowTheirStateOnlyWithTheAlarmModule) {
    Param("AFCT", 4); // inverted: alarm 1 output on while the position is above the threshold
    Enter("50");
    Cycle(3);
    EXPECT_EQ(sim->image1.Pixel(93, 161), PixelOf(SpriteId::KippBlack)) << "no module: an empty place";
    FitAlarmModule();
    EXPECT_EQ(sim->image1.Pixel(93, 161), PixelOf(SpriteId::Alarm1On));
    Enter("5");
    Cycle(3);
    EXPECT_EQ(sim->image1.Pixel(93, 161), PixelOf(SpriteId::Alarm1Off));
    EXPECT_EQ(sim->monitoring.Alarm1Output, 0);
    Param("/FCT", 3); // inverted fault output: "on" without a fault
    Cycle();
    EXPECT_EQ(sim->image1.Pixel(17, 161), PixelOf(SpriteId::StoerMeldungOn));
    S().Language = Language::German;
    Cycle();
    EXPECT_EQ(sim->image1.Pixel(17, 161), PixelOf(SpriteId::StoerMeldungEin));
}

TEST_F(Watch, BinaryInputsForceTheValve) {
    struct Case {
        uint8_t variant;
        int bin1, bin2;
        bool close1, close2;
        uint8_t binMode;
        const char* lower;
    };
    const Case cases[] = {
        {0, 5, 0, true, false, 1, "  EX UP"}, {0, 6, 0, true, false, 2, "  EXDWN"},
        {0, 8, 0, false, false, 1, "  EX UP"}, // NC: active while open
        {0, 7, 3, true, true, 3, "  EX5TP"},  // stop wins over up
        {0, 0, 5, false, true, 3, "  EX5TP"}, {2, 5, 0, false, true, 1, "  EX UP"}, // FF: BIN acts on input 2
        {2, 5, 0, true, false, 0, "  AUT50"},
    };
    for (const Case& c : cases) {
        Restart(c.variant);
        FitAlarmModule();
        Param(c.variant == 2 ? "BIN" : "BIN1", c.bin1);
        if (c.variant != 2) Param("BIN2", c.bin2);
        Enter("50");
        RunToRest();
        if (c.close1) Click({40, 80});
        if (c.close2) Click({116, 80});
        Cycle();
        EXPECT_EQ(S().BinMode, c.binMode) << c.bin1 << "/" << c.bin2;
        EXPECT_EQ(ReadLcd(sim->image1).lower, c.lower) << c.bin1 << "/" << c.bin2;
    }
    // "EXSTP" freezes the valve whatever the setpoint; "EX UP" drives it to Ye.
    Restart();
    Param("BIN1", 7);
    Click({40, 80});
    Cycle();
    Enter("90");
    RunToRest();
    EXPECT_DOUBLE_EQ(S().Istwert, 0);
    Param("BIN1", 5);
    Cycle();
    RunToRest();
    EXPECT_DOUBLE_EQ(S().Istwert, 100);
    // Without the alarm module input 2 cannot be switched.
    Click({116, 80});
    EXPECT_EQ(sim->monitoring.BinaryInput2, 0);
}

TEST_F(Watch, ControlDeviationNeedsItsTime) {
    struct Case {
        int tim;
        int cycles; // until fault 1
    };
    for (const Case c : {Case{0, 1}, Case{5, 11}}) {
        Restart();
        Enter("50");
        RunToRest();
        Param("BIN1", 7); // a closed "StoP " input freezes the valve at 50 %...
        Click({40, 80});
        Cycle();
        Enter("60"); // ...10 % short of the new setpoint
        Param("/TIM", c.tim);
        Param("/LIM", 20); // 2.0 %
        int cycles = 0;
        while (!sim->monitoring.FaultFlags[1] && cycles < 30) {
            Cycle();
            ++cycles;
        }
        EXPECT_EQ(cycles, c.cycles) << c.tim;
        EXPECT_EQ(Counter(DiagFaults), 1);
        Cycle(3);
        EXPECT_EQ(Counter(DiagFaults), 1) << "counted once, not per cycle";
    }
}

TEST_F(Watch, NotAutomaticIsCountedPerEntryIntoManualMode) {
    Param("/FCT", 1);
    for (int entry = 1; entry <= 2; ++entry) {
        Click(kModeKey);
        Cycle(4);
        EXPECT_EQ(sim->monitoring.FaultFlags[2], 1);
        EXPECT_EQ(Counter(DiagFaults), entry);
        Click(kModeKey);
        Cycle();
        EXPECT_EQ(sim->monitoring.FaultFlags[2], 0);
    }
}

TEST_F(Watch, TwoFaultsAreShownInTurnWithABlank) {
    // Tight closing demanded but the valve blocked at 10 %: fault 1 at once, fault 6 after the end-stop time.
    Param("YCLS", 2);
    Param("YCDO", 20);
    Param("/ZERO", 10);
    Param("/TIM", 0);
    Param("/LIM", 0);
    Enter("50");
    RunToRest();
    sim->UserCheck(sim->form.BlockDownSelect, true);
    Enter("1");
    RunToRest();
    EXPECT_DOUBLE_EQ(S().Istwert, 10);
    Cycle(sim->monitoring.EndStopTime + 1);
    ASSERT_EQ(sim->monitoring.FaultFlags[1], 1);
    ASSERT_EQ(sim->monitoring.FaultFlags[6], 1);
    std::vector<std::string> digits;
    clock.Advance((1000 - (clock.NowMs() - 100) % 1000) % 1000); // to the moment of a cycle
    for (int i = 0; i < 4; ++i) {
        clock.Advance(100);
        digits.push_back(ReadLcd(sim->image1).lower.substr(0, 2));
        clock.Advance(700);
        digits.push_back(ReadLcd(sim->image1).lower.substr(0, 2));
        clock.Advance(200);
    }
    const std::string one = "/1", six = "/6";
    EXPECT_TRUE((digits == std::vector<std::string>{one, "  ", six, "  ", one, "  ", six, "  "}) ||
                (digits == std::vector<std::string>{six, "  ", one, "  ", six, "  ", one, "  "}));
    // The end-stop fault stays after tight closing ends and comes back with the thresholds...
    sim->UserCheck(sim->form.BlockDownSelect, false);
    Enter("50");
    RunToRest();
    Cycle();
    EXPECT_EQ(sim->monitoring.FaultFlags[6], 1);
    sim->monitoring.ApplyEndStopMonitoring();
    EXPECT_EQ(sim->monitoring.FaultFlags[6], 1);
    // ...and clears when the limit is switched off.
    Param("/ZERO", -1200);
    EXPECT_EQ(sim->monitoring.FaultFlags[6], 0);
    Cycle();
    EXPECT_EQ(sim->monitoring.ZeroFaultLatched, 0);
}

TEST_F(Watch, TightOpeningWatchesTheUpperEndStop) {
    Param("YCLS", 1);
    Param("YCUP", 980);
    Param("/OPEN", 10);
    Enter("99");
    RunToRest();
    EXPECT_DOUBLE_EQ(S().Istwert, 100);
    Cycle(sim->monitoring.EndStopTime + 5);
    EXPECT_EQ(sim->monitoring.FaultFlags[7], 0) << "held at the end stop: no fault";
    Enter("50");
    RunToRest();
    sim->UserCheck(sim->form.BlockUpSelect, true);
    Enter("99");
    RunToRest();
    EXPECT_DOUBLE_EQ(S().Istwert, 90);
    Cycle(sim->monitoring.EndStopTime - 1);
    EXPECT_EQ(sim->monitoring.FaultFlags[7], 0) << "not before the end-stop time";
    Cycle(2);
    EXPECT_EQ(sim->monitoring.FaultFlags[7], 1);
    EXPECT_EQ(sim->monitoring.OpenFaultLatched, 1);
    sim->UserCheck(sim->form.BlockUpSelect, false);
    Enter("99,5");
    RunToRest();
    Cycle();
    EXPECT_EQ(sim->monitoring.FaultFlags[7], 0) << "back at the end stop the fault goes";
}

// An automatic dead band never grows by itself; one set by hand and then left to the automatic is
// watched against /DEBA while it shrinks by a fifth every 20 cycles.
TEST_F(Watch, DeadBandFaultFollowsTheShrinkingAutomaticBand) {
    Param("DEBA", 20);
    Param("/DEBA", 10);
    Cycle(2);
    EXPECT_EQ(sim->monitoring.FaultFlags[8], 0) << "a fixed dead band is not watched";
    Param("DEBA", -1200);
    EXPECT_DOUBLE_EQ(S().DeadBand, 2.0);
    struct Step {
        int cycles;
        double band;
        int fault;
    };
    const Step steps[] = {{1, 2.0, 1}, {20, 1.6, 1}, {20, 1.28, 1}, {20, 1.024, 1}, {20, 0.8192, 0}};
    for (const Step& s : steps) {
        Cycle(s.cycles);
        EXPECT_NEAR(S().DeadBand, s.band, 1e-9) << s.band;
        EXPECT_EQ(sim->monitoring.FaultFlags[8], s.fault) << s.band;
    }
    Param("DEBA", 20);
    Param("DEBA", -1200);
    Cycle();
    EXPECT_EQ(sim->monitoring.FaultFlags[8], 1);
    Param("/DEBA", -1200);
    Cycle();
    EXPECT_EQ(sim->monitoring.FaultFlags[8], 0) << "switched off, the fault goes";
}

TEST_F(Watch, AutomaticDeadBandShrinksInAutomaticModeOnly) {
    S().DeadBand = 2.0;
    Cycle(20);
    EXPECT_DOUBLE_EQ(S().DeadBand, 1.6);
    Cycle(20);
    EXPECT_NEAR(S().DeadBand, 1.28, 1e-12);
    Click(kModeKey);
    Cycle(40);
    EXPECT_NEAR(S().DeadBand, 1.28, 1e-12);
    Param("DEBA", 5);
    EXPECT_DOUBLE_EQ(S().DeadBand, 0.5);
}

TEST_F(Watch, LeakageLetsASelfClosingValveDrift) {
    Param("DEBA", 10); // 1.0 %: the drift stays inside the band for a while
    sim->UserCheck(sim->form.SelfClosingSelect, true);
    Enter("50");
    RunToRest();
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
