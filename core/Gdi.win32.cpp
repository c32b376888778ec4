#include "core/Gdi.h"

namespace {
constexpr int kKinds = static_cast<int>(TGdiKind::Count);
// Owners live on the interface thread and on workers (pictures painted from
// an animation thread), so the counts are atomic.
std::atomic<long> GAlive[kKinds];
std::atomic<long> GHandles{0};
}  // namespace

const char* GdiKindName(TGdiKind kind) {
    switch (kind) {
        case TGdiKind::Bitmap: return "bitmap";
        case TGdiKind::Region: return "region";
        case TGdiKind::Brush: return "brush";
        case TGdiKind::Pen: return "pen";
        case TGdiKind::Font: return "font";
        case TGdiKind::DC: return "device context";
        default: return "?";
    }
}

long TGdiCounts::Total() const {
    long total = 0;
    for (long n : Alive) total += n;
    return total;
}

TGdiCounts GdiCounts() {
    TGdiCounts counts;
    for (int i = 0; i < kKinds; ++i) counts.Alive[i] = GAlive[i].load();
    counts.Handles = GHandles.load();
    return counts;
}

namespace gdi_detail {
void Count(TGdiKind kind, long delta) { GAlive[static_cast<int>(kind)] += delta; }
void CountHandles(long delta) { GHandles += delta; }
}  // namespace gdi_detail

TGdiBrush CreateSolidBrushOwned(COLORREF color) { return TGdiBrush(CreateSolidBrush(color)); }
TGdiPen CreatePenOwned(int style, int width, COLORREF color) { return TGdiPen(CreatePen(style, width, color)); }
TGdiFont CreateFontOwned(const LOGFONTA& font) { return TGdiFont(CreateFontIndirectA(&font)); }

bool TGdiRegion::HandToWindow(HWND window, bool redraw) {
    if (!SetWindowRgn(window, FHandle, redraw ? TRUE : FALSE)) return false;
    // The system deletes it with the window or when another region replaces it.
    if (FHandle) gdi_detail::Count(TGdiKind::Region, -1);
    FHandle = nullptr;
    return true;
}

BITMAPINFOHEADER DibHeader(int width, int height, int bitsPerPixel) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = -height;  // row 0 is the top row
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitsPerPixel);
    header.biCompression = BI_RGB;
    header.biSizeImage =
        static_cast<DWORD>(DibRowStride(width, bitsPerPixel)) * static_cast<DWORD>(height > 0 ? height : 0);
    return header;
}

TDibSection CreateDibSection(const BITMAPINFOHEADER& header, HDC dc) {
    BITMAPINFO info{};
    info.bmiHeader = header;
    void* bits = nullptr;
    TDibSection dib;
    dib.Bitmap = TGdiBitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    dib.Bits = dib.Bitmap ? bits : nullptr;
    return dib;
}
