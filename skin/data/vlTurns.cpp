#include <algorithm>
#include <cstring>

#include "skin/data/vlEffectKernels.h"
#include "skin/data/vlEffects.h"

#ifdef __SSE2__
#include <immintrin.h>
#endif

using namespace vlEffectKernels;

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

#ifdef PLANDESK_AVX2
// Tiles of 16 × 16 pixels: each source row's 16 pixels spread to four bytes
// a pixel, the 16 × 16 words transposed in registers, and each column packed
// back to 48 bytes of a destination row (in reverse order when `Flip`).
// Covers the whole tiles; returns the width and height they cover.
struct TTileIndices {
    uint8_t Spread[64], Pack[64], PackReversed[64];
    constexpr TTileIndices() : Spread(), Pack(), PackReversed() {
        for (int i = 0; i < 64; ++i) {
            Spread[i] = static_cast<uint8_t>(3 * (i / 4) + (i % 4 == 3 ? 0 : i % 4));
            Pack[i] = static_cast<uint8_t>(i < 48 ? 4 * (i / 3) + i % 3 : 0);
            PackReversed[i] = static_cast<uint8_t>(i < 48 ? 4 * (15 - i / 3) + i % 3 : 0);
        }
    }
};
constexpr TTileIndices TileIndices;
constexpr int TileStrip = 64;

// Inlined and unrolled, so that both arrays live in registers.
PLANDESK_VBMI __attribute__((always_inline)) inline void Transpose16(__m512i r[16]) {
    __m512i t[16];
#pragma GCC unroll 16
    for (int i = 0; i < 16; i += 2) {
        t[i] = _mm512_unpacklo_epi32(r[i], r[i + 1]);
        t[i + 1] = _mm512_unpackhi_epi32(r[i], r[i + 1]);
    }
#pragma GCC unroll 16
    for (int i = 0; i < 16; i += 4) {
        r[i] = _mm512_unpacklo_epi64(t[i], t[i + 2]);
        r[i + 1] = _mm512_unpackhi_epi64(t[i], t[i + 2]);
        r[i + 2] = _mm512_unpacklo_epi64(t[i + 1], t[i + 3]);
        r[i + 3] = _mm512_unpackhi_epi64(t[i + 1], t[i + 3]);
    }
#pragma GCC unroll 16
    for (int h = 0; h < 16; h += 8)
#pragma GCC unroll 16
        for (int i = 0; i < 4; ++i) {
            t[h + i] = _mm512_shuffle_i32x4(r[h + i], r[h + i + 4], 0x88);
            t[h + i + 4] = _mm512_shuffle_i32x4(r[h + i], r[h + i + 4], 0xDD);
        }
#pragma GCC unroll 16
    for (int i = 0; i < 8; ++i) {
        r[i] = _mm512_shuffle_i32x4(t[i], t[i + 8], 0x88);
        r[i + 8] = _mm512_shuffle_i32x4(t[i], t[i + 8], 0xDD);
    }
}

template <bool Flip, class Row>
PLANDESK_VBMI void TransposeTiles(const TvlFBitmap& src, TvlFBitmap& dest, Row row, int W16, int H16) {
    const int W = src.Width(), H = src.Height();
    const __m512i spread = _mm512_loadu_si512(TileIndices.Spread);
    const __m512i pack = _mm512_loadu_si512(Flip ? TileIndices.PackReversed : TileIndices.Pack);
    const __mmask64 pixels = (__mmask64{1} << 48) - 1;
    // Strips of source columns from top to bottom, so that each destination
    // row of the strip is written front to back.
    for (int strip = 0; strip < W16; strip += TileStrip)
    for (int y0 = 0; y0 < H16; y0 += 16) {
        // The destination columns of these rows.
        const int column = Flip ? H - y0 - 16 : y0;
        for (int x0 = strip; x0 < std::min(strip + TileStrip, W16); x0 += 16) {
            // A full 64-byte read while the row holds it.
            const bool wide = Bytes(W - x0) >= 64;
            __m512i r[16];
#pragma GCC unroll 16
            for (int i = 0; i < 16; ++i) {
                const uint8_t* s = src.Row(y0 + i) + Bytes(x0);
                r[i] = _mm512_permutexvar_epi8(spread, wide ? _mm512_loadu_si512(s) : _mm512_maskz_loadu_epi8(pixels, s));
            }
            Transpose16(r);
#pragma GCC unroll 16
            for (int j = 0; j < 16; ++j) {
                uint8_t* d = dest.Row(row(x0 + j)) + Bytes(column);
                const __m512i v = _mm512_permutexvar_epi8(pack, r[j]);
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), _mm512_castsi512_si256(v));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), _mm512_extracti32x4_epi32(v, 2));
            }
        }
    }
}
#endif

// A quarter turn: whole tiles on the wide path where there is one, the
// rest (or everything) through the blocks above.
template <bool Flip, class Row>
void Turn(const TvlFBitmap& src, TvlFBitmap& dest, Row row) {
#ifdef PLANDESK_AVX2
    const int W = src.Width(), H = src.Height(), W16 = W / 16 * 16, H16 = H / 16 * 16;
    if (HasVbmi() && W16 > 0 && H16 > 0) {
        TransposeTiles<Flip>(src, dest, row, W16, H16);
        for (int y = 0; y < H; ++y)
            for (int x = y < H16 ? W16 : 0; x < W; ++x)
                Copy3(dest.Row(row(x)) + Bytes(Flip ? H - 1 - y : y), src.Row(y) + Bytes(x));
        return;
    }
#endif
    Transpose<Flip>(src, dest, row);
}

}  // namespace

void TvlEffectBmp::RotateLeft(TvlFBitmap& dest) const {
    if (&dest == this) return;
    const int W = Width(), H = Height();
    dest.SetSizeForOverwrite(H, W);
    Turn<false>(*this, dest, [W](int x) { return W - 1 - x; });
}

void TvlEffectBmp::RotateRight(TvlFBitmap& dest) const {
    if (&dest == this) return;
    const int W = Width(), H = Height();
    dest.SetSizeForOverwrite(H, W);
    Turn<true>(*this, dest, [](int x) { return x; });
}

void TvlEffectBmp::FlipVertical(TvlFBitmap& dest) const {
    if (&dest == this) return;
    const int W = Width(), H = Height();
    dest.SetSizeForOverwrite(W, H);
    for (int y = 0; y < H; ++y) std::memcpy(dest.Row(H - 1 - y), Row(y), Bytes(W));
}
