#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <random>
#include <thread>

#include "tests/common/Pictures.h"
#include "skin/data/vlEffectKernels.h"
#include "skin/data/vlEffects.h"

namespace {

TvlEffectBmp Solid(int width, int height, uint32_t colour) {
    TvlEffectBmp b(width, height);
    b.Fill(colour);
    return b;
}

TvlEffectBmp Effect(const TvlFBitmap& b) { return TvlEffectBmp(b.View()); }

uint8_t Red(const TvlFBitmap& b, int x, int y) { return static_cast<uint8_t>(b.Pixel(x, y) & 0xFF); }

uint32_t Gray(int v) { return static_cast<uint32_t>(v * 0x010101); }

// The blur read straight from its description, one pixel at a time in place.
void SlowSplitBlur(TvlFBitmap& b, int d) {
    const int W = b.Width(), H = b.Height();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            int up = y - d < 0 ? y : y - d, lo = y + d >= H ? y : y + d;
            int l = x - d < 0 ? x : x - d, r = x + d >= W ? x : x + d;
            for (int c = 0; c < 3; ++c) {
                int sum = b.Row(up)[l * 3 + c] + b.Row(lo)[l * 3 + c] + b.Row(up)[r * 3 + c] + b.Row(lo)[r * 3 + c];
                b.Row(y)[x * 3 + c] = static_cast<uint8_t>(sum / 4);
            }
        }
}


// Cross-fades two 256-pixel-wide bitmaps of `rows` rows that together hold
// every pair of channel values, at each weight, and expects the nearest
// integer of the double arithmetic in every channel.
void ExpectCrossFadesOfEveryChannelPair(int rows, std::initializer_list<double> weights) {
    TvlEffectBmp a(256, rows), b(256, rows);
    for (int y = 0; y < rows; ++y)
        for (int i = 0; i < 256 * 3; ++i) {
            const int pair = (y * 768 + i) % 65536;
            a.Row(y)[i] = static_cast<uint8_t>(pair >> 8);
            b.Row(y)[i] = static_cast<uint8_t>(pair);
        }
    for (double k : weights) {
        TvlEffectBmp m = a;
        m.Morph(b, k);
        for (int y = 0; y < rows; ++y)
            for (int i = 0; i < 256 * 3; ++i)
                ASSERT_EQ(m.Row(y)[i], static_cast<int>(std::nearbyint((1 - k) * a.Row(y)[i] + k * b.Row(y)[i])))
                    << k << " " << y << " " << i;
    }
}
}  // namespace

TEST(Effects, RoundingTakesHalvesToTheEvenNeighbour) {
    EXPECT_EQ(vlRoundHalfEven(0.5), 0);
    EXPECT_EQ(vlRoundHalfEven(1.5), 2);
    EXPECT_EQ(vlRoundHalfEven(2.5), 2);
    EXPECT_EQ(vlRoundHalfEven(127.5), 128);
    EXPECT_EQ(vlRoundHalfEven(-0.5), 0);
    EXPECT_EQ(vlRoundHalfEven(-1.5), -2);
    EXPECT_EQ(vlRoundHalfEven(2.4999), 2);
    EXPECT_EQ(vlRoundHalfEven(std::nan("")), 0);
    EXPECT_EQ(vlRoundHalfEven(1e300), 1073741824);
}

