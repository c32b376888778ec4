#pragma once
// Small drawing steps the controls, the frame and the menus share: filled
// and framed boxes and lines of the plain looks, moved rectangles, and a
// piece copied with a transparent colour.
#include <algorithm>
#include <cstdint>

#include "core/Geometry.h"
#include "skin/data/vlFBitmap.h"
#include "skin/data/vlSkinData.h"

namespace vlLookPieces {

// Fills `r` (cut at the bitmap) with `colour`.
inline void FillBox(TvlFBitmap& bitmap, const TRect& r, uint32_t colour) {
    int left = std::max(0, r.Left), right = std::min(bitmap.Width(), r.Right);
    int top = std::max(0, r.Top), bottom = std::min(bitmap.Height(), r.Bottom);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) bitmap.SetPixel(x, y, colour);
}

inline void HLine(TvlFBitmap& bitmap, int x1, int x2, int y, uint32_t colour) {
    FillBox(bitmap, {x1, y, x2, y + 1}, colour);
}
inline void VLine(TvlFBitmap& bitmap, int x, int y1, int y2, uint32_t colour) {
    FillBox(bitmap, {x, y1, x + 1, y2}, colour);
}
// The one-pixel outline of `r`, its inside left as it is.
inline void OutlineBox(TvlFBitmap& bitmap, const TRect& r, uint32_t colour) {
    HLine(bitmap, r.Left, r.Right, r.Top, colour);
    HLine(bitmap, r.Left, r.Right, r.Bottom - 1, colour);
    VLine(bitmap, r.Left, r.Top, r.Bottom, colour);
    VLine(bitmap, r.Right - 1, r.Top, r.Bottom, colour);
}

inline TRect Offset(TRect r, int dx, int dy) { return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }
// A rectangle left at all zero is one that was never given.
inline bool AllZero(const TRect& r) { return r.Left == 0 && r.Top == 0 && r.Right == 0 && r.Bottom == 0; }

// Picture `index` of the skin's picture list; none when out of range or empty.
inline const TPixelImage* SkinPicture(const TvlSkinData* skin, int index) {
    if (!skin || index < 0 || index >= static_cast<int>(skin->PictureList.size())) return nullptr;
    const TPixelImage* p = &skin->PictureList[static_cast<size_t>(index)];
    return p->Empty() ? nullptr : p;
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
