#include "platform/BmpFile.h"
#include "platform/Picture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>

using namespace vp7;

namespace {
constexpr Rgb kBg = 0x000000, kInk = 0xFFFF00;

std::set<std::pair<int, int>> Inked(const Picture& p) {
    std::set<std::pair<int, int>> s;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            if (p.Pixel(x, y) == kInk) s.insert({x, y});
    return s;
}
} // namespace

TEST(Picture, LinesDrawTheStartPointButNotTheEnd) {
    struct Case {
        int x0, y0, x1, y1;
        std::set<std::pair<int, int>> expected;
    };
    const Case cases[] = {
        {2, 5, 6, 5, {{2, 5}, {3, 5}, {4, 5}, {5, 5}}},   // right
        {6, 5, 2, 5, {{6, 5}, {5, 5}, {4, 5}, {3, 5}}},   // left
        {4, 1, 4, 4, {{4, 1}, {4, 2}, {4, 3}}},           // down
        {4, 4, 4, 1, {{4, 4}, {4, 3}, {4, 2}}},           // up
        {1, 1, 4, 4, {{1, 1}, {2, 2}, {3, 3}}},           // diagonal down-right
        {4, 4, 1, 1, {{4, 4}, {3, 3}, {2, 2}}},           // diagonal up-left
        {1, 4, 4, 1, {{1, 4}, {2, 3}, {3, 2}}},           // diagonal up-right
        {4, 1, 1, 4, {{4, 1}, {3, 2}, {2, 3}}},           // diagonal down-left
        {3, 3, 3, 3, {}},                                 // zero length draws nothing
    };
    for (const Case& c : cases) {
        Picture p(10, 10, kBg);
        p.SetPenColor(kInk);
        p.MoveTo(c.x0, c.y0);
        p.LineTo(c.x1, c.y1);
        EXPECT_EQ(Inked(p), c.expected) << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1;
    }
}

TEST(Picture, WidthTwoLinesDrawASecondCopyBesideTheFirst) {
    Picture p(10, 10, kBg);
    p.SetPenColor(kInk);
    p.SetPenWidth(2);
    p.MoveTo(2, 1); // vertical: the copy sits one pixel to the right
    p.LineTo(2, 4);
    EXPECT_EQ(Inked(p), (std::set<std::pair<int, int>>{{2, 1}, {2, 2}, {2, 3}, {3, 1}, {3, 2}, {3, 3}}));

    Picture q(10, 10, kBg);
    q.SetPenColor(kInk);
    q.SetPenWidth(2);
    q.MoveTo(1, 6); // horizontal: the copy sits one pixel below
    q.LineTo(4, 6);
    EXPECT_EQ(Inked(q), (std::set<std::pair<int, int>>{{1, 6}, {2, 6}, {3, 6}, {1, 7}, {2, 7}, {3, 7}}));
    EXPECT_EQ(q.Dirty().United(Rect{1, 6, 4, 8}), q.Dirty()) << "the dirty rectangle covers both copies";
}

TEST(Picture, FillRectLeavesRightAndBottomEdges) {
    Picture p(10, 10, kBg);
    p.SetBrushColor(kInk);
    p.FillRect({2, 3, 5, 5});
    EXPECT_EQ(Inked(p).size(), 6u);
    EXPECT_EQ(p.Pixel(4, 4), kInk);
    EXPECT_EQ(p.Pixel(5, 4), kBg);
    EXPECT_EQ(p.Pixel(4, 5), kBg);
    p.FillRect({-5, -5, 1, 1}); // clipped, no crash
    EXPECT_EQ(p.Pixel(0, 0), kInk);
}

TEST(Picture, DrawIsOpaqueAndClippedAtTheEdges) {
    Picture p(10, 10, kBg);
    Picture sprite(4, 3, 0x123456);
    sprite.SetPixel(0, 0, 0); // black in the sprite overwrites too: no transparency
    p.SetBrushColor(kInk);
    p.FillRect(p.Bounds());
    p.TakeDirty();
    p.Draw(8, -1, sprite);
    EXPECT_EQ(p.Pixel(8, 0), 0x123456u);
    EXPECT_EQ(p.Pixel(9, 1), 0x123456u);
    EXPECT_EQ(p.Pixel(7, 0), kInk);
    EXPECT_EQ(p.Pixel(8, 2), kInk);
    EXPECT_EQ(p.Dirty(), (Rect{8, 0, 10, 2}));
    p.Draw(-1, -1, sprite);
    EXPECT_EQ(p.Pixel(0, 0), 0x123456u); // sprite (1,1)
    p.Draw(0, 9, sprite);
    EXPECT_EQ(p.Pixel(0, 9), 0u); // sprite (0,0) is black
}

