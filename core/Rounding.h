#pragma once
#include <cmath>

// Rounds to the nearest integer, an exact half to the even neighbour.
inline long long RoundHalfEven(long double value) {
    long double floor = std::floor(value);
    long double diff = value - floor;
    long long f = static_cast<long long>(floor);
    if (diff > 0.5L) return f + 1;
    if (diff < 0.5L) return f;
    return (f % 2 == 0) ? f : f + 1;
}

// value * to / from rounded to the nearest integer, halves away from zero
// (the rounding of the platform's MulDiv): lengths scaled between display
// scales, by layouts and skins alike.
inline int ScaleRounded(int value, int from, int to) {
    long long magnitude =
        (static_cast<long long>(value < 0 ? -static_cast<long long>(value) : value) * to + from / 2) / from;
    return static_cast<int>(value < 0 ? -magnitude : magnitude);
}

// A font's height scaled, rounded toward zero: a text never grows past the
// boxes its layout, scaled by ScaleRounded, gives it (a height a little
// rounded up would widen every line by the same share and clip it).
inline int ScaleFontRounded(int height, int from, int to) {
    return static_cast<int>(static_cast<long long>(height) * to / from);
}
