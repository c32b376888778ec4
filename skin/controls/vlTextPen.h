#pragma once
// Text drawn with GDI into a skin bitmap's pixels, as the frame, the menus
// and the bars draw their captions: the font stays selected for the pen's
// life, and GDI is flushed before anyone touches the pixels again.
#include <windows.h>

#include <cstdint>
#include <string>

#include "core/Gdi.h"
#include "core/Geometry.h"
#include "skin/data/vlFBitmap.h"
#include "toolkit/Graphics.h"

class TvlTextPen {
public:
    TvlTextPen(TvlFBitmap& dest, const TFont& font)
        : FDest(dest), FFont(font), FDC(dest.Canvas()), FSelected(FDC, FFont.Handle()) {
        SetBkMode(FDC, TRANSPARENT);
    }
    ~TvlTextPen() { GdiFlush(); }
    TvlTextPen(const TvlTextPen&) = delete;
    TvlTextPen& operator=(const TvlTextPen&) = delete;

    HDC DC() const { return FDC; }
    SIZE Extent(const std::string& s) const {
        SIZE size{};
        GetTextExtentPoint32A(FDC, s.c_str(), static_cast<int>(s.size()), &size);
        return size;
    }
    // Draws `s` at (x, y), cut at `clip` (the whole bitmap when none).
    void Out(int x, int y, const std::string& s, uint32_t colour, const TRect* clip = nullptr) {
        SetTextColor(FDC, colour);
        RECT r = clip ? RECT{clip->Left, clip->Top, clip->Right, clip->Bottom} : RECT{0, 0, FDest.Width(), FDest.Height()};
        ExtTextOutA(FDC, x, y, ETO_CLIPPED, &r, s.c_str(), static_cast<UINT>(s.size()), nullptr);
    }

private:
    TvlFBitmap& FDest;
    TFont FFont;  // a copy: its handle lives as long as the selection
    HDC FDC;
    SelectGuard FSelected;
};