TEST(Effects, CrossFadeRoundsHalvesToEvenAndClampsK) {
    TvlEffectBmp a = Solid(3, 2, 0x000000);
    a.Morph(Solid(3, 2, 0xFFFFFF), 0.5);
    EXPECT_EQ(a.Pixel(2, 1), 0x808080u);  // 127.5 → 128
    TvlEffectBmp odd = Solid(2, 1, 0x030201);
    odd.Morph(Solid(2, 1, 0x040302), 0.5);  // 1.5 → 2, 2.5 → 2, 3.5 → 4
    EXPECT_EQ(odd.Pixel(0, 0), 0x040202u);
    TvlEffectBmp same = Solid(3, 2, 0x102030);
    same.Morph(Solid(3, 2, 0xFFFFFF), -1);
    EXPECT_EQ(same.Pixel(0, 0), 0x102030u);
    same.Morph(Solid(3, 2, 0xFFFFFF), 7);
    EXPECT_EQ(same.Pixel(0, 0), 0xFFFFFFu);
    // Random pictures against the library's rounding of the same expression.
    TvlEffectBmp x = Effect(Random(37, 5, 1));
    TvlFBitmap y = Random(37, 5, 2);
    TvlFBitmap before = x;
    const double k = 0.3137;
    x.Morph(y, k);
    for (int r = 0; r < 5; ++r)
        for (int i = 0; i < 37 * 3; ++i)
            ASSERT_EQ(x.Row(r)[i], static_cast<int>(std::nearbyint((1 - k) * before.Row(r)[i] + k * y.Row(r)[i])));
}

TEST(Effects, LargeCrossFadesLookUpTheSameResults) {
    // Big enough for the table of results.
    ASSERT_GE(TvlEffectBmp(256, 342).Size(), size_t{1} << 18);
    ExpectCrossFadesOfEveryChannelPair(342, {0.5, 0.1, 1.0 / 3});
}

TEST(Effects, EveryMorphLeavesBitmapsOfAnotherSizeAlone) {
    TvlFBitmap original = Random(6, 4, 3);
    for (int kind = 0; kind <= 7; ++kind) {
        TvlEffectBmp a = Effect(original);
        a.MorphKind(kind, Random(6, 5, 4), 0.5);
        EXPECT_EQ(a, original) << kind;
        a.MorphKind(kind, Random(7, 4, 4), 0.5);
        EXPECT_EQ(a, original) << kind;
    }
}

TEST(Effects, MorphKindsDispatchToTheirMorphs) {
    TvlFBitmap a0 = Random(9, 5, 5), b = Random(9, 5, 6);
    using Fn = void (TvlEffectBmp::*)(const TvlFBitmap&, double);
    const Fn fns[] = {&TvlEffectBmp::Morph,
                      &TvlEffectBmp::GradientMorph,
                      &TvlEffectBmp::LeftGradientMorph,
                      &TvlEffectBmp::RightGradientMorph,
                      &TvlEffectBmp::LeftSlideMorph,
                      &TvlEffectBmp::RightSlideMorph,
                      &TvlEffectBmp::PushMorph};
    for (int kind = 0; kind < 7; ++kind) {
        TvlEffectBmp viaKind = Effect(a0), direct = Effect(a0);
        viaKind.MorphKind(kind, b, 0.4);
        (direct.*fns[kind])(b, 0.4);
        EXPECT_EQ(viaKind, direct) << kind;
        if (kind > 0) {
            TvlEffectBmp fade = Effect(a0);
            fade.Morph(b, 0.4);
            EXPECT_FALSE(viaKind == fade) << kind;
        }
    }
    TvlEffectBmp unknown = Effect(a0), fade = Effect(a0);
    unknown.MorphKind(42, b, 0.4);
    fade.Morph(b, 0.4);
    EXPECT_EQ(unknown, fade);
}

