#pragma once
// Small drawing steps the list, scroll and box controls share inside
// skin/controls: framed boxes of the plain look and a piece copied with a
// transparent colour.
#include <algorithm>
#include <cstdint>

#include "core/Geometry.h"
#include "skin/data/vlFBitmap.h"

namespace vlLookPieces {

// Fills `r` (cut at the bitmap) with `colour`.
inline void FillBox(TvlFBitmap& bitmap, const TRect& r, uint32_t colour) {
    int left = std::max(0, r.Left), right = std::min(bitmap.Width(), r.Right);
    int top = std::max(0, r.Top), bottom = std::min(bitmap.Height(), r.Bottom);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) bitmap.SetPixel(x, y, colour);
}

// A one-pixel frame in `frame` around a fill in `fill`.
inline void FrameBox(TvlFBitmap& bitmap, const TRect& r, uint32_t frame, uint32_t fill) {
    if (r.IsEmpty()) return;
    FillBox(bitmap, r, frame);
    FillBox(bitmap, {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, fill);
}

// Copies `piece` to (x, y); with `transparent`, pixels of `key` are left out.
inline void CopyTransparent(TvlFBitmap& dest, int x, int y, const TvlFBitmap& piece, bool transparent, uint32_t key) {
    for (int py = 0; py < piece.Height(); ++py) {
        int dy = y + py;
        if (dy < 0 || dy >= dest.Height()) continue;
        for (int px = 0; px < piece.Width(); ++px) {
            int dx = x + px;
            if (dx < 0 || dx >= dest.Width()) continue;
            uint32_t c = piece.Pixel(px, py);
            if (transparent && c == key) continue;
            dest.SetPixel(dx, dy, c);
        }
    }
}

}  // namespace vlLookPieces
