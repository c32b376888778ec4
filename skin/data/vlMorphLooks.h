#pragma once
// A morph between two looks of one control. Both looks are drawn once; each
// tick of the animation then only blends their pixels, and a factor already
// shown (hovering in and out steps through the same fifths) is copied from
// the frame kept the first time. Kept in plain memory, not in platform
// bitmaps, so that a control holds no device objects between morphs.
#include <cstdint>
#include <vector>

#include "skin/data/vlEffects.h"

class TvlMorphLooks {
public:
    // Takes copies of the look being left and the look being reached (the
    // same size) and the kind of morph (TvlMorphKind); forgets older frames.
    void Start(const TvlPixelView& from, const TvlPixelView& to, int kind);
    // Forgets both looks and every frame: the next morph needs a new start.
    void Clear();
    // Whether there are looks of that size to blend.
    bool Started(int width, int height) const {
        return !FFrom.empty() && FWidth == width && FHeight == height;
    }
    // The look at factor k into `out` (0 at `from`, 1 at `to`), exactly as
    // TvlEffectBmp::MorphKind draws it.
    void Draw(double k, TvlFBitmap& out);

private:
    struct TFrame {
        double K;
        std::vector<uint8_t> Pixels;
    };
    // Frames beyond this many are dropped oldest first.
    static constexpr size_t MaxFrames = 16;

    std::vector<uint8_t> Copy(const TvlPixelView& view) const;
    TvlPixelView View(const std::vector<uint8_t>& pixels) const { return {pixels.data(), FWidth, FHeight, FStride}; }

    std::vector<uint8_t> FFrom, FTo;
    std::vector<TFrame> FFrames;
    int FWidth = 0, FHeight = 0, FStride = 0, FKind = 0;
};
