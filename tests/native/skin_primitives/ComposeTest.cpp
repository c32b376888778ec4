#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "tests/common/Pictures.h"
#include "skin/data/vlCompose.h"

namespace {

// Checks every destination pixel against the picture pixel that `source`
// names for it; a source of (-1, -1) means blank (black).
void ExpectPixels(const TvlFBitmap& dest, const std::function<TPoint(int, int)>& source) {
    for (int y = 0; y < dest.Height(); ++y)
        for (int x = 0; x < dest.Width(); ++x) {
            TPoint s = source(x, y);
            uint32_t want = s.X < 0 ? 0 : Label(s.X, s.Y);
            ASSERT_EQ(dest.Pixel(x, y), want) << "at " << x << "," << y;
        }
}

// A 6 × 6 skin with a 2-pixel frame whose cut points sit on the client rect.
TvlFrameCuts SmallCuts() { return {{2, 2}, {4, 2}, {2, 4}, {4, 4}, {2, 2, 4, 4}}; }

// The frame most cases compose: a labelled 20 × 16 picture, its cuts, and
// the cuts fitted to a W × H window.
struct TSampleFrame {
    TSampleFrame(int w, int h) : W(w), H(h), Fitted(FitFrameCuts(Cuts, 20, 16, w, h)) {}
    // The whole window picture with the edges tiled.
    TvlFBitmap Tiled(bool withClient) const {
        TvlFBitmap dest;
        ComposeTiledImage(Cuts, {0, 0, 20, 16}, Picture, W, H, Fitted, withClient, dest);
        return dest;
    }
    const int W, H;
    const TvlFBitmap Picture = Labelled(20, 16);
    const TvlFrameCuts Cuts{{5, 4}, {12, 4}, {6, 11}, {15, 11}, {3, 3, 17, 13}};
    const TvlFrameCuts Fitted;
};

// The periodic index of a tiled span: before `start` and after `end` the
// fixed pieces, between them the band [bandStart, bandStart + band).
int Map(int v, int start, int end, int bandStart, int band, int shift) {
    if (v < start) return v;
    if (v >= end) return v - shift;
    return bandStart + (v - start) % band;
}

}  // namespace

TEST(Compose, FitFrameCutsMovesRightAndBottomParts) {
    TvlFrameCuts c{{3, 4}, {10, 5}, {2, 11}, {12, 13}, {1, 2, 14, 15}};
    TvlFrameCuts t = FitFrameCuts(c, 20, 18, 27, 15);
    EXPECT_EQ(t, (TvlFrameCuts{{3, 4}, {17, 5}, {2, 8}, {19, 10}, {1, 2, 21, 12}}));
}

TEST(Compose, NinePiecesTileEveryEdgeAndTheClientFromTheirCutPoints) {
    TvlFBitmap pic = Labelled(8, 8);
    const TRect S{1, 1, 7, 7};  // the skin rect is not at the picture's corner
    const TvlFrameCuts c = SmallCuts();
    for (auto [W, H] : {std::pair{9, 7}, std::pair{6, 6}, std::pair{13, 10}}) {
        TvlFBitmap dest;
        ComposeTiledImage(c, S, pic, W, H, FitFrameCuts(c, 6, 6, W, H), true, dest);
        ASSERT_EQ(dest.Width(), W);
        ASSERT_EQ(dest.Height(), H);
        ExpectPixels(dest, [&](int x, int y) {
            return TPoint{1 + Map(x, 2, W - 2, 2, 2, W - 6), 1 + Map(y, 2, H - 2, 2, 2, H - 6)};
        });
    }
}

TEST(Compose, WithoutClientFillTheClientStaysBlank) {
    TvlFBitmap pic = Labelled(6, 6);
    const TvlFrameCuts c = SmallCuts();
    TvlFBitmap dest = Filled(9, 7, 0x123456);  // leftovers of an earlier use
    ComposeTiledImage(c, {0, 0, 6, 6}, pic, 9, 7, FitFrameCuts(c, 6, 6, 9, 7), false, dest);
    ExpectPixels(dest, [&](int x, int y) {
        if (x >= 2 && x < 7 && y >= 2 && y < 5) return TPoint{-1, -1};
        return TPoint{Map(x, 2, 7, 2, 2, 3), Map(y, 2, 5, 2, 2, 1)};
    });
}

