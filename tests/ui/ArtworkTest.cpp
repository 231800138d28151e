#include "ui/artwork/Artwork.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

using namespace vp7;

namespace {

// Rendering is the slow part, so each scale is rendered once for all tests.
const SpriteSet& Art(int scale) {
    static const SpriteSet one = RenderArtwork(1), two = RenderArtwork(2);
    return scale == 1 ? one : two;
}

bool SamePixels(const Picture& a, const Picture& b) {
    return a.DeviceWidth() == b.DeviceWidth() && a.DeviceHeight() == b.DeviceHeight() &&
           std::memcmp(a.Bits(), b.Bits(), sizeof(Rgb) * a.DeviceWidth() * a.DeviceHeight()) == 0;
}

// Same size and no channel more than 2 apart: gradients drawn at another offset may round by one step,
// which no eye sees, while a seam is a jump far larger.
bool Matches(const Picture& a, const Picture& b) {
    if (a.DeviceWidth() != b.DeviceWidth() || a.DeviceHeight() != b.DeviceHeight()) return false;
    for (size_t i = 0, n = static_cast<size_t>(a.DeviceWidth()) * a.DeviceHeight(); i < n; ++i)
        for (int shift : {0, 8, 16})
            if (std::abs(static_cast<int>((a.Bits()[i] >> shift) & 0xFF) -
                         static_cast<int>((b.Bits()[i] >> shift) & 0xFF)) > 2)
                return false;
    return true;
}

// True when every logical pixel of `r` in `pic` has colour `c` (every device pixel of it, too).
bool Flat(const Picture& pic, const Rect& r, Rgb c) {
    const int s = pic.Scale();
    for (int y = r.top * s; y < r.bottom * s; ++y)
        for (int x = r.left * s; x < r.right * s; ++x)
            if (pic.Bits()[static_cast<size_t>(y) * pic.DeviceWidth() + x] != c) return false;
    return true;
}

// The device picture's pixels under a sprite placed at (x, y): the place the sprite is painted over.
Picture Cut(const Picture& device, int x, int y, int w, int h) {
    Picture out(w, h, 0, device.Scale());
    const int s = device.Scale();
    for (int row = 0; row < h * s; ++row)
        std::memcpy(out.Bits() + static_cast<size_t>(row) * w * s,
                    device.Bits() + static_cast<size_t>(y * s + row) * device.DeviceWidth() + x * s,
                    sizeof(Rgb) * w * s);
    return out;
}

} // namespace

TEST(Artwork, EverySpriteHasItsBindingSizeAtBothScales) {
    for (int scale : {1, 2})
        for (int i = 0; i < static_cast<int>(SpriteId::Count); ++i) {
            const auto id = static_cast<SpriteId>(i);
            const Picture& pic = Art(scale).Get(id);
            SCOPED_TRACE(std::string(SpriteInfoOf(id).name) + " at scale " + std::to_string(scale));
            EXPECT_EQ(pic.Width(), SpriteInfoOf(id).width);
            EXPECT_EQ(pic.Height(), SpriteInfoOf(id).height);
            EXPECT_EQ(pic.Scale(), scale);
            // Pixels are plain 0x00RRGGBB: a set top byte would break every colour comparison.
            EXPECT_EQ(pic.Bits()[0] >> 24, 0u);
        }
}

TEST(Artwork, DisplayIsFlatUnlitAndScaleAreaBlack) {
    for (int scale : {1, 2}) {
        const Picture& device = Art(scale).Get(SpriteId::DevicePicture);
        EXPECT_TRUE(Flat(device, layout::LcdArea, LcdUnlitColor)) << "scale " << scale;
        EXPECT_TRUE(Flat(device, layout::ScaleArea, 0)) << "scale " << scale;
    }
}

TEST(Artwork, OnAndOffLooksDiffer) {
    using enum SpriteId;
    // clang-format off
    const std::pair<SpriteId, SpriteId> pairs[] = {
        {Bin1Ein, Bin1Aus}, {Bin1On, Bin1Off}, {Bin2Ein, Bin2Aus}, {Bin2On, Bin2Off}, {Bin1On, Bin1Ein},
        {StoerMeldungEin, StoerMeldungAus}, {StoerMeldungOn, StoerMeldungOff}, {StromModul, StromModulBlack},
        {Alarm1Ein, Alarm1Aus}, {Alarm1On, Alarm1Off}, {Alarm2Ein, Alarm2Aus}, {Alarm2On, Alarm2Off},
        {GearTopOn, GearTopOff}, {GearBottemOn, GearBottemOff}, {DichtAuf, DichtBlank}, {DichtZu, DichtBlank},
        {SupplyGaugeAir, SupplyGaugeNoAir}, {Kolben0, SpringPiston0}};
    // clang-format on
    for (const auto& [a, b] : pairs)
        EXPECT_FALSE(SamePixels(Art(1).Get(a), Art(1).Get(b)))
            << SpriteInfoOf(a).name << " / " << SpriteInfoOf(b).name;
    for (int d = 0; d < 10; ++d)
        EXPECT_FALSE(SamePixels(Art(1).Get(StromDigit(d)), Art(1).Get(StromBlank))) << d;
}

