#include <gtest/gtest.h>

#include <set>

#include "tests/common/Pictures.h"
#include "skin/data/vlUtils.h"

namespace {

// The set pixels of a bitmap drawn on black, as (x, y) pairs.
std::set<std::pair<int, int>> SetPixels(const TvlFBitmap& b) {
    std::set<std::pair<int, int>> set;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Pixel(x, y) != 0) set.insert({x, y});
    return set;
}

std::set<std::pair<int, int>> Glyph(TvlGlyph glyph, int x = 0, int y = 0) {
    TvlFBitmap b(16, 16);
    DrawDefaultGlyph(b, glyph, x, y, 0x0000FF);
    return SetPixels(b);
}

int RowCount(const std::set<std::pair<int, int>>& set, int y) {
    int n = 0;
    for (auto [px, py] : set) n += py == y;
    return n;
}

int ColumnCount(const std::set<std::pair<int, int>>& set, int x) {
    int n = 0;
    for (auto [px, py] : set) n += px == x;
    return n;
}

}  // namespace

TEST(Glyphs, CloseIsTwoDoubleDiagonalsWithoutEndPoints) {
    auto close = Glyph(TvlGlyph::Close, 2, 3);
    EXPECT_TRUE(close.count({3, 4}));     // (x+1, y+1)
    EXPECT_TRUE(close.count({10, 11}));   // (x+8, y+8), last of the first line
    EXPECT_FALSE(close.count({11, 12}));  // (x+9, y+9) is its end point
    EXPECT_TRUE(close.count({11, 11}));   // (x+9, y+8) of the third line
    EXPECT_TRUE(close.count({3, 11}));    // (x+1, y+8) of the fourth line
    EXPECT_FALSE(close.count({2, 12}));   // (x, y+9) is its end point
    EXPECT_EQ(close.size(), 4u * 8 - 2);  // two crossings share a pixel
}

TEST(Glyphs, CaptionGlyphsHaveTheirShapes) {
    auto minimize = Glyph(TvlGlyph::Minimize);
    EXPECT_EQ(minimize.size(), 16u);
    EXPECT_EQ(RowCount(minimize, 8), 8);
    EXPECT_EQ(RowCount(minimize, 9), 8);
    EXPECT_FALSE(minimize.count({9, 8}));

    auto maximize = Glyph(TvlGlyph::Maximize);
    EXPECT_TRUE(maximize.count({10, 9}));
    EXPECT_FALSE(maximize.count({11, 0}));
    EXPECT_FALSE(maximize.count({10, 10}));
    EXPECT_EQ(RowCount(maximize, 1), 11);  // the thick top edge
    EXPECT_EQ(RowCount(maximize, 2), 2);

    auto restore = Glyph(TvlGlyph::Restore);
    EXPECT_TRUE(restore.count({9, 5}));
    EXPECT_TRUE(restore.count({0, 9}));
    EXPECT_TRUE(restore.count({6, 4}));
    EXPECT_FALSE(restore.count({1, 3}));

    auto system = Glyph(TvlGlyph::SystemMenu);
    EXPECT_EQ(system.size(), 2u * 8 + 2);

    auto up = Glyph(TvlGlyph::RollUp);
    for (int i = 0; i <= 4; ++i) EXPECT_EQ(RowCount(up, 6 - i), 8 - 2 * i) << i;
    auto down = Glyph(TvlGlyph::RollDown);
    for (int i = 0; i <= 4; ++i) EXPECT_EQ(RowCount(down, 6 - i), 2 * i) << i;

    EXPECT_EQ(Glyph(TvlGlyph::MinimizeToTray).size(), 25u);
    EXPECT_TRUE(Glyph(TvlGlyph::MinimizeToTray).count({2, 2}));
    EXPECT_EQ(Glyph(TvlGlyph::FilledSquare).size(), 36u);

    auto check = Glyph(TvlGlyph::CheckMark);
    // Three polylines two pixels down then five up: columns 0 and 1 three
    // pixels each, the vertex column 2 three, the last column 6 three.
    EXPECT_EQ(ColumnCount(check, 0), 3);
    EXPECT_EQ(ColumnCount(check, 2), 3);
    EXPECT_EQ(ColumnCount(check, 6), 3);
    EXPECT_EQ(ColumnCount(check, 7), 0);
    EXPECT_TRUE(check.count({2, 7}));
    EXPECT_TRUE(check.count({6, 3}));
}

TEST(Glyphs, ArrowsPointTheirWay) {
    const TRect r{0, 0, 10, 10};  // centre (5, 5)
    auto draw = [&](int direction) {
        TvlFBitmap b(12, 12);
        DrawArrow(b, r, 0xFFFFFF, direction);
        return SetPixels(b);
    };
    // From the tip back, rows (up, down) or columns (left, right) of 1, 3, 5
    // and 7 pixels.
    struct TArrowCase {
        int Direction;
        bool Rows;
        int Tip, Step;
        std::pair<int, int> TipPixel;
    };
    const TArrowCase cases[] = {
        {3, true, 3, 1, {5, 3}}, {4, true, 7, -1, {5, 7}}, {1, false, 3, 1, {3, 5}}, {2, false, 7, -1, {7, 5}}};
    for (const TArrowCase& c : cases) {
        auto arrow = draw(c.Direction);
        for (int n = 0; n <= 3; ++n) {
            int line = c.Tip + c.Step * n;
            EXPECT_EQ(c.Rows ? RowCount(arrow, line) : ColumnCount(arrow, line), 2 * n + 1) << c.Direction;
        }
        EXPECT_TRUE(arrow.count(c.TipPixel)) << c.Direction;
    }
    EXPECT_TRUE(draw(0).empty());
    // Drawing reaching outside the bitmap is cut.
    TvlFBitmap tiny(2, 2);
    DrawArrow(tiny, {-3, -3, 3, 3}, 0xFFFFFF, 4);
    DrawDefaultGlyph(tiny, TvlGlyph::Close, -4, -4, 0xFFFFFF);
}

