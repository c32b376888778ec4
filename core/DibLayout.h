#pragma once
// Row layout of device-independent bitmaps, portable: every row is padded to
// a multiple of 4 bytes. BMP files, skin bitmaps and DIB sections all use it.
#include <cstddef>

// Bytes from one row to the next at `bitsPerPixel`; size_t so that sizes read
// from a file cannot overflow.
constexpr size_t DibRowBytes(size_t width, int bitsPerPixel) {
    return (width * static_cast<size_t>(bitsPerPixel) + 31) / 32 * 4;
}

// The same for widths the program itself chose.
constexpr int DibRowStride(int width, int bitsPerPixel) {
    return width <= 0 ? 0 : static_cast<int>(DibRowBytes(static_cast<size_t>(width), bitsPerPixel));
}

static_assert(DibRowStride(1, 24) == 4 && DibRowStride(2, 24) == 8 && DibRowStride(3, 24) == 12 &&
              DibRowStride(5, 24) == 16 && DibRowStride(1, 32) == 4 && DibRowStride(9, 1) == 4);