TEST(Compose, EqualCutPointsOrAnEmptyPictureGiveABlankBitmapOfTheSize) {
    TvlFBitmap pic = Labelled(6, 6);
    TvlFrameCuts flatX{{2, 2}, {4, 2}, {2, 4}, {2, 4}, {2, 2, 4, 4}};
    TvlFrameCuts flatY{{2, 2}, {4, 2}, {2, 4}, {4, 2}, {2, 2, 4, 4}};
    for (const TvlFrameCuts& c : {flatX, flatY}) {
        TvlFBitmap dest = Filled(3, 3, 0xFFFFFF);
        ComposeTiledImage(c, {0, 0, 6, 6}, pic, 10, 8, FitFrameCuts(c, 6, 6, 10, 8), true, dest);
        ASSERT_EQ(dest.Width(), 10);
        ASSERT_EQ(dest.Height(), 8);
        EXPECT_EQ(dest, TvlFBitmap(10, 8));
    }
    TvlFBitmap dest;
    ComposeTiledImage(SmallCuts(), {0, 0, 6, 6}, TvlPixelView(), 5, 4, FitFrameCuts(SmallCuts(), 6, 6, 5, 4), true,
                      dest);
    EXPECT_EQ(dest, TvlFBitmap(5, 4));
}

TEST(Compose, TilingCutsTheLastCopyAtTheSpanEnd) {
    TvlFBitmap pic = Labelled(10, 1);
    TvlFBitmap dest = Filled(30, 1, 0xABCDEF);
    TilePiece(dest, {0, 0, 25, 1}, pic, {0, 0, 10, 1});
    for (int x = 0; x < 30; ++x) EXPECT_EQ(dest.Pixel(x, 0), x < 25 ? Label(x % 10, 0) : 0xABCDEFu) << x;
    dest.Fill(0xABCDEF);
    TilePiece(dest, {0, 0, 20, 1}, pic, {0, 0, 10, 1});
    EXPECT_EQ(dest.Pixel(19, 0), Label(9, 0));
    EXPECT_EQ(dest.Pixel(20, 0), 0xABCDEFu);
}

TEST(Compose, TiledEdgesRepeatWithTheirBandLength) {
    const TSampleFrame f(131, 97);
    const int H = f.H;
    const TvlFrameCuts& t = f.Fitted;
    TvlFBitmap dest = f.Tiled(true);
    // Top edge: band 7 wide; bottom: 9; left: 7 high; right: 7 high; client 14 × 10.
    for (int y = 0; y < t.CR.Top; ++y)
        for (int x = t.LT.X; x + 7 < t.RT.X; ++x) ASSERT_EQ(dest.Pixel(x, y), dest.Pixel(x + 7, y));
    for (int y = t.CR.Bottom; y < H; ++y)
        for (int x = t.LB.X; x + 9 < t.RB.X; ++x) ASSERT_EQ(dest.Pixel(x, y), dest.Pixel(x + 9, y));
    for (int y = t.LT.Y; y + 7 < t.LB.Y; ++y)
        for (int x = 0; x < t.CR.Left; ++x) ASSERT_EQ(dest.Pixel(x, y), dest.Pixel(x, y + 7));
    for (int y = t.CR.Top; y < t.CR.Bottom; ++y)
        for (int x = t.CR.Left; x < t.CR.Right; ++x)
            ASSERT_EQ(dest.Pixel(x, y), Label(3 + (x - 3) % 14, 3 + (y - 3) % 10));
}

TEST(Compose, StretchDoublesABandIntoTwiceItsLength) {
    TvlFBitmap pic = Labelled(3, 2);
    TvlFBitmap dest(6, 4);
    StretchPiece(dest, {0, 0, 6, 4}, pic, {0, 0, 3, 2});
    ExpectPixels(dest, [](int x, int y) { return TPoint{x / 2, y / 2}; });
    // Shrinking takes the pixel under each target pixel's centre.
    TvlFBitmap wide = Labelled(8, 1);
    TvlFBitmap small(2, 1);
    StretchPiece(small, {0, 0, 2, 1}, wide, {0, 0, 8, 1});
    EXPECT_EQ(small.Pixel(0, 0), Label(2, 0));
    EXPECT_EQ(small.Pixel(1, 0), Label(6, 0));
}