TEST(Effects, GradientMorphRunsAcrossWideBitmapsAndDownHighOnes) {
    TvlEffectBmp wide = Solid(40, 20, 0);
    wide.GradientMorph(Solid(40, 20, 0xFFFFFF), 0.5);
    // Band 10 … 30 is B; the ramps fall off by 0.1 per column.
    for (int y : {0, 19}) {
        EXPECT_EQ(Red(wide, 10, y), 255);
        EXPECT_EQ(Red(wide, 30, y), 255);
        EXPECT_EQ(Red(wide, 5, y), 128);  // weight 0.5
        EXPECT_EQ(Red(wide, 35, y), 128);
        EXPECT_EQ(Red(wide, 9, y), 230);  // weight 0.1: 229.5 → 230
        EXPECT_EQ(Red(wide, 0, y), 0);
    }
    TvlEffectBmp high = Solid(20, 40, 0);
    high.GradientMorph(Solid(20, 40, 0xFFFFFF), 0.5);
    // Rows 10 … 30 are B; ramp length (40 − 1 − 20) div 2 = 9.
    for (int x : {0, 19}) {
        EXPECT_EQ(Red(high, x, 10), 255);
        EXPECT_EQ(Red(high, x, 30), 255);
        EXPECT_EQ(Red(high, x, 9), 227);  // weight 1/9: 226.67 → 227
        EXPECT_EQ(Red(high, x, 0), 0);
        EXPECT_EQ(Red(high, x, 39), 0);
    }
    EXPECT_EQ(Red(high, 3, 12), Red(high, 17, 12));
    // k = 1 turns everything into B; k outside 0 … 1 is held there.
    TvlEffectBmp full = Solid(40, 20, 0);
    full.GradientMorph(Solid(40, 20, 0xFFFFFF), 1);
    EXPECT_EQ(full, Solid(40, 20, 0xFFFFFF));
    TvlEffectBmp beyond = Solid(20, 40, 0);
    beyond.GradientMorph(Solid(20, 40, 0xFFFFFF), 5);
    EXPECT_EQ(beyond, Solid(20, 40, 0xFFFFFF));
    TvlEffectBmp before = Solid(7, 3, 0);
    before.GradientMorph(Solid(7, 3, 0xFFFFFF), -3);
    EXPECT_EQ(Red(before, 3, 1), 255);  // k = 0: the middle column
}

TEST(Effects, SideGradientsRampFromTheirEdge) {
    TvlEffectBmp left = Solid(5, 2, 0);
    left.LeftGradientMorph(Solid(5, 2, Gray(200)), 0.8);  // a = 4
    for (int x = 0; x < 5; ++x) EXPECT_EQ(Red(left, x, 1), 200 - 50 * x) << x;
    TvlEffectBmp atZero = Solid(5, 1, 0);
    atZero.LeftGradientMorph(Solid(5, 1, Gray(200)), 0);  // a raised to 1
    EXPECT_EQ(Red(atZero, 0, 0), 200);
    EXPECT_EQ(Red(atZero, 1, 0), 0);
    TvlEffectBmp right = Solid(5, 2, 0);
    right.RightGradientMorph(Solid(5, 2, Gray(200)), 0.4);  // a = 3, step 1/2
    EXPECT_EQ(Red(right, 4, 0), 200);
    EXPECT_EQ(Red(right, 3, 0), 100);
    EXPECT_EQ(Red(right, 2, 0), 0);
    TvlEffectBmp one = Solid(1, 1, 0);
    one.LeftGradientMorph(Solid(1, 1, Gray(9)), 0.5);
    EXPECT_EQ(Red(one, 0, 0), 9);
    one.RightGradientMorph(Solid(1, 1, Gray(7)), 0.5);
    EXPECT_EQ(Red(one, 0, 0), 7);
}

TEST(Effects, SlidesAndPushMoveWholeColumns) {
    TvlFBitmap a = Labelled(4, 2), b = Random(4, 2, 9);
    auto column = [](const TvlFBitmap& m, int x) { return std::pair{m.Pixel(x, 0), m.Pixel(x, 1)}; };
    using TMorph = void (TvlEffectBmp::*)(const TvlFBitmap&, double);
    struct Case {
        const char* What;
        TMorph Morph;
        double K;
        // Where each column comes from: "b3" is B's column 3.
        const char* Columns[4];
    };
    const Case cases[] = {
        {"left slide at 0: B's last column enters", &TvlEffectBmp::LeftSlideMorph, 0, {"b3", "a1", "a2", "a3"}},
        {"right slide at 0.5: two of B", &TvlEffectBmp::RightSlideMorph, 0.5, {"a0", "a1", "b0", "b1"}},
        {"left slide at 1: lowered to W - 1", &TvlEffectBmp::LeftSlideMorph, 1, {"b1", "b2", "b3", "a3"}},
        {"push at 0", &TvlEffectBmp::PushMorph, 0, {"b3", "a0", "a1", "a2"}},
        {"push at 0.5", &TvlEffectBmp::PushMorph, 0.5, {"b1", "b2", "b3", "a0"}},
        {"push at 3: clamped to W - 1, all of B", &TvlEffectBmp::PushMorph, 3, {"b0", "b1", "b2", "b3"}},
    };
    for (const Case& c : cases) {
        TvlEffectBmp m = Effect(a);
        (m.*c.Morph)(b, c.K);
        for (int x = 0; x < 4; ++x) {
            const TvlFBitmap& from = c.Columns[x][0] == 'a' ? a : b;
            EXPECT_EQ(column(m, x), column(from, c.Columns[x][1] - '0')) << c.What << ", column " << x;
        }
    }
}

