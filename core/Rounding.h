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
