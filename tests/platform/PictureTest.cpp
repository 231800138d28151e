// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Picture.h"
#include "platform/BmpFile.h"
#include "support/Bytes.h"
#include "support/FolderFixture.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace vp7;

namespace {
constexpr Rgb kBg = 0x000000, kInk = 0xFFFF00;
using Pixels = std::set<std::pair<int, int>>;

// The logical pixels with ink in any of their device pixels.
Pixels Inked(const Picture& p) {
    Pixels s;
    for (int y = 0; y < p.DeviceHeight(); ++y)
        for (int x = 0; x < p.DeviceWidth(); ++x)
            if (p.Bits()[y * p.DeviceWidth() + x] == kInk) s.insert({x / p.Scale(), y / p.Scale()});
    return s;
}
// A line in `colour` from x0, y0 to x1, y1.
void Line(Picture& p, Rgb colour, int x0, int y0, int x1, int y1) {
    p.SetPenColor(colour);
    p.MoveTo(x0, y0);
    p.LineTo(x1, y1);
}
} // namespace

// The display's segments are such lines, and its read-back walks the same pixels, so only this test
// would notice a pixel off in some direction. The double-size picture draws the same logical pixels,
// each a whole 2 x 2 block.
TEST(Picture, LinesDrawTheStartPointButNotTheEnd) {
    // From x0, y0 to x1, y1: right, left, down, up, the four diagonals, and a zero length that draws nothing.
    const std::array<int, 4> cases[] = {{2, 5, 6, 5}, {6, 5, 2, 5}, {4, 1, 4, 4}, {4, 4, 4, 1}, {1, 1, 4, 4},
                                        {4, 4, 1, 1}, {1, 4, 4, 1}, {4, 1, 1, 4}, {3, 3, 3, 3}};
    for (int scale : {1, 2})
        for (const auto& [x0, y0, x1, y1] : cases) {
            SCOPED_TRACE(testing::Message()
                         << x0 << "," << y0 << " -> " << x1 << "," << y1 << " at scale " << scale);
            Picture p(10, 10, kBg, scale);
            Line(p, kInk, x0, y0, x1, y1);
            // Every pixel from the start towards the end, one step at a time, the end itself left out.
            Pixels expected;
            const int dx = x1 - x0, dy = y1 - y0, n = std::max(std::abs(dx), std::abs(dy));
            for (int i = 0; i < n; ++i)
                expected.insert({x0 + i * dx / n, y0 + i * dy / n});
            EXPECT_EQ(Inked(p), expected);
            EXPECT_EQ(std::count(p.Bits(), p.Bits() + p.DeviceWidth() * p.DeviceHeight(), kInk),
                      static_cast<std::ptrdiff_t>(expected.size()) * scale * scale);
        }
}

// The upper display line is drawn with a pen of 2: the copy goes right of a steep line, below a flat one.
TEST(Picture, WidthTwoLinesDrawASecondCopyBesideTheFirst) {
    Picture p(10, 10, kBg);
    p.SetPenWidth(2);
    Line(p, kInk, 2, 1, 2, 4);
    Line(p, kInk, 5, 6, 8, 6);
    const Pixels steepAndFlat{{2, 1}, {2, 2}, {2, 3}, {3, 1}, {3, 2}, {3, 3},
                              {5, 6}, {6, 6}, {7, 6}, {5, 7}, {6, 7}, {7, 7}};
    EXPECT_EQ(Inked(p), steepAndFlat);
    EXPECT_EQ(p.Dirty().United(Rect{2, 1, 8, 8}), p.Dirty()) << "the dirty rectangle covers both copies";
}

