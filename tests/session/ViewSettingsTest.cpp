// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ViewSettings.h"

#include "support/SettingsRoundTrip.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace vp7 {
namespace {

// What an older program's file holds, what a hand edit breaks, and what this program writes, read and
// written again to the same choice.
TEST(ViewSettings, ReadsTheStepOrFitAndTakesADamagedKeyAsNoChoice) {
    struct Case {
        const char* file;
        int percent;
        bool fit;
        int fitPercent;
    } cases[] = {
        {"[Config]\nCheckScreen=0\n[Trend]\nLeft=5\n", 0, false, 100}, // an older program's: no choice yet
        {"[View]\nZoom=150\n", 150, false, 100},
        {"[View]\nZoom=300\nFitZoom=170\n", 300, false, 100}, // fit was left for a step
        {"[view]\nzoom=Fit\nFitZoom=170\n", 0, true, 170},
        {"[View]\nZoom=Fit\nFitZoom=20\n", 0, true, 100},
        {"[View]\nZoom=175\n", 0, false, 100},
        {"[View]\nZoom=$96\n", 150, false, 100}, // hexadecimal, as every number key
        {"[View]\nZoom=15O\n", 0, false, 100},
        {"[View]\nZoom=fit\n", 0, true, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const auto trip = test::ReadWriteAgain<ViewSettings>(c.file);
        const auto fields = [](const ViewSettings& v) { return std::tuple(v.percent, v.fit, v.fitPercent); };
        EXPECT_EQ(fields(trip.read), std::tuple(c.percent, c.fit, c.fitPercent));
        EXPECT_EQ(fields(trip.again), fields(trip.read));
    }
}

} // namespace
} // namespace vp7