TEST(Compose, EachStretchFlagChangesOnlyItsOwnEdge) {
    const TSampleFrame f(57, 41);
    const int W = f.W, H = f.H;
    const TvlFrameCuts& t = f.Fitted;
    TvlFBitmap tiled = f.Tiled(true);
    const TRect spans[4] = {{0, t.LT.Y, t.CR.Left, t.LB.Y},
                            {t.LT.X, 0, t.RT.X, t.CR.Top},
                            {t.CR.Right, t.RT.Y, W, t.RB.Y},
                            {t.LB.X, t.CR.Bottom, t.RB.X, H}};
    for (int edge = 0; edge < 4; ++edge) {
        TvlStretch s;
        (edge == 0 ? s.Left : edge == 1 ? s.Top : edge == 2 ? s.Right : s.Bottom) = true;
        TvlFBitmap stretched;
        ComposeFrameImage(f.Cuts, {0, 0, 20, 16}, f.Picture, W, H, t, true, s, stretched);
        const TRect& e = spans[edge];
        int changed = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                bool inside = x >= e.Left && x < e.Right && y >= e.Top && y < e.Bottom;
                if (!inside)
                    ASSERT_EQ(stretched.Pixel(x, y), tiled.Pixel(x, y)) << edge << " at " << x << "," << y;
                else
                    changed += stretched.Pixel(x, y) != tiled.Pixel(x, y);
            }
        EXPECT_GT(changed, 0) << edge;
    }
}

TEST(Compose, BorderStripsMatchTheFrameImageOutsideTheClient) {
    TvlFBitmap pic = Labelled(20, 16);
    TvlFrameCuts c{{5, 4}, {12, 4}, {6, 11}, {15, 11}, {3, 3, 17, 13}};
    const int W = 61, H = 45;
    TvlFrameCuts t = FitFrameCuts(c, 20, 16, W, H);
    auto assemble = [&](const TvlBorderStrips& s) {
        TvlFBitmap whole(W, H);
        CopyPiece(whole, 0, 0, s.Top, {0, 0, s.Top.Width(), s.Top.Height()});
        CopyPiece(whole, 0, s.Top.Height(), s.Left, {0, 0, s.Left.Width(), s.Left.Height()});
        CopyPiece(whole, W - s.Right.Width(), s.Top.Height(), s.Right, {0, 0, s.Right.Width(), s.Right.Height()});
        CopyPiece(whole, 0, H - s.Bottom.Height(), s.Bottom, {0, 0, s.Bottom.Width(), s.Bottom.Height()});
        return whole;
    };
    auto outsideClient = [&](int x, int y) {
        return x < t.CR.Left || x >= t.CR.Right || y < t.CR.Top || y >= t.CR.Bottom;
    };

    // Stretched edges have no tiling phase: the two agree exactly.
    TvlStretch all{true, true, true, true};
    TvlBorderStrips strips;
    ComposeBorderStrips(c, {0, 0, 20, 16}, pic, W, H, t, all, strips);
    EXPECT_EQ(strips.Top.Width(), W);
    EXPECT_EQ(strips.Top.Height(), 3);
    EXPECT_EQ(strips.Bottom.Height(), 3);
    EXPECT_EQ(strips.Left.Width(), 3);
    EXPECT_EQ(strips.Left.Height(), H - 6);
    EXPECT_EQ(strips.Right.Width(), 3);
    TvlFBitmap frame;
    ComposeFrameImage(c, {0, 0, 20, 16}, pic, W, H, t, false, all, frame);
    TvlFBitmap whole = assemble(strips);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (outsideClient(x, y)) {
                ASSERT_EQ(whole.Pixel(x, y), frame.Pixel(x, y)) << x << "," << y;
            }

    // Tiled edges start at the strip's origin: the top strip's band begins at
    // x = 0, the frame's at the cut point; shifting by the phase agrees.
    ComposeBorderStrips(c, {0, 0, 20, 16}, pic, W, H, t, TvlStretch(), strips);
    ComposeTiledImage(c, {0, 0, 20, 16}, pic, W, H, t, false, frame);
    whole = assemble(strips);
    for (int y = 0; y < t.CR.Top; ++y)
        for (int x = c.LT.X; x < t.RT.X; ++x) ASSERT_EQ(whole.Pixel(x, y), Label(5 + x % 7, y)) << x;
    for (int y = 0; y < t.CR.Top; ++y) {
        for (int x = 0; x < c.LT.X; ++x) ASSERT_EQ(whole.Pixel(x, y), frame.Pixel(x, y));
        for (int x = t.RT.X; x < W; ++x) ASSERT_EQ(whole.Pixel(x, y), frame.Pixel(x, y));
    }
    // The left strip's band starts at the strip's top; its head and tail
    // pieces sit where the frame's corners do.
    for (int y = t.CR.Top; y < t.LT.Y; ++y) ASSERT_EQ(whole.Pixel(0, y), frame.Pixel(0, y));
    for (int y = t.LB.Y; y < t.CR.Bottom; ++y) ASSERT_EQ(whole.Pixel(1, y), frame.Pixel(1, y));
    for (int y = t.LT.Y; y < t.LB.Y; ++y) ASSERT_EQ(whole.Pixel(2, y), Label(2, 4 + (y - 3) % 7)) << y;
}

