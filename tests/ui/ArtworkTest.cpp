// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/artwork/Artwork.h"
#include "ui/artwork/WebArtwork.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

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

// The pixels of `r`, every device pixel of them: the place a sprite there is painted over.
Picture Cut(const Picture& pic, const Rect& r) {
    Picture out(r.Width(), r.Height(), 0, pic.Scale());
    out.CopyRect(out.Bounds(), pic, r);
    return out;
}

bool Flat(const Picture& pic, const Rect& r, Rgb c) {
    return SamePixels(Cut(pic, r), Picture(r.Width(), r.Height(), c, pic.Scale()));
}

} // namespace

// Every sprite has its binding size at both scales. The program carries the artwork painted at build
// time and loads each sprite when first used: the same pixels as painting it now.
TEST(Artwork, TheCarriedArtworkIsThePaintedOneAtItsBindingSize) {
    for (int scale : {1, 2}) {
        const SpriteSet carried = LoadArtwork(scale);
        for (int i = 0; i < static_cast<int>(SpriteId::Count); ++i) {
            const auto id = static_cast<SpriteId>(i);
            const Picture& pic = Art(scale).Get(id);
            SCOPED_TRACE(std::string(SpriteInfoOf(id).name) + " at scale " + std::to_string(scale));
            ASSERT_TRUE(LoadSprite(id, scale).has_value()); // carried, not painted as a fallback
            EXPECT_TRUE(SamePixels(carried.Get(id), pic));
            EXPECT_EQ(pic.Width(), SpriteInfoOf(id).width);
            EXPECT_EQ(pic.Height(), SpriteInfoOf(id).height);
            EXPECT_EQ(pic.Scale(), scale);
            // Pixels are plain 0x00RRGGBB: a set top byte would break every colour comparison.
            EXPECT_EQ(pic.Bits()[0] >> 24, 0u);
        }
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

// The program paints sprites over the device picture; where it shows the resting state the sprite
// must be what is already there, and every piston frame, each a step on, must meet its surroundings.
TEST(Artwork, SpritesMeetTheDevicePictureWithoutSeams) {
    for (int scale : {1, 2}) {
        const SpriteSet& art = Art(scale);
        const Picture& device = art.Get(SpriteId::DevicePicture);
        // The display is drawn on a flat unlit colour, the scales on black.
        EXPECT_TRUE(Flat(device, layout::LcdArea, LcdUnlitColor)) << "scale " << scale;
        EXPECT_TRUE(Flat(device, layout::ScaleArea, 0)) << "scale " << scale;
        using enum SpriteId;
        using namespace layout;
        // clang-format off
        const std::pair<SpriteId, Point> resting[] = {
            {Kolben0, PistonPlace}, {KippBlack, BinaryInput1Place}, {KippBlack, AlarmOutput2Place},
            {GearTopOff, GearTopPlace}, {GearBottemOff, GearBottomPlace}, {DichtBlank, TightOpenPlaces[0]},
            {StromModulBlack, FeedbackModulePlace}, {DichtBlank, TightClosePlaces[1]}};
        // clang-format on
        for (const auto& [id, at] : resting) {
            const Picture& s = art.Get(id);
            EXPECT_TRUE(Matches(s, Cut(device, {at.x, at.y, at.x + s.Width(), at.y + s.Height()})))
                << SpriteInfoOf(id).name << " at " << at.x << "," << at.y << " scale " << scale;
        }
        EXPECT_TRUE(Matches(art.Get(SupplyGaugeAir), Cut(device, SupplyGaugeArea)));
        const Picture& first = art.Kolben(0);
        const int w = first.Width(), h = first.Height();
        for (int i = 1; i < KolbenFrameCount; ++i) {
            EXPECT_FALSE(SamePixels(art.Kolben(i - 1), art.Kolben(i))) << "the piston moves " << i;
            for (const Rect& rim :
                 {Rect{0, 0, w, 1}, Rect{0, h - 1, w, h}, Rect{0, 0, 1, h}, Rect{w - 1, 0, w, h}})
                EXPECT_TRUE(SamePixels(Cut(art.Kolben(i), rim), Cut(first, rim)))
                    << "frame " << i << " scale " << scale;
        }
        // The digits sit in the module's black window: their own background must be that black.
        EXPECT_TRUE(Flat(art.Get(SpriteId::StromModul), {18, 22, 26, 74}, 0));
        EXPECT_TRUE(Flat(art.Get(SpriteId::StromBlank), {0, 0, 21, 2}, 0));
    }
}

TEST(Artwork, DoubleScaleIsDrawnNotEnlarged) {
    Picture enlarged(layout::PictureSize.width, layout::PictureSize.height, 0, 2);
    enlarged.StretchDraw(enlarged.Bounds(), Art(1).Get(SpriteId::DevicePicture));
    EXPECT_FALSE(SamePixels(enlarged, Art(2).Get(SpriteId::DevicePicture)));
}

// The page's sheets, written and read back: every sprite is its own pixels at the place the listing
// gives (so none lies over another), and every sheet fits what WebP can hold at both scales.
TEST(Artwork, ThePageSheetsHoldEverySpriteAtItsPlace) {
    constexpr int kWebPLargestSide = 16383, kLargestScale = 2;
    QTemporaryDir dir;
    WebArtwork web(dir.path());
    const int scales[] = {1};
    ASSERT_TRUE(web.AddSprites(Art(1), 1) && web.WriteList(scales));
    QFile listFile(dir.filePath(QStringLiteral("artwork/sprites.json")));
    ASSERT_TRUE(listFile.open(QIODevice::ReadOnly));
    const QJsonObject list = QJsonDocument::fromJson(listFile.readAll()).object();
    std::vector<QImage> sheets;
    for (const QJsonValue sheet : list[QStringLiteral("sheets")].toArray()) {
        EXPECT_LE(sheet[QStringLiteral("width")].toInt() * kLargestScale, kWebPLargestSide);
        EXPECT_LE(sheet[QStringLiteral("height")].toInt() * kLargestScale, kWebPLargestSide);
        sheets.emplace_back(dir.filePath(QStringLiteral("artwork/1/sheet%1.%2")
                                             .arg(sheets.size())
                                             .arg(list[QStringLiteral("format")].toString())));
        ASSERT_FALSE(sheets.back().isNull());
    }
    const QJsonArray sprites = list[QStringLiteral("sprites")].toArray();
    ASSERT_EQ(sprites.size(), static_cast<int>(SpriteId::Count));
    for (int i = 0; i < sprites.size(); ++i) {
        const QJsonObject place = sprites[i].toObject();
        SCOPED_TRACE(place[QStringLiteral("name")].toString().toStdString());
        const Picture& sprite = Art(1).Get(static_cast<SpriteId>(i));
        const QImage cut = sheets.at(place[QStringLiteral("sheet")].toInt())
                               .copy(place[QStringLiteral("x")].toInt(), place[QStringLiteral("y")].toInt(),
                                     sprite.Width(), sprite.Height())
                               .convertToFormat(QImage::Format_RGB32);
        bool same = true;
        for (int y = 0; y < sprite.Height() && same; ++y)
            for (int x = 0; x < sprite.Width() && same; ++x)
                same = (cut.pixel(x, y) & 0xFFFFFF) == sprite.Pixel(x, y);
        EXPECT_TRUE(same);
    }
}