TEST(Picture, CopyRectCopiesAndStretches) {
    Picture src(4, 4, kBg);
    src.SetPixel(1, 1, 0xAA0000);
    src.SetPixel(2, 1, 0x00BB00);
    Picture dst(8, 8, 0xFFFFFF);
    dst.CopyRect({5, 5, 7, 6}, src, {1, 1, 3, 2});
    EXPECT_EQ(dst.Pixel(5, 5), 0xAA0000u);
    EXPECT_EQ(dst.Pixel(6, 5), 0x00BB00u);
    EXPECT_EQ(dst.Pixel(7, 5), 0xFFFFFFu);
    // Twice the size: every source pixel becomes a 2 x 2 block.
    Picture big(8, 8, 0xFFFFFF);
    big.CopyRect({0, 0, 4, 2}, src, {1, 1, 3, 2});
    EXPECT_EQ(big.Pixel(1, 1), 0xAA0000u);
    EXPECT_EQ(big.Pixel(2, 0), 0x00BB00u);
    EXPECT_EQ(big.Pixel(3, 1), 0x00BB00u);
}

TEST(Picture, DirtyRectangleCollectsChangesUntilTaken) {
    Picture p(20, 20, kBg);
    EXPECT_TRUE(p.Dirty().Empty());
    p.SetBrushColor(kInk);
    p.FillRect({2, 2, 4, 4});
    p.SetPenColor(kInk);
    p.MoveTo(10, 12);
    p.LineTo(15, 12);
    EXPECT_EQ(p.TakeDirty(), (Rect{2, 2, 15, 13})); // the end point (15, 12) is not drawn
    EXPECT_TRUE(p.Dirty().Empty());
    p.FillRect({30, 30, 40, 40}); // outside: nothing changes
    EXPECT_TRUE(p.Dirty().Empty());
}

TEST(Picture, ScaleFactorKeepsLogicalCoordinates) {
    Picture p(10, 10, kBg, 2);
    EXPECT_EQ(p.DeviceWidth(), 20);
    p.SetPenColor(kInk);
    p.MoveTo(1, 1);
    p.LineTo(4, 1);
    EXPECT_EQ(Inked(p), (std::set<std::pair<int, int>>{{1, 1}, {2, 1}, {3, 1}}));
    // Each logical pixel is a 2 x 2 block of device pixels.
    const Rgb* bits = p.Bits();
    EXPECT_EQ(bits[2 * 20 + 2], kInk);
    EXPECT_EQ(bits[3 * 20 + 3], kInk);
    EXPECT_EQ(bits[3 * 20 + 8], kBg);
    // A sprite of the same scale keeps its device detail.
    Picture sprite(1, 1, 0x111111, 2);
    sprite.Bits()[3] = 0x222222; // bottom-right device pixel
    p.Draw(5, 5, sprite);
    EXPECT_EQ(p.Pixel(5, 5), 0x111111u);
    EXPECT_EQ(bits[11 * 20 + 11], 0x222222u);
}

// The splash picture is a file the user may replace: whatever its header claims, only a picture whose
// pixels are all in the file is read.
TEST(Picture, BmpFilesAreReadOnlyWhenTheirHeaderFitsTheirData) {
    const std::string path = (std::filesystem::temp_directory_path() / "vp7-test-bmp.bmp").string();
    Picture original(3, 2, 0);
    original.SetPixel(0, 0, 0x112233);
    original.SetPixel(2, 1, 0x445566);
    ASSERT_TRUE(WriteBmp(path, original));
    std::string good;
    {
        std::ifstream in(path, std::ios::binary);
        good.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const auto read = [&](const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        return ReadBmp(path);
    };
    const auto with = [&](size_t at, std::initializer_list<uint8_t> bytes) {
        std::string b = good;
        for (uint8_t v : bytes) b[at++] = static_cast<char>(v);
        return b;
    };
    const std::optional<Picture> back = read(good);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Pixel(0, 0), 0x112233u);
    EXPECT_EQ(back->Pixel(2, 1), 0x445566u);

    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case refused[] = {
        {"53 bytes", good.substr(0, 53)},
        {"no BM", with(0, {'M', 'B'})},
        {"a core header", with(14, {12, 0, 0, 0})},
        {"width 0", with(18, {0, 0, 0, 0})},
        {"height 0", with(22, {0, 0, 0, 0})},
        {"width 16385", with(18, {0x01, 0x40, 0, 0})},
        {"8 bits", with(28, {8, 0})},
        {"RLE compression", with(30, {1, 0, 0, 0})},
        {"bit fields at 24 bits", with(30, {3, 0, 0, 0})},
        {"data offset past the end", with(10, {0xFF, 0xFF, 0, 0})},
        {"a row missing", good.substr(0, good.size() - 12)},
        {"taller than the data", with(22, {3, 0, 0, 0})},
    };
    for (const Case& c : refused) EXPECT_FALSE(read(c.bytes)) << c.what;
    EXPECT_FALSE(ReadBmp(path + ".missing"));

    // A negative height stores the rows from the top.
    const std::optional<Picture> flipped = read(with(22, {0xFE, 0xFF, 0xFF, 0xFF}));
    ASSERT_TRUE(flipped);
    EXPECT_EQ(flipped->Pixel(0, 1), 0x112233u);
    EXPECT_EQ(flipped->Pixel(2, 0), 0x445566u);
    std::filesystem::remove(path);
}
