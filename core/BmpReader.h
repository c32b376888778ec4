#pragma once
// Reader and writer of Windows bitmap files (BMP). The reader takes 1, 4, 8,
// 16, 24 and 32 bits per pixel, with colour tables, bottom-up and top-down
// rows, RLE4 and RLE8 compression and 16- and 32-bit bit-field masks. It never reads
// outside the bytes it is given: every size and offset field is checked and
// anything short or inconsistent raises EInvalidGraphic.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/Errors.h"
#include "core/PixelImage.h"

class EInvalidGraphic : public Exception {
public:
    explicit EInvalidGraphic(const std::string& reason) : Exception("Bitmap image is not valid: " + reason) {}
};

// Largest width or height accepted, and largest pixel count: far above any
// skin picture, low enough that a forged header cannot exhaust memory.
constexpr int BmpMaxDimension = 16384;
constexpr int64_t BmpMaxPixels = 16ll * 1024 * 1024;

// The length of the bitmap file that starts at `bytes`, as its own file-size
// field gives it, after checking the signature and that the file fits in
// `bytes`. Packages place bitmaps back to back, so this is where the next
// field starts.
size_t BmpFileLength(std::string_view bytes);

// Decodes one whole bitmap file (`bytes` may run past its end; only the
// length from BmpFileLength is read).
TPixelImage DecodeBmp(std::string_view bytes);
// The same into an image whose buffer is reused when it is large enough (on
// an error the image is left with unspecified pixels).
void DecodeBmpInto(std::string_view bytes, TPixelImage& image);
// Decodes a bitmap file standing alone: `file` is all of it, and its
// file-size field, which writers often get wrong, is not used.
TPixelImage DecodeBmpFile(std::string_view file);

// Encodes an image as a bitmap file with the fewest bits per pixel that hold
// all its colours exactly: 1, 4 or 8 bits with a colour table, else 24 bits.
// An empty image cannot be written and raises EInvalidGraphic.
std::string EncodeBmp(const TPixelImage& image);
