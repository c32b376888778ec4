#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "skin/data/vlEffectKernels.h"
#include "skin/data/vlEffects.h"

#ifdef __SSE2__
#if defined(__GNUC__) && !defined(__clang__)
// GCC's 512-bit shifts and multiplies start from a deliberately undefined
// vector, which it reports as uninitialised once inlined into a loop.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#endif

using namespace vlEffectKernels;

namespace {

#ifdef PLANDESK_AVX2
// The low seven bits pick from both 128-byte halves of the table at once,
// the eighth bit picks the half.
PLANDESK_VBMI inline __m512i LookUp(__m512i v, const __m512i t[4]) {
    const __m512i low = _mm512_permutex2var_epi8(t[0], v, t[1]), high = _mm512_permutex2var_epi8(t[2], v, t[3]);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), low, high);
}

PLANDESK_VBMI inline __mmask64 FirstBytes(size_t n) {
    return n >= 64 ? ~__mmask64{0} : (__mmask64{1} << n) - 1;
}

// Sixteen pixels (48 bytes) of a row with `left` bytes from p to its end:
// plain loads and stores while the row holds them, masked ones at its end
// (they are slow enough to keep off the common path).
PLANDESK_VBMI inline __m512i LoadPixels16(const uint8_t* p, size_t left) {
    return left >= 64 ? _mm512_loadu_si512(p) : _mm512_maskz_loadu_epi8(FirstBytes(std::min<size_t>(left, 48)), p);
}
PLANDESK_VBMI inline void StorePixels16(uint8_t* p, size_t left, __m512i v) {
    if (left >= 48) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm512_castsi512_si256(v));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), _mm512_extracti32x4_epi32(v, 2));
    } else {
        _mm512_mask_storeu_epi8(p, FirstBytes(left), v);
    }
}

// 64 bytes a step, the row's last ones through a mask.
PLANDESK_VBMI void MapBytesVbmi(uint8_t* p, size_t n, const uint8_t* table) {
    const __m512i t[4] = {_mm512_loadu_si512(table), _mm512_loadu_si512(table + 64),
                          _mm512_loadu_si512(table + 128), _mm512_loadu_si512(table + 192)};
    size_t i = 0;
    for (; i + 64 <= n; i += 64) _mm512_storeu_si512(p + i, LookUp(_mm512_loadu_si512(p + i), t));
    if (i < n) {
        const __mmask64 rest = FirstBytes(n - i);
        _mm512_mask_storeu_epi8(p + i, rest, LookUp(_mm512_maskz_loadu_epi8(rest, p + i), t));
    }
}
#endif