TEST(Glyphs, GlyphFrameDrawsOneFrameWithItsBottomLeftColourTransparent) {
    TvlFBitmap strip = KeyedGlyphStrip();
    TvlFBitmap dest = Filled(4, 4, 0x111111);
    DrawGlyphFrame(dest, 1, 1, 2, 3, strip);
    EXPECT_EQ(dest.Pixel(1, 1), Label(2, 0));
    EXPECT_EQ(dest.Pixel(2, 1), 0x111111u);  // key colour
    EXPECT_EQ(dest.Pixel(1, 2), 0x111111u);  // the key pixel itself
    EXPECT_EQ(dest.Pixel(2, 2), Label(3, 1));
    EXPECT_EQ(dest.Pixel(0, 0), 0x111111u);
    TvlFBitmap untouched = dest;
    DrawGlyphFrame(dest, 0, 0, 4, 3, strip);
    DrawGlyphFrame(dest, 0, 0, 0, 3, strip);
    DrawGlyphFrame(dest, 0, 0, 1, 0, strip);
    DrawGlyphFrame(dest, 0, 0, 1, 1, TvlPixelView());
    EXPECT_EQ(dest, untouched);
    DrawGlyphFrame(dest, 2, -1, 3, 3, strip);  // cut at the border
    EXPECT_EQ(dest.Pixel(2, 0), 0x111111u);    // frame 3's own key colour
    EXPECT_EQ(dest.Pixel(3, 0), Label(5, 1));
}

TEST(Text, EllipsisOnlyWhenTheTextIsTooWide) {
    auto width = [](const std::string& s) { return static_cast<int>(s.size()) * 5; };
    EXPECT_EQ(FitTextWithEllipsis("abc", 15, width), "abc");
    EXPECT_EQ(FitTextWithEllipsis("abcdef", 29, width), "ab...");
    EXPECT_EQ(FitTextWithEllipsis("abcdef", 20, width), "a...");
    EXPECT_EQ(FitTextWithEllipsis("abcdef", 4, width), "...");
    EXPECT_EQ(FitTextWithEllipsis("", 0, width), "");
}

TEST(Platform, TransparencyOnlyOnVersionFiveAndShadowOnFivePointOne) {
    EXPECT_TRUE(LayeredWindowsVersion(5, 0));
    EXPECT_TRUE(LayeredWindowsVersion(5, 1));
    EXPECT_TRUE(LayeredWindowsVersion(5, 2));
    EXPECT_FALSE(LayeredWindowsVersion(6, 0));
    EXPECT_FALSE(LayeredWindowsVersion(5, 3));
    EXPECT_FALSE(LayeredWindowsVersion(4, 0));
    EXPECT_TRUE(DropShadowVersion(5, 1));
    EXPECT_FALSE(DropShadowVersion(5, 2));
    EXPECT_FALSE(DropShadowVersion(6, 1));
}

TEST(FBitmap, RowsArePaddedToFourBytesAndCopiesAreDeep) {
    for (int w : {1, 2, 3, 4, 5, 7}) {
        TvlFBitmap b(w, 3);
        EXPECT_EQ(b.Stride() % 4, 0);
        EXPECT_EQ(b.Stride(), w * 3 + w % 4);
        EXPECT_EQ(b.Pad(), w % 4);
        EXPECT_EQ(b.Size(), static_cast<size_t>(b.Stride()) * 3);
        EXPECT_EQ(b.Header().Width, w);
        EXPECT_EQ(b.Header().Height, -3);
        EXPECT_EQ(b.Header().BitCount, 24);
    }
    TvlFBitmap a = Labelled(5, 2);
    TvlFBitmap copy = a;
    copy.SetPixel(0, 0, 0);
    EXPECT_EQ(a.Pixel(0, 0), Label(0, 0));
    uint8_t row[15];
    a.CopyRowOut(1, row);
    copy.CopyRowIn(0, row);
    EXPECT_EQ(copy.Pixel(4, 0), Label(4, 1));
    TvlFBitmap moved = std::move(copy);
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(moved.Pixel(4, 0), Label(4, 1));
    moved.SetSize(0, 5);
    EXPECT_TRUE(moved.Empty());
    EXPECT_THROW(moved.SetSize(100000, 1), std::length_error);
}

TEST(FBitmap, FillReachesEveryPixelOfEveryWidthAndLeavesThePadding) {
    for (uint32_t colour : {0x123456u, 0x808080u, 0xFFFFFFu})
        for (int width : {1, 2, 3, 5, 7, 8, 63, 1921}) {
            TvlFBitmap b(width, 3);
            b.Fill(colour);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < width; ++x) ASSERT_EQ(b.Pixel(x, y), colour) << width << " " << x << "," << y;
            for (int y = 0; y < 3; ++y)
                for (int p = width * 3; p < b.Stride(); ++p) ASSERT_EQ(b.Row(y)[p], 0) << width;
        }
}
