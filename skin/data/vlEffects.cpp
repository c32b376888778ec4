#include "skin/data/vlEffects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
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

#ifdef __SSE2__
// Four channels as doubles: multiplied, added, and converted back with the
// processor's rounding (to nearest, halves to even) — the same operations as
// the plain loop, so the results are identical.
inline __m128i Blend4(__m128i a, __m128i b, __m128d wa0, __m128d wa1, __m128d wb0, __m128d wb1) {
    const __m128d a0 = _mm_cvtepi32_pd(a), a1 = _mm_cvtepi32_pd(_mm_shuffle_epi32(a, 0xEE));
    const __m128d b0 = _mm_cvtepi32_pd(b), b1 = _mm_cvtepi32_pd(_mm_shuffle_epi32(b, 0xEE));
    const __m128i r0 = _mm_cvtpd_epi32(_mm_add_pd(_mm_mul_pd(wa0, a0), _mm_mul_pd(wb0, b0)));
    const __m128i r1 = _mm_cvtpd_epi32(_mm_add_pd(_mm_mul_pd(wa1, a1), _mm_mul_pd(wb1, b1)));
    return _mm_unpacklo_epi64(r0, r1);
}

// Sixteen bytes; the weights of byte j are wa(j), wb(j). Saturating packs
// clamp to 0 … 255.
template <class WeightA, class WeightB>
inline void Blend16(uint8_t* a, const uint8_t* b, const WeightA& wa, const WeightB& wb) {
    const __m128i z = _mm_setzero_si128();
    const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
    const __m128i al = _mm_unpacklo_epi8(va, z), ah = _mm_unpackhi_epi8(va, z);
    const __m128i bl = _mm_unpacklo_epi8(vb, z), bh = _mm_unpackhi_epi8(vb, z);
    const __m128i r0 = Blend4(_mm_unpacklo_epi16(al, z), _mm_unpacklo_epi16(bl, z), wa(0), wa(2), wb(0), wb(2));
    const __m128i r1 = Blend4(_mm_unpackhi_epi16(al, z), _mm_unpackhi_epi16(bl, z), wa(4), wa(6), wb(4), wb(6));
    const __m128i r2 = Blend4(_mm_unpacklo_epi16(ah, z), _mm_unpacklo_epi16(bh, z), wa(8), wa(10), wb(8), wb(10));
    const __m128i r3 = Blend4(_mm_unpackhi_epi16(ah, z), _mm_unpackhi_epi16(bh, z), wa(12), wa(14), wb(12), wb(14));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(a),
                     _mm_packus_epi16(_mm_packs_epi32(r0, r1), _mm_packs_epi32(r2, r3)));
}
#endif

// A := round(wa × A + wb × B) over n bytes, one weight pair for all.
void BlendBytes(uint8_t* __restrict a, const uint8_t* __restrict b, size_t n, double wa, double wb) {
    size_t i = 0;
#ifdef __SSE2__
    const __m128d va = _mm_set1_pd(wa), vb = _mm_set1_pd(wb);
    auto wA = [va](int) { return va; };
    auto wB = [vb](int) { return vb; };
    for (; i + 16 <= n; i += 16)
        Blend16(a + i, b + i, wA, wB);
#endif
    for (; i < n; ++i)
        a[i] = RoundToByte(wa * a[i] + wb * b[i]);
}

// The same with a weight pair per byte.
void BlendBytesVarying(uint8_t* __restrict a, const uint8_t* __restrict b, size_t n, const double* __restrict wa,
                       const double* __restrict wb) {
    size_t i = 0;
#ifdef __SSE2__
    for (; i + 16 <= n; i += 16) {
        auto wA = [p = wa + i](int j) { return _mm_loadu_pd(p + j); };
        auto wB = [p = wb + i](int j) { return _mm_loadu_pd(p + j); };
        Blend16(a + i, b + i, wA, wB);
    }
#endif
    for (; i < n; ++i)
        a[i] = RoundToByte(wa[i] * a[i] + wb[i] * b[i]);
}

// Each byte through a 256-entry table.
void MapBytes(uint8_t* p, size_t n, const std::array<uint8_t, 256>& table) {
    for (size_t i = 0; i < n; ++i)
        p[i] = table[p[i]];
}

double Clamp01(double v) { return v >= 0 ? (v <= 1 ? v : 1) : 0; } // NaN → 0

size_t Bytes(int pixels) { return static_cast<size_t>(pixels) * 3; }

// From this many bytes on, a cross-fade builds its 64 KB table of results.
constexpr size_t CrossFadeTableBytes = 1 << 18;

