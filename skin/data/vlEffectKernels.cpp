#include "skin/data/vlEffectKernels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "skin/data/vlEffects.h"

#ifdef __SSE2__
#if defined(__GNUC__) && !defined(__clang__)
// GCC's 512-bit shifts start from a deliberately undefined vector, which it
// reports as uninitialised once the group loop is unrolled around them.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#endif

namespace vlEffectKernels {
namespace {

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
    // Fixed rearranged per group of 64 channels in the order the 512-bit
    // kernel takes them (see TWeights::Lanes), or none.
    const int32_t* Lanes = nullptr;

    TBlendWeights(double wa, double wb) : Wa(wa), Wb(wb), Uniform(FixedWeight(wb)), Exact(ExactWeights(wa, wb)) {}
    TBlendWeights(const double* a, const double* b, const int32_t* fixed, const int32_t* lanes)
        : A(a), B(b), Fixed(fixed), Lanes(lanes) {}
    // The blend of one channel in double, the arithmetic the fixed point
    // stands for.
    uint8_t Blend(size_t i, uint8_t a, uint8_t b) const {
        return Fixed ? RoundToByte(A[i] * a + B[i] * b) : RoundToByte(Wa * a + Wb * b);
    }
    // The weights of the channels from i on.
    TBlendWeights From(size_t i) const {
        TBlendWeights w = *this;
        if (Fixed) {
            w.A += i;
            w.B += i;
            w.Fixed += i;
            w.Lanes = nullptr;
        }
        return w;
    }
};

// Works out again in double the channels of a group (from channel i) whose
// bits are set. Kept out of line: inlined into a function built for wider
// vectors, the compiler may fuse the multiply and add, which rounds once
// instead of twice and changes the result.
__attribute__((noinline)) void Redo(uint8_t* a, const uint8_t* b, size_t i, uint64_t mask, const TBlendWeights& w) {
    for (; mask != 0; mask &= mask - 1) {
        const size_t j = i + static_cast<size_t>(__builtin_ctzll(mask));
        a[j] = w.Blend(j, a[j], b[j]);
    }
}

#ifdef __SSE2__
// The fixed-point blend of a group of channels, for 128- and 256-bit
// vectors alike. Channels in doubt keep a's old value and their bits are
// returned (none when Exact).
#define PLANDESK_BLEND_GROUP(V, P, Bytes, Load, Store, Set1, BlendDoubt, LoadW, CmpGt, MoveMask)                                \
    const V z = P##setzero_si##Bytes();                                                                          \
    const V va = Load(a), vb = Load(b);                                                                          \
    const V aLo = P##unpacklo_epi8(va, z), aHi = P##unpackhi_epi8(va, z);                                        \
    const V dLo = P##sub_epi16(P##unpacklo_epi8(vb, z), aLo);                                                    \
    const V dHi = P##sub_epi16(P##unpackhi_epi8(vb, z), aHi);                                                    \
    const V ad[4] = {P##unpacklo_epi16(aLo, dLo), P##unpackhi_epi16(aLo, dLo), P##unpacklo_epi16(aHi, dHi),      \
                     P##unpackhi_epi16(aHi, dHi)};                                                               \
    const V highHalves = Set1(static_cast<int>(0xFFFF0000u)), aWeight = Set1(1 << (FixBits - 9));                \
    V n[4], doubt[4];                                                                                            \
    _Pragma("GCC unroll 4") for (int q = 0; q < 4; ++q) {                                                        \
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
            doubt[q] = CmpGt(Set1(2 * NearHalf + 1), off);                                                       \
        }                                                                                                        \
    }                                                                                                            \
    const V result = P##packus_epi16(P##packs_epi32(n[0], n[1]), P##packs_epi32(n[2], n[3]));                    \
    if (Exact) {                                                                                                 \
        Store(a, result);                                                                                        \
        return 0;                                                                                                \
    }                                                                                                            \
    const V doubtBytes = P##packs_epi16(P##packs_epi32(doubt[0], doubt[1]), P##packs_epi32(doubt[2], doubt[3])); \
    Store(a, BlendDoubt(result, va, doubtBytes));                                                                \
    return MoveMask(doubtBytes);

inline __m128i Load16(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
inline void Store16(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
inline __m128i Select16(__m128i no, __m128i yes, __m128i mask) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}
inline uint32_t MoveMask16(__m128i v) { return static_cast<uint32_t>(_mm_movemask_epi8(v)); }

// The weights of channel group q (channels 4q … 4q + 3 of each 16).
inline __m128i Weights16(const int32_t* fixed, int q) { return Load16(fixed + 4 * q); }

template <bool Exact>
inline uint32_t BlendGroup16(uint8_t* a, const uint8_t* b, const int32_t* fixed, int32_t uniform) {
    PLANDESK_BLEND_GROUP(__m128i, _mm_, 128, Load16, Store16, _mm_set1_epi32, Select16, Weights16, _mm_cmpgt_epi32,
                         MoveMask16)
}

#ifdef PLANDESK_AVX2
__attribute__((target("avx2"))) inline __m256i Load32(const void* p) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}
__attribute__((target("avx2"))) inline void Store32(void* p, __m256i v) {
    _mm256_storeu_si256(static_cast<__m256i*>(p), v);
}
__attribute__((target("avx2"))) inline __m256i Set32(int v) { return _mm256_set1_epi32(v); }
__attribute__((target("avx2"))) inline uint32_t MoveMask32(__m256i v) {
    return static_cast<uint32_t>(_mm256_movemask_epi8(v));
}
__attribute__((target("avx2"))) inline __m256i Weights32(const int32_t* fixed, int q) {
    return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(fixed + 16 + 4 * q),
                               reinterpret_cast<const __m128i*>(fixed + 4 * q));
}

