#include "toolkit/Graphics.h"

#include <cstdio>
#include <vector>

COLORREF ColorToRGB(TColor c) { return (c & clSysBase) ? GetSysColor(static_cast<int>(c & 0xFF)) : (c & 0xFFFFFF); }

TFont& TFont::operator=(const TFont& other) {
    if (this != &other) {
        FName = other.FName;
        FHeight = other.FHeight;
        FStyle = other.FStyle;
        FColor = other.FColor;
        FCharSet = other.FCharSet;
        Changed();
    }
    return *this;
}

TFont::~TFont() { Reset(); }

void TFont::Reset() { FHandle.Reset(); }

HFONT TFont::Handle() const {
    if (!FHandle) {
        LOGFONTA lf{};
        // The platform's convention: a positive height is the character cell
        // (internal leading included), as skins give their fonts; a negative
        // one the characters alone.
        lf.lfHeight = FHeight;
        lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (FStyle & fsItalic) ? 1 : 0;
        lf.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
        lf.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
        lf.lfCharSet = FCharSet;
        lf.lfQuality = DEFAULT_QUALITY;
        lstrcpynA(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
        FHandle = CreateFontOwned(lf);
    }
    return FHandle.Handle();
}

void TCanvas::FillRect(const RECT& r, TColor color) {
    TGdiBrush b = CreateSolidBrushOwned(ColorToRGB(color));
    ::FillRect(FDC, &r, b.Handle());
}

void TCanvas::FrameRect(const RECT& r, TColor color) {
    TGdiBrush b = CreateSolidBrushOwned(ColorToRGB(color));
    ::FrameRect(FDC, &r, b.Handle());
}

void TCanvas::Line(int x1, int y1, int x2, int y2, TColor color) {
    TGdiPen pen = CreatePenOwned(PS_SOLID, 1, ColorToRGB(color));
    SelectGuard g(FDC, pen.Handle());
    MoveToEx(FDC, x1, y1, nullptr);
    LineTo(FDC, x2, y2);
}

void TCanvas::Edge(const RECT& r, bool raised) {
    TColor light = raised ? clBtnHighlight : clBtnShadow;
    TColor dark = raised ? clBtnShadow : clBtnHighlight;
    Line(r.left, r.bottom - 1, r.left, r.top, light);
    Line(r.left, r.top, r.right - 1, r.top, light);
    Line(r.right - 1, r.top, r.right - 1, r.bottom - 1, dark);
    Line(r.right - 1, r.bottom - 1, r.left - 1, r.bottom - 1, dark);
}

SIZE TCanvas::TextExtent(const std::string& text) {
    SelectGuard g(FDC, Font.Handle());
    SIZE s{0, 0};
    GetTextExtentPoint32A(FDC, text.c_str(), static_cast<int>(text.size()), &s);
    if (text.empty()) {
        TEXTMETRICA tm;
        GetTextMetricsA(FDC, &tm);
        s.cy = tm.tmHeight;
    }
    return s;
}

void TCanvas::DrawTextAt(int x, int y, const std::string& text) {
    SelectGuard g(FDC, Font.Handle());
    SetBkMode(FDC, TRANSPARENT);
    SetTextColor(FDC, ColorToRGB(Font.Color()));
    ::TextOutA(FDC, x, y, text.c_str(), static_cast<int>(text.size()));
}

void TCanvas::TextRect(RECT r, const std::string& text, unsigned flags) {
    SelectGuard g(FDC, Font.Handle());
    SetBkMode(FDC, TRANSPARENT);
    SetTextColor(FDC, ColorToRGB(Font.Color()));
    DrawTextA(FDC, text.c_str(), static_cast<int>(text.size()), &r, flags);
}

TBitmap::TBitmap(int width, int height) : FWidth(width < 1 ? 1 : width), FHeight(height < 1 ? 1 : height) {
    FDC = TMemoryDC::Create(nullptr);
    TDibSection dib = CreateDibSection(FWidth, FHeight, 32, FDC.Handle());
    FBitmap = std::move(dib.Bitmap);
    FBits = static_cast<unsigned char*>(dib.Bits);
    FSelected.emplace(FDC.Handle(), FBitmap.Handle());
}

TBitmap::~TBitmap() = default;

void TBitmap::CopyTo(HDC target, int x, int y) const {
    BitBlt(target, x, y, FWidth, FHeight, FDC.Handle(), 0, 0, SRCCOPY);
}

bool TBitmap::SaveToBmpFile(const std::string& path) const {
    GdiFlush();
    int stride = DibRowStride(FWidth, 24);
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = FWidth;
    ih.biHeight = -FHeight;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = static_cast<DWORD>(stride * FHeight);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + ih.biSizeImage;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    std::vector<unsigned char> row(static_cast<size_t>(stride), 0);
    for (int y = 0; y < FHeight; ++y) {
        const unsigned char* src = FBits + static_cast<size_t>(y) * FWidth * 4;
        for (int x = 0; x < FWidth; ++x) {
            row[x * 3] = src[x * 4];
            row[x * 3 + 1] = src[x * 4 + 1];
            row[x * 3 + 2] = src[x * 4 + 2];
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
}
