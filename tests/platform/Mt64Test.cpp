// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Mt64.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

namespace vp7 {
namespace {

// The device draws its random stop offsets from this engine, and a saved state holds its text: the
// numbers must be the standard engine's (old recordings replay to the same device) and the text the
// desktop's library's (old states load), whatever library the build has.

TEST(Mt64, DrawsTheStandardEnginesNumbersAndWritesItsText) {
    for (const uint64_t seed : {uint64_t{0}, uint64_t{5489}, uint64_t{20261209}, ~uint64_t{0}}) {
        Mt64 ours(seed);
        std::mt19937_64 standard(seed);
        // Across several twists, and the text at the start, inside and at the end of a block of words.
        for (int draw = 0; draw < 1000; ++draw) {
            if (draw == 0 || draw == 1 || draw == 311 || draw == 312 || draw == 624) {
                std::ostringstream a, b;
                a << ours;
                b << standard;
                EXPECT_EQ(a.str(), b.str()) << "seed " << seed << " after " << draw;
            }
            ASSERT_EQ(ours(), standard()) << "seed " << seed << " draw " << draw;
        }
    }
}

TEST(Mt64, ReadsBackItsTextAndNothingElse) {
    Mt64 engine(7);
    for (int i = 0; i < 400; ++i)
        engine();
    std::ostringstream text;
    text << engine;
    Mt64 back;
    std::istringstream in(text.str());
    ASSERT_TRUE(in >> back);
    EXPECT_EQ(back, engine);
    EXPECT_EQ(back(), engine());

    const std::string words = text.str().substr(0, text.str().rfind(' '));
    // A damaged text: cut short, a position past the words, letters.
    for (const std::string& damaged : {words, words + " 313", words.substr(0, 40), std::string("seed 5")}) {
        Mt64 kept(3);
        const Mt64 before = kept;
        std::istringstream bad(damaged);
        EXPECT_FALSE(bad >> kept) << damaged.substr(0, 30);
        EXPECT_EQ(kept, before);
    }
}

} // namespace
} // namespace vp7
