// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/motion/Characteristic.h"
#include "support/SimFixture.h"

using namespace vp7;
using CharacteristicCurve = vp7::test::SimFixture;

// Each curve maps the input onto the valve range (YA..YE, 0..100 % unless given), whose end segment
// extends past it, and back.
TEST_F(CharacteristicCurve, CurvesMapInputToPositionAndBack) {
    struct Case {
        int type;
        double x, y;
        int ya = 0, ye = 1000; // tenths of %
    };
    // clang-format off
    const Case cases[] = {
        {0, 0, 0},         {0, 37.5, 37.5}, {0, 100, 100},  {1, 50, 20},      {1, 0, 4},
        {1, 97.5, 92.567}, {1, 100, 100},   {2, 5, 3.6092}, {3, 50, 14.1421}, {4, 20, 50},
        {5, 2.5, 8.53655}, {6, 100, 100},   {7, 42, 42},    {9, 42, 42},
        {0, 0, 20, 200, 800}, {0, 50, 50, 200, 800}, {0, 100, 80, 200, 800}, {0, 110, 86, 200, 800}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "type " << c.type << " at " << c.x << " in " << c.ya << ".." << c.ye);
        Param("YA", c.ya);
        Param("YE", c.ye);
        Param("SFCT", std::min(c.type, 7));
        sim->params.store.KennlinienTyp = static_cast<uint8_t>(c.type); // 9: an unknown type acts linear
        ASSERT_TRUE(sim->characteristic.BuildKennlinie());
        EXPECT_NEAR(sim->characteristic.Kennlinie(c.x), c.y, 1e-9);
        EXPECT_NEAR(sim->characteristic.KennlinieInvers(c.y), c.x, 1e-9);
    }
}

// The free curve's support values must rise by 0.2 % each, checked even while another curve is
// selected, and without a valid curve the valve stays; a valid free curve then shapes the motion.
TEST_F(CharacteristicCurve, FreeSupportValuesMustRiseEvenWhileAnotherCurveIsSelected) {
    MoveTo("30");
    Param("SL5", 201); // SL4 is at 20.0 %
    EXPECT_EQ(LastMessage(), "Error at the turning points: Yn+1 - Yn >= 0.2");
    EXPECT_EQ(S().ScalesValid, 0);
    Enter("60");
    EXPECT_DOUBLE_EQ(S().Istwert, 30);

    Param("SL5", 250);
    EXPECT_EQ(S().ScalesValid, 1);
    Param("SFCT", 7);
    Param("SL10", 520); // 50 % input now gives 52 %
    MoveTo("50");
    EXPECT_DOUBLE_EQ(S().Istwert, 52);
    // A flat first segment cannot be inverted: the position display gets an out-of-range number.
    sim->params.ParamTable[sim->params.FindByName("SL1")].Value = 0;
    EXPECT_FALSE(sim->characteristic.BuildKennlinie());
    EXPECT_DOUBLE_EQ(sim->characteristic.KennlinieInvers(0), 999.9);
    EXPECT_DOUBLE_EQ(sim->characteristic.KennlinieInvers(-1), -99.9);
}