TEST(Effects, BrightnessDarknessGrayAndInvertArithmetic) {
    TvlEffectBmp b = Solid(2, 2, 0xFF0065);  // red 101, blue 255
    b.ChangeBrightness(0.5);
    EXPECT_EQ(b.Pixel(1, 1), 0xFF80B2u);  // 101 → 178, 0 → 128 (127.5), 255 stays
    b = Solid(2, 2, 0x000064);
    b.ChangeDarkness(0.3);
    EXPECT_EQ(Red(b, 0, 0), 70);
    b.ChangeBrightness(3);  // held at 1
    EXPECT_EQ(b.Pixel(0, 0), 0xFFFFFFu);
    b.ChangeDarkness(-1);  // held at 0
    EXPECT_EQ(b.Pixel(0, 0), 0xFFFFFFu);

    TvlEffectBmp g(5, 1);
    g.SetPixel(0, 0, 0x00FF00);  // pure green
    g.SetPixel(1, 0, 0xFF0000);  // pure blue
    g.SetPixel(2, 0, 0x000005);  // red 5: 1.5 → 2
    g.SetPixel(3, 0, 0x00000F);  // red 15: 4.5 → 4
    g.SetPixel(4, 0, 0xFFFFFF);
    g.GrayScale();
    EXPECT_EQ(g.Pixel(0, 0), Gray(150));
    EXPECT_EQ(g.Pixel(1, 0), Gray(28));
    EXPECT_EQ(g.Pixel(2, 0), Gray(2));
    EXPECT_EQ(g.Pixel(3, 0), Gray(4));
    EXPECT_EQ(g.Pixel(4, 0), Gray(255));

    TvlEffectBmp i = Solid(3, 1, 0x00FF10);
    i.Invert();
    EXPECT_EQ(i.Pixel(2, 0), 0xFF00EFu);
}

TEST(Effects, SplitBlurWorksInPlaceFromTheTopLeft) {
    TvlEffectBmp one = Solid(1, 1, 0x123456);
    one.SplitBlur(1);
    EXPECT_EQ(one.Pixel(0, 0), 0x123456u);
    // One column of 10, 20, 31: each row reads the blurred row above it, the
    // last row reads itself below.
    TvlEffectBmp col(1, 3);
    col.SetPixel(0, 0, Gray(10));
    col.SetPixel(0, 1, Gray(20));
    col.SetPixel(0, 2, Gray(31));
    col.SplitBlur(1);
    EXPECT_EQ(Red(col, 0, 0), 15);
    EXPECT_EQ(Red(col, 0, 1), 23);
    EXPECT_EQ(Red(col, 0, 2), 27);
    TvlEffectBmp zero = Effect(Random(5, 5, 1));
    TvlFBitmap before = zero;
    zero.SplitBlur(0);
    EXPECT_EQ(zero, before);
    // Row-wise work agrees with the pixel-by-pixel reading for all shapes.
    for (auto [w, h, d] : {std::tuple{17, 9, 1}, std::tuple{16, 12, 2}, std::tuple{5, 30, 3}, std::tuple{2, 3, 4},
                           std::tuple{64, 4, 7}, std::tuple{45, 4, 1}, std::tuple{203, 5, 2},
                           std::tuple{3, 3, 1000000000}}) {
        TvlEffectBmp fast = Effect(Random(w, h, static_cast<uint32_t>(w * h)));
        TvlFBitmap slow = fast;
        fast.SplitBlur(d);
        SlowSplitBlur(slow, std::min(d, 1 << 20));
        EXPECT_EQ(fast, slow) << w << "x" << h << " d=" << d;
    }
}

