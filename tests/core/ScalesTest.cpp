#include "support/SimFixture.h"

#include "platform/NumberFormat.h"

using namespace vp7;
using ScaleComputation = vp7::test::SimFixture;

TEST_F(ScaleComputation, RoundScaleGivesOneTwoFiveRanges) {
    struct Case {
        double min, max;
        double low, high;
        const char* lowText;
        const char* highText;
    };
    const Case cases[] = {
        {0, 100, 0, 100, "0.0", "100.0"},       {0, 80, 0, 100, "0.0", "100.0"},
        {0, 150, 0, 200, "0.0", "200.0"},       {-30, 40, -50, 50, "-50.0", "50.0"},
        {10, 90, 0, 100, "0.0", "100.0"},       {0, 0.7, 0, 1, "0.0", "1.0"},
        {0, 0.03, 0, 0.05, "0.0", "0.050"},     {0, 20000000, 0, 20000000, "0.0", "2.0E+7"},
        {-100, 0, -100, 0, "-100.0", "0.0"},    {0, 25, 0, 50, "0.0", "50.0"},
        {-80, -20, -100, 0, "-100.0", "0.0"},   {-20, 30, -50, 50, "-50.0", "50.0"},
    };
    for (const Case& c : cases) {
        std::string lowText = FloatToStrF(c.min, FloatFormat::Exponent, 8, 2);
        std::string highText = FloatToStrF(c.max, FloatFormat::Exponent, 8, 2);
        double low = -1, high = -1;
        ASSERT_TRUE(vp7::Scales::RoundScale(lowText, highText, low, high, c.max, c.min)) << c.min << ".." << c.max;
        EXPECT_DOUBLE_EQ(low, c.low) << c.min << ".." << c.max;
        EXPECT_DOUBLE_EQ(high, c.high) << c.min << ".." << c.max;
        EXPECT_EQ(lowText, c.lowText) << c.min << ".." << c.max;
        EXPECT_EQ(highText, c.highText) << c.min << ".." << c.max;
    }
    std::string a, b;
    double low, high;
    EXPECT_FALSE(vp7::Scales::RoundScale(a, b, low, high, 5, 5));
}

TEST_F(ScaleComputation, InconsistentScalesAndParametersEachGiveTheirMessage) {
    struct Case {
        const char* pv100;
        const char* pv0;
        const char* param; // changed parameter, or nullptr
        int value;
        int ya; // YA set first (tenths)
        const char* message; // nullptr: accepted
    };
    const Case cases[] = {
        {"abc", "0", nullptr, 0, 0, "Setpoint scale 100% is incorrect"},
        {"100", "x", nullptr, 0, 0, "Setpoint scale 0% is incorrect"},
        {"55", "50", nullptr, 0, 0, "Setpoint scale 0% is incorrect"},
        {"100", "95", nullptr, 0, 0, "Setpoint scale 0% is incorrect"},
        {"101", "0", nullptr, 0, 0, "Setpoint scale 100% is incorrect"},
        {"95,5", "0", nullptr, 0, 0, nullptr},
        {"100", "0", "YA", 1000, 0, "Ya and Ye are equal"},
        {"100", "0", "YE", 300, 500, "Ya is greater than Ye"},
        {"100", "0", "YE", 5, 0, "Distance between Ya and Ye is to low"},
        {"100", "0", "SPRE", 0, 0, "Start of split range und and end of split range are equal"},
        {"100", "0", "SPRA", 1000, 0, "Start of split range und and end of split range are equal"},
    };
    for (const Case& c : cases) {
        Restart();
        Enter("50");
        RunToRest();
        if (c.ya) Param("YA", c.ya);
        RunToRest();
        const double rest = S().Istwert;
        sim->scales.PV100 = c.pv100;
        sim->scales.PV0 = c.pv0;
        const size_t before = host.Messages().size();
        if (c.param)
            Param(c.param, c.value);
        else
            sim->RecalcScales();
        if (!c.message) {
            EXPECT_EQ(host.Messages().size(), before) << c.pv100;
            EXPECT_EQ(S().ScalesValid, 1);
            EXPECT_DOUBLE_EQ(sim->scales.SollwertScaleHigh, 100);
            continue;
        }
        ASSERT_EQ(host.Messages().size(), before + 1) << c.message;
        EXPECT_EQ(LastMessage(), c.message);
        EXPECT_EQ(S().ScalesValid, 0);
        Enter("10"); // the controller stays idle: the valve does not move
        EXPECT_DOUBLE_EQ(S().Istwert, rest) << c.message;
    }
}

TEST_F(ScaleComputation, MessagesFollowTheLanguage) {
    S().Language = Language::German;
    sim->scales.PV100 = "abc";
    sim->RecalcScales();
    EXPECT_EQ(LastMessage(), "Sollwertskale 100% ist fehlerhaft");
    sim->scales.PV100 = "100";
    Param("SPRA", 600);
    Param("SPRE", 500);
    EXPECT_EQ(LastMessage(), "Splitrange-Anfang ist größer als Splitrange-Ende");
    Param("SPRA", 0);
    sim->scales.Out100 = "1e3";
    sim->RecalcScales();
    EXPECT_EQ(LastMessage(), "Reglersollwertskale 100% ist fehlerhaft");
    sim->scales.Out100 = "100.0";
    sim->scales.Out0 = "95";
    sim->RecalcScales();
    EXPECT_EQ(LastMessage(), "Reglersollwertskale 0% ist fehlerhaft");
    sim->scales.Out0 = "0.0";
    sim->RecalcScales();
    EXPECT_EQ(S().ScalesValid, 1);
}

TEST_F(ScaleComputation, PixelRowsPutLowAtTheBottom) {
    EXPECT_EQ(sim->scales.SollwertY(0), layout::ScaleLowRow);
    EXPECT_EQ(sim->scales.SollwertY(100), layout::ScaleHighRow);
    EXPECT_DOUBLE_EQ(sim->scales.sollwertPixel.factor, -2);
    sim->scales.PV0 = "20";
    sim->scales.PV100 = "80";
    sim->RecalcScales();
    EXPECT_EQ(sim->scales.SollwertMinY, 630);
    EXPECT_EQ(sim->scales.SollwertMaxY, 510);
    EXPECT_DOUBLE_EQ(sim->scales.EingabeMin, 20);
}
