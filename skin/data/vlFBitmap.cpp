#include <algorithm>
#include "skin/data/vlFBitmap.h"

#include <stdexcept>
#include <utility>

TvlFBitmap& TvlFBitmap::operator=(const TvlFBitmap& other) {
    if (this != &other) Assign(other.View());
    return *this;
}

TvlFBitmap& TvlFBitmap::operator=(TvlFBitmap&& other) noexcept {
    if (this != &other) {
        Release();
        Swap(other);
    }
    return *this;
}

TvlFBitmap::~TvlFBitmap() { Release(); }

void TvlFBitmap::Swap(TvlFBitmap& other) noexcept {
    std::swap(FWidth, other.FWidth);
    std::swap(FHeight, other.FHeight);
    std::swap(FStride, other.FStride);
    std::swap(FHeader, other.FHeader);
    std::swap(FBits, other.FBits);
    std::swap(FHandle, other.FHandle);
#ifdef _WIN32
    std::swap(FDC, other.FDC);
    std::swap(FOldBitmap, other.FOldBitmap);
#endif
}

void TvlFBitmap::Allocate(int width, int height) {
    if (width > vlMaxBitmapDimension || height > vlMaxBitmapDimension) throw std::length_error("bitmap too large");
    Release();
    if (width <= 0 || height <= 0) return;
    TvlBitmapInfoHeader header;
    header.Width = width;
    header.Height = -height;
    header.SizeImage = static_cast<uint32_t>(vlRowStride(width)) * static_cast<uint32_t>(height);
    FBits = vlPixelStore::Allocate(header, &FHandle);
    FWidth = width;
    FHeight = height;
    FStride = vlRowStride(width);
    FHeader = header;
}

void TvlFBitmap::SetSize(int width, int height) {
    if (width == FWidth && height == FHeight && FBits)
        Clear();
    else
        Allocate(width, height);
}

void TvlFBitmap::SetSizeForOverwrite(int width, int height) {
    if (width != FWidth || height != FHeight || !FBits) Allocate(width, height);
}

void TvlFBitmap::Assign(const TvlPixelView& source) {
    if (source.Bits == FBits && FBits) return;
    SetSizeForOverwrite(source.Empty() ? 0 : source.Width, source.Empty() ? 0 : source.Height);
    for (int y = 0; y < FHeight; ++y) {
        std::memcpy(Row(y), source.Row(y), static_cast<size_t>(FWidth) * 3);
        std::memset(Row(y) + FWidth * 3, 0, static_cast<size_t>(Pad()));
    }
}

void TvlFBitmap::Clear() {
    if (FBits) std::memset(FBits, 0, Size());
}

void TvlFBitmap::Fill(uint32_t colour) {
    if (Empty()) return;
    uint8_t* first = Row(0);
    const size_t bytes = static_cast<size_t>(FWidth) * 3;
    const uint8_t r = static_cast<uint8_t>(colour), g = static_cast<uint8_t>(colour >> 8),
                  b = static_cast<uint8_t>(colour >> 16);
    if (r == g && g == b) {
        std::memset(first, r, bytes);
    } else {
        // One pixel, then the filled part copied onto the rest, doubling.
        SetPixel(0, 0, colour);
        for (size_t done = 3; done < bytes; done *= 2) std::memcpy(first + done, first, std::min(done, bytes - done));
    }
    for (int y = 1; y < FHeight; ++y) std::memcpy(Row(y), first, static_cast<size_t>(FWidth) * 3);
}

bool TvlFBitmap::operator==(const TvlFBitmap& other) const {
    if (!SameSize(other)) return false;
    for (int y = 0; y < FHeight; ++y)
        if (std::memcmp(Row(y), other.Row(y), static_cast<size_t>(FWidth) * 3) != 0) return false;
    return true;
}

void TvlFBitmap::Release() {
#ifdef _WIN32
    ReleaseCanvas();
#endif
    if (FBits) vlPixelStore::Release(FBits, FHandle);
    FBits = nullptr;
    FHandle = nullptr;
    FWidth = FHeight = FStride = 0;
    FHeader = TvlBitmapInfoHeader();
}
