#pragma once
// JPEG pictures through libjpeg, decoded into 24-bit rows. Portable.
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/Errors.h"

class EJPEGError : public Exception {
public:
    using Exception::Exception;
};

struct TRGBImage {
    int Width = 0, Height = 0;
    // Rows top first, 3 bytes per pixel in blue, green, red order (the
    // layout of a 24-bit bitmap), rows not padded.
    std::vector<uint8_t> Pixels;
};

// Decodes a baseline or progressive JPEG (grey or colour); raises EJPEGError
// with libjpeg's message when the data is refused. Pictures over
// MaxJPEGPixels are refused before any memory is taken for them.
constexpr int64_t MaxJPEGPixels = 64 * 1024 * 1024;
TRGBImage DecodeJPEG(std::string_view data);
