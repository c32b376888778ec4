#pragma once
// Image effects on 24-bit working bitmaps: the morphs that blend a skinned
// element from one look to another, the filters that draw an inactive window
// from its active look, and quarter turns and flips for side and bottom tabs.
// Every computed channel is rounded to the nearest integer, halves to the
// even neighbour, and clamped to 0 … 255.
#include "skin/data/vlEffectKinds.h"
#include "skin/data/vlFBitmap.h"

class TvlEffectBmp : public TvlFBitmap {
public:
    using TvlFBitmap::TvlFBitmap;

    // A bitmap of that size whose contents are to be overwritten.
    void CreateBlank(int width, int height) { SetSizeForOverwrite(width, height); }

    // Morphs: this bitmap is the look being left (A) and changes in place
    // towards B by the coefficient k (0 at the start, 1 at the end). When A
    // and B differ in size nothing happens.
    void Morph(const TvlFBitmap& b, double k);
    // Grows B from the middle outwards, with soft edges; vertical when the
    // bitmap is higher than wide. k is taken within 0 … 1.
    void GradientMorph(const TvlFBitmap& b, double k);
    void LeftGradientMorph(const TvlFBitmap& b, double k);
    void RightGradientMorph(const TvlFBitmap& b, double k);
    void LeftSlideMorph(const TvlFBitmap& b, double k);
    void RightSlideMorph(const TvlFBitmap& b, double k);
    void PushMorph(const TvlFBitmap& b, double k);
    // The morph of a kind (TvlMorphKind); an unknown kind cross-fades.
    void MorphKind(int kind, const TvlFBitmap& b, double k);

    // Filters, in place.
    void ChangeBrightness(double amount);
    void ChangeDarkness(double amount);
    void GrayScale();
    void Invert();
    void SplitBlur(int distance);
    // Adds to each pixel's three channels one value drawn from
    // −(amount div 2) … amount − 1 − amount div 2; nothing when amount < 1.
    void AddNoise(int amount);
    // The filter of an inactive effect (TvlInActiveEffect); an unknown one is the
    // gray scale, as the description reads an unknown name.
    void ApplyInactiveEffect(int effect);

    // Geometry into a second bitmap, which is sized to fit: a quarter turn
    // counter-clockwise, clockwise, and upside down.
    void RotateLeft(TvlFBitmap& dest) const;
    void RotateRight(TvlFBitmap& dest) const;
    void FlipVertical(TvlFBitmap& dest) const;
};

// Rounds to the nearest integer, halves to the even neighbour (the rounding
// of every effect); NaN gives 0 and values beyond ±2^30 are held there.
int vlRoundHalfEven(double v);