TEST(Effects, NoiseStaysInRangeAndShiftsAllChannelsAlike) {
    TvlEffectBmp n(64, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x) n.SetPixel(x, y, x % 3 == 0 ? 0 : x % 3 == 1 ? 0xFFFFFF : Gray(100));
    n.AddNoise(50);
    bool moved = false;
    for (int y = 0; y < 16; ++y)
        for (int x = 2; x < 64; x += 3) {
            uint8_t* p = n.Row(y) + x * 3;
            ASSERT_EQ(p[0], p[1]);
            ASSERT_EQ(p[1], p[2]);
            ASSERT_GE(p[0], 100 - 25);
            ASSERT_LE(p[0], 100 + 24);
            moved |= p[0] != 100;
        }
    EXPECT_TRUE(moved);
    TvlFBitmap before = n;
    n.AddNoise(0);
    n.AddNoise(-4);
    EXPECT_EQ(n, before);
    n.AddNoise(2000);  // far beyond the channel range: clamped
}

TEST(Effects, InactiveEffectsApplyTheirFilter) {
    const TvlFBitmap original = Random(8, 6, 11);
    auto expect = [&](int effect, const std::function<void(TvlEffectBmp&)>& filter) {
        TvlEffectBmp via = Effect(original), direct = Effect(original);
        via.ApplyInactiveEffect(effect);
        filter(direct);
        EXPECT_EQ(via, direct) << effect;
        EXPECT_FALSE(via == original) << effect;
    };
    expect(ieBrightness, [](TvlEffectBmp& b) { b.ChangeBrightness(0.5); });
    expect(ieDarkness, [](TvlEffectBmp& b) { b.ChangeDarkness(0.3); });
    expect(ieGrayScale, [](TvlEffectBmp& b) { b.GrayScale(); });
    expect(ieSplitBlur, [](TvlEffectBmp& b) { b.SplitBlur(1); });
    expect(ieInvert, [](TvlEffectBmp& b) { b.Invert(); });
    expect(17, [](TvlEffectBmp& b) { b.GrayScale(); });
    TvlEffectBmp noisy = Effect(original);
    noisy.ApplyInactiveEffect(ieNoise);
    EXPECT_FALSE(noisy == original);
}

