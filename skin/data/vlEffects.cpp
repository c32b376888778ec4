#include "skin/data/vlEffects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <immintrin.h>
#endif

namespace {

// Adding and taking away 1.5 × 2^52 leaves a double rounded to an integer by
// the processor's default rounding, which is to nearest with halves to even:
// two additions instead of a library call.
constexpr double RoundMagic = 6755399441055744.0;

inline double RoundEven(double v) { return (v + RoundMagic) - RoundMagic; }

inline uint8_t RoundToByte(double v) {
    double r = RoundEven(v);
    r = r < 0 ? 0 : r > 255 ? 255 : r;
    return static_cast<uint8_t>(static_cast<int>(r));
}

// The blends run in fixed point: with wb held to 23 fraction bits as Wb,
// F = 2^23 × a + Wb × (b − a) is 2^23 × (wa × a + wb × b) within 127.5 (the
// weight's error times |b − a| ≤ 255; the double arithmetic adds far less).
// So F rounds to the same integer unless its fraction lies within 128 of a
// half: those few channels are worked out again in double. When wb is
// exactly Wb / 2^23 and wa = 1 − wb, the double arithmetic is exact and F,
// rounded with halves to even, is the result for every channel.
constexpr int FixBits = 23;
constexpr int32_t FixHalf = 1 << (FixBits - 1);
constexpr int32_t NearHalf = 128;

// Wb split into its low 9 bits and the rest, as two 16-bit halves of one
// word, the form the multiply-adds take.
int32_t FixedWeight(double wb) {
    const auto w = static_cast<int32_t>(std::nearbyint(std::clamp(wb, 0.0, 1.0) * (1 << FixBits)));
    return (w & 511) | ((w >> 9) << 16);
}

bool ExactWeights(double wa, double wb) {
    const double scaled = wb * (1 << FixBits);
    return wb >= 0 && wb <= 1 && scaled == std::nearbyint(scaled) && wa == 1 - wb;
}

// The weights of one blend: one pair for every channel, or a pair per
// channel (A, B and Fixed, indexed from the row's start).
struct TBlendWeights {
    double Wa = 1, Wb = 0;
    int32_t Uniform = 0;
    bool Exact = false;
    const double* A = nullptr;
    const double* B = nullptr;
    const int32_t* Fixed = nullptr;

