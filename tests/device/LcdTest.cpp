#include "support/SimFixture.h"

#include "device/LcdReadBack.h"

using namespace vp7;
using Display = vp7::test::SimFixture;

namespace {
constexpr int kX = layout::LcdArea.left, kY = layout::LcdArea.top; // display origin
}

TEST_F(Display, FieldTextsReadBackAsTheyAreLit) {
    struct Case {
        const char* text;
        int field;
        const char* upper;
        const char* lower;
    };
    // Each case starts from the display as the start-up left it: "   0.0 " over "  AUT 0".
    const Case cases[] = {
        {"12.3", 0, "   12.3", "  AUT 0"},
        {"50.0 ", 0, "  50.0 ", "  AUT 0"},
        {"C4  ", 0, "  C4  ", "  AUT 0"},
        {"-5.0", 0, "   -5.0", "  AUT 0"},
        {"-12", 0, "   -12", "  AUT 0"},
        {"1234567", 0, " 23456", "  AUT 0"},
        {"-23456", 0, "-23456", "  AUT 0"},
        {"1.2.3", 0, "  1.2.3", "  AUT 0"},
        {"12,34", 0, "  12.34", "  AUT 0"},
        {"", 0, "      ", "  AUT 0"},
        {"17YFCT ", 1, "   0.0 ", "17YFCT "},
        {"8", 1, "   0.0 ", "      8"},
        {"  ", 2, "   0.0 ", "  AUT 0"},
        {"42", 2, "   0.0 ", "42AUT 0"},
        {"RUN 1", 3, "   0.0 ", "  RUN 1"},
        {"A\xC2\xB0" "B", 3, "   0.0 ", "    A B"},  // the degree sign is one blank position
        {"\x80\xff", 3, "   0.0 ", "       "},    // bytes beyond 127 show blank
        {"88", 4, "   0.0 ", "  AUT 0"},         // no such field: nothing changes
        {"88", -1, "   0.0 ", "  AUT 0"},
    };
    for (const Case& c : cases) {
        Restart();
        sim->lcd.LCDWrite(c.text, c.field);
        const LcdReading r = ReadLcd(sim->image1);
        EXPECT_EQ(r.upper, c.upper) << '"' << c.text << "\" field " << c.field;
        EXPECT_EQ(r.lower, c.lower) << '"' << c.text << "\" field " << c.field;
    }
}

TEST_F(Display, SegmentsAreDrawnWhereTheDeviceLightsThem) {
    sim->lcd.LCDWrite("8.8", 0); // digits at positions 4 and 5, the dot between them
    const Picture& pic = sim->image1;
    struct Pixel {
        int x, y;
        bool black;
    };
    const Pixel pixels[] = {
        {kX + 129 + 1, kY + 4 + 0, true},    // top bar of position 5, its start point
        {kX + 129 + 15, kY + 4 + 1, true},   // the width-2 copy one row below
        {kX + 129 + 16, kY + 4 + 0, false},  // the end point is not drawn
        {kX + 129 + 17, kY + 4 + 8, true},   // upper right bar's copy one column right
        {kX + 124, kY + 36, true},           // the decimal point, two by three pixels
        {kX + 125, kY + 38, true},
        {kX + 126, kY + 36, false},
        {kX + 81 + 8, kY + 4 + 0, false},    // position 3 stays dark
    };
    for (const Pixel& p : pixels)
        EXPECT_EQ(pic.Pixel(p.x, p.y) == 0, p.black) << p.x - kX << "," << p.y - kY;

    sim->lcd.LCDWrite("W", 3); // 14 segments: the lower diagonals of a W
    EXPECT_EQ(pic.Pixel(kX + 134 + 6, kY + 43 + 16), 0u);
    EXPECT_EQ(pic.Pixel(kX + 134 + 8, kY + 43 + 16), 0u);
    EXPECT_EQ(pic.Pixel(kX + 134 + 7, kY + 43 + 2), LcdUnlitColor) << "no centre vertical in a W";
    sim->image1.TakeDirty();
    sim->lcd.LCDWrite("", 3);
    EXPECT_EQ(pic.Pixel(kX + 134 + 6, kY + 43 + 16), LcdUnlitColor) << "an empty text clears the field";
    EXPECT_EQ(sim->image1.Dirty(), layout::LcdLowerText) << "only the field is repainted";
}

TEST_F(Display, ReadBackTellsCharactersApartOnlyByTheirSegments) {
    const std::pair<const char*, const char*> cases[] = {
        {"S5s5", "   5555"},          // S, s and 5 light the same segments
        {"\x1a" "ABC", "   {1A}ABC"}, // the arrow head of the direction texts
        {"o0O~", "   o00~"},          // O and 0 alike; the tilde is the degree sign
    };
    for (auto [text, lower] : cases) {
        sim->lcd.LCDWrite(text, 3);
        EXPECT_EQ(ReadLcd(sim->image1).lower, lower) << text;
    }
}
