#pragma once
// Row layout of device-independent bitmaps, portable: every row is padded to
// a multiple of 4 bytes. BMP files, skin bitmaps and DIB sections all use it.
#include <cstddef>
#include <cstdint>

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

// One 24-bit pixel, stored blue, green, red, as a colour 0x00BBGGRR (the
// skin description's colour form), and back.
inline uint32_t DibPixelColor(const uint8_t* p) {
    return p[2] | (p[1] << 8) | (static_cast<uint32_t>(p[0]) << 16);
}
inline void SetDibPixelColor(uint8_t* p, uint32_t colour) {
    p[0] = static_cast<uint8_t>(colour >> 16);
    p[1] = static_cast<uint8_t>(colour >> 8);
    p[2] = static_cast<uint8_t>(colour);
}
