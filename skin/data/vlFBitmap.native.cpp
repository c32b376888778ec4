#include <cstdlib>
#include <new>

#include "skin/data/vlFBitmap.h"

namespace vlPixelStore {

uint8_t* Allocate(const TvlBitmapInfoHeader& header, void** handle) {
    *handle = nullptr;
    void* bits = std::calloc(header.SizeImage, 1);
    if (!bits) throw std::bad_alloc();
    return static_cast<uint8_t*>(bits);
}

void Release(uint8_t* bits, void*) { std::free(bits); }

}  // namespace vlPixelStore
