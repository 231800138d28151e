// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SimFixture.h"

#include "platform/NumberFormat.h"
#include "sim/motion/Scales.h"

#include <string>
#include <utility>
#include <vector>

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
        {0, 100, 0, 100, "0.0", "100.0"},     {0, 80, 0, 100, "0.0", "100.0"},
        {0, 150, 0, 200, "0.0", "200.0"},     {-30, 40, -50, 50, "-50.0", "50.0"},
        {10, 90, 0, 100, "0.0", "100.0"},     {0, 0.7, 0, 1, "0.0", "1.0"},
        {0, 0.03, 0, 0.05, "0.0", "0.050"},   {0, 20000000, 0, 20000000, "0.0", "2.0E+7"},
        {-100, 0, -100, 0, "-100.0", "0.0"},  {0, 25, 0, 50, "0.0", "50.0"},
        {-80, -20, -100, 0, "-100.0", "0.0"}, {-20, 30, -50, 50, "-50.0", "50.0"},
    };
    for (const Case& c : cases) {
        std::string lowText = FloatToStrF(c.min, FloatFormat::Exponent, 8, 2);
        std::string highText = FloatToStrF(c.max, FloatFormat::Exponent, 8, 2);
        double low = -1, high = -1;
        ASSERT_TRUE(vp7::Scales::RoundScale(lowText, highText, low, high, c.max, c.min))
            << c.min << ".." << c.max;
        EXPECT_DOUBLE_EQ(low, c.low) << c.min << ".." << c.max;
        EXPECT_DOUBLE_EQ(high, c.high) << c.min << ".." << c.max;
        EXPECT_EQ(lowText, c.lowText) << c.min << ".." << c.max;
        EXPECT_EQ(highText, c.highText) << c.min << ".." << c.max;
    }
    std::string a, b;
    double low, high;
    EXPECT_FALSE(vp7::Scales::RoundScale(a, b, low, high, 5, 5));
}

// A refused scale or range leaves the controller idle, so the valve stays where it was; a scale text
// with a decimal comma is accepted.
TEST_F(ScaleComputation, InconsistentScalesAndParametersEachGiveTheirMessage) {
    struct Case {
        std::string Scales::*scale; // a scale text changed, or nullptr
        const char* text;
        std::vector<std::pair<const char*, int>> params; // or the last of these, after the others
        const char* message;                             // nullptr: accepted
    };
    // clang-format off
    const Case cases[] = {
        {&Scales::PV100, "abc", {}, "Setpoint scale 100% is incorrect"},
        {&Scales::PV100, "101", {}, "Setpoint scale 100% is incorrect"},
        {&Scales::PV0, "x", {}, "Setpoint scale 0% is incorrect"},
        {&Scales::PV0, "95", {}, "Setpoint scale 0% is incorrect"},
        {&Scales::PV100, "95,5", {}, nullptr},
        {&Scales::Out100, "1e3", {}, "Controller setpoint scale 100% is incorrect"},
        {&Scales::Out0, "95", {}, "Controller setpoint scale 0% is incorrect"},
        {nullptr, "", {{"YA", 1000}}, "Ya and Ye are equal"},
        {nullptr, "", {{"YA", 500}, {"YE", 300}}, "Ya is greater than Ye"},
        {nullptr, "", {{"YE", 5}}, "Distance between Ya and Ye is to low"},
        {nullptr, "", {{"SPRE", 0}}, "Start of split range und and end of split range are equal"},
        {nullptr, "", {{"SPRA", 600}, {"SPRE", 500}},
         "Start of split range is greater than end of split range"}};
    // clang-format on
    for (const Case& c : cases) {
        const std::string what = c.message ? c.message : c.text;
        Restart();
        for (size_t i = 0; i + 1 < c.params.size(); ++i)
            Param(c.params[i].first, c.params[i].second);
        Enter("50");
        RunToRest();
        const double rest = S().Istwert;
        const size_t before = host.Messages().size();
        if (c.scale) {
            sim->scales.*c.scale = c.text;
            sim->RecalcScales();
        } else {
            Param(c.params.back().first, c.params.back().second);
        }
        EXPECT_EQ(host.Messages().size(), before + (c.message ? 1 : 0)) << what;
        if (c.message) {
            EXPECT_EQ(LastMessage(), c.message);
        }
        EXPECT_EQ(S().ScalesValid, c.message ? 0 : 1) << what;
        Enter("10");
        EXPECT_EQ(S().Istwert == rest, c.message != nullptr)
            << what << ": the valve moves only when accepted";
    }
}