TEST(Effects, QuarterTurnsAndFlip) {
    const TvlEffectBmp a = Effect(Labelled(3, 2));
    TvlFBitmap d;
    a.RotateLeft(d);
    ASSERT_EQ(d.Width(), 2);
    ASSERT_EQ(d.Height(), 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(d.Pixel(y, 3 - 1 - x), Label(x, y));
    a.RotateRight(d);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(d.Pixel(2 - 1 - y, x), Label(x, y));
    a.FlipVertical(d);
    EXPECT_EQ(d.Pixel(1, 0), Label(1, 1));
    EXPECT_EQ(d.Pixel(1, 1), Label(1, 0));
    // Across block edges: left then right is the identity; four lefts too.
    const TvlEffectBmp big = Effect(Random(37, 19, 12));
    TvlEffectBmp turned, back;
    big.RotateLeft(turned);
    turned.RotateRight(back);
    EXPECT_EQ(back, big);
    TvlEffectBmp t1, t2, t3, t4;
    big.RotateLeft(t1);
    t1.RotateLeft(t2);
    t2.RotateLeft(t3);
    t3.RotateLeft(t4);
    EXPECT_EQ(t4, big);
    TvlEffectBmp self = Effect(Labelled(3, 2));
    self.RotateLeft(self);  // refused: a bitmap cannot turn into itself
    EXPECT_EQ(self, Labelled(3, 2));
}

TEST(Effects, NoiseFollowsOneSequenceAcrossEveryWidth) {
    // A fresh thread starts the generator afresh; the expected shifts come
    // from the sequence stepped one pixel at a time.
    for (int w : {1, 7, 15, 16, 17, 33, 64, 101})
        for (int amount : {1, 2, 50, 51, 600}) {
            const TvlFBitmap original = Random(w, 5, static_cast<uint32_t>(w * 1000 + amount));
            TvlEffectBmp fast = Effect(original);
            std::thread([&] {
                fast.AddNoise(amount);
                fast.AddNoise(amount);  // the sequence carries on from the first call
            }).join();
            TvlFBitmap slow = original;
            uint32_t seed = 0;
            for (int pass = 0; pass < 2; ++pass)
                for (int y = 0; y < 5; ++y)
                    for (int x = 0; x < w; ++x) {
                        seed = seed * 134775813u + 1u;
                        const int c =
                            static_cast<int>((uint64_t{seed} * static_cast<uint32_t>(amount)) >> 32) - amount / 2;
                        for (int i = 0; i < 3; ++i) {
                            uint8_t& v = slow.Row(y)[x * 3 + i];
                            v = static_cast<uint8_t>(std::clamp(v + c, 0, 255));
                        }
                    }
            ASSERT_EQ(fast, slow) << w << " " << amount;
        }
}

TEST(Effects, QuarterTurnsMatchPixelByPixelMoves) {
    // Sizes around the block edges, with and without row padding.
    for (int w : {1, 2, 4, 63, 64, 65, 130})
        for (int h : {1, 3, 64, 65, 129}) {
            const TvlEffectBmp a = Effect(Random(w, h, static_cast<uint32_t>(w * 100 + h)));
            TvlFBitmap left, right;
            a.RotateLeft(left);
            a.RotateRight(right);
            ASSERT_EQ(left.Width(), h);
            ASSERT_EQ(right.Height(), w);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    ASSERT_EQ(left.Pixel(y, w - 1 - x), a.Pixel(x, y)) << w << "x" << h;
                    ASSERT_EQ(right.Pixel(h - 1 - y, x), a.Pixel(x, y)) << w << "x" << h;
                }
        }
}

// The blends straight from their description, one channel at a time in
// double: weight w for A and 1 − w for B.
void SlowBlendColumn(TvlFBitmap& a, const TvlFBitmap& b, int x, double w) {
    for (int y = 0; y < a.Height(); ++y)
        for (int c = 0; c < 3; ++c) {
            uint8_t& v = a.Row(y)[x * 3 + c];
            v = static_cast<uint8_t>(std::clamp(std::nearbyint(w * v + (1 - w) * b.Row(y)[x * 3 + c]), 0.0, 255.0));
        }
}

void SlowRamp(TvlFBitmap& a, const TvlFBitmap& b, int from, int to, double step) {
    double w = 0;
    for (int x = from;; x += to >= from ? 1 : -1) {
        SlowBlendColumn(a, b, x, w);
        if (x == to) break;
        w = std::min(w + step, 1.0);
    }
}