    TBlendWeights(double wa, double wb) : Wa(wa), Wb(wb), Uniform(FixedWeight(wb)), Exact(ExactWeights(wa, wb)) {}
    TBlendWeights(const double* a, const double* b, const int32_t* fixed) : A(a), B(b), Fixed(fixed) {}
    // The blend of one channel in double, the arithmetic the fixed point
    // stands for.
    uint8_t Blend(size_t i, uint8_t a, uint8_t b) const {
        return Fixed ? RoundToByte(A[i] * a + B[i] * b) : RoundToByte(Wa * a + Wb * b);
    }
};

// Works out again in double the channels of a group (from channel i) whose
// bits are set.
inline void Redo(uint8_t* a, const uint8_t* b, size_t i, uint32_t mask, const TBlendWeights& w) {
    for (; mask != 0; mask &= mask - 1) {
        const size_t j = i + static_cast<size_t>(__builtin_ctz(mask));
        a[j] = w.Blend(j, a[j], b[j]);
    }
}

#ifdef __SSE2__
// The fixed-point blend of a group of channels, for 128- and 256-bit
// vectors alike. Channels in doubt keep a's old value and their bits are
// returned (none when Exact).
#define PLANDESK_BLEND_GROUP(V, P, Bytes, Load, Store, Set1, BlendDoubt, LoadW)                                  \
    const V z = P##setzero_si##Bytes();                                                                          \
    const V va = Load(a), vb = Load(b);                                                                          \
    const V aLo = P##unpacklo_epi8(va, z), aHi = P##unpackhi_epi8(va, z);                                        \
    const V dLo = P##sub_epi16(P##unpacklo_epi8(vb, z), aLo);                                                    \
    const V dHi = P##sub_epi16(P##unpackhi_epi8(vb, z), aHi);                                                    \
    const V ad[4] = {P##unpacklo_epi16(aLo, dLo), P##unpackhi_epi16(aLo, dLo), P##unpacklo_epi16(aHi, dHi),      \
                     P##unpackhi_epi16(aHi, dHi)};                                                               \
    const V highHalves = Set1(static_cast<int>(0xFFFF0000u)), aWeight = Set1(1 << (FixBits - 9));                \
    V n[4], doubt[4];                                                                                            \
    for (int q = 0; q < 4; ++q) {                                                                                \
        const V w = fixed ? LoadW(fixed, q) : Set1(uniform);                                                     \
        /* (2^14 × a + Wh × d) × 2^9 + Wl × d */                                                             \
        const V high = P##madd_epi16(ad[q], P##or_si##Bytes(P##and_si##Bytes(w, highHalves), aWeight));          \
        const V low = P##madd_epi16(ad[q], P##slli_epi32(w, 16));                                                \
        const V f = P##add_epi32(P##slli_epi32(high, 9), low);                                                   \
        if (Exact) {                                                                                             \
            const V odd = P##and_si##Bytes(P##srli_epi32(f, FixBits), Set1(1));                                  \
            n[q] = P##srai_epi32(P##add_epi32(f, P##add_epi32(Set1(FixHalf - 1), odd)), FixBits);                \
        } else {                                                                                                 \
            n[q] = P##srai_epi32(P##add_epi32(f, Set1(FixHalf)), FixBits);                                       \
            const V off = P##and_si##Bytes(P##add_epi32(f, Set1(NearHalf - FixHalf)), Set1((1 << FixBits) - 1)); \
            doubt[q] = P##cmpgt_epi32(Set1(2 * NearHalf + 1), off);                                              \
        }                                                                                                        \
    }                                                                                                            \
    const V result = P##packus_epi16(P##packs_epi32(n[0], n[1]), P##packs_epi32(n[2], n[3]));                    \
    if (Exact) {                                                                                                 \
        Store(a, result);                                                                                        \
        return 0;                                                                                                \
    }                                                                                                            \
    const V doubtBytes = P##packs_epi16(P##packs_epi32(doubt[0], doubt[1]), P##packs_epi32(doubt[2], doubt[3])); \
    Store(a, BlendDoubt(result, va, doubtBytes));                                                                \
    return static_cast<uint32_t>(P##movemask_epi8(doubtBytes));

inline __m128i Load16(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
inline void Store16(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
inline __m128i Select16(__m128i no, __m128i yes, __m128i mask) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// The weights of channel group q (channels 4q … 4q + 3 of each 16).
inline __m128i Weights16(const int32_t* fixed, int q) { return Load16(fixed + 4 * q); }

template <bool Exact>
inline uint32_t BlendGroup16(uint8_t* a, const uint8_t* b, const int32_t* fixed, int32_t uniform) {
    PLANDESK_BLEND_GROUP(__m128i, _mm_, 128, Load16, Store16, _mm_set1_epi32, Select16, Weights16)
}

#if defined(__GNUC__) || defined(__clang__)
#define PLANDESK_AVX2 1
__attribute__((target("avx2"))) inline __m256i Load32(const void* p) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}
__attribute__((target("avx2"))) inline void Store32(void* p, __m256i v) {
    _mm256_storeu_si256(static_cast<__m256i*>(p), v);
}
__attribute__((target("avx2"))) inline __m256i Set32(int v) { return _mm256_set1_epi32(v); }
__attribute__((target("avx2"))) inline __m256i Weights32(const int32_t* fixed, int q) {
    return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(fixed + 16 + 4 * q),
                               reinterpret_cast<const __m128i*>(fixed + 4 * q));
}

template <bool Exact>
__attribute__((target("avx2"))) inline uint32_t BlendGroup32(uint8_t* a, const uint8_t* b, const int32_t* fixed,
                                                             int32_t uniform) {
    PLANDESK_BLEND_GROUP(__m256i, _mm256_, 256, Load32, Store32, Set32, _mm256_blendv_epi8, Weights32)
}

// Whole groups of 32 channels; returns how many channels it did. The
// groups with channels in doubt are listed first and redone after each
// batch, which keeps the vector loop free of branches.
template <bool Exact, bool Uniform>
__attribute__((target("avx2"))) size_t BlendRowAvx2(uint8_t* a, const uint8_t* b, size_t n, const TBlendWeights& w) {
    constexpr size_t Batch = 64;
    size_t i = 0;
    while (i + 32 <= n) {
        uint32_t masks[Batch];
        size_t starts[Batch], doubtful = 0;
        for (size_t g = 0; g < Batch && i + 32 <= n; ++g, i += 32) {
            masks[doubtful] = BlendGroup32<Exact>(a + i, b + i, Uniform ? nullptr : w.Fixed + i, w.Uniform);
            starts[doubtful] = i;
            doubtful += masks[doubtful] != 0;
        }
        for (size_t g = 0; g < doubtful; ++g) Redo(a, b, starts[g], masks[g], w);
    }
    return i;
}

bool HasAvx2() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}
#endif
#undef PLANDESK_BLEND_GROUP

template <bool Exact>
size_t BlendRowSse2(uint8_t* a, const uint8_t* b, size_t n, const TBlendWeights& w) {
    size_t i = 0;
#ifdef PLANDESK_AVX2
    if (HasAvx2()) i = w.Fixed ? BlendRowAvx2<Exact, false>(a, b, n, w) : BlendRowAvx2<Exact, true>(a, b, n, w);
#endif
    for (; i + 16 <= n; i += 16) {
        const uint32_t doubt = BlendGroup16<Exact>(a + i, b + i, w.Fixed ? w.Fixed + i : nullptr, w.Uniform);
        if (doubt != 0) Redo(a, b, i, doubt, w);
    }
    return i;
}
#endif

// A := round(wa × A + wb × B) over n channels.
void BlendRow(uint8_t* __restrict a, const uint8_t* __restrict b, size_t n, const TBlendWeights& w) {
    size_t i = 0;
#ifdef __SSE2__
    i = w.Exact && !w.Fixed ? BlendRowSse2<true>(a, b, n, w) : BlendRowSse2<false>(a, b, n, w);
#endif
    for (; i < n; ++i) a[i] = w.Blend(i, a[i], b[i]);
}

void BlendBytes(uint8_t* a, const uint8_t* b, size_t n, double wa, double wb) {
    // Weight 0 takes B, weight 1 keeps A: what the arithmetic gives.
    if (wa == 0 && wb == 1)
        std::memcpy(a, b, n);
    else if (!(wa == 1 && wb == 0))
        BlendRow(a, b, n, TBlendWeights(wa, wb));
}

// Each byte through a 256-entry table.
void MapBytes(uint8_t* p, size_t n, const std::array<uint8_t, 256>& table) {
    for (size_t i = 0; i < n; ++i) p[i] = table[p[i]];
}

double Clamp01(double v) { return v >= 0 ? (v <= 1 ? v : 1) : 0; }  // NaN → 0

size_t Bytes(int pixels) { return static_cast<size_t>(pixels) * 3; }

// Per-pixel weights of a blend, spread to the three bytes of each pixel as
// the pair (w, 1 − w).
class TWeights {
public:
    std::vector<double> A, B;
    std::vector<int32_t> Fixed;
    explicit TWeights(int pixels) : A(Bytes(pixels), 1.0), B(Bytes(pixels), 0.0), Fixed(Bytes(pixels), 0) {}
    void Set(int x, double w) {
        const double wb = 1 - w;
        const int32_t fixed = FixedWeight(wb);
        for (size_t i = Bytes(x); i < Bytes(x) + 3; ++i) {
            A[i] = w;
            B[i] = wb;
            Fixed[i] = fixed;
        }
    }
    // Blends a row of n channels. Channels of weight 0 take B and those of
    // weight 1 keep A (what the arithmetic gives them), so only the rest
    // are worked out.
    void Blend(uint8_t* a, const uint8_t* b, size_t n) {
        if (FRunsOf != n) FindRuns(n);
        for (const TRun& run : FRuns) {
            if (run.Kind == TRun::Mix)
                BlendRow(a + run.Start, b + run.Start, run.Length,
                         TBlendWeights(A.data() + run.Start, B.data() + run.Start, Fixed.data() + run.Start));
            else if (run.Kind == TRun::Copy)
                std::memcpy(a + run.Start, b + run.Start, run.Length);
        }
    }

private:
    struct TRun {
        enum { Keep, Copy, Mix } Kind;
        size_t Start, Length;
    };
    std::vector<TRun> FRuns;
    size_t FRunsOf = SIZE_MAX;

    void FindRuns(size_t n) {
        FRuns.clear();
        FRunsOf = n;
        for (size_t i = 0; i < n; ++i) {
            const auto kind = A[i] == 1 && B[i] == 0 ? TRun::Keep : A[i] == 0 && B[i] == 1 ? TRun::Copy : TRun::Mix;
            if (FRuns.empty() || FRuns.back().Kind != kind) FRuns.push_back({kind, i, 0});
            ++FRuns.back().Length;
        }
    }
};

// Walks from `from` to `to` (either direction), the weight starting at 0 and
// growing by `step` per column, never above 1.
void Ramp(TWeights& weights, int from, int to, double step) {
    double w = 0;
    const int dir = to >= from ? 1 : -1;
    for (int x = from;; x += dir) {
        weights.Set(x, w);
        if (x == to) break;
        w = std::min(w + step, 1.0);
    }
}

// Gray level for 30 × red + 59 × green + 11 × blue: the hundredth part
// rounded, halves to even, in exact integer arithmetic.
const std::array<uint8_t, 25501>& GrayTable() {
    static const std::array<uint8_t, 25501> table = [] {
        std::array<uint8_t, 25501> t{};
        for (int s = 0; s <= 25500; ++s) {
            int q = s / 100, rem = s % 100;
            if (rem > 50 || (rem == 50 && (q & 1))) ++q;
            t[static_cast<size_t>(s)] = static_cast<uint8_t>(q);
        }
        return t;
    }();
    return table;
}

// The noise generator: a 32-bit linear congruential sequence, unseeded, one
// per thread.
thread_local uint32_t NoiseSeed = 0;

}  // namespace

int vlRoundHalfEven(double v) {
    if (!(v == v)) return 0;
    v = std::clamp(v, -1073741824.0, 1073741824.0);
    return static_cast<int>(RoundEven(v));
}

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
    for (int y = 0; y < Height(); ++y) weights.Blend(Row(y), b.Row(y), Bytes(a + 1));
}

