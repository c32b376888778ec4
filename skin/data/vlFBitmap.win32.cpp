#include <windows.h>

#include <new>

#include "core/Gdi.h"
#include "skin/data/vlFBitmap.h"

namespace vlPixelStore {

// The pixels live in a DIB section so that the platform can draw them
// without a conversion; its memory starts zero-filled.
uint8_t* Allocate(const TvlBitmapInfoHeader& header, void** handle) {
    BITMAPINFOHEADER info{};
    static_assert(sizeof(info) == sizeof(header));
    std::memcpy(&info, &header, sizeof(header));
    TDibSection dib = CreateDibSection(info);
    if (!dib) throw std::bad_alloc();
    // The portable class keeps the handle; Release below takes it back.
    *handle = dib.Bitmap.Release();
    return static_cast<uint8_t*>(dib.Bits);
}

void Release(uint8_t*, void* handle) {
    if (handle) TGdiBitmap::Reclaim(static_cast<HBITMAP>(handle)).Reset();
}

}  // namespace vlPixelStore

void TvlFBitmap::CreateFromBitmap(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || GetObjectA(bitmap, sizeof(info), &info) == 0 || info.bmWidth <= 0 || info.bmHeight == 0) {
        SetSize(0, 0);
        return;
    }
    int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    SetSizeForOverwrite(info.bmWidth, height);
    BITMAPINFO request{};
    std::memcpy(&request.bmiHeader, &FHeader, sizeof(FHeader));
    TMemoryDC reader = ScreenCompatibleDC();
    // The bitmap to read must not be selected into our own context.
    ReleaseCanvas();
    int lines = GetDIBits(reader.Handle(), bitmap, 0, static_cast<UINT>(height), FBits, &request, DIB_RGB_COLORS);
    if (lines != height) SetSize(0, 0);
}

HDC TvlFBitmap::Canvas() {
    if (!FDC && FHandle) {
        FDC = TMemoryDC::Create(nullptr).Release();
        if (FDC) FOldBitmap = SelectObject(FDC, static_cast<HBITMAP>(FHandle));
    }
    return FDC;
}

void TvlFBitmap::DrawTo(HDC dc, int x, int y) {
    if (Empty()) return;
    // Drawing done on our own context must reach the memory first.
    GdiFlush();
    // One copy straight from the DIB memory; nothing is converted twice.
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(FWidth), static_cast<DWORD>(FHeight), 0, 0, 0,
                      static_cast<UINT>(FHeight), FBits, reinterpret_cast<const BITMAPINFO*>(&FHeader), DIB_RGB_COLORS);
}

void TvlFBitmap::ReleaseCanvas() {
    if (FDC) {
        SelectObject(FDC, static_cast<HGDIOBJ>(FOldBitmap));
        TMemoryDC::Reclaim(FDC).Reset();
    }
    FDC = nullptr;
    FOldBitmap = nullptr;
}