// Fills and the dirty rectangle: right and bottom edges excluded, clipped, collected until taken.
TEST(Picture, FillsLeaveRightAndBottomEdgesAndMarkWhatChanged) {
    Picture p(20, 20, kBg);
    EXPECT_TRUE(p.Dirty().Empty());
    p.SetBrushColor(kInk);
    p.FillRect({2, 3, 5, 5});
    EXPECT_EQ(Inked(p).size(), 6u);
    EXPECT_EQ(p.Pixel(4, 4), kInk);
    Line(p, kInk, 10, 12, 15, 12);
    EXPECT_EQ(p.TakeDirty(), (Rect{2, 3, 15, 13}));
    EXPECT_TRUE(p.Dirty().Empty());
    p.FillRect({30, 30, 40, 40}); // outside: nothing changes
    EXPECT_TRUE(p.Dirty().Empty());
    p.FillRect({-5, -5, 1, 1});
    EXPECT_EQ(p.Pixel(0, 0), kInk);
    EXPECT_EQ(p.TakeDirty(), (Rect{0, 0, 1, 1}));
}

// Sprites are opaque (black too) and clipped; a stretched copy repeats each source pixel.
TEST(Picture, DrawAndCopyRect) {
    Picture p(10, 10, kInk);
    Picture sprite(4, 3, 0x123456);
    sprite.SetPixel(0, 0, 0);
    p.Draw(8, -1, sprite);
    EXPECT_EQ(p.Pixel(8, 0), 0x123456u);
    EXPECT_EQ(p.Pixel(9, 1), 0x123456u);
    EXPECT_EQ(p.Pixel(7, 0), kInk);
    EXPECT_EQ(p.Pixel(8, 2), kInk);
    EXPECT_EQ(p.Dirty(), (Rect{8, 0, 10, 2}));
    p.Draw(-1, 9, sprite);
    EXPECT_EQ(p.Pixel(0, 9), 0x123456u) << "sprite (1, 0)";
    p.Draw(5, 5, sprite);
    EXPECT_EQ(p.Pixel(5, 5), 0u) << "black is drawn too";

    Picture src(4, 4, kBg);
    src.SetPixel(1, 1, 0xAA0000);
    src.SetPixel(2, 1, 0x00BB00);
    Picture dst(8, 8, 0xFFFFFF);
    dst.CopyRect({5, 5, 7, 6}, src, {1, 1, 3, 2});
    dst.CopyRect({0, 0, 4, 2}, src, {1, 1, 3, 2}); // twice the size
    const std::pair<std::pair<int, int>, Rgb> expected[] = {
        {{5, 5}, 0xAA0000}, {{6, 5}, 0x00BB00}, {{7, 5}, 0xFFFFFF}, {{1, 1}, 0xAA0000},
        {{2, 0}, 0x00BB00}, {{3, 1}, 0x00BB00}, {{4, 0}, 0xFFFFFF}};
    for (const auto& [at, colour] : expected)
        EXPECT_EQ(dst.Pixel(at.first, at.second), colour) << at.first << "," << at.second;

    // At double size a sprite of that size keeps its own device pixels.
    Picture fine(10, 10, kBg, 2), dot(1, 1, 0x111111, 2);
    dot.Bits()[3] = 0x222222; // bottom-right device pixel
    fine.Draw(5, 5, dot);
    EXPECT_EQ(fine.Bits()[10 * 20 + 10], 0x111111u);
    EXPECT_EQ(fine.Bits()[11 * 20 + 11], 0x222222u);
}

// A zoomed window reduces the picture anew only in the parts marked as changed: whatever is drawn,
// every changed rectangle lies inside one part, there are a handful of parts at most, and together they
// span what the single changed rectangle does.
TEST(Picture, ChangedPartsCoverEveryDrawing) {
    std::mt19937 rng(5);
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    for (int round = 0; round < 50; ++round) {
        Picture p(300, 200, kBg);
        std::vector<Rect> drawn;
        for (int i = 0, n = 1 + pick(30); i < n; ++i) {
            const int x = pick(320) - 10, y = pick(220) - 10;
            const Rect r{x, y, x + 1 + pick(40), y + 1 + pick(40)};
            p.MarkDirty(r);
            if (!r.Intersected(p.Bounds()).Empty()) drawn.push_back(r.Intersected(p.Bounds()));
        }
        const Rect whole = p.Dirty();
        const std::vector<Rect> parts = p.TakeDirtyParts();
        EXPECT_LE(parts.size(), 8u);
        Rect spanned;
        for (const Rect& part : parts)
            spanned = spanned.United(part);
        EXPECT_EQ(spanned, whole);
        for (const Rect& r : drawn)
            EXPECT_TRUE(std::any_of(parts.begin(), parts.end(),
                                    [&](const Rect& part) { return part.Intersected(r) == r; }))
                << r.left << "," << r.top << " " << r.right << "," << r.bottom;
        EXPECT_TRUE(p.Dirty().Empty() && p.TakeDirtyParts().empty()) << "taken";
    }
}

