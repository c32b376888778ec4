#include <algorithm>
#include <cstring>

#include "skin/data/vlEffectKernels.h"
#include "skin/data/vlEffects.h"

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
