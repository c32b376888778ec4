#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "skin/data/vlCompose.h"

#include "tests/common/Pictures.h"
#include "skin/data/vlRegion.h"

namespace {

bool Inside(const std::vector<TRect>& rects, int x, int y) {
    for (const TRect& r : rects)
        if (r.Contains(x, y)) return true;
    return false;
}

int32_t Word(const std::vector<uint8_t>& data, size_t offset) {
    int32_t v;
    std::memcpy(&v, data.data() + offset, 4);
    return v;
}

// The plain reading: one rectangle per run of pure black pixels in a row.
std::vector<TRect> SlowRuns(const TvlFBitmap& mask, int dx, int dy) {
    std::vector<TRect> rects;
    for (int y = 0; y < mask.Height(); ++y)
        for (int x = 0; x < mask.Width();) {
            if (mask.Pixel(x, y) != 0) {
                ++x;
                continue;
            }
            int start = x;
            while (x < mask.Width() && mask.Pixel(x, y) == 0) ++x;
            rects.push_back({start + dx, y + dy, x + dx, y + dy + 1});
        }
    return rects;
}

// The frame's region the long way: each border mask composed whole on
// white (band tiled, end pieces over it), then read pixel by pixel.
std::vector<TRect> ReferenceFrameRects(const TvlFBitmap& M, const TvlFrameCuts& c, int W, int H,
                                       const TvlFrameCuts& t) {
    std::vector<TRect> rects;
    const TRect& CR = c.CR;
    const TRect& NCR = t.CR;
    if (!NCR.IsEmpty()) rects.push_back(NCR);
    const int MW = M.Width(), MH = M.Height(), sideH = std::min(NCR.Bottom - NCR.Top, H);
    auto add = [&](const TvlFBitmap& mask, int x, int y) {
        for (const TRect& r : SlowRuns(mask, x, y)) rects.push_back(r);
    };
    auto across = [&](int y0, int y1, int bl, int br, int nl, int nr, int y) {
        const int height = std::min({y1, MH, y0 + H}) - y0;
        if (W <= 0 || height <= 0) return;
        TvlFBitmap mask = Filled(W, height, 0xFFFFFF);
        TilePiece(mask, {nl, 0, nr, height}, M, {bl, y0, br, y1});
        CopyPiece(mask, 0, 0, M, {0, y0, bl, y1});
        CopyPiece(mask, nr, 0, M, {br, y0, MW, y1});
        add(mask, 0, y);
    };
    auto side = [&](int x0, int x1, int bt, int bb, int x, int y) {
        const int width = std::min({x1, MW, x0 + W}) - x0;
        if (width <= 0 || sideH <= 0) return;
        TvlFBitmap mask = Filled(width, sideH, 0xFFFFFF);
        if (bb != bt) TilePiece(mask, {0, 0, width, sideH}, M, {x0, bt, x1, bb});
        if (bt - CR.Top > 0) CopyPiece(mask, 0, 0, M, {x0, CR.Top, x1, bt});
        if (CR.Bottom - bb > 0) CopyPiece(mask, 0, sideH - (CR.Bottom - bb), M, {x0, bb, x1, CR.Bottom});
        add(mask, x, y);
    };
    across(0, CR.Top, c.LT.X, c.RT.X, t.LT.X, t.RT.X, 0);
    across(CR.Bottom, MH, c.LB.X, c.RB.X, t.LB.X, t.RB.X, NCR.Bottom);
    side(0, CR.Left, c.LT.Y, c.LB.Y, 0, NCR.Top);
    side(CR.Right, MW, c.RT.Y, c.RB.Y, NCR.Right, NCR.Top);
    return rects;
}

}  // namespace

