#pragma once
// A decoded picture in the layout the skin compositions work on: 24 bits per
// pixel stored blue, green, red; rows top-down; each row padded to a multiple
// of 4 bytes. Empty when width or height is 0.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "core/DibLayout.h"

// Leaves the bytes of a growing vector uninitialised: decoders write every
// byte themselves, and zeroing first costs as much as a cheap decode.
template <class T>
struct TUninitializedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = TUninitializedAllocator<U>;
    };
    TUninitializedAllocator() = default;
    template <class U>
    TUninitializedAllocator(const TUninitializedAllocator<U>&) noexcept {}
    template <class U>
    void construct(U*) noexcept {}
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

struct TPixelImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t, TUninitializedAllocator<uint8_t>> Pixels;

    static int StrideFor(int width) { return DibRowStride(width, 24); }
    int Stride() const { return StrideFor(Width); }
    bool Empty() const { return Width <= 0 || Height <= 0; }

    // Sets the size and fills every pixel (and the row padding) with zero.
    void Resize(int width, int height) {
        Width = width;
        Height = height;
        Pixels.assign(static_cast<size_t>(Stride()) * static_cast<size_t>(height > 0 ? height : 0), 0);
    }
    // Sets the size and leaves the pixels (and padding) for the caller to write.
    void ResizeUninitialized(int width, int height) {
        Width = width;
        Height = height;
        Pixels.resize(static_cast<size_t>(Stride()) * static_cast<size_t>(height > 0 ? height : 0));
    }
    void Clear() {
        Width = Height = 0;
        Pixels.clear();
    }
    uint8_t* Row(int y) { return Pixels.data() + static_cast<size_t>(y) * Stride(); }
    const uint8_t* Row(int y) const { return Pixels.data() + static_cast<size_t>(y) * Stride(); }

    // Colour as 0x00BBGGRR, the skin description's colour form.
    uint32_t PixelColor(int x, int y) const { return DibPixelColor(Row(y) + x * 3); }
    void SetPixelColor(int x, int y, uint32_t color) { SetDibPixelColor(Row(y) + x * 3, color); }
    bool operator==(const TPixelImage&) const = default;
};