TEST(Compose, BorderComposedInPlaceHasTheStripsPixels) {
    // Random skins and windows: the border composed straight into the window
    // picture must equal the strips laid on it, and leave the client and
    // anything no strip covers as it was.
    std::mt19937 random(11);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const uint32_t sentinel = 0x123456;
    int inPlace = 0;
    for (int round = 0; round < 200; ++round) {
        const int PW = pick(8, 30), PH = pick(8, 30);
        TvlFBitmap pic = Labelled(PW, PH);
        TRect S{pick(0, 2), pick(0, 2), PW - pick(0, 2), PH - pick(0, 2)};
        if (round % 17 == 16) S.Right = PW + 4;  // a skin rect reaching past the picture
        const int SW = S.Width(), SH = S.Height();
        const int l = pick(0, SW / 3), r = pick(2 * SW / 3, SW), top = pick(0, SH / 3), bottom = pick(2 * SH / 3, SH);
        TvlFrameCuts c{{pick(0, SW / 2), pick(top, (top + bottom) / 2)},
                       {pick(SW / 2 + 1, SW), pick(top, (top + bottom) / 2)},
                       {pick(0, SW / 2), pick((top + bottom) / 2 + 1, bottom)},
                       {pick(SW / 2 + 1, SW), pick((top + bottom) / 2 + 1, bottom)},
                       {l, top, r, bottom}};
        if (round % 13 == 12) c.LT.Y = top - 1;  // a band starting above the client: not in place
        const int W = round % 5 == 4 ? pick(1, SW) : pick(SW, 90), H = round % 7 == 6 ? pick(1, SH) : pick(SH, 90);
        const TvlFrameCuts t = FitFrameCuts(c, SW, SH, W, H);
        const TvlStretch stretch{pick(0, 1) == 1, pick(0, 1) == 1, pick(0, 1) == 1, pick(0, 1) == 1};

        TvlFBitmap want = Filled(W, H, sentinel);
        TvlBorderStrips strips;
        ComposeBorderStrips(c, S, pic, W, H, t, stretch, strips);
        CopyPiece(want, 0, 0, strips.Top, {0, 0, strips.Top.Width(), strips.Top.Height()});
        CopyPiece(want, 0, strips.Top.Height(), strips.Left, {0, 0, strips.Left.Width(), strips.Left.Height()});
        CopyPiece(want, W - strips.Right.Width(), strips.Top.Height(), strips.Right,
                  {0, 0, strips.Right.Width(), strips.Right.Height()});
        CopyPiece(want, 0, H - strips.Bottom.Height(), strips.Bottom,
                  {0, 0, strips.Bottom.Width(), strips.Bottom.Height()});

        TvlFBitmap got = Filled(W, H, sentinel);
        ComposeBorder(c, S, pic, W, H, t, stretch, got);
        ASSERT_TRUE(got.SameSize(want));
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                ASSERT_EQ(got.Pixel(x, y), want.Pixel(x, y)) << "round " << round << " at " << x << "," << y;
        // The client is never touched.
        if (W >= SW && H >= SH && !t.CR.IsEmpty()) {
            EXPECT_EQ(got.Pixel(t.CR.Left, t.CR.Top), sentinel);
            ++inPlace;
        }
    }
    EXPECT_GT(inPlace, 50);
}

