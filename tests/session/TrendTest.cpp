// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/script/Runner.h"
#include "session/trend/RingBuffer.h"
#include "session/trend/TrendCsv.h"
#include "session/trend/TrendRecorder.h"
#include "session/trend/TrendSettings.h"
#include "support/InitFixture.h"
#include "support/SettingsRoundTrip.h"
#include "support/SimFixture.h"

#include <sstream>
#include <vector>

namespace vp7 {
namespace {

TEST(RingBuffer, KeepsTheNewestEntriesAndCountsAllPushed) {
    struct Case {
        std::size_t capacity;
        int pushes;
        std::size_t size;
        int oldest;
    } cases[] = {{4, 0, 0, -1}, {4, 3, 3, 0}, {4, 4, 4, 0}, {4, 5, 4, 1}, {4, 11, 4, 7}, {1, 3, 1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.capacity << " " << c.pushes);
        RingBuffer<int> ring(c.capacity);
        for (int i = 0; i < c.pushes; ++i)
            ring.Push(i);
        ASSERT_EQ(ring.Size(), c.size);
        EXPECT_EQ(ring.Pushed(), static_cast<uint64_t>(c.pushes));
        if (c.size == 0) continue;
        EXPECT_EQ(ring[0], c.oldest);
        EXPECT_EQ(ring.Back(), c.pushes - 1);
        for (std::size_t i = 0; i < ring.Size(); ++i)
            EXPECT_EQ(ring.Numbered(ring.FirstKept() + i), ring[i]);
    }
}

struct TrendTest : test::SimFixture {
    std::vector<std::string> EventTexts(const TrendRecorder& trend) {
        std::vector<std::string> texts;
        for (std::size_t i = 0; i < trend.Events().Size(); ++i)
            texts.push_back(trend.Events()[i].Text(Language::English));
        return texts;
    }
};

// A trainer measures the stroke: from the setpoint's event to the valve's arrival is the stroke
// time, 2 s either way without friction, at the motion tick's resolution.
TEST_F(TrendTest, AStrokeShowsAsARampOfTheStrokeTime) {
    TrendRecorder trend(*sim);
    const auto strokeMs = [&](const char* setpoint, double end) {
        const std::size_t from = trend.Samples().Size();
        Enter(setpoint);
        RunToRest();
        const auto& samples = trend.Samples();
        int64_t start = -1, arrival = -1;
        for (std::size_t i = from; i < samples.Size(); ++i) {
            if (start < 0) start = samples[i].timeMs;
            if (arrival < 0 && samples[i].position == end) arrival = samples[i].timeMs;
        }
        return arrival - start;
    };
    EXPECT_NEAR(strokeMs("100", 100), 2000, 50);
    clock.Advance(1000);
    EXPECT_NEAR(strokeMs("0", 0), 2000, 50);
    sim->UserCheck(sim->form.FrictionSelect, true);
    EXPECT_GT(strokeMs("100", 100), 2500);
}

TEST_F(TrendTest, WhatATrainerDoesIsMarkedWhereItHappens) {
    TrendRecorder trend(*sim);
    sim->UserCheck(sim->form.AlarmModulSelect, true);
    Enter("50");
    clock.Advance(3000);
    Param("BIN1", 7);
    Param("AFCT", 1);
    Param("/FCT", 2); // a fault while a binary input is active
    Click({40, 80});  // binary input 1 closed: the valve stops
    clock.Advance(1000);
    Enter("5");
    clock.Advance(3000);
    Click({40, 80});
    clock.Advance(4000);
    sim->UserSelect(sim->form.DrosselSelect, 2);
    sim->UserCheck(sim->form.SelfClosingSelect, true);
    EnterDiagnostics();
    EXPECT_EQ(EventTexts(trend),
              (std::vector<std::string>{
                  "Setpoint 50.0 %", "Parameters applied", "Parameters applied", "Parameters applied",
                  "Binary input 1 closed", "Fault 3 raised (binary input)", "Setpoint 5.0 %",
                  "Binary input 1 open", "Fault 3 cleared (binary input)", "Alarm A1 on",
                  "Needle valve 2 turns", "Valve self-closing", "Mode DIAG"}));
    // Each event rides on a sample taken at its time.
    for (std::size_t i = 0; i < trend.Events().Size(); ++i) {
        const TrendEvent& e = trend.Events()[i];
        EXPECT_EQ(trend.Samples().Numbered(e.sample).timeMs, e.timeMs) << e.Text(Language::English);
    }
}

// The initialization strokes the valve end to end: the trend follows the piston, step by step.
using TrendOfInit = test::InitFixture;

TEST_F(TrendOfInit, FollowsTheInitializationsStrokes) {
    TrendRecorder trend(*sim);
    Start();
    for (int i = 0; i < 300 && Lower() != "  FINSH"; ++i)
        clock.Advance(1000);
    double low = 100, high = 0, largestStep = 0, before = -1;
    for (std::size_t i = 0; i < trend.Samples().Size(); ++i) {
        const TrendSample& s = trend.Samples()[i];
        if (s.mode != TrendMode::Initialization) continue;
        low = std::min(low, s.position);
        high = std::max(high, s.position);
        if (before >= 0) largestStep = std::max(largestStep, std::abs(s.position - before));
        before = s.position;
    }
    EXPECT_LT(low, 1);
    EXPECT_GT(high, 99);
    EXPECT_LT(largestStep, 10) << "a stroke, not a jump";
}

TEST(TrendCsv, ScriptedStrokeGivesTheExpectedRows) {
    std::ostringstream out, err;
    Runner runner(out, {});
    std::istringstream script("start\nset SetPointText 100\nclick Enter\nwait 2500\nset FrictionSelect 1\n");
    ASSERT_EQ(runner.Run(script, err), 0) << err.str();
    const struct {
        CsvForm form;
        std::vector<const char*> rows;
    } cases[] = {
        {CsvForm::International,
         {"time_s,setpoint_pct,controller_setpoint_pct,position_setpoint_pct,position_pct,deviation_pct,"
          "mode,event\r\n0.100,100.0000,100.0000,100.0000,2.5000,97.5000,AUT,\"Setpoint 100.0 %\"\r\n",
          "\r\n0.150,100.0000,100.0000,100.0000,5.0000,95.0000,AUT,\r\n",
          "\r\n2.050,100.0000,100.0000,100.0000,100.0000,0.0000,AUT,\r\n",
          "\r\n2.600,100.0000,100.0000,100.0000,100.0000,0.0000,AUT,\"Friction on\"\r\n"}},
        {CsvForm::German,
         {"time_s;setpoint_pct;controller_setpoint_pct;position_setpoint_pct;position_pct;deviation_pct;"
          "mode;event\r\n0,100;100,0000;100,0000;100,0000;2,5000;97,5000;AUT;\"Sollwert 100.0 %\"\r\n",
          "\r\n2,600;100,0000;100,0000;100,0000;100,0000;0,0000;AUT;\"Reibung ein\"\r\n"}},
    };
    for (const auto& c : cases) {
        const std::string csv = TrendCsv(*runner.Trend(), c.form);
        for (const char* row : c.rows)
            EXPECT_NE(csv.find(row), std::string::npos) << row << "\nin\n" << csv;
    }
    // A place that cannot be written fails the export and leaves the recording as it was.
    const std::size_t samples = runner.Trend()->Samples().Size();
    try {
        runner.Execute("trend /proc/vp7-trend.csv");
        ADD_FAILURE() << "exported";
    } catch (const RunFailure& e) {
        EXPECT_STREQ(e.what(), "cannot write /proc/vp7-trend.csv");
    }
    EXPECT_EQ(runner.Trend()->Samples().Size(), samples);
}

TEST(TrendSettings, DamagedKeysFallBackToTheirDefaults) {
    const TrendSettings defaults;
    struct Case {
        const char* section;
        TrendSettings expected;
    } cases[] = {
        {"", defaults},
        {"Left=-40\nTop=30\nWidth=1000\nHeight=600\nVisible=1\nSpan=600", {-40, 30, 1000, 600, true, 600}},
        {"Left=x\nTop=\nWidth=10\nHeight=99999\nVisible=2\nSpan=45", defaults},
        {"Width=$200\nSpan=-30\nVisible=yes", {60, 80, 512, 420, false, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section);
        const auto trip = test::ReadWriteAgain<TrendSettings>(std::string("[Trend]\n") + c.section + "\n");
        const auto fields = [](const TrendSettings& t) {
            return std::tuple(t.left, t.top, t.width, t.height, t.visible, t.spanSeconds);
        };
        EXPECT_EQ(fields(trip.read), fields(c.expected));
        EXPECT_EQ(fields(trip.again), fields(trip.read));
    }
}

} // namespace
} // namespace vp7
