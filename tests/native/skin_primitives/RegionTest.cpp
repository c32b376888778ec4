#include <gtest/gtest.h>

#include <cstring>

#include "tests/common/Pictures.h"
#include "skin/data/vlRegion.h"

namespace {

bool Inside(const std::vector<TRect>& rects, int x, int y) {
    for (const TRect& r : rects)
        if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return true;
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

}  // namespace

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