// The device never copies within its picture or from beyond a sprite's edges, so the random operation
// that checks the log does not either. Here each drawing is repeated until the log has been compacted
// several times (where later drawings hide the earlier ones), and the picture drawn again from the log
// is still the same.
TEST(Picture, DrawnAgainFromItsLogWhateverLiesBeneath) {
    // What is drawn first, what is repeated, and how long the log may grow (0: every drawing stays in view).
    using First = void (*)(Picture & p);
    using Repeated = void (*)(Picture & p, const Picture& sprite, int i);
    const std::tuple<const char*, First, Repeated, std::size_t> cases[] = {
        {"a copy within the picture reads what a later fill covers", [](Picture&) {},
         [](Picture& p, const Picture&, int i) {
             p.SetBrushColor(0x100000 * (i % 7));
             p.FillRect({0, 0, 4, 4});
             p.CopyRect({10 + i % 180, 10, 14 + i % 180, 14}, p, {2, 2, 6, 6});
             p.SetBrushColor(0x0000FF);
             p.FillRect({0, 0, 8, 8});
         },
         1200}, // of 2100 drawings: each copy in view keeps what it read
        {"a copy from beyond the sprite's edge keeps part of what lay there",
         [](Picture& p) { Line(p, 0xFFFFFF, 0, 12, 8, 12); },
         [](Picture& p, const Picture& sprite, int) {
             p.CopyRect({0, 10, 8, 14}, sprite, {-2, 0, 6, 4});
         },
         0},
        {"a slanting line does not hide the one beneath it",
         [](Picture& p) { Line(p, 0x00FF00, 3, 15, 3, 19); },
         [](Picture& p, const Picture&, int i) { Line(p, 0xFF0000 + i % 5, 1, 15, 5, 19); }, 0},
        {"a wide pen's line hides the pixel set beside it before", [](Picture&) {},
         [](Picture& p, const Picture&, int i) {
             p.SetPenWidth(2);
             Line(p, 0x30 * (i % 3), 0, 5, 12, 5);
             p.SetPenWidth(1);
             p.SetPixel(i % 12, 6 - i % 2, 0x00FF00);
         },
         700}, // of 1400 drawings
        {"a host's text, painted straight into the pixels, hides the fill beneath it", [](Picture&) {},
         [](Picture& p, const Picture&, int i) {
             p.SetBrushColor(0x00FF00);
             p.FillRect({i % 190, 2, i % 190 + 8, 9});
             p.Paint({i % 190 + 2, 4, i % 190 + 6, 7}, [i](Picture& q) {
                 Rgb* bits = q.Bits(); // as the host writes its text: straight into the pixels
                 for (int y = 4; y < 7; ++y)
                     for (int x = i % 190 + 2; x < i % 190 + 6; ++x)
                         bits[y * q.DeviceWidth() + x] = 0x700000 + static_cast<Rgb>(i);
             });
         },
         0},
    };
    const Picture sprite(4, 4, 0x336699);
    for (const auto& [what, first, repeated, longestLog] : cases) {
        SCOPED_TRACE(what);
        // `marked` is the page's picture: deferring, but marked where it changed, as `p` is.
        Picture p(200, 20, kBg), deferred(200, 20, kBg), marked(200, 20, kBg);
        p.KeepLog();
        deferred.Defer();
        marked.Defer(Picture::NotedDrawings::MarkedDirty);
        for (Picture* q : {&p, &deferred, &marked}) {
            first(*q);
            for (int i = 0; i < 700; ++i)
                repeated(*q, sprite, i);
        }
        const Picture again = p.RedrawnOver(Picture(200, 20, kBg), [](const Picture* s) { return s; });
        EXPECT_TRUE(std::equal(p.Bits(), p.Bits() + 4000, again.Bits()));
        EXPECT_TRUE(std::equal(p.Bits(), p.Bits() + 4000, deferred.Bits())) << "deferred";
        EXPECT_TRUE(std::equal(p.Bits(), p.Bits() + 4000, marked.Bits())) << "marked";
        EXPECT_EQ(marked.TakeDirty(), p.TakeDirty());
        EXPECT_LT(p.LogSize(), longestLog ? longestLog : SIZE_MAX);
    }
}

