#pragma once
// GDI wrappers: colours, fonts, a canvas over a device context, bitmaps.
// Each GDI object has one owner; the small guards release what they select.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "core/Gdi.h"
#include "core/TextStyle.h"

using TColor = unsigned int;  // 0x00BBGGRR
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clBlue = 0xFF0000, clNavy = 0x800000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF;
// System colours, resolved through GetSysColor.
constexpr TColor clSysBase = 0x80000000;
constexpr TColor clBtnFace = clSysBase | COLOR_BTNFACE, clWindow = clSysBase | COLOR_WINDOW,
                 clWindowText = clSysBase | COLOR_WINDOWTEXT, clBtnShadow = clSysBase | COLOR_BTNSHADOW,
                 clBtnHighlight = clSysBase | COLOR_BTNHIGHLIGHT, clHighlight = clSysBase | COLOR_HIGHLIGHT,
                 clGrayText = clSysBase | COLOR_GRAYTEXT, clBtnText = clSysBase | COLOR_BTNTEXT;
COLORREF ColorToRGB(TColor c);

class TFont {
public:
    TFont() = default;
    TFont(const std::string& name, int height, unsigned style = 0, TColor color = clWindowText)
        : FName(name), FHeight(height), FStyle(style), FColor(color) {}
    TFont(const TFont& other)
        : FName(other.FName),
          FHeight(other.FHeight),
          FStyle(other.FStyle),
          FColor(other.FColor),
          FCharSet(other.FCharSet) {}
    TFont& operator=(const TFont& other);
    ~TFont();

    const std::string& Name() const { return FName; }
    // Pixels: positive, the character cell; negative, the characters alone.
    int Height() const { return FHeight; }
    unsigned Style() const { return FStyle; }
    TColor Color() const { return FColor; }
    void SetName(const std::string& n) {
        FName = n;
        Changed();
    }
    void SetHeight(int h) {
        FHeight = h;
        Changed();
    }
    void SetStyle(unsigned s) {
        FStyle = s;
        Changed();
    }
    void SetColor(TColor c) {
        FColor = c;
        if (OnChange) OnChange();
    }
    unsigned char CharSet() const { return FCharSet; }
    void SetCharSet(unsigned char c) {
        FCharSet = c;
        Changed();
    }
    // Told after every change of this font object, an assignment included.
    // It stays with the object: copies do not take it, and assigning another
    // font keeps it.
    std::function<void()> OnChange;

    HFONT Handle() const;  // owned by the font

private:
    void Reset();
    void Changed() {
        Reset();
        if (OnChange) OnChange();
    }
    std::string FName = "Arial";
    int FHeight = -11;
    unsigned FStyle = 0;
    TColor FColor = clWindowText;
    unsigned char FCharSet = DEFAULT_CHARSET;
    mutable TGdiFont FHandle;
};

class TCanvas {
public:
    explicit TCanvas(HDC dc) : FDC(dc) {}
    HDC Handle() const { return FDC; }
    TFont Font;

    void FillRect(const RECT& r, TColor color);
    void FrameRect(const RECT& r, TColor color);
    void Line(int x1, int y1, int x2, int y2, TColor color);
    // Raised (true) or sunken edges of width 1 in the plain look.
    void Edge(const RECT& r, bool raised);
    SIZE TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    void DrawTextAt(int x, int y, const std::string& text);
    // DrawText with DT_* flags in rect r.
    void TextRect(RECT r, const std::string& text, unsigned flags);

private:
    HDC FDC;
};

// An off-screen 32-bit DIB section with a memory DC; paint here, copy once.
class TBitmap {
public:
    TBitmap(int width, int height);
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    HDC DC() const { return FDC.Handle(); }
    HBITMAP Handle() const { return FBitmap.Handle(); }
    unsigned char* Bits() const { return FBits; }  // top-down BGRA rows
    TCanvas Canvas() const { return TCanvas(FDC.Handle()); }
    void CopyTo(HDC target, int x, int y) const;
    // Writes the pixels as a 24-bit BMP file.
    bool SaveToBmpFile(const std::string& path) const;

private:
    int FWidth, FHeight;
    // Destroyed in reverse: the bitmap leaves the context, then both go.
    TGdiBitmap FBitmap;
    TMemoryDC FDC;
    std::optional<SelectGuard> FSelected;
    unsigned char* FBits = nullptr;
};
