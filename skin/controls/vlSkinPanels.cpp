#include "skin/controls/vlSkinPanels.h"

#include <windowsx.h>
#include <shellapi.h>

#include <algorithm>

#include "core/Gdi.h"
#include "core/Property.h"
#include "skin/access/vlAccess.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlUtils.h"

namespace {
RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

// Left and top edges in one colour, right and bottom in the other.
void BevelRect(TCanvas& canvas, const RECT& r, TColor first, TColor second) {
    canvas.Line(r.left, r.bottom, r.left, r.top, first);
    canvas.Line(r.left, r.top, r.right, r.top, first);
    canvas.Line(r.right, r.top, r.right, r.bottom, second);
    canvas.Line(r.right, r.bottom, r.left - 1, r.bottom, second);
}

void CheckMark(TCanvas& canvas, int x, int y, TColor colour) {
    for (int i = 0; i < 3; ++i) {
        canvas.Line(x, y + 5 - i, x + 2, y + 7 - i, colour);
        canvas.Line(x + 2, y + 7 - i, x + 7, y + 2 - i, colour);
    }
}

// Four lines of widths 1, 3, 5, 7 around the strip's centre.
void RollArrow(TCanvas& canvas, const RECT& strip, bool down, TColor colour) {
    int cx = (strip.left + strip.right) / 2, cy = (strip.top + strip.bottom) / 2;
    for (int i = 0; i < 4; ++i) {
        int y = down ? cy - 2 + i : cy + 1 - i;
        canvas.Line(cx - i, y, cx + i + 1, y, colour);
    }
}

TColor Colour(uint32_t c) { return c; }
}  // namespace

// ---- TvlSkinPanel ----

TvlSkinPanel::TvlSkinPanel(TComponent* owner, TWinControl* parent, TvlPanelBorderStyle border)
    : TvlSkinCustomControl(owner, parent), FBorderStyle(border) {
    SkinDataName = "panel";
    SetBounds(0, 0, 150, 150);
}

void TvlSkinPanel::SetBorderStyle(TvlPanelBorderStyle v) {
    FBorderStyle = v;
    Realign();
    Invalidate();
}

void TvlSkinPanel::SetCaptionMode(bool v) {
    FCaptionMode = v;
    Realign();
    Invalidate();
}

void TvlSkinPanel::SetCheckedMode(bool v) {
    if (SetIfChanged(FCheckedMode, v)) Invalidate();
}

void TvlSkinPanel::SetDefaultCaptionHeight(int v) {
    if (!SetIfChanged(FDefaultCaptionHeight, v)) return;
    if (Look.HasElement()) return;
    if (FCaptionMode) Realign();
    if (FRollUpState) SetHeight(RolledHeight());
    Invalidate();
}

void TvlSkinPanel::SetDefaultAlignment(TAlignment v) {
    if (!SetIfChanged(FDefaultAlignment, v)) return;
    if (FCaptionMode && !Look.HasElement()) Invalidate();
}

// Leaving the mode unrolls the panel first: its children come back.
void TvlSkinPanel::SetRollUpMode(bool v) {
    if (v == FRollUpMode) return;
    if (!v) SetRollUpState(false);
    FRollUpMode = v;
    Invalidate();
}

void TvlSkinPanel::SetGlyph(const TvlFBitmap& glyph) {
    FGlyph = glyph;
    Invalidate();
}

void TvlSkinPanel::SetNumGlyphs(int n) {
    FNumGlyphs = std::clamp(n, 1, 2);
    Invalidate();
}

void TvlSkinPanel::SetSpacing(int v) {
    if (SetIfChanged(FSpacing, v)) Invalidate();
}

int TvlSkinPanel::RolledHeight() const {
    return Look.HasElement() ? Height() - (Look.ScaledClientRect.Bottom - Look.ScaledClientRect.Top)
                             : Px(FDefaultCaptionHeight) + 1;
}