TEST(Compose, StripsWhoseGuardsFailStayEmpty) {
    TvlFBitmap pic = Labelled(20, 16);
    TvlFrameCuts noTopBand{{5, 4}, {5, 4}, {6, 11}, {15, 11}, {3, 3, 17, 13}};
    TvlBorderStrips s;
    ComposeBorderStrips(noTopBand, {0, 0, 20, 16}, pic, 30, 20, FitFrameCuts(noTopBand, 20, 16, 30, 20), TvlStretch(),
                        s);
    EXPECT_TRUE(s.Top.Empty());
    EXPECT_FALSE(s.Bottom.Empty());
    EXPECT_EQ(s.Left.Height(), 20 - 3);  // the missing top strip leaves its rows to the sides
    TvlFrameCuts c{{5, 4}, {12, 4}, {6, 11}, {15, 11}, {3, 3, 17, 13}};
    // Top and bottom strips take the whole height: no room for the sides.
    ComposeBorderStrips(c, {0, 0, 20, 16}, pic, 30, 6, FitFrameCuts(c, 20, 16, 30, 6), TvlStretch(), s);
    EXPECT_EQ(s.Top.Height(), 3);
    EXPECT_EQ(s.Bottom.Height(), 3);
    EXPECT_TRUE(s.Left.Empty() && s.Right.Empty());
    // No strip is wider than the window.
    ComposeBorderStrips(c, {0, 0, 20, 16}, pic, 2, 20, FitFrameCuts(c, 20, 16, 2, 20), TvlStretch(), s);
    EXPECT_EQ(s.Top.Width(), 2);
    EXPECT_EQ(s.Left.Width(), 2);
    EXPECT_EQ(s.Right.Width(), 2);
    EXPECT_EQ(s.Left.Height(), 14);
    ComposeBorderStrips(c, {0, 0, 20, 16}, pic, 0, 20, FitFrameCuts(c, 20, 16, 0, 20), TvlStretch(), s);
    EXPECT_TRUE(s.Top.Empty() && s.Bottom.Empty() && s.Left.Empty() && s.Right.Empty());
}

TEST(Compose, DegenerateGeometryDrawsSafely) {
    TvlFBitmap pic = Labelled(20, 16);
    const TRect S{0, 0, 20, 16};
    // A top band of length 0 while the bottom one has length: the top edge
    // stays blank, the rest is drawn.
    TvlFrameCuts zeroBand{{5, 4}, {5, 4}, {6, 11}, {15, 11}, {3, 3, 17, 13}};
    TvlFBitmap dest;
    ComposeTiledImage(zeroBand, S, pic, 40, 30, FitFrameCuts(zeroBand, 20, 16, 40, 30), true, dest);
    EXPECT_EQ(dest.Pixel(10, 0), 0u);
    EXPECT_EQ(dest.Pixel(0, 0), Label(0, 0));
    EXPECT_EQ(dest.Pixel(10, 29), Label(6 + (10 - 6) % 9, 15));
    // An empty client rect with client fill.
    TvlFrameCuts noClient{{5, 4}, {12, 4}, {6, 11}, {15, 11}, {3, 3, 3, 13}};
    ComposeTiledImage(noClient, S, pic, 40, 30, FitFrameCuts(noClient, 20, 16, 40, 30), true, dest);
    EXPECT_EQ(dest.Width(), 40);
    // Targets smaller than the fixed parts, down to nothing: pieces are cut at
    // the destination's border and negative spans draw nothing.
    TvlFrameCuts c{{5, 4}, {12, 4}, {6, 11}, {15, 11}, {3, 3, 17, 13}};
    for (auto [W, H] : {std::pair{4, 3}, std::pair{1, 20}, std::pair{0, 0}, std::pair{-5, 7}}) {
        TvlStretch all{true, true, true, true};
        ComposeFrameImage(c, S, pic, W, H, FitFrameCuts(c, 20, 16, W, H), true, all, dest);
        EXPECT_EQ(dest.Width(), std::max(W, 0));
        ComposeTiledImage(c, S, pic, W, H, FitFrameCuts(c, 20, 16, W, H), true, dest);
        EXPECT_EQ(dest.Height(), W > 0 ? std::max(H, 0) : 0);
        TvlBorderStrips strips;
        ComposeBorderStrips(c, S, pic, W, H, FitFrameCuts(c, 20, 16, W, H), all, strips);
    }
    // A skin rect reaching outside the picture and absurd numbers.
    TvlFrameCuts huge{
        {2000000000, 4}, {2100000000, 4}, {6, 2000000000}, {2147483647, 2147483647}, {3, 3, 2147483647, 2147483647}};
    ComposeTiledImage(huge, {10, 10, 2147483647, 2147483647}, pic, 50, 50, FitFrameCuts(huge, 7, 7, 50, 50), true,
                      dest);
    EXPECT_EQ(dest.Width(), 50);
}