void TvlEffectBmp::RightGradientMorph(const TvlFBitmap& b, double k) {
    if (!SameSize(b) || Empty()) return;
    const int W = Width();
    const int a = std::clamp(W - vlRoundHalfEven(W * k), 0, W - 1);
    const int n = W - a;
    TWeights weights(n);
    Ramp(weights, n - 1, 0, 1.0 / n);
    for (int y = 0; y < Height(); ++y) weights.Blend(Row(y) + Bytes(a), b.Row(y) + Bytes(a), Bytes(n));
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
        case vlMorphGradient: GradientMorph(b, k); break;
        case vlMorphLeftGradient: LeftGradientMorph(b, k); break;
        case vlMorphRightGradient: RightGradientMorph(b, k); break;
        case vlMorphLeftSlide: LeftSlideMorph(b, k); break;
        case vlMorphRightSlide: RightSlideMorph(b, k); break;
        case vlMorphPush: PushMorph(b, k); break;
        default: Morph(b, k); break;
    }
}

void TvlEffectBmp::ChangeBrightness(double amount) {
    amount = Clamp01(amount);
    std::array<uint8_t, 256> table;
    for (int v = 0; v < 256; ++v) table[static_cast<size_t>(v)] = RoundToByte((1 - amount) * v + amount * 255);
    const int H = Height();
    for (int y = 0; y < H; ++y) MapBytes(Row(y), Bytes(Width()), table);
}

