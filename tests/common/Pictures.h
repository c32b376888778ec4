#pragma once
// Small hand-made pictures for the pixel tests and benchmarks: every pixel of
// a labelled picture has its own colour, so a composed pixel tells where it
// came from.
#include <cstdint>
#include <random>

#include "skin/data/vlFBitmap.h"

// Colour of picture pixel (x, y): red x + 1, green y + 1, blue 0x40.
inline uint32_t Label(int x, int y) { return static_cast<uint32_t>((x + 1) | ((y + 1) << 8) | (0x40 << 16)); }

inline TvlFBitmap Labelled(int width, int height) {
    TvlFBitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) b.SetPixel(x, y, Label(x, y));
    return b;
}

// Three labelled glyph frames of 2 × 2 side by side. The second frame's
// bottom-left pixel (2, 1), its key colour, is green, and so is its
// top-right pixel (3, 0), which is then drawn as transparent too.
inline TvlFBitmap KeyedGlyphStrip() {
    TvlFBitmap strip = Labelled(6, 2);
    strip.SetPixel(2, 1, 0x00FF00);
    strip.SetPixel(3, 0, 0x00FF00);
    return strip;
}

inline TvlFBitmap Filled(int width, int height, uint32_t colour) {
    TvlFBitmap b(width, height);
    b.Fill(colour);
    return b;
}

inline TvlFBitmap Random(int width, int height, uint32_t seed) {
    std::mt19937 rng(seed);
    TvlFBitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x) b.Row(y)[x] = static_cast<uint8_t>(rng());
    return b;
}

// A frame mask: black with white rounded-off corners of the given radius.
inline TvlFBitmap RoundedMask(int width, int height, int radius) {
    TvlFBitmap mask(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int cx = x < radius ? radius - x : x >= width - radius ? x - (width - radius - 1) : 0;
            int cy = y < radius ? radius - y : y >= height - radius ? y - (height - radius - 1) : 0;
            if (cx * cx + cy * cy > radius * radius) mask.SetPixel(x, y, 0xFFFFFF);
        }
    return mask;
}