TEST(Compose, HorizontalPartsAndTiledMiddle) {
    TvlFBitmap pic = Labelled(9, 2);
    const TRect S{1, 0, 8, 2};  // 7 wide: left 2, middle 3, right 2
    TvlFBitmap dest;
    ComposeHorizontal(2, 2, S, pic, 12, dest);
    ASSERT_EQ(dest.Height(), 2);
    ExpectPixels(dest, [](int x, int y) { return TPoint{1 + Map(x, 2, 10, 2, 3, 5), y}; });
    ComposeHorizontalOpen(2, 2, S, pic, 12, dest);
    ExpectPixels(dest, [](int x, int y) { return TPoint{1 + (x < 2 ? x : 2 + (x - 2) % 3), y}; });
    // No middle: the band is taken one column wide, the right part's first.
    ComposeHorizontal(3, 4, S, pic, 10, dest);
    ExpectPixels(dest, [](int x, int y) { return TPoint{1 + (x < 3 ? x : x >= 6 ? x - 3 : 3), y}; });
    // Narrower than both parts: the right part is drawn last and wins.
    ComposeHorizontal(3, 3, S, pic, 4, dest);
    ExpectPixels(dest, [](int x, int y) { return TPoint{x == 0 ? 1 : x + 4, y}; });
}

TEST(Compose, VerticalPartsAndTiledMiddle) {
    TvlFBitmap pic = Labelled(2, 7);
    TvlFBitmap dest;
    ComposeVertical(2, 2, {0, 0, 2, 7}, pic, 12, dest);
    ASSERT_EQ(dest.Width(), 2);
    ASSERT_EQ(dest.Height(), 12);
    ExpectPixels(dest, [](int x, int y) { return TPoint{x, Map(y, 2, 10, 2, 3, 5)}; });
    // A middle band of height 0 leaves the middle blank.
    ComposeVertical(3, 4, {0, 0, 2, 7}, pic, 10, dest);
    ExpectPixels(dest, [](int x, int y) { return y < 3 ? TPoint{x, y} : y >= 6 ? TPoint{x, y - 3} : TPoint{-1, -1}; });
}

TEST(Compose, TileAreaLaysThePieceFromTheCornerUpToTheAreaEdges) {
    TvlFBitmap pic = Labelled(12, 12);
    TvlFBitmap dest;
    // Piece (1, 1, 4, 3) relative to the origin rect at (5, 6).
    TileArea({1, 1, 4, 3}, {0, 0, 7, 5}, {5, 6, 12, 12}, pic, 9, 6, dest);
    ASSERT_EQ(dest.Width(), 9);
    ExpectPixels(dest, [](int x, int y) {
        if (x >= 7 || y >= 5) return TPoint{-1, -1};
        return TPoint{6 + x % 3, 7 + y % 2};
    });
    TileArea({1, 1, 1, 3}, {0, 0, 7, 5}, {5, 6, 12, 12}, pic, 9, 6, dest);  // zero-wide piece
    EXPECT_EQ(dest, TvlFBitmap(9, 6));
    TileArea({1, 1, 4, 3}, {0, 0, 0, 5}, {5, 6, 12, 12}, pic, 9, 6, dest);  // empty area
    EXPECT_EQ(dest, TvlFBitmap(9, 6));
}

TEST(Compose, CopyPieceCutsAtBothBitmaps) {
    TvlFBitmap pic = Labelled(4, 4);
    TvlFBitmap dest(3, 3);
    CopyPiece(dest, -1, 1, pic, {-2, 0, 4, 4});
    // Source column -2 … -1 does not exist: the copy starts at column 0,
    // which lands at x = 1; destination column 0 stays blank.
    ExpectPixels(dest, [](int x, int y) { return x < 1 || y < 1 ? TPoint{-1, -1} : TPoint{x - 1, y - 1}; });
}

// An area that starts above and left of the destination (the bottom band of
// a window shorter than its skin) keeps the rows and columns of its phase.
TEST(Compose, TilingFromAboveTheDestinationKeepsItsPhase) {
    TvlFBitmap pic = Labelled(4, 5);
    TvlFBitmap dest = Filled(6, 8, 0xABCDEF);
    TilePiece(dest, {-3, -3, 6, 8}, pic, {0, 0, 4, 5});
    ExpectPixels(dest, [](int x, int y) { return TPoint{(x + 3) % 4, (y + 3) % 5}; });
}