TEST(Effects, BlendsMatchChannelByChannelArithmetic) {
    std::mt19937 rng(2024);
    std::vector<double> ks = {0, 1, 0.5, 0.25, 0.1, 0.2, 0.3, 0.37, 0.7, 0.9, 1.0 / 3, 1e-9, 1 - 1e-9};
    for (int i = 0; i < 12; ++i) ks.push_back(std::uniform_real_distribution<double>(0, 1)(rng));
    for (int w : {1, 5, 11, 22, 37, 90})
        for (double k : ks) {
            const int h = std::min(3, w);  // never higher than wide: the horizontal gradient
            const TvlFBitmap a = Random(w, h, rng()), b = Random(w, h, rng());
            TvlEffectBmp fast = Effect(a);
            fast.Morph(b, k);
            TvlFBitmap slow = a;
            for (int y = 0; y < h; ++y)
                for (int i = 0; i < w * 3; ++i)
                    slow.Row(y)[i] = static_cast<uint8_t>(std::nearbyint((1 - k) * a.Row(y)[i] + k * b.Row(y)[i]));
            ASSERT_EQ(fast, slow) << "cross-fade " << w << " " << k;

            fast = Effect(a);
            fast.GradientMorph(b, k);
            slow = a;
            const int band = static_cast<int>(std::nearbyint(w * k)), m = w / 2;
            const int g = std::max(0, m - band / 2), f = std::min(w - 1, m + band / 2), r = (w - band) / 2;
            for (int x = g; x <= f; ++x) SlowBlendColumn(slow, b, x, 0);
            SlowRamp(slow, b, g, 0, r == 0 ? 1.0 : 1.0 / r);
            SlowRamp(slow, b, f, w - 1, r == 0 ? 1.0 : 1.0 / r);
            ASSERT_EQ(fast, slow) << "gradient " << w << " " << k;

            if (w < 2) continue;
            fast = Effect(a);
            fast.LeftGradientMorph(b, k);
            slow = a;
            const int left = std::clamp(band, 1, w - 1);
            SlowRamp(slow, b, 0, left, 1.0 / left);
            ASSERT_EQ(fast, slow) << "left gradient " << w << " " << k;

            fast = Effect(a);
            fast.RightGradientMorph(b, k);
            slow = a;
            const int right = std::clamp(w - band, 0, w - 1);
            SlowRamp(slow, b, w - 1, right, 1.0 / (w - right));
            ASSERT_EQ(fast, slow) << "right gradient " << w << " " << k;
        }
}

TEST(Effects, AWeightRowBlendsByItsCurrentWeightsWhenReused) {
    // The runs to keep, copy and mix and the weights' vector order are
    // worked out at a row's first blend; weights set after it must count.
    using vlEffectKernels::TWeights;
    constexpr int W = 150;
    std::mt19937 rng(7);
    const TvlFBitmap a = Random(W, 1, rng()), b = Random(W, 1, rng());
    TWeights weights(W);
    auto blendAndCheck = [&](const std::vector<double>& wanted, const char* what) {
        TvlFBitmap out = a;
        weights.Blend(out.Row(0), b.Row(0), W * 3);
        for (int i = 0; i < W * 3; ++i) {
            const double w = wanted[static_cast<size_t>(i / 3)];
            const auto slow = static_cast<uint8_t>(std::nearbyint(w * a.Row(0)[i] + (1 - w) * b.Row(0)[i]));
            ASSERT_EQ(out.Row(0)[i], slow) << what << " channel " << i;
        }
    };
    std::vector<double> wanted(W, 1.0);
    blendAndCheck(wanted, "all kept");
    for (int x = 0; x < W; ++x) weights.Set(x, wanted[x] = x % 50 == 7 ? 0.0 : std::fmod(x * 0.377, 1.0));
    blendAndCheck(wanted, "mixed");
    for (int x = 20; x < 120; ++x) weights.Set(x, wanted[x] = 1 - x / 151.0);
    blendAndCheck(wanted, "mixed again");
}