template <bool Exact>
__attribute__((target("avx2"))) inline uint32_t BlendGroup32(uint8_t* a, const uint8_t* b, const int32_t* fixed,
                                                             int32_t uniform) {
    PLANDESK_BLEND_GROUP(__m256i, _mm256_, 256, Load32, Store32, Set32, _mm256_blendv_epi8, Weights32,
                         _mm256_cmpgt_epi32, MoveMask32)
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

// The weights of channel group q: channels 4q … 4q + 3 of each 128-bit
// lane. From weights in lane order (Lanes) one load; otherwise four.
template <bool InLanes>
PLANDESK_VBMI inline __m512i Weights64(const int32_t* fixed, int q) {
    if (InLanes) return _mm512_loadu_si512(fixed + 16 * q);
    const auto lane = [&](int l) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(fixed + 16 * l + 4 * q)); };
    const __m512i low = _mm512_inserti32x4(_mm512_castsi128_si512(lane(0)), lane(1), 1);
    return _mm512_inserti32x4(_mm512_inserti32x4(low, lane(2), 2), lane(3), 3);
}

// The group blend of PLANDESK_BLEND_GROUP on 64 channels. The doubts stay
// in mask registers, and only a group that has some (rare) packs them to
// bytes to keep a's old values there. A tail group (Tail) takes only the
// channels of `live`, reading and writing no others.
template <bool Exact, bool InLanes, bool Tail = false>
PLANDESK_VBMI inline uint64_t BlendGroup64(uint8_t* a, const uint8_t* b, const int32_t* fixed, int32_t uniform,
                                           __mmask64 live = ~__mmask64{0}) {
    const __m512i z = _mm512_setzero_si512();
    const __m512i va = Tail ? _mm512_maskz_loadu_epi8(live, a) : _mm512_loadu_si512(a);
    const __m512i vb = Tail ? _mm512_maskz_loadu_epi8(live, b) : _mm512_loadu_si512(b);
    const __m512i aLo = _mm512_unpacklo_epi8(va, z), aHi = _mm512_unpackhi_epi8(va, z);
    const __m512i dLo = _mm512_sub_epi16(_mm512_unpacklo_epi8(vb, z), aLo);
    const __m512i dHi = _mm512_sub_epi16(_mm512_unpackhi_epi8(vb, z), aHi);
    const __m512i ad[4] = {_mm512_unpacklo_epi16(aLo, dLo), _mm512_unpackhi_epi16(aLo, dLo),
                           _mm512_unpacklo_epi16(aHi, dHi), _mm512_unpackhi_epi16(aHi, dHi)};
    const __m512i highHalves = _mm512_set1_epi32(static_cast<int>(0xFFFF0000u));
    const __m512i aWeight = _mm512_set1_epi32(1 << (FixBits - 9));
    __m512i n[4];
    __mmask16 doubt[4] = {0, 0, 0, 0};
    // Unrolled, the four groups stay in registers instead of going through
    // the stack.
#pragma GCC unroll 4
    for (int q = 0; q < 4; ++q) {
        const __m512i w = fixed ? Weights64<InLanes>(fixed, q) : _mm512_set1_epi32(uniform);
        // (w & highHalves) | aWeight in one instruction (truth table 0xEA).
        const __m512i high = _mm512_madd_epi16(ad[q], _mm512_ternarylogic_epi32(w, highHalves, aWeight, 0xEA));
        const __m512i low = _mm512_madd_epi16(ad[q], _mm512_slli_epi32(w, 16));
        const __m512i f = _mm512_add_epi32(_mm512_slli_epi32(high, 9), low);
        if (Exact) {
            const __m512i odd = _mm512_and_si512(_mm512_srli_epi32(f, FixBits), _mm512_set1_epi32(1));
            n[q] = _mm512_srai_epi32(_mm512_add_epi32(f, _mm512_add_epi32(_mm512_set1_epi32(FixHalf - 1), odd)),
                                     FixBits);
        } else {
            // g = F + ½ + NearHalf: its fraction is below 2 × NearHalf just
            // when F's lies within NearHalf of a half, one test of its bits.
            // Outside that, g's integer part is F rounded; inside it the
            // channel is worked out again in any case.
            const __m512i g = _mm512_add_epi32(f, _mm512_set1_epi32(FixHalf + NearHalf));
            n[q] = _mm512_srai_epi32(g, FixBits);
            doubt[q] = _mm512_testn_epi32_mask(g, _mm512_set1_epi32(((1 << FixBits) - 1) & ~(2 * NearHalf - 1)));
        }
    }
    const __m512i result =
        _mm512_packus_epi16(_mm512_packs_epi32(n[0], n[1]), _mm512_packs_epi32(n[2], n[3]));
    if (Exact || (doubt[0] | doubt[1] | doubt[2] | doubt[3]) == 0) {
        if (Tail)
            _mm512_mask_storeu_epi8(a, live, result);
        else
            _mm512_storeu_si512(a, result);
        return 0;
    }
    __m512i v[4];
    for (int q = 0; q < 4; ++q) v[q] = _mm512_maskz_set1_epi32(doubt[q], -1);
    const __mmask64 bytes =
        _mm512_movepi8_mask(_mm512_packs_epi16(_mm512_packs_epi32(v[0], v[1]), _mm512_packs_epi32(v[2], v[3]))) &
        live;
    if (Tail)
        _mm512_mask_storeu_epi8(a, live, _mm512_mask_blend_epi8(bytes, result, va));
    else
        _mm512_storeu_si512(a, _mm512_mask_blend_epi8(bytes, result, va));
    return bytes;
}