void TvlEffectBmp::ChangeDarkness(double amount) {
    amount = Clamp01(amount);
    std::array<uint8_t, 256> table;
    for (int v = 0; v < 256; ++v) table[static_cast<size_t>(v)] = RoundToByte((1 - amount) * v);
    const int H = Height();
    for (int y = 0; y < H; ++y) MapBytes(Row(y), Bytes(Width()), table);
}

#ifdef PLANDESK_AVX2
namespace {

// Gray levels of four pixels at once, while a sixteen-byte read stays in
// the row; returns the pixels done. The weighted sum is divided by 100 as
// (sum × 5243) >> 19, exact for every sum up to 25500, and rounded as the
// table rounds: up past a half, and at a half to the even neighbour.
__attribute__((target("avx2"))) int GrayRowAvx2(uint8_t* p, int W) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i weights = _mm_setr_epi8(11, 59, 30, 0, 11, 59, 30, 0, 11, 59, 30, 0, 11, 59, 30, 0);
    const __m128i gather = _mm_setr_epi8(0, 0, 0, 4, 4, 4, 8, 8, 8, 12, 12, 12, -1, -1, -1, -1);
    const __m128i ones = _mm_set1_epi16(1), one = _mm_set1_epi32(1);
    const __m128i hundred = _mm_set1_epi32(100), fifty = _mm_set1_epi32(50);
    int x = 0;
    for (; x + 6 <= W; x += 4, p += 12) {
        const __m128i v = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), spread);
        const __m128i sum = _mm_madd_epi16(_mm_maddubs_epi16(v, weights), ones);
        __m128i q = _mm_srli_epi32(_mm_mullo_epi32(sum, _mm_set1_epi32(5243)), 19);
        const __m128i rem = _mm_sub_epi32(sum, _mm_mullo_epi32(q, hundred));
        const __m128i halfOdd = _mm_and_si128(_mm_cmpeq_epi32(rem, fifty), _mm_and_si128(q, one));
        const __m128i up = _mm_or_si128(_mm_and_si128(_mm_cmpgt_epi32(rem, fifty), one), halfOdd);
        q = _mm_shuffle_epi8(_mm_add_epi32(q, up), gather);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), q);
        const int tail = _mm_cvtsi128_si32(_mm_srli_si128(q, 8));
        std::memcpy(p + 8, &tail, 4);
    }
    return x;
}

}  // namespace
#endif

