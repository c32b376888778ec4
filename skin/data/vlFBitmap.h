#pragma once
// The 24-bit working bitmap every skin composition draws into: rows top-down,
// pixels blue, green, red, each row padded to a multiple of 4 bytes. That is
// the memory layout of a top-down 24-bit device-independent bitmap, so on
// Windows the pixels live in a DIB section and reach a device context in one
// copy; natively they live on the heap.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/DibLayout.h"

#ifdef _WIN32
// The platform's handle types, declared the way <windows.h> declares them, so
// that portable code including this header stays free of the platform.
struct HBITMAP__;
struct HDC__;
#endif

// A read-only view of 24-bit top-down rows: a skin picture, a bitmap, or any
// image with the same layout (Stride bytes from one row to the next).
struct TvlPixelView {
    const uint8_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    int Stride = 0;

    bool Empty() const { return Width <= 0 || Height <= 0 || Bits == nullptr; }
    const uint8_t* Row(int y) const { return Bits + static_cast<ptrdiff_t>(y) * Stride; }
};

// The 40-byte bitmap information header that describes the pixel memory.
struct TvlBitmapInfoHeader {
    uint32_t Size = 40;
    int32_t Width = 0;
    int32_t Height = 0;  // negative: row 0 is the top row
    uint16_t Planes = 1;
    uint16_t BitCount = 24;
    uint32_t Compression = 0;
    uint32_t SizeImage = 0;
    int32_t XPelsPerMeter = 0;
    int32_t YPelsPerMeter = 0;
    uint32_t ClrUsed = 0;
    uint32_t ClrImportant = 0;
};
static_assert(sizeof(TvlBitmapInfoHeader) == 40);

// Bytes from one row to the next: width × 3 plus width mod 4.
constexpr int vlRowStride(int width) { return DibRowStride(width, 24); }

// Largest width or height; keeps every size computation inside int and
// size_t range whatever a caller asks for.
constexpr int vlMaxBitmapDimension = 32768;

class TvlFBitmap {
public:
    TvlFBitmap() = default;
    TvlFBitmap(int width, int height) { SetSize(width, height); }
    explicit TvlFBitmap(const TvlPixelView& source) { Assign(source); }
    TvlFBitmap(const TvlFBitmap& other) { Assign(other.View()); }
    TvlFBitmap& operator=(const TvlFBitmap& other);
    TvlFBitmap(TvlFBitmap&& other) noexcept { Swap(other); }
    TvlFBitmap& operator=(TvlFBitmap&& other) noexcept;
    ~TvlFBitmap();

    // Sets the size; every pixel and the row padding become 0 (black).
    // A width or height below 1 leaves an empty bitmap. Sizes above
    // vlMaxBitmapDimension are refused with std::length_error.
    void SetSize(int width, int height);
    // Sets the size without clearing when it does not change; a new size
    // gets cleared memory. For compositions that overwrite what they use.
    void SetSizeForOverwrite(int width, int height);
    // Becomes a copy of the source rows (the same size).
    void Assign(const TvlPixelView& source);
    void Clear();
    void Fill(uint32_t colour);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Stride() const { return FStride; }
    int Pad() const { return FWidth % 4; }
    size_t Size() const { return static_cast<size_t>(FStride) * static_cast<size_t>(FHeight); }
    bool Empty() const { return FWidth <= 0 || FHeight <= 0; }
    const TvlBitmapInfoHeader& Header() const { return FHeader; }

    uint8_t* Bits() { return FBits; }
    const uint8_t* Bits() const { return FBits; }
    uint8_t* Row(int y) { return FBits + static_cast<ptrdiff_t>(y) * FStride; }
    const uint8_t* Row(int y) const { return FBits + static_cast<ptrdiff_t>(y) * FStride; }
    TvlPixelView View() const { return {FBits, FWidth, FHeight, FStride}; }
    operator TvlPixelView() const { return View(); }

    // One pixel as a colour 0x00BBGGRR; x and y must lie inside the bitmap.
    uint32_t Pixel(int x, int y) const { return DibPixelColor(Row(y) + x * 3); }
    void SetPixel(int x, int y, uint32_t colour) { SetDibPixelColor(Row(y) + x * 3, colour); }
    // Copies the Width × 3 pixel bytes of row y out to or in from a buffer.
    void CopyRowOut(int y, uint8_t* buffer) const { std::memcpy(buffer, Row(y), static_cast<size_t>(FWidth) * 3); }
    void CopyRowIn(int y, const uint8_t* buffer) { std::memcpy(Row(y), buffer, static_cast<size_t>(FWidth) * 3); }

    bool SameSize(const TvlFBitmap& other) const { return FWidth == other.FWidth && FHeight == other.FHeight; }
    bool operator==(const TvlFBitmap& other) const;

#ifdef _WIN32
    // Becomes a 24-bit copy of a platform bitmap (any depth). A bitmap that
    // cannot be read leaves this bitmap empty.
    void CreateFromBitmap(HBITMAP__* bitmap);
    // The DIB section that owns the pixels, and a memory device context with
    // it selected (made on first use). After drawing on the context through
    // the platform, call GdiFlush before reading the rows.
    HBITMAP__* Handle() const { return static_cast<HBITMAP__*>(FHandle); }
    HDC__* Canvas();
    // Copies the whole bitmap, unscaled, to a device context at (x, y).
    void DrawTo(HDC__* dc, int x, int y);
#endif

private:
    void Swap(TvlFBitmap& other) noexcept;
    void Release();
    void Allocate(int width, int height);
#ifdef _WIN32
    void ReleaseCanvas();
#endif

    int FWidth = 0;
    int FHeight = 0;
    int FStride = 0;
    TvlBitmapInfoHeader FHeader;
    uint8_t* FBits = nullptr;
    void* FHandle = nullptr;  // owned platform bitmap holding FBits, if any
#ifdef _WIN32
    HDC__* FDC = nullptr;        // owned; FHandle is selected into it
    void* FOldBitmap = nullptr;  // the context's bitmap before FHandle
#endif
};

// Platform storage of the pixel memory (heap natively, DIB section on
// Windows), defined in vlFBitmap.native.cpp and vlFBitmap.win32.cpp.
namespace vlPixelStore {
// Zero-filled memory of header.SizeImage bytes; throws std::bad_alloc.
uint8_t* Allocate(const TvlBitmapInfoHeader& header, void** handle);
void Release(uint8_t* bits, void* handle);
}  // namespace vlPixelStore
