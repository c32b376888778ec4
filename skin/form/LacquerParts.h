#pragma once
// Drawing helpers and shared state of the frame component's parts
// (Lacquer.cpp, vlCaptionObjects.cpp, LacquerGeometry.cpp, LacquerStates.cpp).
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "skin/form/Lacquer.h"

namespace vlFrameParts {

// Every frame alive, to find the minimized frames of other forms.
inline std::vector<TvlLacquer*>& AllFrames() {
    static std::vector<TvlLacquer*> frames;
    return frames;
}

inline constexpr int kBuiltInBorder = 3;

inline bool Inside(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }
inline bool AllZero(const TRect& r) { return r.Left == 0 && r.Top == 0 && r.Right == 0 && r.Bottom == 0; }
inline TRect Offset(TRect r, int dx, int dy) { return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

inline uint32_t Rgb(TColor c) { return ColorToRGB(c); }

inline void FillArea(TvlFBitmap& dest, const TRect& r, uint32_t colour) {
    int l = std::max(0, r.Left), t = std::max(0, r.Top);
    int rr = std::min(dest.Width(), r.Right), b = std::min(dest.Height(), r.Bottom);
    for (int y = t; y < b; ++y)
        for (int x = l; x < rr; ++x) dest.SetPixel(x, y, colour);
}
inline void HLine(TvlFBitmap& dest, int x1, int x2, int y, uint32_t colour) {
    FillArea(dest, {x1, y, x2, y + 1}, colour);
}
inline void VLine(TvlFBitmap& dest, int x, int y1, int y2, uint32_t colour) {
    FillArea(dest, {x, y1, x + 1, y2}, colour);
}
inline void FrameArea(TvlFBitmap& dest, const TRect& r, uint32_t colour) {
    HLine(dest, r.Left, r.Right, r.Top, colour);
    HLine(dest, r.Left, r.Right, r.Bottom - 1, colour);
    VLine(dest, r.Left, r.Top, r.Bottom, colour);
    VLine(dest, r.Right - 1, r.Top, r.Bottom, colour);
}

// Text drawn with GDI into a bitmap's pixels; flushed before the pixels are
// touched again.
struct TextPen {
    TvlFBitmap& Dest;
    TFont Font;
    HDC DC;
    HGDIOBJ Old;
    TextPen(TvlFBitmap& dest, const std::string& name, int height, TFontStyles style)
        : Dest(dest), Font(name, height, style), DC(dest.Canvas()), Old(SelectObject(DC, Font.Handle())) {
        SetBkMode(DC, TRANSPARENT);
    }
    ~TextPen() {
        GdiFlush();
        SelectObject(DC, Old);
    }
    SIZE Extent(const std::string& s) const {
        SIZE size{};
        GetTextExtentPoint32A(DC, s.c_str(), static_cast<int>(s.size()), &size);
        return size;
    }
    void Out(int x, int y, const std::string& s, uint32_t colour, const TRect* clip = nullptr) {
        SetTextColor(DC, colour);
        RECT r =
            clip ? RECT{clip->Left, clip->Top, clip->Right, clip->Bottom} : RECT{0, 0, Dest.Width(), Dest.Height()};
        ExtTextOutA(DC, x, y, ETO_CLIPPED, &r, s.c_str(), static_cast<UINT>(s.size()), nullptr);
    }
};

inline std::string WindowText(HWND w) {
    int n = GetWindowTextLengthA(w);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    GetWindowTextA(w, s.data(), n + 1);
    s.resize(static_cast<size_t>(n));
    return s;
}

}  // namespace vlFrameParts