void TvlEffectBmp::GrayScale() {
    const auto& gray = GrayTable();
    const int W = Width(), H = Height();
    for (int y = 0; y < H; ++y) {
        uint8_t* p = Row(y);
        int x = 0;
#ifdef PLANDESK_AVX2
        if (HasAvx2()) {
            x = GrayRowAvx2(p, W);
            p += Bytes(x);
        }
#endif
        for (; x < W; ++x, p += 3) {
            const uint8_t v = gray[static_cast<size_t>(30 * p[2] + 59 * p[1] + 11 * p[0])];
            p[0] = p[1] = p[2] = v;
        }
    }
}

void TvlEffectBmp::Invert() {
    const size_t n = Bytes(Width());
    const int H = Height();
    for (int y = 0; y < H; ++y) {
        uint8_t* p = Row(y);
        size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            uint64_t v;
            std::memcpy(&v, p + i, 8);
            v = ~v;
            std::memcpy(p + i, &v, 8);
        }
        for (; i < n; ++i) p[i] = static_cast<uint8_t>(~p[i]);
    }
}

void TvlEffectBmp::SplitBlur(int d) {
    if (d <= 0) return;
    const int W = Width(), H = Height();
    const size_t off = Bytes(std::min(d, W));
    for (int y = 0; y < H; ++y) {
        const int up = y - d < 0 ? y : y - d;
        const int lo = d >= H - y ? y : y + d;
        uint8_t* o = Row(y);
        if (up == y || lo == y) {
            // The row reads itself: left samples are already blurred, right
            // ones not yet, so go pixel by pixel in order.
            const uint8_t* u = Row(up);
            const uint8_t* l = Row(lo);
            for (int x = 0; x < W; ++x) {
                const size_t lx = Bytes(x - d < 0 ? x : x - d), rx = Bytes(d >= W - x ? x : x + d);
                for (size_t c = 0; c < 3; ++c)
                    o[Bytes(x) + c] = static_cast<uint8_t>((u[lx + c] + l[lx + c] + u[rx + c] + l[rx + c]) >> 2);
            }
            continue;
        }
        const uint8_t* __restrict u = Row(up);
        const uint8_t* __restrict l = Row(lo);
        uint8_t* __restrict out = o;
        const size_t n = Bytes(W);
        auto edge = [&](size_t i) {
            const size_t li = i < off ? i : i - off, ri = i + off < n ? i + off : i;
            out[i] = static_cast<uint8_t>((u[li] + l[li] + u[ri] + l[ri]) >> 2);
        };
        // Columns near the sides sample themselves; the rest run as one loop.
        const size_t headEnd = std::min(off, n), tailStart = std::max(off, n - std::min(off, n));
        for (size_t i = 0; i < headEnd; ++i) edge(i);
        size_t i = off;
#ifdef __SSE2__
        const __m128i z = _mm_setzero_si128();
        auto load = [](const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
        for (; i + off + 16 <= n; i += 16) {
            const __m128i s0 = load(u + i - off), s1 = load(l + i - off), s2 = load(u + i + off),
                          s3 = load(l + i + off);
            const __m128i lo = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(s0, z), _mm_unpacklo_epi8(s1, z)),
                                             _mm_add_epi16(_mm_unpacklo_epi8(s2, z), _mm_unpacklo_epi8(s3, z)));
            const __m128i hi = _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(s0, z), _mm_unpackhi_epi8(s1, z)),
                                             _mm_add_epi16(_mm_unpackhi_epi8(s2, z), _mm_unpackhi_epi8(s3, z)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                             _mm_packus_epi16(_mm_srli_epi16(lo, 2), _mm_srli_epi16(hi, 2)));
        }