// A deferring picture draws when read, so a picture it copied from that changes or goes first brings it
// up to date; a copy of it, made before, and a read between drawings see what was drawn so far.
TEST(Picture, DeferredDrawingIsDoneBeforeItsSourceChanges) {
    Picture now(40, 10, kBg), deferred(40, 10, kBg);
    deferred.Defer();
    auto background = std::make_unique<Picture>(10, 10, 0x123456);
    for (Picture* p : {&now, &deferred}) {
        p->Draw(0, 0, *background);
        Line(*p, 0xFF0000, 0, 5, 30, 5);
    }
    // A part read before anything else, drawn apart from the rest.
    Picture part(20, 6), partOfNow(20, 6);
    part.CopyRect(part.Bounds(), deferred, {2, 2, 22, 8});
    partOfNow.CopyRect(partOfNow.Bounds(), now, {2, 2, 22, 8});
    EXPECT_TRUE(std::equal(partOfNow.Bits(), partOfNow.Bits() + 120, part.Bits())) << "the part";
    const Picture copy = deferred, nowAtCopy = now;
    EXPECT_EQ(deferred.Pixel(3, 3), 0x123456u);
    background->SetBrushColor(0x00FF00);
    background->FillRect({0, 0, 10, 10});
    for (Picture* p : {&now, &deferred})
        p->Draw(12, 0, *background);
    background->FillRect({0, 0, 5, 5});
    background.reset();
    EXPECT_TRUE(std::equal(now.Bits(), now.Bits() + 400, deferred.Bits()));
    EXPECT_TRUE(std::equal(nowAtCopy.Bits(), nowAtCopy.Bits() + 400, copy.Bits())) << "the copy";
}

// The splash picture is a file the user may replace: whatever its header claims, only a picture whose
// pixels are all in the file is read.
using PictureFile = test::FolderFixture;

TEST_F(PictureFile, BmpFilesAreReadOnlyWhenTheirHeaderFitsTheirData) {
    const std::string path = (dir / "picture.bmp").string();
    Picture original(3, 2, 0);
    original.SetPixel(0, 0, 0x112233);
    original.SetPixel(2, 1, 0x445566);
    ASSERT_TRUE(WriteBmp(path, original));
    const std::string good = test::Bytes(path);
    const auto read = [&](const std::string& bytes) {
        test::WriteBytes(path, bytes);
        return ReadBmp(path);
    };
    const auto with = [&](size_t at, std::initializer_list<uint8_t> bytes) {
        std::string b = good;
        for (uint8_t v : bytes)
            b[at++] = static_cast<char>(v);
        return b;
    };
    const std::optional<Picture> back = read(good);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Pixel(0, 0), 0x112233u);
    EXPECT_EQ(back->Pixel(2, 1), 0x445566u);

    const std::pair<const char*, std::string> refused[] = {
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
    };
    for (const auto& [what, bytes] : refused)
        EXPECT_FALSE(read(bytes)) << what;
    EXPECT_FALSE(ReadBmp(path + ".missing"));

    // A negative height stores the rows from the top.
    const std::optional<Picture> flipped = read(with(22, {0xFE, 0xFF, 0xFF, 0xFF}));
    ASSERT_TRUE(flipped);
    EXPECT_EQ(flipped->Pixel(0, 1), 0x112233u);
    EXPECT_EQ(flipped->Pixel(2, 0), 0x445566u);
}