// Per-pixel weights of a blend, spread to the three bytes of each pixel as
// the pair (w, 1 − w).
struct TWeights {
    std::vector<double> A, B;
    explicit TWeights(int pixels) : A(Bytes(pixels), 1.0), B(Bytes(pixels), 0.0) {}
    void Set(int x, double w) {
        for (size_t i = Bytes(x); i < Bytes(x) + 3; ++i) {
            A[i] = w;
            B[i] = 1 - w;
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
        if (x == to)
            break;
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
            if (rem > 50 || (rem == 50 && (q & 1)))
                ++q;
            t[static_cast<size_t>(s)] = static_cast<uint8_t>(q);
        }
        return t;
    }();
    return table;
}

// The noise generator: a 32-bit linear congruential sequence, unseeded, one
// per thread.
thread_local uint32_t NoiseSeed = 0;

} // namespace

int vlRoundHalfEven(double v) {
    if (!(v == v))
        return 0;
    v = std::clamp(v, -1073741824.0, 1073741824.0);
    return static_cast<int>(RoundEven(v));
}

void TvlEffectBmp::Morph(const TvlFBitmap& b, double k) {
    if (!SameSize(b) || Empty())
        return;
    k = Clamp01(k);
    const double wa = 1 - k;
    const size_t n = Bytes(Width());
    const int H = Height();
    if (n * static_cast<size_t>(H) < CrossFadeTableBytes) {
        for (int y = 0; y < H; ++y)
            BlendBytes(Row(y), b.Row(y), n, wa, k);
        return;
    }
    // Large bitmaps look every pair of channel values up in a table made
    // with the same arithmetic.
    std::vector<uint8_t> table(65536);
    uint8_t values[256];
    for (int v = 0; v < 256; ++v)
        values[v] = static_cast<uint8_t>(v);
    for (int v = 0; v < 256; ++v) {
        uint8_t* row = table.data() + 256 * v;
        std::memset(row, v, 256);
        BlendBytes(row, values, 256, wa, k);
    }
    const uint8_t* t = table.data();
    for (int y = 0; y < H; ++y) {
        uint8_t* __restrict p = Row(y);
        const uint8_t* __restrict q = b.Row(y);
        for (size_t i = 0; i < n; ++i)
            p[i] = t[(p[i] << 8) | q[i]];
    }
}

void TvlEffectBmp::GradientMorph(const TvlFBitmap& b, double k) {
    if (!SameSize(b) || Empty())
        return;
    // Outside 0 … 1 the band's edges would leave the bitmap.
    k = Clamp01(k);
    const int W = Width(), H = Height();
    if (W < H) {
        const int a = vlRoundHalfEven(H * k), c = a / 2, m = H / 2;
        const int g = std::max(0, m - c), f = std::min(H - 1, m + c);
        const int r = (H - 1 - a) / 2;
        const double s = r == 0 ? 0.0 : 1.0 / r;
        for (int y = g; y <= f; ++y)
            std::memcpy(Row(y), b.Row(y), Bytes(W));
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
    for (int x = g; x <= f; ++x)
        weights.Set(x, 0);
    Ramp(weights, g, 0, s);
    Ramp(weights, f, W - 1, s);
    for (int y = 0; y < H; ++y)
        BlendBytesVarying(Row(y), b.Row(y), Bytes(W), weights.A.data(), weights.B.data());
}

void TvlEffectBmp::LeftGradientMorph(const TvlFBitmap& b, double k) {
    if (!SameSize(b) || Empty())
        return;
    const int W = Width();
    int a = vlRoundHalfEven(W * k);
    if (a <= 0)
        a = 1;
    if (a > W - 1)
        a = W - 1;
    TWeights weights(a + 1);
    Ramp(weights, 0, a, a == 0 ? 1.0 : 1.0 / a);
    for (int y = 0; y < Height(); ++y)
        BlendBytesVarying(Row(y), b.Row(y), Bytes(a + 1), weights.A.data(), weights.B.data());
}

void TvlEffectBmp::RightGradientMorph(const TvlFBitmap& b, double k) {
    if (!SameSize(b) || Empty())
        return;
    const int W = Width();
    const int a = std::clamp(W - vlRoundHalfEven(W * k), 0, W - 1);
    const int n = W - a;
    TWeights weights(n);
    Ramp(weights, n - 1, 0, 1.0 / n);
    for (int y = 0; y < Height(); ++y)
        BlendBytesVarying(Row(y) + Bytes(a), b.Row(y) + Bytes(a), Bytes(n), weights.A.data(), weights.B.data());
}

void TvlEffectBmp::PushMorph(const TvlFBitmap& b, double k) {
    if (!SameSize(b) || Empty())
        return;
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
    if (b <= 0)
        b = 1;
    if (b > W - 1)
        b = W - 1;
    return b;
}

} // namespace

