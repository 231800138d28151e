#include "support/SimFixture.h"

using namespace vp7;
using Display = vp7::test::SimFixture;

namespace {
constexpr int kX = layout::LcdArea.left, kY = layout::LcdArea.top; // display origin
}

TEST_F(Display, FieldTextsReadBackAsTheyAreLit) {
    // Text and field; the two lines read back. Each case starts from the display as the start-up left
    // it: "   0.0 " over "  AUT 0"; display.vp7s writes to fields 0 to 2 as well.
    const std::tuple<const char*, int, const char*, const char*> cases[] = {
        {"1234567", 0, " 23456", "  AUT 0"}, // too long: the first six, and position 0 is a minus or blank
        {"-23456", 0, "-23456", "  AUT 0"},
        {"1.2.3", 0, "  1.2.3", "  AUT 0"}, // only the last separator is the decimal point
        {"12,34", 0, "  12.34", "  AUT 0"},
        {"", 0, "      ", "  AUT 0"},
        {"17YFCT ", 1, "   0.0 ", "17YFCT "},
        {"A°B", 3, "   0.0 ", "    A B"},        // the degree sign is one blank position
        {"\x80\xff", 3, "   0.0 ", "       "},   // bytes beyond 127 show blank
        {"\032ABC", 3, "   0.0 ", "   {1A}ABC"}, // the arrow head of the direction texts
        {"88", 4, "   0.0 ", "  AUT 0"},         // no such field: nothing changes
        {"88", -1, "   0.0 ", "  AUT 0"},
    };
    for (const auto& [text, field, upper, lower] : cases) {
        SCOPED_TRACE(std::string(text) + " in field " + std::to_string(field));
        Restart();
        sim->lcd.LCDWrite(text, field);
        const LcdReading r = ReadLcd(sim->image1);
        EXPECT_EQ(r.upper, upper);
        EXPECT_EQ(r.lower, lower);
    }
}

// The read-back uses the drawing's own segment table, so only fixed pixels catch a segment or the
// decimal point drawn in the wrong place.
TEST_F(Display, SegmentsAreDrawnWhereTheDeviceLightsThem) {
    const Picture& pic = sim->image1;
    sim->lcd.LCDWrite("8.8", 0); // digits at positions 4 and 5, the dot between them
    EXPECT_EQ(pic.Pixel(kX + 129 + 1, kY + 4), 0u) << "top bar of position 5";
    EXPECT_EQ(pic.Pixel(kX + 124, kY + 36), 0u) << "the decimal point, two by three pixels";
    EXPECT_EQ(pic.Pixel(kX + 125, kY + 38), 0u);
    EXPECT_NE(pic.Pixel(kX + 126, kY + 36), 0u);
    sim->lcd.LCDWrite("W", 3); // 14 segments: the lower diagonals of a W
    EXPECT_EQ(pic.Pixel(kX + 134 + 6, kY + 43 + 16), 0u);
    EXPECT_EQ(pic.Pixel(kX + 134 + 7, kY + 43 + 2), LcdUnlitColor) << "no centre vertical in a W";
    sim->image1.TakeDirty();
    sim->lcd.LCDWrite("", 3);
    EXPECT_EQ(pic.Pixel(kX + 134 + 6, kY + 43 + 16), LcdUnlitColor) << "an empty text clears the field";
    EXPECT_EQ(sim->image1.Dirty(), layout::LcdLowerText) << "only the field is repainted";
}