TEST(Effects, WeightRowsOfEveryLengthMatchDoubleArithmeticToTheirLastChannel) {
    // Two mixed runs split by one kept pixel, each of every length modulo a
    // 64-channel group: whole groups, the shorter last group and the one
    // after it each read their own weights. Weights of exact halves (0.5,
    // 0.25) and near them put many channels in doubt.
    using vlEffectKernels::TWeights;
    std::mt19937 rng(31);
    for (int run = 22; run < 22 + 64; ++run) {
        const int W = 2 * run + 1;
        TWeights weights(W);
        std::vector<double> wanted(static_cast<size_t>(W), 1.0);
        for (int x = 0; x < W; ++x) {
            if (x == run) continue;  // kept: the runs' border
            const double w = x % 5 == 0 ? 0.5 : x % 5 == 1 ? 0.25 : x % 5 == 2 ? 0.1 : std::fmod(x * 0.377 + 0.01, 0.98);
            weights.Set(x, wanted[static_cast<size_t>(x)] = w);
        }
        for (int row = 0; row < 24; ++row) {
            const TvlFBitmap a = Random(W, 1, rng()), b = Random(W, 1, rng());
            TvlFBitmap out = a;
            weights.Blend(out.Row(0), b.Row(0), static_cast<size_t>(W) * 3);
            for (int i = 0; i < W * 3; ++i) {
                const double w = wanted[static_cast<size_t>(i / 3)];
                const auto slow = static_cast<uint8_t>(std::nearbyint(w * a.Row(0)[i] + (1 - w) * b.Row(0)[i]));
                ASSERT_EQ(out.Row(0)[i], slow) << "run " << run << " channel " << i;
            }
        }
    }
}

TEST(Effects, CrossFadesOfEveryChannelPairMatchDoubleArithmetic) {
    // Every pair of channel values, for weights with and without exact
    // binary fractions and with many exact halves (0.1, 0.3).
    ExpectCrossFadesOfEveryChannelPair(86, {0.1, 0.3, 0.37, 0.75, 0.6180339887, 1.0 / 7, 3.0 / 64});
}

TEST(Effects, VerticalGradientMatchesRowByRowArithmetic) {
    std::mt19937 rng(77);
    for (auto [w, h] : {std::pair{1, 2}, {3, 40}, {20, 41}, {12, 100}})
        for (double k : {0.0, 0.1, 0.37, 0.5, 0.93, 1.0}) {
            const TvlFBitmap a = Random(w, h, rng()), b = Random(w, h, rng());
            TvlEffectBmp fast = Effect(a);
            fast.GradientMorph(b, k);
            TvlFBitmap slow = a;
            auto blendRow = [&](int y, double weight) {
                for (int i = 0; i < w * 3; ++i) {
                    uint8_t& v = slow.Row(y)[i];
                    v = static_cast<uint8_t>(
                        std::clamp(std::nearbyint(weight * v + (1 - weight) * b.Row(y)[i]), 0.0, 255.0));
                }
            };
            const int band = static_cast<int>(std::nearbyint(h * k)), m = h / 2;
            const int g = std::max(0, m - band / 2), f = std::min(h - 1, m + band / 2), r = (h - 1 - band) / 2;
            const double step = r == 0 ? 0.0 : 1.0 / r;
            for (int y = g; y <= f; ++y) blendRow(y, 0);
            double weight = 0;
            for (int y = g; y >= 0; --y, weight = std::min(weight + step, 1.0)) blendRow(y, weight);
            weight = 0;
            for (int y = f; y < h; ++y, weight = std::min(weight + step, 1.0)) blendRow(y, weight);
            ASSERT_EQ(fast, slow) << w << "x" << h << " " << k;
        }
}

TEST(Effects, GrayScaleOfEveryColourMatchesItsRoundedSum) {
    // All 2^24 colours, a band of rows at a time.
    TvlEffectBmp band(4096, 16);
    for (uint32_t first = 0; first < (1u << 24); first += 4096 * 16) {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 4096; ++x) band.SetPixel(x, y, first + static_cast<uint32_t>(y * 4096 + x));
        band.GrayScale();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 4096; ++x) {
                const uint32_t c = first + static_cast<uint32_t>(y * 4096 + x);
                const int sum = 30 * static_cast<int>(c & 255) + 59 * static_cast<int>((c >> 8) & 255) +
                                11 * static_cast<int>(c >> 16);
                int level = sum / 100;
                if (sum % 100 > 50 || (sum % 100 == 50 && level % 2 == 1)) ++level;
                ASSERT_EQ(band.Pixel(x, y), static_cast<uint32_t>(level * 0x010101)) << std::hex << c;
            }
    }
}