// BlendRowAvx2 with groups of 64 channels. The last, shorter group is done
// here too when its weights can be read whole: one for all, or in lane
// order (laid out for it as for every group).
template <bool Exact, bool Uniform>
PLANDESK_VBMI size_t BlendRowAvx512(uint8_t* a, const uint8_t* b, size_t n, const TBlendWeights& w) {
    constexpr size_t Batch = 32;
    size_t i = 0;
    while (i + 64 <= n) {
        uint64_t masks[Batch];
        size_t starts[Batch], doubtful = 0;
        for (size_t g = 0; g < Batch && i + 64 <= n; ++g, i += 64) {
            masks[doubtful] = Uniform    ? BlendGroup64<Exact, false>(a + i, b + i, nullptr, w.Uniform)
                              : w.Lanes ? BlendGroup64<Exact, true>(a + i, b + i, w.Lanes + i, 0)
                                        : BlendGroup64<Exact, false>(a + i, b + i, w.Fixed + i, 0);
            starts[doubtful] = i;
            doubtful += masks[doubtful] != 0;
        }
        for (size_t g = 0; g < doubtful; ++g) Redo(a, b, starts[g], masks[g], w);
    }
    if (i < n && (Uniform || w.Lanes)) {
        const __mmask64 live = (__mmask64{1} << (n - i)) - 1;
        const uint64_t doubt = Uniform ? BlendGroup64<Exact, false, true>(a + i, b + i, nullptr, w.Uniform, live)
                                       : BlendGroup64<Exact, true, true>(a + i, b + i, w.Lanes + i, 0, live);
        if (doubt) Redo(a, b, i, doubt, w);
        i = n;
    }
    return i;
}

#endif
#undef PLANDESK_BLEND_GROUP

template <bool Exact>
size_t BlendRowSse2(uint8_t* a, const uint8_t* b, size_t n, const TBlendWeights& w) {
    size_t i = 0;
#ifdef PLANDESK_AVX2
    if (HasVbmi()) i = w.Fixed ? BlendRowAvx512<Exact, false>(a, b, n, w) : BlendRowAvx512<Exact, true>(a, b, n, w);
    if (HasAvx2()) {
        const size_t rest = n - i;
        i += w.Fixed ? BlendRowAvx2<Exact, false>(a + i, b + i, rest, w.From(i))
                     : BlendRowAvx2<Exact, true>(a + i, b + i, rest, w.From(i));
    }
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

}  // namespace

