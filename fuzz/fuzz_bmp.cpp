// The BMP reader on arbitrary bytes: it either decodes or raises
// EInvalidGraphic, and what it decodes survives a write and a second read.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/BmpReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        TPixelImage image = DecodeBmp(bytes);
        if (static_cast<int64_t>(image.Width) * image.Height <= 65536 && !(DecodeBmp(EncodeBmp(image)) == image))
            std::abort();
    } catch (const EInvalidGraphic&) {
    }
    // The same bytes as a file standing alone, whose size field is not used.
    try {
        DecodeBmpFile(bytes);
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