void TvlEffectBmp::LeftSlideMorph(const TvlFBitmap& b, double k) {
    if (!SameSize(b) || Empty())
        return;
    const int W = Width(), n = SlideWidth(W, k);
    for (int y = 0; y < Height(); ++y)
        std::memcpy(Row(y), b.Row(y) + Bytes(W - n), Bytes(n));
}

void TvlEffectBmp::RightSlideMorph(const TvlFBitmap& b, double k) {
    if (!SameSize(b) || Empty())
        return;
    const int W = Width(), n = SlideWidth(W, k);
    for (int y = 0; y < Height(); ++y)
        std::memcpy(Row(y) + Bytes(W - n), b.Row(y), Bytes(n));
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
    for (int v = 0; v < 256; ++v)
        table[static_cast<size_t>(v)] = RoundToByte((1 - amount) * v + amount * 255);
    const int H = Height();
    for (int y = 0; y < H; ++y)
        MapBytes(Row(y), Bytes(Width()), table);
}

void TvlEffectBmp::ChangeDarkness(double amount) {
    amount = Clamp01(amount);
    std::array<uint8_t, 256> table;
    for (int v = 0; v < 256; ++v)
        table[static_cast<size_t>(v)] = RoundToByte((1 - amount) * v);
    const int H = Height();
    for (int y = 0; y < H; ++y)
        MapBytes(Row(y), Bytes(Width()), table);
}

void TvlEffectBmp::GrayScale() {
    const auto& gray = GrayTable();
    const int W = Width(), H = Height();
    for (int y = 0; y < H; ++y) {
        uint8_t* p = Row(y);
        for (int x = 0; x < W; ++x, p += 3) {
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
        for (; i < n; ++i)
            p[i] = static_cast<uint8_t>(~p[i]);
    }
}

void TvlEffectBmp::SplitBlur(int d) {
    if (d <= 0)
        return;
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
        for (size_t i = 0; i < headEnd; ++i)
            edge(i);
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
        for (size_t i = tailStart; i < n; ++i)
            edge(i);
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
    for (int i = 0; i < 3; ++i)
        p[i] = static_cast<uint8_t>(std::clamp(p[i] + c, 0, 255));
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
        for (uint32_t& f : first)
            f = s = NextNoiseSeed(s);
        for (int k = 0; k < 4; ++k)
            lanes[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + 4 * k));
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
            for (__m128i& lane : lanes)
                lane = _mm_add_epi32(MulLow(lane, mul), add);
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

} // namespace

void TvlEffectBmp::AddNoise(int amount) {
    if (amount < 1)
        return;
    // Kept in a local: the pixel stores could otherwise alias it.
    uint32_t seed = NoiseSeed;
    for (int y = 0; y < Height(); ++y)
        NoiseRow(Row(y), Width(), seed, amount);
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
constexpr int Block = 32;

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
                const bool wide = x + 1 < W; // a fourth byte to read
                if (Flip) {
                    uint8_t* o = d + Bytes(H - y1);
                    int y = y1 - 1;
                    if (wide)
                        for (; y > y0 || (y == y0 && !rowEnd); --y, o += 3)
                            Copy4(o, s + y * stride);
                    for (; y >= y0; --y, o += 3)
                        Copy3(o, s + y * stride);
                } else {
                    uint8_t* o = d + Bytes(y0);
                    int y = y0;
                    const int last = rowEnd ? y1 - 1 : y1;
                    if (wide)
                        for (; y < last; ++y, o += 3)
                            Copy4(o, s + y * stride);
                    for (; y < y1; ++y, o += 3)
                        Copy3(o, s + y * stride);
                }
            }
        }
    }
}

} // namespace

void TvlEffectBmp::RotateLeft(TvlFBitmap& dest) const {
    if (&dest == this)
        return;
    const int W = Width(), H = Height();
    dest.SetSizeForOverwrite(H, W);
    Transpose<false>(*this, dest, [W](int x) { return W - 1 - x; });
}

void TvlEffectBmp::RotateRight(TvlFBitmap& dest) const {
    if (&dest == this)
        return;
    const int W = Width(), H = Height();
    dest.SetSizeForOverwrite(H, W);
    Transpose<true>(*this, dest, [](int x) { return x; });
}

void TvlEffectBmp::FlipVertical(TvlFBitmap& dest) const {
    if (&dest == this)
        return;
    const int W = Width(), H = Height();
    dest.SetSizeForOverwrite(W, H);
    for (int y = 0; y < H; ++y)
        std::memcpy(dest.Row(H - 1 - y), Row(y), Bytes(W));
}