#ifdef PLANDESK_AVX2
namespace {
// PLANDESK_SIMD=sse2 or =avx2 keeps the kernels to that instruction set, so
// that the tests check each narrower path on a processor that has more.
bool Allowed(const char* set) {
    const char* limit = std::getenv("PLANDESK_SIMD");
    if (!limit) return true;
    const std::string_view widest(limit), asked(set);
    if (widest == "sse2") return false;
    return !(widest == "avx2" && asked == "avx512");
}
}  // namespace

bool HasAvx2() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0 && Allowed("avx2");
    }();
    return has;
}

bool HasVbmi() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi") && Allowed("avx512");
    }();
    return has;
}
#endif

void BlendBytes(uint8_t* a, const uint8_t* b, size_t n, double wa, double wb) {
    // Weight 0 takes B, weight 1 keeps A: what the arithmetic gives.
    if (wa == 0 && wb == 1)
        std::memcpy(a, b, n);
    else if (!(wa == 1 && wb == 0))
        BlendRow(a, b, n, TBlendWeights(wa, wb));
}

void TWeights::Set(int x, double w) {
    FRunsOf = SIZE_MAX;
    const double wb = 1 - w;
    const int32_t fixed = FixedWeight(wb);
    for (size_t i = Bytes(x); i < Bytes(x) + 3; ++i) {
        A[i] = w;
        B[i] = wb;
        Fixed[i] = fixed;
    }
}

void TWeights::Blend(uint8_t* a, const uint8_t* b, size_t n) {
    if (FRunsOf != n) FindRuns(n);
    for (const TRun& run : FRuns) {
        if (run.Kind == TRun::Mix)
            BlendRow(a + run.Start, b + run.Start, run.Length,
                     TBlendWeights(A.data() + run.Start, B.data() + run.Start, Fixed.data() + run.Start,
                                   Lanes.data() + run.LanesAt));
        else if (run.Kind == TRun::Copy)
            std::memcpy(a + run.Start, b + run.Start, run.Length);
    }
}

void TWeights::FindRuns(size_t n) {
    FRuns.clear();
    FRunsOf = n;
    for (size_t i = 0; i < n; ++i) {
        const auto kind = A[i] == 1 && B[i] == 0 ? TRun::Keep : A[i] == 0 && B[i] == 1 ? TRun::Copy : TRun::Mix;
        if (FRuns.empty() || FRuns.back().Kind != kind) FRuns.push_back({kind, i, 0});
        ++FRuns.back().Length;
    }
    // The blend of a run takes its channels in groups of 64 from its start;
    // each group's weights are laid out as the 512-bit kernel loads them:
    // channel 16l + 4q + j at 16q + 4l + j. Each run has a block of its own,
    // whole groups long, so that its last, shorter group is laid out the
    // same (the channels it does not have weighing nothing).
    size_t at = 0;
    for (TRun& run : FRuns)
        if (run.Kind == TRun::Mix) run.LanesAt = std::exchange(at, at + (run.Length + 63) / 64 * 64);
    Lanes.assign(at, 0);
    for (const TRun& run : FRuns) {
        if (run.Kind != TRun::Mix) continue;
        for (size_t g = 0; g < run.Length; g += 64)
            for (size_t l = 0; l < 4; ++l)
                for (size_t q = 0; q < 4; ++q)
                    for (size_t j = 0; j < 4; ++j) {
                        const size_t channel = g + 16 * l + 4 * q + j;
                        Lanes[run.LanesAt + g + 16 * q + 4 * l + j] =
                            channel < run.Length ? Fixed[run.Start + channel] : 0;
                    }
    }
}

void Ramp(TWeights& weights, int from, int to, double step) {
    double w = 0;
    const int dir = to >= from ? 1 : -1;
    for (int x = from;; x += dir) {
        weights.Set(x, w);
        if (x == to) break;
        w = std::min(w + step, 1.0);
    }
}

}  // namespace vlEffectKernels

int vlRoundHalfEven(double v) {
    if (!(v == v)) return 0;
    v = std::clamp(v, -1073741824.0, 1073741824.0);
    return static_cast<int>(vlEffectKernels::RoundEven(v));
}
