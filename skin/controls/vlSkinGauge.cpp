// The skinned gauge: its value and text, and its bar drawn from the skin's
// progress element or, without one, in flat colours.

#include "skin/controls/vlSkinPanels.h"

#include <algorithm>

#include "core/Gdi.h"
#include "core/Property.h"
#include "core/Rounding.h"
#include "skin/access/vlAccess.h"
#include "skin/data/vlCompose.h"

// ---- TvlSkinGauge ----

TvlSkinGauge::TvlSkinGauge(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
    : TvlSkinCustomControl(owner, parent) {
    SkinDataName = "gauge";
    SetBounds(left, top, width, height);
}

void TvlSkinGauge::SetMinValue(int v) {
    FMin = v;
    if (FValue < v) FValue = v;
    Invalidate();
}

void TvlSkinGauge::SetMaxValue(int v) {
    FMax = v;
    if (FValue > v) FValue = v;
    Invalidate();
}

void TvlSkinGauge::SetValue(int v) {
    v = std::max(FMin, std::min(FMax, v));
    if (!SetIfChanged(FValue, v)) return;
    Invalidate();
    vlAccessEvent(this, EVENT_OBJECT_VALUECHANGE);
}

void TvlSkinGauge::SetProgressText(const std::string& text) {
    bool changed = text != FProgressText;
    FProgressText = text;
    Invalidate();
    if (changed) vlAccessEvent(this, EVENT_OBJECT_VALUECHANGE);
}

void TvlSkinGauge::SetShowProgressText(bool v) {
    if (SetIfChanged(FShowProgressText, v)) Invalidate();
}

void TvlSkinGauge::SetShowPercent(bool v) {
    if (SetIfChanged(FShowPercent, v)) Invalidate();
}

// Turning the bar takes the vertical element and swaps a shape that no
// longer matches; the plain size moves with it.
void TvlSkinGauge::SetVertical(bool v) {
    if (!SetIfChanged(FVertical, v)) return;
    SkinDataName = v ? "vgauge" : "gauge";
    if (v) {
        if (DefaultHeight() > 0) SetDefaultWidth(DefaultHeight());
        SetDefaultHeight(0);
    } else {
        if (DefaultWidth() > 0) SetDefaultHeight(DefaultWidth());
        SetDefaultWidth(0);
    }
    FProgressArea = TRect{};
    if (v == (Width() > Height())) SetBounds(Left(), Top(), Height(), Width());
    SkinChanged();
}

void TvlSkinGauge::SetUseSkinSize(bool v) {
    if (SetIfChanged(FUseSkinSize, v)) SkinChanged();
}

double TvlSkinGauge::Fraction() const {
    return FMax == FMin ? 0.0 : static_cast<double>(FValue - FMin) / (FMax - FMin);
}

int TvlSkinGauge::Percent() const { return static_cast<int>(RoundHalfEven(Fraction() * 100)); }

std::string TvlSkinGauge::Text() const {
    std::string text = FShowProgressText ? FProgressText : std::string();
    if (FShowPercent) text += std::to_string(Percent()) + "%";
    return text;
}

TRect TvlSkinGauge::ProgressRect(const TRect& area) const {
    TRect r = area;
    double f = Fraction();
    if (FVertical)
        r.Top = r.Bottom - static_cast<int>(RoundHalfEven(f * area.Height()));
    else
        r.Right = r.Left + static_cast<int>(RoundHalfEven(f * area.Width()));
    return r;
}

void TvlSkinGauge::ReadElement() {
    TvlSkinCustomControl::ReadElement();
    FHasData = CopyElementData(FData);
    if (!FHasData) return;
    FVertical = FData.Vertical;
    if (!FUseSkinSize) Look.MaskBitmap = nullptr;
    if (FProgressArea.IsEmpty()) FProgressArea = FData.ProgressArea;
}

void TvlSkinGauge::AdjustToSkinSize(int& width, int& height) {
    int requestedW = width, requestedH = height;
    TvlSkinCustomControl::AdjustToSkinSize(width, height);
    FProgressArea = FData.ProgressArea;
    if (Look.StretchMode != smFixed && Look.StretchMode != smNone) {
        if (FVertical)
            FProgressArea.Bottom += requestedH - Look.SkinRect.Height();
        else
            FProgressArea.Right += requestedW - Look.SkinRect.Width();
    }
    if (!FUseSkinSize) {
        width = requestedW;
        height = requestedH;
    }
}

void TvlSkinGauge::DrawText(TvlFBitmap& bitmap, const TFont& font, TColor colour) {
    std::string text = Text();
    if (text.empty()) return;
    if (!FVertical) {
        TCanvas canvas = LookCanvas(bitmap, font, colour);
        SIZE s = canvas.TextExtent(text);
        canvas.DrawTextAt(Width() / 2 - s.cx / 2, Height() / 2 - s.cy / 2, text);
        return;
    }
    // A vertical bar reads bottom to top: the font turned by 90 degrees.
    LOGFONTA lf{};
    GetObjectA(font.Handle(), sizeof lf, &lf);
    lf.lfEscapement = lf.lfOrientation = 900;
    TGdiFont rotated = CreateFontOwned(lf);
    HDC dc = bitmap.Canvas();
    SIZE s{};
    {
        SelectGuard upright(dc, font.Handle());
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &s);
    }
    SelectGuard selected(dc, rotated.Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(colour));
    TextOutA(dc, Width() / 2 - s.cy / 2, s.cx / 2 + Height() / 2, text.c_str(), static_cast<int>(text.size()));
    GdiFlush();
}