TEST(Region, FrameRegionCoversWhatTheWholeComposedMasksCover) {
    // Random masks and cuts, window sizes from tiny to wide; the region built
    // a row at a time must cover exactly the pixels of the long way.
    std::mt19937 random(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    // Every third mask has rows all alike and every third columns all alike,
    // as real borders do, so bands that repeat unchanged are met too.
    for (int round = 0; round < 180; ++round) {
        const int MW = pick(6, 24), MH = pick(6, 24);
        TvlFBitmap mask = Filled(MW, MH, 0xFFFFFF);
        std::vector<int> columns(MW), rows(MH);
        for (int& c : columns) c = pick(0, 2) == 0;
        for (int& r : rows) r = pick(0, 2) == 0;
        for (int y = 0; y < MH; ++y)
            for (int x = 0; x < MW; ++x)
                if (round % 3 == 0 ? pick(0, 2) == 0 : round % 3 == 1 ? columns[x] : rows[y]) mask.SetPixel(x, y, 0);
        const int l = pick(0, MW / 2), r = pick(MW / 2, MW), top = pick(0, MH / 2), bottom = pick(MH / 2, MH);
        TvlFrameCuts c{{pick(0, MW / 2), pick(0, MH / 2)}, {pick(MW / 2, MW), pick(0, MH / 2)},
                       {pick(0, MW / 2), pick(MH / 2, MH)}, {pick(MW / 2, MW), pick(MH / 2, MH)},
                       {l, top, r, bottom}};
        if (round % 10 == 9) c.CR.Right = MW + 3;  // a client reaching past the picture
        if (round % 11 == 10) c.LT.X = c.LB.X = -3;  // cuts left of the picture: the tiling starts mid-piece
        const int W = pick(1, 90), H = pick(1, 90);
        const TvlFrameCuts t = FitFrameCuts(c, MW, MH, W, H);
        const std::vector<TRect> want = ReferenceFrameRects(mask, c, W, H, t);
        const std::vector<uint8_t> data = ComposeFrameRegionData(mask, c, W, H, t);
        const std::vector<TRect> got = RegionDataRects(data);
        if (t.RT.X < t.LT.X || t.LB.Y < t.LT.Y) {
            EXPECT_TRUE(data.empty());
            continue;
        }
        for (int y = -2; y < H + 2; ++y)
            for (int x = -2; x < W + 2; ++x)
                ASSERT_EQ(Inside(got, x, y), Inside(want, x, y)) << "round " << round << " at " << x << "," << y;
    }
}

TEST(Region, BlackRunsBecomeRectanglesAfterThePlatformHeader) {
    TvlFBitmap mask = Filled(12, 3, 0xFFFFFF);
    for (int x = 3; x <= 7; ++x) mask.SetPixel(x, 0, 0);
    mask.SetPixel(0, 2, 0);
    mask.SetPixel(11, 2, 0);
    mask.SetPixel(5, 1, 0x010000);  // blue 1: not black
    mask.SetPixel(6, 1, 0x000001);  // red 1: not black
    std::vector<uint8_t> data = MaskToRegionData(mask, 0, 0);
    ASSERT_EQ(data.size(), 32u + 3 * 16);
    EXPECT_EQ(Word(data, 0), 32);
    EXPECT_EQ(Word(data, 4), 1);
    EXPECT_EQ(Word(data, 8), 3);
    EXPECT_EQ(Word(data, 12), 0);
    EXPECT_EQ(RegionDataBounds(data), (TRect{0, 0, 12, 3}));
    EXPECT_EQ(RegionDataRects(data), (std::vector<TRect>{{3, 0, 8, 1}, {0, 2, 1, 3}, {11, 2, 12, 3}}));

    data = MaskToRegionData(mask, 100, -20);
    EXPECT_EQ(RegionDataBounds(data), (TRect{100, -20, 112, -17}));
    EXPECT_EQ(RegionDataRects(data)[0], (TRect{103, -20, 108, -19}));
}

TEST(Region, EmptyMaskGivesNoDataAndWhiteMaskNoRectangles) {
    EXPECT_TRUE(MaskToRegionData(TvlPixelView(), 0, 0).empty());
    std::vector<uint8_t> data = MaskToRegionData(Filled(5, 5, 0xFFFFFF), 0, 0);
    ASSERT_EQ(data.size(), 32u);
    EXPECT_EQ(Word(data, 8), 0);
}

TEST(Region, FastScanAgreesWithThePlainReading) {
    // Runs of every length across the eight-pixel steps, with near-black
    // pixels (one channel 1) between them.
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        const int width = 1 + static_cast<int>(rng() % 70), height = 1 + static_cast<int>(rng() % 5);
        TvlFBitmap mask(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width;) {
                int run = 1 + static_cast<int>(rng() % 20);
                uint32_t colour = rng() % 3 == 0 ? 0u : (rng() % 2 ? 0xFFFFFFu : 1u << (8 * (rng() % 3)));
                for (int i = 0; i < run && x < width; ++i, ++x) mask.SetPixel(x, y, colour);
            }
        EXPECT_EQ(RegionDataRects(MaskToRegionData(mask, 3, 4)), SlowRuns(mask, 3, 4)) << round;
    }
}