void TvlSkinPanel::SetCaption(const std::string& text) {
    TvlSkinCustomControl::SetCaption(text);
    if (FCaptionMode) Invalidate();
    vlAccessEvent(this, EVENT_OBJECT_NAMECHANGE);
}

void TvlSkinPanel::SetChecked(bool v) {
    FChecked = v;
    if (FCheckedMode) Invalidate();
    if (AutoEnabledControls && FCheckedMode)
        for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetEnabled(v);
    if (OnChecked) OnChecked(this);
}

void TvlSkinPanel::SetRollUpState(bool v) {
    if (!FRollUpMode) v = false;
    if (!SetIfChanged(FRollUpState, v)) return;
    if (v && FRealHeight == -1) {
        FRealHeight = Height();
        for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetVisible(false);
        SetHeight(RolledHeight());
    } else if (!v && FRealHeight != -1) {
        int height = FRealHeight;
        FRealHeight = -1;
        SetHeight(height);
        for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetVisible(true);
        Realign();
    }
    if (OnChangeRollUpState) OnChangeRollUpState(this);
}

void TvlSkinPanel::ReadElement() {
    TvlSkinCustomControl::ReadElement();
    FHasData = CopyElementData(FData);
    if (!FHasData) FData.BGPictureIndex = -1;
}

void TvlSkinPanel::SkinChanged() {
    TvlSkinCustomControl::SkinChanged();
    if (FRollUpState && FRealHeight != -1) {
        SetHeight(RolledHeight());
    } else {
        Realign();
    }
}

bool TvlSkinPanel::TiledClientOnly() const {
    return FBorderStyle == bvNone && Look.StretchMode == smBoth && !FCaptionMode;
}

RECT TvlSkinPanel::LayoutRect() const {
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    if (!Look.HasElement()) {
        if (FBorderStyle != bvNone) InflateRect(&r, -1, -1);
        if (FCaptionMode) r.top = Px(FDefaultCaptionHeight);
        return r;
    }
    if ((FHasData && FData.BGPictureIndex != -1) || TiledClientOnly()) return r;
    return ToRECT(Look.ScaledClientRect);
}

TRect TvlSkinPanel::CaptionRect() const {
    if (!Look.HasElement()) return {1, 1, Width() - 1, Px(FDefaultCaptionHeight)};
    return FSkinCaptionRect;
}