#endif
        for (; i + off < n; ++i)
            out[i] = static_cast<uint8_t>((u[i - off] + l[i - off] + u[i + off] + l[i + off]) >> 2);
        for (size_t i = tailStart; i < n; ++i) edge(i);
    }
}

namespace {

constexpr uint32_t NoiseMul = 134775813u;

inline uint32_t NextNoiseSeed(uint32_t seed) { return seed * NoiseMul + 1u; }

// c = r − amount div 2 held within −255 … 255 (a channel ends at the same
// clamped value).
inline int NoiseShift(uint32_t seed, int amount) {
    const int r = static_cast<int>((static_cast<uint64_t>(seed) * static_cast<uint32_t>(amount)) >> 32);
    return std::clamp(r - amount / 2, -255, 255);
}

inline void AddShift(uint8_t* p, int c) {
    for (int i = 0; i < 3; ++i) p[i] = static_cast<uint8_t>(std::clamp(p[i] + c, 0, 255));
}

#ifdef __SSE2__
// Sixteen steps of the sequence at once: seed(i + 16) = Mul16 × seed(i) +
// Add16, so sixteen interleaved chains give the same values as one.
struct TNoiseJump {
    uint32_t Mul = 1, Add = 0;
    constexpr TNoiseJump() {
        for (int i = 0; i < 16; ++i) {
            Mul *= NoiseMul;
            Add = Add * NoiseMul + 1u;
        }
    }
};
constexpr TNoiseJump NoiseJump;

// The low and the high 32 bits of four unsigned 32 × 32-bit products.
inline __m128i MulLow(__m128i a, __m128i b) {
    const __m128i even = _mm_mul_epu32(a, b), odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
    return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, 0x08), _mm_shuffle_epi32(odd, 0x08));
}
inline __m128i MulHigh(__m128i a, __m128i b) {
    const __m128i even = _mm_mul_epu32(a, b), odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
    return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, 0x0D), _mm_shuffle_epi32(odd, 0x0D));
}