// Each byte through a 256-entry table.
void MapBytes(uint8_t* p, size_t n, const std::array<uint8_t, 256>& table) {
#ifdef PLANDESK_AVX2
    if (HasVbmi()) return MapBytesVbmi(p, n, table.data());
#endif
    for (size_t i = 0; i < n; ++i) p[i] = table[p[i]];
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

// Byte indices for 16 pixels of three bytes: spread to four (the fourth
// byte repeats the first), gathered back from the low byte of each of 16
// words, and each byte's pixel number.
struct TPixelIndices {
    uint8_t Spread[64], Gather[64], Owner[64];
    constexpr TPixelIndices() : Spread(), Gather(), Owner() {
        for (int i = 0; i < 64; ++i) {
            Spread[i] = static_cast<uint8_t>(3 * (i / 4) + (i % 4 == 3 ? 0 : i % 4));
            Gather[i] = static_cast<uint8_t>(i < 48 ? 4 * (i / 3) : 0);
            Owner[i] = static_cast<uint8_t>(i < 48 ? i / 3 : 0);
        }
    }
};
constexpr TPixelIndices PixelIndices;

// The same arithmetic sixteen pixels at a time, the row's last ones through
// a mask.
PLANDESK_VBMI void GrayRowVbmi(uint8_t* p, int W) {
    const __m512i spread = _mm512_loadu_si512(PixelIndices.Spread);
    const __m512i gather = _mm512_loadu_si512(PixelIndices.Gather);
    const __m512i weights = _mm512_set1_epi32(30 << 16 | 59 << 8 | 11);
    const __m512i ones = _mm512_set1_epi16(1), one = _mm512_set1_epi32(1);
    const __m512i hundred = _mm512_set1_epi32(100), fifty = _mm512_set1_epi32(50);
    for (int x = 0; x < W; x += 16, p += 48) {
        const size_t left = Bytes(W - x);
        const __m512i v = _mm512_permutexvar_epi8(spread, LoadPixels16(p, left));
        const __m512i sum = _mm512_madd_epi16(_mm512_maddubs_epi16(v, weights), ones);
        __m512i q = _mm512_srli_epi32(_mm512_mullo_epi32(sum, _mm512_set1_epi32(5243)), 19);
        const __m512i rem = _mm512_sub_epi32(sum, _mm512_mullo_epi32(q, hundred));
        const __mmask16 up = _mm512_cmpgt_epi32_mask(rem, fifty) |
                             (_mm512_cmpeq_epi32_mask(rem, fifty) & _mm512_test_epi32_mask(q, one));
        q = _mm512_mask_add_epi32(q, up, q, one);
        StorePixels16(p, left, _mm512_permutexvar_epi8(gather, q));
    }
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
        if (HasVbmi()) {
            GrayRowVbmi(p, W);
            continue;
        }
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

namespace {

// The split blur's middle columns, Step bytes at a time for 128- and 256-bit
// vectors alike: each output byte the mean of four, rounded down. Leaves i
// at the first byte not done.
#define PLANDESK_SPLIT_BLUR_LOOP(V, P, Bits, Step)                                                            \
    for (const V z = P##setzero_si##Bits(); i + off + Step <= n; i += Step) {                                 \
        const V s0 = P##loadu_si##Bits(reinterpret_cast<const V*>(u + i - off));                              \
        const V s1 = P##loadu_si##Bits(reinterpret_cast<const V*>(l + i - off));                              \
        const V s2 = P##loadu_si##Bits(reinterpret_cast<const V*>(u + i + off));                              \
        const V s3 = P##loadu_si##Bits(reinterpret_cast<const V*>(l + i + off));                              \
        const V lo = P##add_epi16(P##add_epi16(P##unpacklo_epi8(s0, z), P##unpacklo_epi8(s1, z)),             \
                                  P##add_epi16(P##unpacklo_epi8(s2, z), P##unpacklo_epi8(s3, z)));            \
        const V hi = P##add_epi16(P##add_epi16(P##unpackhi_epi8(s0, z), P##unpackhi_epi8(s1, z)),             \
                                  P##add_epi16(P##unpackhi_epi8(s2, z), P##unpackhi_epi8(s3, z)));            \
        P##storeu_si##Bits(reinterpret_cast<V*>(out + i), P##packus_epi16(P##srli_epi16(lo, 2), P##srli_epi16(hi, 2))); \
    }

#ifdef PLANDESK_AVX2
__attribute__((target("avx2"))) size_t SplitBlurAvx2(uint8_t* __restrict out, const uint8_t* __restrict u,
                                                     const uint8_t* __restrict l, size_t i, size_t off, size_t n) {
    PLANDESK_SPLIT_BLUR_LOOP(__m256i, _mm256_, 256, 32)
    return i;
}
#endif

}  // namespace

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
#ifdef PLANDESK_AVX2
        if (HasAvx2()) i = SplitBlurAvx2(out, u, l, i, off, n);
#endif
#ifdef __SSE2__
        PLANDESK_SPLIT_BLUR_LOOP(__m128i, _mm_, 128, 16)
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

#ifdef PLANDESK_AVX2
// Sixteen pixels a step in one register of sixteen chains. A pixel's shift
// is added as a saturating increase or decrease of its bytes, which clamps
// as the arithmetic does. Returns the pixels done; `seed` is the last used.
PLANDESK_VBMI int NoiseRowVbmi(uint8_t* p, int W, uint32_t& seed,
                                                                         int amount) {
    if (W < 16) return 0;
    uint32_t first[16];
    uint32_t s = seed;
    for (uint32_t& f : first) f = s = NextNoiseSeed(s);
    __m512i lanes = _mm512_loadu_si512(first), last = lanes;
    const __m512i mul = _mm512_set1_epi32(static_cast<int>(NoiseJump.Mul));
    const __m512i add = _mm512_set1_epi32(static_cast<int>(NoiseJump.Add));
    const __m512i n = _mm512_set1_epi32(amount), half = _mm512_set1_epi32(amount / 2);
    const __m512i zero = _mm512_setzero_si512(), top = _mm512_set1_epi32(255);
    const __m512i spread = _mm512_loadu_si512(PixelIndices.Owner);
    int x = 0;
    for (; x + 16 <= W; x += 16, p += 48) {
        const __m512i even = _mm512_srli_epi64(_mm512_mul_epu32(lanes, n), 32);
        const __m512i odd = _mm512_mul_epu32(_mm512_srli_epi64(lanes, 32), n);
        const __m512i c = _mm512_sub_epi32(_mm512_mask_blend_epi32(0xAAAA, even, odd), half);
        const __m512i up = _mm512_min_epi32(_mm512_max_epi32(c, zero), top);
        const __m512i down = _mm512_min_epi32(_mm512_max_epi32(_mm512_sub_epi32(zero, c), zero), top);
        const __m512i upBytes = _mm512_permutexvar_epi8(spread, _mm512_castsi128_si512(_mm512_cvtepi32_epi8(up)));
        const __m512i downBytes =
            _mm512_permutexvar_epi8(spread, _mm512_castsi128_si512(_mm512_cvtepi32_epi8(down)));
        const size_t left = Bytes(W - x);
        const __m512i v = LoadPixels16(p, left);
        StorePixels16(p, left, _mm512_subs_epu8(_mm512_adds_epu8(v, upBytes), downBytes));
        last = lanes;
        lanes = _mm512_add_epi32(_mm512_mullo_epi32(lanes, mul), add);
    }
    seed = static_cast<uint32_t>(_mm_extract_epi32(_mm512_extracti32x4_epi32(last, 3), 3));
    return x;
}
#endif

// One row of noise, sixteen pixels a step; `seed` is the last seed used.
void NoiseRow(uint8_t* p, int W, uint32_t& seed, int amount) {
    int x = 0;
#ifdef PLANDESK_AVX2
    if (HasVbmi()) {
        x = NoiseRowVbmi(p, W, seed, amount);
        p += Bytes(x);
        W -= x;
        x = 0;
    }
#endif
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
        case ieBrightness: ChangeBrightness(0.5); break;
        case ieDarkness: ChangeDarkness(0.3); break;
        case ieNoise: AddNoise(50); break;
        case ieSplitBlur: SplitBlur(1); break;
        case ieInvert: Invert(); break;
        default: GrayScale(); break;
    }
}