TEST(Artwork, PistonMovesEveryFrame) {
    for (int i = 1; i < KolbenFrameCount; ++i)
        EXPECT_FALSE(SamePixels(Art(1).Kolben(i - 1), Art(1).Kolben(i))) << i;
    EXPECT_FALSE(SamePixels(Art(2).Kolben(0), Art(2).Kolben(KolbenFrameCount - 1)));
}

// The program paints sprites over the device picture; where it shows the resting state the sprite
// must be what is already there, and every piston frame's rim must meet its surroundings.
TEST(Artwork, SpritesMeetTheDevicePictureWithoutSeams) {
    for (int scale : {1, 2}) {
        const SpriteSet& art = Art(scale);
        const Picture& device = art.Get(SpriteId::DevicePicture);
        const struct {
            SpriteId id;
            layout::Point at;
        } resting[] = {{SpriteId::Kolben0, layout::PistonPlace},
                       {SpriteId::KippBlack, layout::BinaryInput1Place},
                       {SpriteId::KippBlack, layout::AlarmOutput2Place},
                       {SpriteId::StromModulBlack, layout::FeedbackModulePlace},
                       {SpriteId::GearTopOff, layout::GearTopPlace},
                       {SpriteId::GearBottemOff, layout::GearBottomPlace},
                       {SpriteId::DichtBlank, layout::TightOpenPlaces[0]},
                       {SpriteId::DichtBlank, layout::TightClosePlaces[1]}};
        for (const auto& r : resting) {
            const Picture& s = art.Get(r.id);
            EXPECT_TRUE(Matches(s, Cut(device, r.at.x, r.at.y, s.Width(), s.Height())))
                << SpriteInfoOf(r.id).name << " at " << r.at.x << "," << r.at.y << " scale " << scale;
        }
        const Rect& gauge = layout::SupplyGaugeArea;
        EXPECT_TRUE(Matches(art.Get(SpriteId::SupplyGaugeAir),
                            Cut(device, gauge.left, gauge.top, gauge.Width(), gauge.Height())));
        const Picture& first = art.Kolben(0);
        for (int i = 1; i < KolbenFrameCount; ++i) {
            const Picture& frame = art.Kolben(i);
            const int w = frame.DeviceWidth(), h = frame.DeviceHeight();
            bool rimSame = true;
            for (int x = 0; x < w; ++x)
                rimSame &= frame.Bits()[x] == first.Bits()[x] &&
                           frame.Bits()[(h - 1) * w + x] == first.Bits()[(h - 1) * w + x];
            for (int y = 0; y < h; ++y)
                rimSame &= frame.Bits()[y * w] == first.Bits()[y * w] &&
                           frame.Bits()[y * w + w - 1] == first.Bits()[y * w + w - 1];
            EXPECT_TRUE(rimSame) << "frame " << i << " scale " << scale;
        }
        // The digits sit in the module's black window: their own background must be that black.
        EXPECT_TRUE(Flat(art.Get(SpriteId::StromModul), {18, 22, 26, 74}, 0));
        EXPECT_TRUE(Flat(art.Get(SpriteId::StromBlank), {0, 0, 21, 2}, 0));
    }
}

TEST(Artwork, DoubleScaleIsDrawnNotEnlarged) {
    const Picture& pic = Art(2).Get(SpriteId::DevicePicture);
    const int w = pic.DeviceWidth();
    bool detail = false;
    for (int y = 0; y + 1 < pic.DeviceHeight() && !detail; y += 2)
        for (int x = 0; x + 1 < w && !detail; x += 2) {
            const Rgb* p = pic.Bits() + static_cast<size_t>(y) * w + x;
            detail = p[0] != p[1] || p[0] != p[w] || p[0] != p[w + 1];
        }
    EXPECT_TRUE(detail);
}
