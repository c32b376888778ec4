#include <algorithm>
#include <cstring>

#include "skin/data/vlEffectKernels.h"
#include "skin/data/vlEffects.h"

using namespace vlEffectKernels;

namespace {

// Asks for the part of the next row a blend will read and write. A morph
// that works on only part of each row breaks the stream into short runs the
// processor's own prefetcher starts too late on, so each run would begin by
// waiting for memory.
inline void PrefetchNext(const uint8_t* a, const uint8_t* b, size_t n) {
    for (size_t i = 0; i < n; i += 64) {
        __builtin_prefetch(a + i, 1);
        __builtin_prefetch(b + i, 0);
    }
}

}  // namespace

void TvlEffectBmp::Morph(const TvlFBitmap& b, double k) {
    if (!SameSize(b) || Empty()) return;
    k = Clamp01(k);
    const double wa = 1 - k;
    const size_t n = Bytes(Width());
    const int H = Height();
    for (int y = 0; y < H; ++y) BlendBytes(Row(y), b.Row(y), n, wa, k);
}

void TvlEffectBmp::GradientMorph(const TvlFBitmap& b, double k) {
    if (!SameSize(b) || Empty()) return;
    // Outside 0 … 1 the band's edges would leave the bitmap.
    k = Clamp01(k);
    const int W = Width(), H = Height();
    if (W < H) {
        const int a = vlRoundHalfEven(H * k), c = a / 2, m = H / 2;
        const int g = std::max(0, m - c), f = std::min(H - 1, m + c);
        const int r = (H - 1 - a) / 2;
        const double s = r == 0 ? 0.0 : 1.0 / r;
        for (int y = g; y <= f; ++y) std::memcpy(Row(y), b.Row(y), Bytes(W));
        // Above the band upwards, below it downwards.
        for (int pass = 0; pass < 2; ++pass) {
            double w = 0;
            const int dir = pass == 0 ? -1 : 1;
            for (int y = pass == 0 ? g : f; y >= 0 && y < H; y += dir) {
                BlendBytes(Row(y), b.Row(y), Bytes(W), w, 1 - w);
                w = std::min(w + s, 1.0);
            }
        }
        return;
    }
    const int a = vlRoundHalfEven(W * k), c = a / 2, m = W / 2;
    const int g = std::max(0, m - c), f = std::min(W - 1, m + c);
    const int r = (W - a) / 2;
    const double s = r == 0 ? 1.0 : 1.0 / r;
    TWeights weights(W);
    for (int x = g; x <= f; ++x) weights.Set(x, 0);
    Ramp(weights, g, 0, s);
    Ramp(weights, f, W - 1, s);
    for (int y = 0; y < H; ++y) weights.Blend(Row(y), b.Row(y), Bytes(W));
}

void TvlEffectBmp::LeftGradientMorph(const TvlFBitmap& b, double k) {
    if (!SameSize(b) || Empty()) return;
    const int W = Width();
    int a = vlRoundHalfEven(W * k);
    if (a <= 0) a = 1;
    if (a > W - 1) a = W - 1;
    TWeights weights(a + 1);
    Ramp(weights, 0, a, a == 0 ? 1.0 : 1.0 / a);
    for (int y = 0; y < Height(); ++y) {
        if (y + 1 < Height()) PrefetchNext(Row(y + 1), b.Row(y + 1), Bytes(a + 1));
        weights.Blend(Row(y), b.Row(y), Bytes(a + 1));
    }
}

void TvlEffectBmp::RightGradientMorph(const TvlFBitmap& b, double k) {
    if (!SameSize(b) || Empty()) return;
    const int W = Width();
    const int a = std::clamp(W - vlRoundHalfEven(W * k), 0, W - 1);
    const int n = W - a;
    TWeights weights(n);
    Ramp(weights, n - 1, 0, 1.0 / n);
    for (int y = 0; y < Height(); ++y) {
        if (y + 1 < Height()) PrefetchNext(Row(y + 1) + Bytes(a), b.Row(y + 1) + Bytes(a), Bytes(n));
        weights.Blend(Row(y) + Bytes(a), b.Row(y) + Bytes(a), Bytes(n));
    }
}

void TvlEffectBmp::PushMorph(const TvlFBitmap& b, double k) {
    if (!SameSize(b) || Empty()) return;
    const int W = Width();
    const int a = std::clamp(vlRoundHalfEven(W * k), 0, W - 1);
    for (int y = 0; y < Height(); ++y) {
        uint8_t* row = Row(y);
        // A moves a + 1 columns right (column a would take column 0, but B
        // covers it next), then B's last a + 1 columns enter from the left.
        std::memmove(row + Bytes(a + 1), row, Bytes(W - a - 1));
        std::memcpy(row, b.Row(y) + Bytes(W - a - 1), Bytes(a + 1));
    }
}

namespace {

int SlideWidth(int W, double k) {
    int b = vlRoundHalfEven(W * k);
    if (b <= 0) b = 1;
    if (b > W - 1) b = W - 1;
    return b;
}

}  // namespace

void TvlEffectBmp::LeftSlideMorph(const TvlFBitmap& b, double k) {
    if (!SameSize(b) || Empty()) return;
    const int W = Width(), n = SlideWidth(W, k);
    for (int y = 0; y < Height(); ++y) std::memcpy(Row(y), b.Row(y) + Bytes(W - n), Bytes(n));
}

void TvlEffectBmp::RightSlideMorph(const TvlFBitmap& b, double k) {
    if (!SameSize(b) || Empty()) return;
    const int W = Width(), n = SlideWidth(W, k);
    for (int y = 0; y < Height(); ++y) std::memcpy(Row(y) + Bytes(W - n), b.Row(y), Bytes(n));
}

void TvlEffectBmp::MorphKind(int kind, const TvlFBitmap& b, double k) {
    switch (kind) {
        case mkGradient: GradientMorph(b, k); break;
        case mkLeftGradient: LeftGradientMorph(b, k); break;
        case mkRightGradient: RightGradientMorph(b, k); break;
        case mkLeftSlide: LeftSlideMorph(b, k); break;
        case mkRightSlide: RightSlideMorph(b, k); break;
        case mkPush: PushMorph(b, k); break;
        default: Morph(b, k); break;
    }
}