void TvlSkinPanel::DrawCaption(TvlFBitmap& bitmap, TRect area, const TFont& font, TColor colour, TAlignment alignment,
                               bool inset) {
    // Glyph and caption are placed as one block by the alignment.
    bool glyph = !FGlyph.Empty();
    int cellWidth = glyph ? FGlyph.Width() / FNumGlyphs : 0;
    int lead = glyph ? cellWidth + Px(FSpacing) : 0;
    TCanvas canvas = LookCanvas(bitmap, font, colour);
    int textWidth = Caption().empty() ? 0 : canvas.TextExtent(Caption()).cx;
    int block = lead + textWidth;
    int left = alignment == taRightJustify ? area.Right - block
               : alignment == taCenter     ? area.Left + (area.Width() - block) / 2
                                           : area.Left + (inset ? Px(2) : 0);
    if (glyph) {
        int cell = !Enabled() && FNumGlyphs == 2 ? 2 : 1;
        TRect clip = area;
        SavedDCGuard saved(bitmap.Canvas());
        IntersectClipRect(bitmap.Canvas(), clip.Left, clip.Top, clip.Right, clip.Bottom);
        DrawGlyphFrame(bitmap.Canvas(), left, (area.Top + area.Bottom) / 2 - FGlyph.Height() / 2, cell, FNumGlyphs,
                       FGlyph);
    }
    RECT r{std::max(left + lead, area.Left), area.Top, area.Right, area.Bottom};
    canvas.TextRect(r, Caption(), DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void TvlSkinPanel::PaintDefault(TvlFBitmap& bitmap) {
    TCanvas canvas(bitmap.Canvas());
    int w = Width(), h = Height();
    canvas.FillRect(RECT{0, 0, w, h}, clBtnFace);
    RECT all{0, 0, w - 1, h - 1};
    if (FBorderStyle == bvFrame) canvas.FrameRect(RECT{0, 0, w, h}, clBtnShadow);
    if (FBorderStyle == bvRaised) BevelRect(canvas, all, clBtnHighlight, clBtnShadow);
    if (FBorderStyle == bvLowered) BevelRect(canvas, all, clBtnShadow, clBtnHighlight);
    if (!FCaptionMode) return;
    int captionHeight = Px(FDefaultCaptionHeight);
    RECT bar = FBorderStyle == bvFrame ? RECT{0, 0, w, captionHeight} : RECT{1, 1, w - 1, captionHeight};
    if (FBorderStyle == bvFrame) {
        canvas.FrameRect(bar, clBtnShadow);
        BevelRect(canvas, RECT{bar.left + 1, bar.top + 1, bar.right - 2, bar.bottom - 2}, clBtnHighlight, clBtnFace);
    } else {
        BevelRect(canvas, RECT{bar.left, bar.top, bar.right - 1, bar.bottom - 1}, clBtnShadow, clBtnHighlight);
        BevelRect(canvas, RECT{bar.left + 1, bar.top + 1, bar.right - 2, bar.bottom - 2}, clBtnHighlight, clBtnShadow);
    }
    TRect text{bar.left + 2, bar.top + 2, bar.right - 2, bar.bottom - 2};
    if (FCheckedMode) {
        int top = (bar.top + bar.bottom) / 2 - 7;
        // The box in the button colours of the bar it sits on.
        canvas.FrameRect(RECT{5, top, 19, top + 14}, clBtnShadow);
        if (FChecked) CheckMark(canvas, 5 + 3, top + 2, clBtnText);
        text.Left += 20;
    }
    if (FRollUpMode) {
        text.Right -= 10;
        RollArrow(canvas, RECT{text.Right, bar.top, text.Right + 10, bar.bottom}, FRollUpState, clBtnText);
    }
    TFont font = PlainFont();
    DrawCaption(bitmap, text, font, font.Color(), FDefaultAlignment, true);
}

void TvlSkinPanel::PaintSkin(TvlFBitmap& bitmap) {
    const TvlSkinData* skin = SkinData();
    if (FHasData && FData.BGPictureIndex >= 0 && skin &&
        FData.BGPictureIndex < static_cast<int>(skin->PictureList.size())) {
        const TPixelImage& bg = skin->PictureList[static_cast<size_t>(FData.BGPictureIndex)];
        TRect whole{0, 0, bg.Width, bg.Height};
        TilePiece(bitmap, TRect{0, 0, Width(), Height()}, PictureView(bg), whole);
        return;
    }
    if (!Look.Picture) {
        PaintDefault(bitmap);
        return;
    }
    if (TiledClientOnly()) {
        TRect client{Look.SkinRect.Left + Look.SkinClientRect.Left, Look.SkinRect.Top + Look.SkinClientRect.Top,
                     Look.SkinRect.Left + Look.SkinClientRect.Right, Look.SkinRect.Top + Look.SkinClientRect.Bottom};
        TilePiece(bitmap, TRect{0, 0, Width(), Height()}, PictureView(*Look.Picture), client);
        return;
    }
    DrawSkinPicture(bitmap, Look.Picture, Look.SkinRect);
    if (!FHasData) return;
    FSkinCaptionRect = Look.StretchMode == smFixed ? FData.CaptionRect : MapSkinRect(FData.CaptionRect);
    if (Caption().empty() || FData.CaptionRect.IsEmpty()) return;
    TRect area = FSkinCaptionRect;
    if (FRollUpMode) area.Right -= 12;
    if (FCheckedMode) {
        TRect image = FChecked ? FData.CheckImageRect : FData.UnCheckImageRect;
        if (!image.IsEmpty()) {
            TvlFBitmap cut(image.Width(), image.Height());
            CopyPiece(cut, 0, 0, PictureView(*Look.Picture), image);
            int y = (area.Top + area.Bottom) / 2 - image.Height() / 2;
            GdiTransparentBlt(bitmap.Canvas(), area.Left, y, cut.Width(), cut.Height(), cut.Canvas(), 0, 0, cut.Width(),
                              cut.Height(), cut.Pixel(0, cut.Height() - 1));
            area.Left += image.Width() + 2;
        }
    }
    TFont font = LookFont(FData.FontName, FData.FontHeight, FData.FontStyle);
    DrawCaption(bitmap, area, font, Colour(FData.FontColor), FData.Alignment, false);
    if (FRollUpMode) {
        TCanvas canvas(bitmap.Canvas());
        RollArrow(canvas, RECT{area.Right, area.Top, area.Right + 10, area.Bottom}, FRollUpState, FData.FontColor);
    }
}

void TvlSkinPanel::OnMouse(TMessage& m) {
    if (m.Msg == WM_LBUTTONUP && FCaptionMode && (FCheckedMode || FRollUpMode)) {
        TRect c = CaptionRect();
        int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
        if (x >= c.Left && x < c.Right && y >= c.Top && y < c.Bottom) {
            if (FCheckedMode) SetChecked(!FChecked);
            if (FRollUpMode) SetRollUpState(!FRollUpState);
        }
    }
    TvlSkinCustomControl::OnMouse(m);
}

TvlSkinGroupBox::TvlSkinGroupBox(TComponent* owner, TWinControl* parent, const std::string& caption)
    : TvlSkinPanel(owner, parent, bvFrame) {
    SkinDataName = "groupbox";
    SetCaptionMode(true);
    TControl::SetCaption(caption);
}

// ---- TvlSkinBevel ----

TvlSkinBevel::TvlSkinBevel(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
    : TvlSkinBase(owner, parent) {
    SkinDataName = "bevel";
    SetBounds(left, top, width, height);
}

void TvlSkinBevel::ReadElement() {
    TvlSkinBase::ReadElement();
    if (auto* data = Look.ElementAs<TvlDataSkinBevel>()) {
        FLight = data->LightColor;
        FDark = data->DarkColor;
    } else {
        FLight = clBtnHighlight;
        FDark = clBtnShadow;
    }
}

void TvlSkinBevel::Paint(TCanvas& canvas) {
    ReadElement();
    TColor first = Style == bsLowered ? FDark : FLight, second = Style == bsLowered ? FLight : FDark;
    int w = Width(), h = Height();
    if (DividerMode) {
        if (Shape == bsSpacer) return;
        if (Shape == bsTopLine || Shape == bsBottomLine)
            BevelRect(canvas, RECT{2, h / 2 - 1, w - 2, h / 2}, first, second);
        else
            BevelRect(canvas, RECT{w / 2 - 1, 2, w / 2, h - 2}, first, second);
        return;
    }
    switch (Shape) {
        case bsBox: BevelRect(canvas, RECT{0, 0, w - 1, h - 1}, first, second); break;
        case bsFrame:
            BevelRect(canvas, RECT{1, 1, w - 1, h - 1}, second, second);
            BevelRect(canvas, RECT{0, 0, w - 2, h - 2}, first, first);
            break;
        case bsTopLine:
            canvas.Line(0, 0, w, 0, first);
            canvas.Line(0, 1, w, 1, second);
            break;
        case bsBottomLine:
            canvas.Line(0, h - 2, w, h - 2, first);
            canvas.Line(0, h - 1, w, h - 1, second);
            break;
        case bsLeftLine:
            canvas.Line(0, 0, 0, h, first);
            canvas.Line(1, 0, 1, h, second);
            break;
        case bsRightLine:
            canvas.Line(w - 2, 0, w - 2, h, first);
            canvas.Line(w - 1, 0, w - 1, h, second);
            break;
        case bsSpacer: break;
    }
}

// ---- TvlSkinSplitter ----

TvlSkinSplitter::TvlSkinSplitter(TComponent* owner, TWinControl* parent, int width)
    : TvlSkinElement<TSplitter>(owner, parent, width) {
    SkinDataName = "vsplitter";
}

void TvlSkinSplitter::SetSkinData(TvlSkinData* skinData) {
    TvlSkinElement<TSplitter>::SetSkinData(skinData);
    SkinChanged();
}

void TvlSkinSplitter::SkinChanged() {
    FLook.ReadElement(SkinData(), SkinDataName, true);
    bool horizontal = Align() == alTop || Align() == alBottom;
    int size = FLook.HasElement() ? (horizontal ? FLook.SkinRect.Height() : FLook.SkinRect.Width()) : DefaultSize;
    if (size > 0) {
        MinSize = size;
        if (horizontal)
            SetHeight(size);
        else
            SetWidth(size);
    }
    Invalidate();
}

void TvlSkinSplitter::PaintWindow(TCanvas& canvas) {
    FLook.ReadElement(SkinData(), SkinDataName, true);
    if (Width() <= 0 || Height() <= 0) return;
    if (!FLook.HasElement() || !FLook.Picture || Align() == alNone || Align() == alClient) {
        TSplitter::PaintWindow(canvas);
        return;
    }
    TvlFBitmap bitmap;
    TvlPixelView picture = PictureView(*FLook.Picture);
    if (Align() == alTop || Align() == alBottom)
        ComposeHorizontal(FLook.LeftTopPoint.X, FLook.SkinRect.Width() - FLook.RightTopPoint.X, FLook.SkinRect, picture,
                          Width(), bitmap);
    else
        ComposeVertical(FLook.LeftTopPoint.Y, FLook.SkinRect.Height() - FLook.LeftBottomPoint.Y, FLook.SkinRect,
                        picture, Height(), bitmap);
    bitmap.DrawTo(canvas.Handle(), 0, 0);
}

// ---- TvlSkinStdLabel ----

TvlSkinStdLabel::TvlSkinStdLabel(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top)
    : TvlSkinElement<TLabel>(owner, parent, caption, left, top) {
    SkinDataName = "stdlabel";
    AdjustSize();  // measured by this label's own rules, not the toolkit label's
}

const TvlDataSkinStdLabelControl* TvlSkinStdLabel::Element() const {
    return ElementAs<TvlDataSkinStdLabelControl>();
}

void TvlSkinStdLabel::SetShowAccelChar(bool v) {
    if (!SetIfChanged(FShowAccelChar, v)) return;
    AdjustSize();
    Invalidate();
}

void TvlSkinStdLabel::SetWordWrap(bool v) {
    if (!SetIfChanged(FWordWrap, v)) return;
    AdjustSize();
    Invalidate();
}

void TvlSkinStdLabel::SetLayout(TvlTextLayout v) {
    if (SetIfChanged(FLayout, v)) Invalidate();
}

TFont TvlSkinStdLabel::TextFont() const {
    const TvlDataSkinStdLabelControl* e = Element();
    TFont font = !UseSkinFont ? Font : e ? TFont(e->FontName, e->FontHeight, e->FontStyle) : DefaultFont;
    // The element's height comes at the skin's scale; DefaultFont's is at 96 DPI.
    if (UseSkinFont && !e) font.SetHeight(ScaleFontForDpi(font.Height(), ControlDpi(this)));
    ApplySkinCharSet(SkinData(), font);
    return font;
}

// An empty text, or a lone accelerator mark that shows nothing, is
// measured as a blank so that the label keeps a line's height.
std::string TvlSkinStdLabel::MeasuredText() const {
    if (Caption().empty() || (FShowAccelChar && Caption() == "&")) return " ";
    return Caption();
}

unsigned TvlSkinStdLabel::TextFlags() const {
    unsigned flags = Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
    flags |= FWordWrap ? DT_WORDBREAK : DT_SINGLELINE;
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    return flags;
}

void TvlSkinStdLabel::AdjustSize() {
    if (!AutoSize) return;
    TMemoryDC measuring = ScreenCompatibleDC();
    HDC dc = measuring.Handle();
    TFont font = TextFont();
    RECT r{0, 0, FWordWrap ? std::max(Width(), 1) : 0, 0};
    {
        SelectGuard selected(dc, font.Handle());
        std::string text = MeasuredText();
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, TextFlags() | DT_CALCRECT);
    }
    int width = FWordWrap ? Width() : r.right - r.left;
    int left = Alignment == taRightJustify && !FWordWrap ? Left() + Width() - width : Left();
    SetBoundsToFit(left, Top(), width, r.bottom - r.top);
}

TColor TvlSkinStdLabel::TextColour() const {
    const TvlDataSkinStdLabelControl* e = Element();
    return e ? e->FontColor : TextFont().Color();
}

void TvlSkinStdLabel::SetSkinData(TvlSkinData* skinData) {
    TvlSkinElement<TLabel>::SetSkinData(skinData);
    if (skinData) SkinChanged();
}

void TvlSkinStdLabel::SkinChanged() {
    AdjustSize();
    Invalidate();
}

void TvlSkinStdLabel::Paint(TCanvas& canvas) {
    RECT r{0, 0, Width(), Height()};
    if (!Transparent) canvas.FillRect(r, Color);
    canvas.Font = TextFont();
    unsigned flags = TextFlags();
    // The text block's height, to place it by Layout.
    if (FLayout != tlTop) {
        RECT measured{0, 0, Width(), 0};
        SelectGuard selected(canvas.Handle(), canvas.Font.Handle());
        DrawTextA(canvas.Handle(), Caption().c_str(), static_cast<int>(Caption().size()), &measured,
                  flags | DT_CALCRECT);
        int gap = Height() - (measured.bottom - measured.top);
        r.top += FLayout == tlCenter ? gap / 2 : gap;
    }
    if (!Enabled()) {  // embossed: a highlight copy down-right, the shadow in place
        RECT shifted{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
        canvas.Font.SetColor(clBtnHighlight);
        canvas.TextRect(shifted, Caption(), flags);
        canvas.Font.SetColor(clBtnShadow);
        canvas.TextRect(r, Caption(), flags);
        return;
    }
    canvas.Font.SetColor(TextColour());
    canvas.TextRect(r, Caption(), flags);
}

// ---- TvlSkinLinkLabel ----

TvlSkinLinkLabel::TvlSkinLinkLabel(TComponent* owner, TWinControl* parent, const std::string& caption, int left,
                                   int top)
    : TvlSkinStdLabel(owner, parent, caption, left, top) {
    DefaultFont = TFont("Arial", 14, fsUnderline);
    Font = DefaultFont;
    Cursor = crHandPoint;
    AdjustSize();
}

// Underlined without an element, and the element's font with UseSkinFont;
// Font itself is used as it is.
TFont TvlSkinLinkLabel::TextFont() const {
    TFont font = TvlSkinStdLabel::TextFont();
    if (!Element() || UseSkinFont) font.SetStyle(font.Style() | fsUnderline);
    return font;
}

TColor TvlSkinLinkLabel::TextColour() const {
    const TvlDataSkinStdLabelControl* e = Element();
    if (!e) return FMouseOver ? DefaultActiveFontColor : TextFont().Color();
    return FMouseOver ? e->ActiveFontColor : e->FontColor;
}

void TvlSkinLinkLabel::MouseEnter() {
    FMouseOver = true;
    Invalidate();
    TvlSkinStdLabel::MouseEnter();
}

void TvlSkinLinkLabel::MouseLeave() {
    FMouseOver = false;
    Invalidate();
    TvlSkinStdLabel::MouseLeave();
}

void TvlSkinLinkLabel::Click() {
    TvlSkinStdLabel::Click();
    if (TLinkLabel::IsOpenableURL(URL)) ShellExecuteA(nullptr, "open", URL.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
