#include "skin/data/vlMorphLooks.h"

#include <cstring>

std::vector<uint8_t> TvlMorphLooks::Copy(const TvlPixelView& view) const {
    std::vector<uint8_t> pixels(static_cast<size_t>(FStride) * static_cast<size_t>(FHeight));
    for (int y = 0; y < FHeight; ++y)
        std::memcpy(pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(FStride), view.Row(y),
                    static_cast<size_t>(FWidth) * 3);
    return pixels;
}

void TvlMorphLooks::Start(const TvlPixelView& from, const TvlPixelView& to, int kind) {
    Clear();
    if (from.Empty() || to.Empty() || from.Width != to.Width || from.Height != to.Height) return;
    FWidth = from.Width;
    FHeight = from.Height;
    FStride = vlRowStride(FWidth);
    FKind = kind;
    FFrom = Copy(from);
    FTo = Copy(to);
}

void TvlMorphLooks::Clear() {
    FFrom.clear();
    FTo.clear();
    FFrames.clear();
    FWidth = FHeight = FStride = 0;
}

void TvlMorphLooks::Draw(double k, TvlFBitmap& out) {
    if (FFrom.empty()) return;
    for (const TFrame& frame : FFrames)
        if (frame.K == k) {
            out.Assign(View(frame.Pixels));
            return;
        }
    TvlEffectBmp a(View(FFrom));
    a.MorphKind(FKind, TvlFBitmap(View(FTo)), k);
    if (FFrames.size() == MaxFrames) FFrames.erase(FFrames.begin());
    FFrames.push_back({k, Copy(a)});
    out.Assign(View(FFrames.back().Pixels));
}
