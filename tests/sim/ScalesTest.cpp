// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SimFixture.h"

#include "platform/NumberFormat.h"
#include "sim/motion/Scales.h"

#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace vp7;
using ScaleComputation = vp7::test::SimFixture;

TEST_F(ScaleComputation, RoundScaleGivesOneTwoFiveRanges) {
    // The range's ends; the scale's ends and their texts.
    const std::tuple<double, double, double, double, const char*, const char*> cases[] = {
        {0, 100, 0, 100, "0.0", "100.0"},     {0, 80, 0, 100, "0.0", "100.0"},
        {0, 150, 0, 200, "0.0", "200.0"},     {-30, 40, -50, 50, "-50.0", "50.0"},
        {10, 90, 0, 100, "0.0", "100.0"},     {0, 0.7, 0, 1, "0.0", "1.0"},
        {0, 0.03, 0, 0.05, "0.0", "0.050"},   {0, 20000000, 0, 20000000, "0.0", "2.0E+7"},
        {-100, 0, -100, 0, "-100.0", "0.0"},  {0, 25, 0, 50, "0.0", "50.0"},
        {-80, -20, -100, 0, "-100.0", "0.0"}, {-20, 30, -50, 50, "-50.0", "50.0"},
    };
    for (const auto& [min, max, expectedLow, expectedHigh, expectedLowText, expectedHighText] : cases) {
        SCOPED_TRACE(testing::Message() << min << ".." << max);
        std::string lowText = FloatToStrF(min, FloatFormat::Exponent, 8, 2);
        std::string highText = FloatToStrF(max, FloatFormat::Exponent, 8, 2);
        double low = -1, high = -1;
        ASSERT_TRUE(vp7::Scales::RoundScale(lowText, highText, low, high, max, min));
        EXPECT_DOUBLE_EQ(low, expectedLow);
        EXPECT_DOUBLE_EQ(high, expectedHigh);
        EXPECT_EQ(lowText, expectedLowText);
        EXPECT_EQ(highText, expectedHighText);
    }
    std::string a, b;
    double low, high;
    EXPECT_FALSE(vp7::Scales::RoundScale(a, b, low, high, 5, 5));
}

// A refused scale or range leaves the controller idle, so the valve stays where it was; a scale text
// with a decimal comma is accepted.
TEST_F(ScaleComputation, InconsistentScalesAndParametersEachGiveTheirMessage) {
    // A scale text changed and its text, or else the last of the parameters set after the others; the
    // message (nullptr: accepted).
    using Params = std::vector<std::pair<const char*, int>>;
    // clang-format off
    const std::tuple<std::string Scales::*, const char*, Params, const char*> cases[] = {
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
    for (const auto& [scale, text, params, message] : cases) {
        SCOPED_TRACE(message ? message : text);
        Restart();
        for (size_t i = 0; i + 1 < params.size(); ++i)
            Param(params[i].first, params[i].second);
        MoveTo("50");
        const double rest = S().Istwert;
        const size_t before = host.Messages().size();
        if (scale) {
            sim->scales.*scale = text;
            sim->RecalcScales();
        } else {
            Param(params.back().first, params.back().second);
        }
        EXPECT_EQ(host.Messages().size(), before + (message ? 1 : 0));
        if (message) {
            EXPECT_EQ(LastMessage(), message);
        }
        EXPECT_EQ(S().ScalesValid, message ? 0 : 1);
        Enter("10");
        EXPECT_EQ(S().Istwert == rest, message != nullptr) << "the valve moves only when accepted";
    }
}