void TvlSkinGauge::PaintDefault(TvlFBitmap& bitmap) {
    TCanvas canvas(bitmap.Canvas());
    canvas.FillRect(RECT{0, 0, Width(), Height()}, clWindow);
    canvas.FrameRect(RECT{0, 0, Width(), Height()}, clBtnShadow);
    TRect bar = ProgressRect(TRect{1, 1, Width() - 1, Height() - 1});
    if (!bar.IsEmpty())
        canvas.FillRect(RECT{bar.Left, bar.Top, bar.Right, bar.Bottom}, 0xD2BDB6);  // RGB(182, 189, 210)
    TFont font = PlainFont();
    DrawText(bitmap, font, font.Color());
}

// The bar of the given size from progressrect: the middle tiled between the
// two end pieces, which are always drawn.
void TvlSkinGauge::ComposeBar(TvlFBitmap& bar, int width, int height) const {
    bar.SetSize(width, height);
    TvlPixelView picture = PictureView(*Look.Picture);
    const TRect& p = FData.ProgressRect;
    int begin = FData.BeginOffset, end = FData.EndOffset;
    if (!FVertical) {
        if (width > begin + end)
            TilePiece(bar, TRect{begin, 0, width - end, height}, picture,
                      TRect{p.Left + begin, p.Top, p.Right - end, p.Bottom});
        CopyPiece(bar, 0, 0, picture, TRect{p.Left, p.Top, p.Left + begin, p.Bottom});
        CopyPiece(bar, width - end, 0, picture, TRect{p.Right - end, p.Top, p.Right, p.Bottom});
    } else {
        if (height > begin + end) {
            TRect middle{p.Left, p.Top + begin, p.Right, p.Bottom - end};
            int tile = middle.Height();
            for (int y = height - end - tile; tile > 0 && y > begin - tile; y -= tile) {
                int top = std::max(y, begin);
                CopyPiece(bar, 0, top, picture,
                          TRect{middle.Left, middle.Top + (top - y), middle.Right, middle.Bottom});
            }
        }
        CopyPiece(bar, 0, 0, picture, TRect{p.Left, p.Top, p.Right, p.Top + begin});
        CopyPiece(bar, 0, height - end, picture, TRect{p.Left, p.Bottom - end, p.Right, p.Bottom});
    }
}

void TvlSkinGauge::PaintSkin(TvlFBitmap& bitmap) {
    if (!FHasData || !Look.Picture) {
        PaintDefault(bitmap);
        return;
    }
    TvlFBitmap look;
    int w = FUseSkinSize ? Width() : Look.SkinRect.Width(), h = FUseSkinSize ? Height() : Look.SkinRect.Height();
    look.SetSize(w, h);
    Look.DrawSkinPicture(look, Look.Picture, Look.SkinRect, w, h);
    TRect area = FUseSkinSize ? FProgressArea : FData.ProgressArea;
    TRect progress = ProgressRect(area);
    if (progress.Width() > 0 && progress.Height() > 0) {
        TvlFBitmap bar;
        ComposeBar(bar, progress.Width(), progress.Height());
        if (FData.ProgressTransparent)
            GdiTransparentBlt(look.Canvas(), progress.Left, progress.Top, bar.Width(), bar.Height(), bar.Canvas(), 0, 0,
                              bar.Width(), bar.Height(), FData.ProgressTransparentColor);
        else
            bar.DrawTo(look.Canvas(), progress.Left, progress.Top);
    }
    if (FUseSkinSize) {
        bitmap = std::move(look);
    } else {
        bitmap.SetSize(Width(), Height());
        StretchPiece(bitmap, TRect{0, 0, Width(), Height()}, look.View(), TRect{0, 0, w, h});
    }
    DrawText(bitmap, LookFont(FData.FontName, FData.FontHeight, FData.FontStyle), FData.FontColor);
}