// Eight pixel shifts c0 … c7 spread over their 24 channels.
inline void SpreadShifts(__m128i c, __m128i out[3]) {
    out[0] = _mm_shufflelo_epi16(_mm_shufflehi_epi16(_mm_unpacklo_epi64(c, c), 0xA5), 0x40);
    out[1] = _mm_shufflehi_epi16(_mm_shufflelo_epi16(c, 0xFE), 0x40);
    const __m128i h = _mm_unpackhi_epi64(c, c);
    out[2] = _mm_shufflehi_epi16(_mm_shufflelo_epi16(h, 0xA5), 0xFE);
}

// Adds eight channel shifts to eight channels, clamped to 0 … 255.
inline __m128i AddClamped(__m128i bytes16, __m128i lo, __m128i hi) {
    const __m128i z = _mm_setzero_si128();
    return _mm_packus_epi16(_mm_add_epi16(_mm_unpacklo_epi8(bytes16, z), lo),
                            _mm_add_epi16(_mm_unpackhi_epi8(bytes16, z), hi));
}
#endif

// One row of noise, sixteen pixels a step; `seed` is the last seed used.
void NoiseRow(uint8_t* p, int W, uint32_t& seed, int amount) {
    int x = 0;
#ifdef __SSE2__
    if (W >= 16) {
        __m128i lanes[4];
        uint32_t first[16];
        uint32_t s = seed;
        for (uint32_t& f : first) f = s = NextNoiseSeed(s);
        for (int k = 0; k < 4; ++k) lanes[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + 4 * k));
        const __m128i mul = _mm_set1_epi32(static_cast<int>(NoiseJump.Mul));
        const __m128i add = _mm_set1_epi32(static_cast<int>(NoiseJump.Add));
        const __m128i n = _mm_set1_epi32(amount), half = _mm_set1_epi32(amount / 2);
        const __m128i lo = _mm_set1_epi16(-255), hi = _mm_set1_epi16(255);
        __m128i last = lanes[3];
        for (; x + 16 <= W; x += 16, p += 48) {
            __m128i c[2];
            for (int k = 0; k < 2; ++k) {
                const __m128i r0 = _mm_sub_epi32(MulHigh(lanes[2 * k], n), half);
                const __m128i r1 = _mm_sub_epi32(MulHigh(lanes[2 * k + 1], n), half);
                c[k] = _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(r0, r1), lo), hi);
            }
            last = lanes[3];
            for (__m128i& lane : lanes) lane = _mm_add_epi32(MulLow(lane, mul), add);
            __m128i spread[6];
            SpreadShifts(c[0], spread);
            SpreadShifts(c[1], spread + 3);
            for (int k = 0; k < 3; ++k) {
                __m128i* q = reinterpret_cast<__m128i*>(p + 16 * k);
                _mm_storeu_si128(q, AddClamped(_mm_loadu_si128(q), spread[2 * k], spread[2 * k + 1]));
            }
        }
        seed = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(last, 0xFF)));
    }
#endif
    for (; x < W; ++x, p += 3) {
        seed = NextNoiseSeed(seed);
        AddShift(p, NoiseShift(seed, amount));
    }
}

}  // namespace

void TvlEffectBmp::AddNoise(int amount) {
    if (amount < 1) return;
    // Kept in a local: the pixel stores could otherwise alias it.
    uint32_t seed = NoiseSeed;
    for (int y = 0; y < Height(); ++y) NoiseRow(Row(y), Width(), seed, amount);
    NoiseSeed = seed;
}

