// Frame regions of windows lower or narrower than the mask picture: the
// end pieces meet or overlap, and nothing may reach below or right of the
// window.
#include <gtest/gtest.h>

#include "skin/data/vlCompose.h"
#include "skin/data/vlRegion.h"
#include "tests/common/Pictures.h"

namespace {

// Which pixels of a W × H window (and a margin right of and below it) the
// region covers.
std::vector<std::vector<bool>> Covered(const std::vector<TRect>& rects, int W, int H) {
    std::vector<std::vector<bool>> in(static_cast<size_t>(H + 3), std::vector<bool>(static_cast<size_t>(W + 3)));
    for (const TRect& r : rects)
        for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, H + 3); ++y)
            for (int x = std::max(r.Left, 0); x < std::min(r.Right, W + 3); ++x)
                in[static_cast<size_t>(y)][static_cast<size_t>(x)] = true;
    return in;
}

}  // namespace

TEST(ShortFrameRegion, AnAllBlackMaskCoversExactlyTheWindowDownToItsFixedParts) {
    // Top and bottom pieces of 8 rows each, longer than the fixed corners (3
    // rows), so that a low window has them overlap; then side pieces and
    // bottom corners 8 columns wide, wider than the top corners (3 columns),
    // so that a narrow window has them overlap.
    const TvlFrameCuts low{{3, 3}, {17, 3}, {3, 17}, {17, 17}, {3, 8, 17, 12}};
    const TvlFrameCuts narrow{{3, 3}, {17, 3}, {8, 17}, {12, 17}, {8, 3, 12, 17}};
    const TvlFBitmap black = Filled(20, 20, 0);
    for (const auto& [name, cuts] : {std::pair{"low ", low}, std::pair{"narrow ", narrow}})
        for (int H : {6, 7, 9, 12, 16, 19, 20, 23})
            for (int W : {6, 7, 11, 20, 31}) {
                SCOPED_TRACE(testing::Message() << name << W << " x " << H);
                const auto data = ComposeFrameRegionData(black, cuts, W, H, FitFrameCuts(cuts, 20, 20, W, H));
                ASSERT_FALSE(data.empty());
                const auto in = Covered(RegionDataRects(data), W, H);
                for (int y = 0; y < H + 3; ++y)
                    for (int x = 0; x < W + 3; ++x)
                        ASSERT_EQ(in[static_cast<size_t>(y)][static_cast<size_t>(x)], x < W && y < H) << x << "," << y;
            }
}

TEST(ShortFrameRegion, TheMasksCornersStayAtTheWindowsCorners) {
    // Black but for a notch at each corner: two pixels at the top-left, one
    // at the top-right, three at the bottom-left, one at the bottom-right.
    TvlFBitmap mask = Filled(20, 20, 0);
    const std::vector<std::pair<int, int>> notches{{0, 0}, {1, 0}, {19, 0}, {0, 19}, {1, 19}, {0, 18}, {19, 19}};
    for (auto [x, y] : notches) mask.SetPixel(x, y, 0xFFFFFF);
    const TvlFrameCuts cuts{{3, 3}, {17, 3}, {3, 17}, {17, 17}, {3, 3, 17, 17}};
    for (int H : {6, 8, 13, 19, 20, 27})
        for (int W : {6, 19, 40}) {
            SCOPED_TRACE(testing::Message() << W << " x " << H);
            const auto data = ComposeFrameRegionData(mask, cuts, W, H, FitFrameCuts(cuts, 20, 20, W, H));
            const auto in = Covered(RegionDataRects(data), W, H);
            auto notch = [&](int x, int y) {
                for (auto [nx, ny] : notches) {
                    const int wx = nx < 10 ? nx : W - (20 - nx), wy = ny < 10 ? ny : H - (20 - ny);
                    if (wx == x && wy == y) return true;
                }
                return false;
            };
            for (int y = 0; y < H + 3; ++y)
                for (int x = 0; x < W + 3; ++x)
                    ASSERT_EQ(in[static_cast<size_t>(y)][static_cast<size_t>(x)], x < W && y < H && !notch(x, y))
                        << x << "," << y;
        }
}