TEST(Region, DataGrowsBeyondTenThousandRectangles) {
    // A checkerboard: one rectangle per black pixel, 15,000 in all.
    TvlFBitmap mask = Filled(300, 100, 0xFFFFFF);
    for (int y = 0; y < 100; ++y)
        for (int x = (y & 1); x < 300; x += 2) mask.SetPixel(x, y, 0);
    std::vector<TRect> rects = RegionDataRects(MaskToRegionData(mask, 0, 0));
    ASSERT_EQ(rects.size(), 15000u);
    EXPECT_EQ(rects.back(), (TRect{299, 99, 300, 100}));
}

TEST(Region, FrameRegionIsTheClientUnitedWithTheTiledBorderMasks) {
    // A 10 × 10 mask with its corner pixels cut off, cuts inside the client.
    TvlFBitmap mask = RoundedMask(10, 10, 1);
    ASSERT_EQ(mask.Pixel(0, 0), 0xFFFFFFu);
    ASSERT_EQ(mask.Pixel(1, 0), 0u);
    TvlFrameCuts c{{3, 3}, {7, 3}, {3, 7}, {7, 7}, {2, 2, 8, 8}};
    const int W = 23, H = 17;
    std::vector<uint8_t> data = ComposeFrameRegionData(mask, c, W, H, FitFrameCuts(c, 10, 10, W, H));
    std::vector<TRect> rects = RegionDataRects(data);
    EXPECT_EQ(RegionDataBounds(data), (TRect{0, 0, W, H}));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            bool corner = (x == 0 || x == W - 1) && (y == 0 || y == H - 1);
            ASSERT_EQ(Inside(rects, x, y), !corner) << x << "," << y;
        }
    // Rows with the same runs share their rectangles: one per row would be
    // 31 here (client, 2 + 2 end rows, 13 + 13 side rows).
    EXPECT_LE(rects.size(), 7u);

    // A hole in the left band repeats down the left border with the band,
    // which is tiled from the mask's top (y = 2); the end pieces cover the
    // mask's first and last rows.
    mask.SetPixel(0, 4, 0xFFFFFF);
    rects = RegionDataRects(ComposeFrameRegionData(mask, c, W, H, FitFrameCuts(c, 10, 10, W, H)));
    for (int y = 2; y < 15; ++y) EXPECT_EQ(Inside(rects, 0, y), y != 3 && y != 7 && y != 11) << y;
}

TEST(Region, WhiteMaskLeavesTheClientAndSmallWindowsGetNoRegion) {
    TvlFrameCuts c{{3, 3}, {7, 3}, {3, 7}, {7, 7}, {2, 2, 8, 8}};
    TvlFBitmap white = Filled(10, 10, 0xFFFFFF);
    std::vector<uint8_t> data = ComposeFrameRegionData(white, c, 30, 20, FitFrameCuts(c, 10, 10, 30, 20));
    EXPECT_EQ(RegionDataRects(data), (std::vector<TRect>{{2, 2, 28, 18}}));
    // Narrower or lower than the fixed parts: new RT.x < LT.x, new LB.y < LT.y.
    TvlFBitmap black(10, 10);
    EXPECT_TRUE(ComposeFrameRegionData(black, c, 5, 20, FitFrameCuts(c, 10, 10, 5, 20)).empty());
    EXPECT_TRUE(ComposeFrameRegionData(black, c, 20, 5, FitFrameCuts(c, 10, 10, 20, 5)).empty());
    // Exactly as small as the fixed parts still has a region.
    EXPECT_FALSE(ComposeFrameRegionData(black, c, 6, 6, FitFrameCuts(c, 10, 10, 6, 6)).empty());
}

TEST(Region, FrameRegionSurvivesDegenerateCuts) {
    TvlFBitmap mask = RoundedMask(10, 10, 2);
    // Bands of length 0 and cut points outside the mask.
    TvlFrameCuts flat{{3, 3}, {3, 3}, {3, 3}, {3, 3}, {2, 2, 8, 8}};
    EXPECT_FALSE(ComposeFrameRegionData(mask, flat, 30, 20, FitFrameCuts(flat, 10, 10, 30, 20)).empty());
    TvlFrameCuts outside{{3, 3}, {70, 3}, {3, 90}, {70, 90}, {2, 2, 80, 95}};
    ComposeFrameRegionData(mask, outside, 200, 200, FitFrameCuts(outside, 10, 10, 200, 200));
    EXPECT_TRUE(ComposeFrameRegionData(TvlPixelView(), flat, 30, 20, FitFrameCuts(flat, 10, 10, 30, 20)).size() >= 32);
}
