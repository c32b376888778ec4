#pragma once
// PNG encoding of screenshots: 8-bit RGB, standard chunks with CRC-32, image
// data deflated by zlib.
#include <cstdint>
#include <string>

uint32_t Crc32(const void* data, size_t size, uint32_t crc = 0);

// `pixels` holds `height` rows, top row first, each starting `stride` bytes
// after the previous and holding `width` pixels of blue, green, red bytes
// (the layout of a 24-bit device-independent bitmap). Raises Exception for
// empty or oversized images.
std::string EncodePng(const uint8_t* pixels, int width, int height, int stride);