void TvlEffectBmp::ApplyInactiveEffect(int effect) {
    switch (effect) {
        case vlInactiveBrightness: ChangeBrightness(0.5); break;
        case vlInactiveDarkness: ChangeDarkness(0.3); break;
        case vlInactiveNoise: AddNoise(50); break;
        case vlInactiveSplitBlur: SplitBlur(1); break;
        case vlInactiveInvert: Invert(); break;
        default: GrayScale(); break;
    }
}

namespace {

// Quarter turns go through small square blocks, so that both the rows read
// and the rows written stay in the cache.
constexpr int Block = 64;

inline void Copy3(uint8_t* d, const uint8_t* s) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
}

// A pixel moved as four bytes: the fourth is the next pixel's first, which
// that pixel's own store writes afterwards.
inline void Copy4(uint8_t* d, const uint8_t* s) {
    uint32_t v;
    std::memcpy(&v, s, 4);
    std::memcpy(d, &v, 4);
}

// Moves every pixel (x, y) of src to column y, row row(x) of dest when
// `flip` is false, to column H − 1 − y when it is true. Blocks of source rows
// go in the order their destination columns grow, and each destination row
// is written left to right, so every four-byte store is overwritten in its
// fourth byte later; the last column of a destination row and the last
// source pixel of a row are moved as three bytes, so that nothing outside the
// pixels is read or written.
template <bool Flip, class Row>
void Transpose(const TvlFBitmap& src, TvlFBitmap& dest, Row row) {
    const int W = src.Width(), H = src.Height();
    const uint8_t* const bits = src.Bits();
    const ptrdiff_t stride = src.Stride();
    uint8_t* const out = dest.Bits();
    const ptrdiff_t outStride = dest.Stride();
    const int blocks = (H + Block - 1) / Block;
    for (int b = 0; b < blocks; ++b) {
        const int y0 = (Flip ? blocks - 1 - b : b) * Block;
        const int y1 = std::min(y0 + Block, H);
        // The block holding the destination row's last column.
        const bool rowEnd = Flip ? y0 == 0 : y1 == H;
        for (int x0 = 0; x0 < W; x0 += Block) {
            const int x1 = std::min(x0 + Block, W);
            for (int x = x0; x < x1; ++x) {
                uint8_t* const d = out + row(x) * outStride;
                const uint8_t* const s = bits + Bytes(x);
                const bool wide = x + 1 < W;  // a fourth byte to read
                if (Flip) {
                    uint8_t* o = d + Bytes(H - y1);
                    int y = y1 - 1;
                    if (wide)
                        for (; y > y0 || (y == y0 && !rowEnd); --y, o += 3) Copy4(o, s + y * stride);
                    for (; y >= y0; --y, o += 3) Copy3(o, s + y * stride);
                } else {
                    uint8_t* o = d + Bytes(y0);
                    int y = y0;
                    const int last = rowEnd ? y1 - 1 : y1;
                    if (wide)
                        for (; y < last; ++y, o += 3) Copy4(o, s + y * stride);
                    for (; y < y1; ++y, o += 3) Copy3(o, s + y * stride);
                }
            }
        }
    }
}

}  // namespace

void TvlEffectBmp::RotateLeft(TvlFBitmap& dest) const {
    if (&dest == this) return;
    const int W = Width(), H = Height();
    dest.SetSizeForOverwrite(H, W);
    Transpose<false>(*this, dest, [W](int x) { return W - 1 - x; });
}

void TvlEffectBmp::RotateRight(TvlFBitmap& dest) const {
    if (&dest == this) return;
    const int W = Width(), H = Height();
    dest.SetSizeForOverwrite(H, W);
    Transpose<true>(*this, dest, [](int x) { return x; });
}

void TvlEffectBmp::FlipVertical(TvlFBitmap& dest) const {
    if (&dest == this) return;
    const int W = Width(), H = Height();
    dest.SetSizeForOverwrite(W, H);
    for (int y = 0; y < H; ++y) std::memcpy(dest.Row(H - 1 - y), Row(y), Bytes(W));
}
