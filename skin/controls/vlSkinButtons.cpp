#include "skin/controls/vlSkinButtons.h"

#include <windowsx.h>

#include <algorithm>

#include "core/Gdi.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlUtils.h"
#include "toolkit/Forms.h"

namespace {
constexpr UINT_PTR kMorphTimer = 1, kRepeatTimer = 2;
constexpr LRESULT kStateHot = 0x0200;  // kStateHot
constexpr int kMorphInterval = 20;
constexpr TColor kNavy = 0x800000, kDownFill = 0xB59385,
                 kHotFill = 0xD2BDB6;  // RGB(0,0,128), (133,147,181), (182,189,210)

// The factor moves in fifths; counting them keeps 1 and 0 exact.
int StepOf(double factor) { return static_cast<int>(factor * 5 + 0.5); }

// The caption's size as DrawText shows it (an ampersand marks the accelerator).
SIZE CaptionExtent(HDC dc, const TFont& font, const std::string& text) {
    SelectGuard g(dc, font.Handle());
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void FrameAndFill(TvlFBitmap& bitmap, TColor frame, TColor fill) {
    TCanvas canvas(bitmap.Canvas());
    RECT r{0, 0, bitmap.Width(), bitmap.Height()};
    canvas.FillRect(r, fill);
    canvas.FrameRect(r, frame);
}

// The element's button record, with the looks it leaves out filled in: the
// active look is the normal one, the pressed look the active one.
bool ReadButtonLooks(const TvlSkinLook& look, TvlDataSkinButtonControl& data) {
    auto* element = look.ElementAs<TvlDataSkinButtonControl>();
    if (!element) return false;
    data = *element;
    if (data.ActiveSkinRect.IsEmpty()) data.ActiveSkinRect = look.SkinRect;
    if (data.DownSkinRect.IsEmpty()) data.DownSkinRect = data.ActiveSkinRect;
    return true;
}
}  // namespace

void DrawGlyphAndText(HDC dc, const TvlGlyphLook& glyph, const std::string& caption, const TRect& area,
                      const TFont& font, TColor colour, int cell, bool shifted) {
    TvlFBitmap& strip = *glyph.Strip;
    int gw = strip.Empty() ? 0 : strip.Width() / glyph.NumGlyphs, gh = strip.Empty() ? 0 : strip.Height();
    SIZE text = CaptionExtent(dc, font, caption);
    TvlGlyphPlacement p =
        PlaceGlyphAndCaption(area, gw, gh, text.cx, text.cy, glyph.Margin, glyph.Spacing, glyph.Layout);
    int shift = shifted ? 1 : 0;
    if (!strip.Empty()) DrawGlyphFrame(dc, p.Glyph.X + shift, p.Glyph.Y + shift, cell - 1, glyph.NumGlyphs, strip);
    if (caption.empty()) return;
    TCanvas canvas(dc);
    canvas.Font = font;
    canvas.Font.SetColor(colour);
    RECT r{p.Text.X + shift, p.Text.Y + shift, p.Text.X + shift + text.cx + 2, p.Text.Y + shift + text.cy};
    canvas.TextRect(r, caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

TvlGlyphPlacement PlaceGlyphAndCaption(const TRect& target, int gw, int gh, int tw, int th, int margin, int spacing,
                                       TvlButtonLayout layout) {
    int cx = target.Left + target.Width() / 2, cy = target.Top + target.Height() / 2;
    TvlGlyphPlacement p;
    switch (layout) {
        case blGlyphLeft:
        case blGlyphRight: {
            p.Glyph.Y = cy - gh / 2;
            p.Text.Y = cy - th / 2;
            int m = (gw + tw + spacing) / 2;
            if (layout == blGlyphLeft) {
                p.Glyph.X = margin == -1 ? cx - m : target.Left + margin;
                p.Text.X = margin == -1 ? cx + m - tw : target.Left + margin + gw + spacing;
            } else {
                p.Text.X = margin == -1 ? cx - m : target.Right - gw - margin - spacing - tw;
                p.Glyph.X = margin == -1 ? cx + m - gw : target.Right - gw - margin;
            }
            break;
        }
        case blGlyphTop:
        case blGlyphBottom: {
            p.Glyph.X = cx - gw / 2;
            p.Text.X = cx - tw / 2;
            int v = (th + gh + spacing) / 2;
            if (layout == blGlyphTop) {
                p.Glyph.Y = margin == -1 ? cy - v : target.Top + margin;
                p.Text.Y = margin == -1 ? cy + v - th : p.Glyph.Y + gh + spacing;
            } else {
                p.Glyph.Y = margin == -1 ? cy + v - gh : target.Bottom - gh - margin;
                p.Text.Y = margin == -1 ? cy - v : p.Glyph.Y - spacing - th;
            }
            break;
        }
    }
    return p;
}

int GlyphCell(int numGlyphs, bool enabled, bool down, bool hot) {
    if (down && hot && numGlyphs > 2) return 3;
    if (hot && numGlyphs > 3) return 4;
    if (enabled || numGlyphs < 2) return 1;
    return 2;
}

// ---- TvlSkinButton ----

TvlSkinButton::TvlSkinButton(TComponent* owner, TWinControl* parent) : TvlSkinButton(owner, parent, "", 0, 0, 75, 25) {}

TvlSkinButton::TvlSkinButton(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top,
                             int width, int height)
    : TvlSkinCustomControl(owner, parent) {
    SkinDataName = "button";
    TabStop = true;
    TControl::SetCaption(caption);
    SetBounds(left, top, width, height);
}

TvlSkinButton::~TvlSkinButton() {
    if (TForm* form = GetParentForm(this)) {
        if (form->DefaultButton == this) form->DefaultButton = nullptr;
        if (form->CancelButton == this) form->CancelButton = nullptr;
    }
}

void TvlSkinButton::CreateWnd() {
    TvlSkinCustomControl::CreateWnd();
    FDefaultActive = FDefault;
}

void TvlSkinButton::SetCanFocused(bool value) {
    FCanFocused = value;
    TabStop = value;
}

void TvlSkinButton::SetGroupIndex(int value) {
    FGroupIndex = value;
    if (value != 0) SetCanFocused(false);
}

void TvlSkinButton::SetDown(bool value) {
    FDown = value;
    if (Morphing()) {
        if (value) {
            FMorphFactor = 1;
            StopMorph();
        } else {
            StartMorph();
        }
    }
    Invalidate();
    if (FGroupIndex == 0 || !value || AllowAllUp || !Parent()) return;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        auto* other = dynamic_cast<TvlSkinButton*>(Parent()->Controls(i));
        if (other && other != this && other->FGroupIndex == FGroupIndex && other->FDown) other->SetDown(false);
    }
}

void TvlSkinButton::SetDefault(bool value) {
    FDefault = value;
    TForm* form = GetParentForm(this);
    if (form) {
        if (value)
            form->DefaultButton = this;
        else if (form->DefaultButton == this)
            form->DefaultButton = nullptr;
    }
    if (!HandleAllocated()) return;
    FDefaultActive = value;
    if (FCanFocused && form) FormFocusChanged(form->ActiveControl());
    Invalidate();
}

void TvlSkinButton::SetCancel(bool value) {
    FCancel = value;
    if (TForm* form = GetParentForm(this)) {
        if (value)
            form->CancelButton = this;
        else if (form->CancelButton == this)
            form->CancelButton = nullptr;
    }
}

void TvlSkinButton::SetGlyph(const TvlFBitmap& glyph) {
    Glyph = glyph;
    Invalidate();
}

void TvlSkinButton::SetNumGlyphs(int n) {
    FNumGlyphs = std::clamp(n, 1, 4);
    Invalidate();
}

void TvlSkinButton::SetMargin(int v) {
    if (v < -1 || v == FMargin) return;
    FMargin = v;
    Invalidate();
}

void TvlSkinButton::SetSpacing(int v) {
    if (v == FSpacing) return;
    FSpacing = v;
    Invalidate();
}

void TvlSkinButton::SetLayout(TvlButtonLayout v) {
    if (v == FLayout) return;
    FLayout = v;
    Invalidate();
}

void TvlSkinButton::SetCaption(const std::string& text) {
    TvlSkinCustomControl::SetCaption(text);
    Invalidate();
}

void TvlSkinButton::ButtonClick() {
    if (FCanFocused)
        if (TForm* form = GetParentForm(this)) form->ModalResult = ModalResult;
    if (OnClick) OnClick(this);
}

bool TvlSkinButton::DialogChar(char key) {
    if (!FCanFocused || !IsAccelerator(key, Caption()) || !CanFocus()) return false;
    SetFocus();
    ButtonClick();
    return true;
}

bool TvlSkinButton::Morphing() const { return FHasButtonData && FButtonData.Morphing && Look.HasElement(); }

void TvlSkinButton::ReadElement() {
    TvlSkinCustomControl::ReadElement();
    FHasButtonData = ReadButtonLooks(Look, FButtonData);
}

void TvlSkinButton::SkinChanged() {
    StopMorph();
    FMorphFactor = 0;
    TvlSkinCustomControl::SkinChanged();
    if (Morphing() && (Focused() || FMouseOver)) FMorphFactor = 1;
}

void TvlSkinButton::SetEnabled(bool v) {
    TvlSkinCustomControl::SetEnabled(v);
    StopMorph();
    FMorphFactor = 0;
    FMouseOver = false;
    Invalidate();
}

void TvlSkinButton::DrawGlyphAndCaption(TvlFBitmap& bitmap, const TRect& area, const TFont& font, TColor colour,
                                        bool hot, bool down, bool shifted) {
    TvlGlyphLook g{&Glyph, FNumGlyphs, FMargin, FSpacing, FLayout};
    DrawGlyphAndText(bitmap.Canvas(), g, Caption(), area, font, colour, GlyphCell(FNumGlyphs, Enabled(), down, hot),
                     shifted);
}

void TvlSkinButton::DrawStateImage(TvlFBitmap& bitmap, const TRect& source, bool active, bool down) {
    DrawSkinPicture(bitmap, Look.Picture, source);
    if (bitmap.Empty()) bitmap.SetSize(Width(), Height());
    const TvlDataSkinButtonControl& d = FButtonData;
    TFont font = LookFont(d.FontName, d.FontHeight, d.FontStyle);
    TColor colour = !Enabled()       ? d.DisabledFontColor
                    : active && down ? d.DownFontColor
                    : active         ? d.ActiveFontColor
                                     : d.FontColor;
    DrawGlyphAndCaption(bitmap, Look.ScaledClientRect, font, colour, active, down, active && down);
}

void TvlSkinButton::PaintSkin(TvlFBitmap& bitmap) {
    if (!FHasButtonData || !Look.Picture) {  // nothing to draw the element from
        PaintDefault(bitmap);
        return;
    }
    const TvlDataSkinButtonControl& d = FButtonData;
    if (Morphing() && FMorphFactor > 0 && FMorphFactor < 1 && Enabled()) {
        TvlEffectBmp normal;
        TvlFBitmap active;
        normal.SetSize(Width(), Height());
        active.SetSize(Width(), Height());
        DrawStateImage(normal, Look.SkinRect, false, false);
        DrawStateImage(active, d.ActiveSkinRect, true, false);
        normal.MorphKind(d.MorphKind, active, FMorphFactor);
        bitmap = std::move(normal);
    } else if (!Enabled() && !d.DisabledSkinRect.IsEmpty()) {
        DrawStateImage(bitmap, d.DisabledSkinRect, false, false);
    } else if (FDown && (FGroupIndex != 0 || FMouseOver || (FocusedToo() && !FPressing))) {
        DrawStateImage(bitmap, d.DownSkinRect, true, true);
    } else if (FocusedToo() || FMouseOver || (Morphing() && FMorphFactor == 1)) {
        DrawStateImage(bitmap, d.ActiveSkinRect, true, false);
    } else {
        DrawStateImage(bitmap, Look.SkinRect, false, false);
    }
}

void TvlSkinButton::PaintDefault(TvlFBitmap& bitmap) {
    bool pressed = FDown && (FGroupIndex != 0 || FMouseOver || (FocusedToo() && !FPressing));
    bool hot = FMouseOver || FocusedToo();
    if (pressed)
        FrameAndFill(bitmap, kNavy, kDownFill);
    else if (hot)
        FrameAndFill(bitmap, kNavy, kHotFill);
    else
        FrameAndFill(bitmap, clBtnShadow, clBtnFace);
    TColor colour = Enabled() ? DefaultFont.Color() : clBtnShadow;
    DrawGlyphAndCaption(bitmap, TRect{0, 0, Width(), Height()}, DefaultFont, colour, FMouseOver, FDown, pressed);
}

// ---- morphing and repeating ----

void TvlSkinButton::Refresh() {
    if (Morphing())
        StartMorph();
    else
        Invalidate();
}

void TvlSkinButton::StartMorph() {
    if (FMorphTimer || !HandleAllocated()) return;
    FMorphTimer = std::make_unique<TWindowTimer>(Handle(), kMorphTimer, kMorphInterval);
}

void TvlSkinButton::StopMorph() { FMorphTimer.reset(); }

void TvlSkinButton::MorphStep() {
    bool target = Active();
    if (!Morphing()) {
        FMorphFactor = target ? 1 : 0;
        StopMorph();
    } else if (target && FMorphFactor < 1) {
        FMorphFactor = std::min(1.0, StepOf(FMorphFactor) / 5.0 + 0.2);
    } else if (!target && FMorphFactor > 0) {
        FMorphFactor = std::max(0.0, StepOf(FMorphFactor) / 5.0 - 0.2);
    } else {
        FMorphFactor = target ? 1 : 0;
        StopMorph();
    }
    Invalidate();
}

void TvlSkinButton::StartRepeat() {
    if (!HandleAllocated()) return;
    FRepeatTimer.reset();  // the old owner would kill the new timer of the same id
    FRepeatTimer = std::make_unique<TWindowTimer>(Handle(), kRepeatTimer, RepeatInterval);
}

void TvlSkinButton::StopRepeat() { FRepeatTimer.reset(); }

void TvlSkinButton::OnTimer(TMessage& m) {
    if (m.WParam == kMorphTimer) {
        MorphStep();
    } else if (m.WParam == kRepeatTimer) {
        if (FRepeatTimer) ButtonClick();
    } else {
        TvlSkinCustomControl::OnTimer(m);
        return;
    }
    m.Result = 0;
}

// ---- input ----

void TvlSkinButton::OnMouse(TMessage& m) {
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            if (!Enabled()) break;
            if (FCanFocused && CanFocus() && !Focused()) {
                SetFocus();
                if (!Focused()) break;
            }
            SetCapture(Handle());
            FPressing = true;
            if (!FDown) {
                FMouseOver = true;
                SetDown(true);
                if (RepeatMode && FGroupIndex == 0)
                    StartRepeat();
                else if (FGroupIndex != 0)
                    ButtonClick();
                FReleaseOnPress = false;
            } else if (FGroupIndex != 0) {
                FReleaseOnPress = true;
            }
            break;
        }
        case WM_LBUTTONUP: {
            if (!FPressing) break;
            FPressing = false;
            if (GetCapture() == Handle()) ReleaseCapture();
            POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
            bool over = p.x >= 0 && p.y >= 0 && p.x < Width() && p.y < Height();
            if (FGroupIndex == 0) {
                StopRepeat();
                if (over) {
                    SetDown(false);
                    ButtonClick();
                } else {
                    FDown = false;
                    FMouseOver = false;
                    Invalidate();
                }
            } else if (FDown && AllowAllUp && FReleaseOnPress && over) {
                SetDown(false);
                ButtonClick();
            }
            break;
        }
        default: TvlSkinCustomControl::OnMouse(m); return;
    }
    DefaultHandler(m);
}

void TvlSkinButton::MouseEnter() {
    FMouseOver = true;
    if (FDown && Morphing()) {
        FMorphFactor = 1;
        Invalidate();
    } else if ((FGroupIndex == 0 && !(FocusedToo() && !FDown)) || (FGroupIndex != 0 && !FDown)) {
        Refresh();
    }
    if (FDown && RepeatMode && FGroupIndex == 0 && FPressing) StartRepeat();
    TvlSkinCustomControl::MouseEnter();
}

void TvlSkinButton::MouseLeave() {
    if (!(FDefault && FCanFocused && FDefaultActive && !Focused())) FMouseOver = false;
    if ((FGroupIndex == 0 && !(FocusedToo() && !FDown)) || (FGroupIndex != 0 && !FDown)) Refresh();
    if (FDown && RepeatMode && FGroupIndex == 0) StopRepeat();
    TvlSkinCustomControl::MouseLeave();
}

void TvlSkinButton::OnKey(TMessage& m) {
    if (FCanFocused && m.WParam == VK_SPACE) {
        if (m.Msg == WM_KEYDOWN) {
            unsigned short key = VK_SPACE;
            if (DoKeyDown(key)) return;
            SetDown(true);
            if (RepeatMode) ButtonClick();
            m.Result = 0;
            return;
        }
        if (m.Msg == WM_KEYUP) {
            SetDown(false);
            ButtonClick();
            m.Result = 0;
            return;
        }
    }
    TvlSkinCustomControl::OnKey(m);
}

void TvlSkinButton::OnSetFocus(TMessage& m) {
    TvlSkinCustomControl::OnSetFocus(m);
    Refresh();
}

void TvlSkinButton::OnKillFocus(TMessage& m) {
    StopRepeat();
    if (FGroupIndex == 0) FDown = false;
    TvlSkinCustomControl::OnKillFocus(m);
    Refresh();
}

void TvlSkinButton::OnEraseBkgnd(TMessage& m) {
    // An erase from outside our own paint gets the look, never a bare background.
    if (!Painting()) PaintTo(reinterpret_cast<HDC>(m.WParam));
    m.Result = 1;
}

void TvlSkinButton::FormFocusChanged(TWinControl* focused) {
    if (!FDefault || !FCanFocused) return;
    auto* button = dynamic_cast<TvlSkinButton*>(focused);
    bool lit = button ? button == this : true;
    if (lit == FDefaultActive && lit == FMouseOver) return;
    FDefaultActive = lit;
    if (lit) {
        FMouseOver = true;
        if (Morphing()) FMorphFactor = 1;
    } else if (!Focused()) {
        FMouseOver = false;
        if (Morphing()) FMorphFactor = 0;
    }
    Invalidate();
}

void TvlSkinButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case BM_CLICK: ButtonClick(); break;
        case BM_GETSTATE:
            m.Result = (FDown ? BST_PUSHED : 0) | (Focused() ? BST_FOCUS : 0) | (FMouseOver ? kStateHot : 0);
            break;
        case BM_SETSTATE: SetDown(m.WParam != 0); break;
        case WM_GETDLGCODE:
            m.Result = DLGC_BUTTON | (FDefaultActive ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
            break;
        default: TvlSkinCustomControl::WndProc(m); break;
    }
}

// ---- TvlSkinSpeedButton ----

TvlSkinSpeedButton::TvlSkinSpeedButton(TComponent* owner, TWinControl* parent)
    : TvlGraphicSkinCustomControl(owner, parent) {
    SkinDataName = "toolbutton";
    SetBounds(0, 0, 25, 25);
}

void TvlSkinSpeedButton::SetDown(bool value) {
    FDown = value;
    Invalidate();
    if (GroupIndex == 0 || !value || AllowAllUp || !Parent()) return;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        auto* other = dynamic_cast<TvlSkinSpeedButton*>(Parent()->Controls(i));
        if (other && other != this && other->GroupIndex == GroupIndex && other->FDown) other->SetDown(false);
    }
}

void TvlSkinSpeedButton::SetFlat(bool value) {
    FFlat = value;
    SetTransparent(value);
}

// A transparent button lets its parent paint behind it.
void TvlSkinSpeedButton::SetTransparent(bool value) {
    FTransparent = value;
    if (value)
        ControlStyle &= ~csOpaque;
    else
        ControlStyle |= csOpaque;
    Invalidate();
}

void TvlSkinSpeedButton::SetShowCaption(bool value) {
    if (FShowCaption == value) return;
    FShowCaption = value;
    if (WidthWithCaption > 0 && WidthWithoutCaption > 0)
        SetWidth(value ? WidthWithCaption : WidthWithoutCaption);
    else
        Invalidate();
}

void TvlSkinSpeedButton::ReadElement() {
    TvlGraphicSkinCustomControl::ReadElement();
    FHasButtonData = ReadButtonLooks(Look, FButtonData);
}

void TvlSkinSpeedButton::Click() {
    // A grouped button has clicked on its press already.
    if (FClickedOnPress) {
        FClickedOnPress = false;
        return;
    }
    TvlGraphicSkinCustomControl::Click();
}

void TvlSkinSpeedButton::MouseDown(TMouseButton button, TShiftState, int, int) {
    if (button != mbLeft || !Enabled()) return;
    FClickedOnPress = false;
    if (!FDown) {
        FMouseOver = true;
        SetDown(true);
        if (GroupIndex != 0) {
            TvlGraphicSkinCustomControl::Click();
            FClickedOnPress = true;
        }
    } else if (GroupIndex != 0) {
        FClickedOnPress = true;  // released again below, or left down
        if (AllowAllUp) {
            SetDown(false);
            TvlGraphicSkinCustomControl::Click();
        }
    }
}

void TvlSkinSpeedButton::MouseUp(TMouseButton button, TShiftState, int x, int y) {
    if (button != mbLeft || GroupIndex != 0) return;
    FDown = false;
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) FMouseOver = false;
    Invalidate();
}

void TvlSkinSpeedButton::MouseEnter() {
    if (!Enabled()) return;
    FMouseOver = true;
    Invalidate();
    TvlGraphicSkinCustomControl::MouseEnter();
}

void TvlSkinSpeedButton::MouseLeave() {
    if (!Enabled()) return;
    FMouseOver = false;
    Invalidate();
    TvlGraphicSkinCustomControl::MouseLeave();
}

void TvlSkinSpeedButton::DrawState(TvlFBitmap& bitmap, const TRect& source, bool active, bool down) {
    DrawSkinPicture(bitmap, Look.Picture, source);
    if (bitmap.Empty()) bitmap.SetSize(Width(), Height());
    const TvlDataSkinButtonControl& d = FButtonData;
    TFont font = LookFont(d.FontName, d.FontHeight, d.FontStyle);
    TColor colour = !Enabled()       ? d.DisabledFontColor
                    : active && down ? d.DownFontColor
                    : active         ? d.ActiveFontColor
                                     : d.FontColor;
    TvlGlyphLook g{&Glyph, NumGlyphs, Margin, Spacing, Layout};
    DrawGlyphAndText(bitmap.Canvas(), g, ShownCaption(), Look.ScaledClientRect, font, colour,
                     GlyphCell(NumGlyphs, Enabled(), down, active), active && down);
}

void TvlSkinSpeedButton::PaintSkin(TvlFBitmap& bitmap) {
    if (!FHasButtonData || !Look.Picture) {
        PaintDefault(bitmap);
        return;
    }
    const TvlDataSkinButtonControl& d = FButtonData;
    if (!Enabled() && !d.DisabledSkinRect.IsEmpty())
        DrawState(bitmap, d.DisabledSkinRect, false, false);
    else if (FDown && (GroupIndex != 0 || FMouseOver))
        DrawState(bitmap, d.DownSkinRect, true, true);
    else if (FMouseOver)
        DrawState(bitmap, d.ActiveSkinRect, true, false);
    else
        DrawState(bitmap, Look.SkinRect, false, false);
}

void TvlSkinSpeedButton::PaintDefault(TvlFBitmap& bitmap) {
    bool pressed = FDown && (GroupIndex != 0 || FMouseOver);
    if (pressed)
        FrameAndFill(bitmap, kNavy, kDownFill);
    else if (FMouseOver)
        FrameAndFill(bitmap, kNavy, kHotFill);
    else if (!FFlat)
        FrameAndFill(bitmap, clBtnShadow, clBtnFace);
    else
        bitmap.Fill(ColorToRGB(clBtnFace));
    TColor colour = Enabled() ? DefaultFont.Color() : clBtnShadow;
    TvlGlyphLook g{&Glyph, NumGlyphs, Margin, Spacing, Layout};
    DrawGlyphAndText(bitmap.Canvas(), g, ShownCaption(), TRect{0, 0, Width(), Height()}, DefaultFont, colour,
                     GlyphCell(NumGlyphs, Enabled(), FDown, FMouseOver), pressed);
}

void TvlSkinSpeedButton::Paint(TCanvas& canvas) {
    if (FTransparent && !FMouseOver && !FDown) {
        // Only glyph and caption, straight over the parent's look.
        ReadElement();
        bool skinned = FHasButtonData && Look.HasElement();
        TFont font =
            skinned ? LookFont(FButtonData.FontName, FButtonData.FontHeight, FButtonData.FontStyle) : DefaultFont;
        TColor colour = !Enabled() ? (skinned ? FButtonData.DisabledFontColor : clBtnShadow)
                                   : (skinned ? FButtonData.FontColor : DefaultFont.Color());
        TvlGlyphLook g{&Glyph, NumGlyphs, Margin, Spacing, Layout};
        DrawGlyphAndText(canvas.Handle(), g, ShownCaption(), TRect{0, 0, Width(), Height()}, font, colour,
                         GlyphCell(NumGlyphs, Enabled(), false, false), false);
        return;
    }
    TvlGraphicSkinCustomControl::Paint(canvas);
}

// ---- TvlSkinCheckRadioBox ----

TvlSkinCheckRadioBox::TvlSkinCheckRadioBox(TComponent* owner, TWinControl* parent)
    : TvlSkinCheckRadioBox(owner, parent, "", 0, 0, 150, 25) {}

TvlSkinCheckRadioBox::TvlSkinCheckRadioBox(TComponent* owner, TWinControl* parent, const std::string& caption, int left,
                                           int top, int width, int height)
    : TvlSkinCustomControl(owner, parent) {
    SkinDataName = "checkbox";
    TabStop = true;
    TControl::SetCaption(caption);
    SetBounds(left, top, width, height);
}

void TvlSkinCheckRadioBox::SetCanFocused(bool value) {
    FCanFocused = value;
    TabStop = value;
}

void TvlSkinCheckRadioBox::SetRadio(bool value) {
    FRadio = value;
    SkinDataName = value ? "radiobox" : "checkbox";
    GroupIndex = value ? 1 : 0;
    Invalidate();
}

void TvlSkinCheckRadioBox::SetChecked(bool value) {
    bool became = value && !FChecked;
    FChecked = value;
    Invalidate();
    if (became && GroupIndex != 0 && Parent())
        for (int i = 0; i < Parent()->ControlCount(); ++i) {
            auto* other = dynamic_cast<TvlSkinCheckRadioBox*>(Parent()->Controls(i));
            if (other && other != this && other->GroupIndex == GroupIndex && other->FChecked) {
                other->FChecked = false;
                other->Invalidate();
            }
        }
    // Also when the program sets it: a check box always, a radio box when on.
    if (OnClick && (!FRadio || FChecked)) OnClick(this);
}

bool TvlSkinCheckRadioBox::DialogChar(char key) {
    if (!FCanFocused || !IsAccelerator(key, Caption()) || !CanFocus()) return false;
    SetFocus();
    Toggle();
    return true;
}

void TvlSkinCheckRadioBox::Toggle() {
    if (FRadio) {
        if (!FChecked) SetChecked(true);
    } else {
        SetChecked(!FChecked);
    }
}

void TvlSkinCheckRadioBox::SetCaption(const std::string& text) {
    TvlSkinCustomControl::SetCaption(text);
    Invalidate();
}

void TvlSkinCheckRadioBox::SetEnabled(bool v) {
    TvlSkinCustomControl::SetEnabled(v);
    FMouseOver = false;
    Invalidate();
}

void TvlSkinCheckRadioBox::ReadElement() {
    TvlSkinCustomControl::ReadElement();
    auto* data = Look.ElementAs<TvlDataSkinCheckRadioControl>();
    FHasData = data != nullptr;
    if (!data) return;
    FData = *data;
    auto orElse = [](TRect& r, const TRect& fallback) {
        if (r.IsEmpty()) r = fallback;
    };
    orElse(FData.ActiveSkinRect, Look.SkinRect);
    orElse(FData.ActiveCheckImageRect, FData.CheckImageRect);
    orElse(FData.ActiveUnCheckImageRect, FData.UnCheckImageRect);
    orElse(FData.UnEnabledCheckImageRect, FData.CheckImageRect);
    orElse(FData.UnEnabledUnCheckImageRect, FData.UnCheckImageRect);
    if (Flat) FData.Morphing = false;
}

void TvlSkinCheckRadioBox::SkinChanged() {
    if (!Flat) {
        TvlSkinCustomControl::SkinChanged();
        return;
    }
    // The flat style keeps its size: it only draws the check image and caption.
    ReadElement();
    Invalidate();
}

TRect TvlSkinCheckRadioBox::CheckImage() const {
    if (!Enabled()) return FChecked ? FData.UnEnabledCheckImageRect : FData.UnEnabledUnCheckImageRect;
    if (FMouseOver) return FChecked ? FData.ActiveCheckImageRect : FData.ActiveUnCheckImageRect;
    return FChecked ? FData.CheckImageRect : FData.UnCheckImageRect;
}

// The parent's look under this control, as the start of a flat look.
void TvlSkinCheckRadioBox::ParentBackground(TvlFBitmap& bitmap) {
    if (!Parent() || !Parent()->HandleAllocated()) {
        bitmap.Fill(ColorToRGB(clBtnFace));
        return;
    }
    HDC dc = bitmap.Canvas();
    {
        SavedDCGuard saved(dc);
        OffsetViewportOrgEx(dc, -Left(), -Top(), nullptr);
        IntersectClipRect(dc, 0, 0, Parent()->ClientWidth(), Parent()->ClientHeight());
        SendMessageA(Parent()->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    }
    GdiFlush();
}

void TvlSkinCheckRadioBox::DrawFocus(TvlFBitmap& bitmap, RECT around) {
    if (!(Focused() && FCanFocused)) return;
    InflateRect(&around, 2, 1);
    around.right += 1;
    DrawFocusRect(bitmap.Canvas(), &around);
}

void TvlSkinCheckRadioBox::PaintSkin(TvlFBitmap& bitmap) {
    if (!FHasData || !Look.Picture || (!Flat && Look.SkinRect.IsEmpty())) {
        PaintDefault(bitmap);
        return;
    }
    TvlPixelView picture = PictureView(*Look.Picture);
    TFont font = LookFont(FData.FontName, FData.FontHeight, FData.FontStyle);
    TRect image = CheckImage();
    auto drawImage = [&](int x, int y) {
        if (image.IsEmpty()) return;
        TvlFBitmap cut(image.Width(), image.Height());
        CopyPiece(cut, 0, 0, picture, image);
        uint32_t key = cut.Pixel(0, cut.Height() - 1);
        GdiTransparentBlt(bitmap.Canvas(), x, y, cut.Width(), cut.Height(), cut.Canvas(), 0, 0, cut.Width(),
                          cut.Height(), key);
    };
    HDC dc = bitmap.Canvas();
    if (Flat) {
        ParentBackground(bitmap);
        drawImage(3, Height() / 2 - image.Height() / 2);
        SIZE text = CaptionExtent(dc, font, Caption());
        int left = image.Width() + 7;
        RECT r{left, Height() / 2 - text.cy / 2, std::min(left + static_cast<int>(text.cx), Width() - 2),
               Height() / 2 - text.cy / 2 + text.cy};
        TCanvas canvas = LookCanvas(bitmap, font, Enabled() ? FData.FrameFontColor : FData.UnEnabledFontColor);
        canvas.TextRect(r, Caption(), DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        DrawFocus(bitmap, Caption().empty() ? RECT{2, Height() / 2 - image.Height() / 2 - 1, image.Width() + 4,
                                                   Height() / 2 + image.Height() / 2 + 1}
                                            : r);
        return;
    }
    bool active = FMouseOver || Focused();
    DrawSkinPicture(bitmap, Look.Picture, active ? FData.ActiveSkinRect : Look.SkinRect);
    TRect area = MapSkinRect(FData.CheckImageArea);
    drawImage(area.Left + (area.Width() - image.Width()) / 2, area.Top + (area.Height() - image.Height()) / 2);
    TRect textArea = MapSkinRect(FData.TextArea);
    TColor colour = !Enabled() ? FData.UnEnabledFontColor : active ? FData.ActiveFontColor : FData.FontColor;
    TCanvas canvas = LookCanvas(bitmap, font, colour);
    canvas.TextRect(RECT{textArea.Left, textArea.Top, textArea.Right, textArea.Bottom}, Caption(),
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void TvlSkinCheckRadioBox::PaintDefault(TvlFBitmap& bitmap) {
    if (Flat)
        ParentBackground(bitmap);
    else
        bitmap.Fill(ColorToRGB(clBtnFace));
    TCanvas canvas(bitmap.Canvas());
    int boxTop = Height() / 2 - 7;
    RECT box{3, boxTop, 17, boxTop + 14};
    if (!Flat && (Focused() || FMouseOver)) canvas.FrameRect(RECT{0, 0, Width(), Height()}, clBtnShadow);
    canvas.FillRect(box, clWindow);
    canvas.FrameRect(box, FMouseOver ? kNavy : clBtnShadow);
    TColor mark = Enabled() ? clBlack : clBtnShadow;
    if (FChecked) {
        if (FRadio) {
            canvas.FillRect(RECT{7, Height() / 2 - 3, 13, Height() / 2 + 3}, mark);
        } else {
            int x = 7, y = Height() / 2 - 4;
            for (int i = 0; i < 3; ++i) {
                canvas.Line(x, y + 5 - i, x + 2, y + 7 - i, mark);
                canvas.Line(x + 2, y + 7 - i, x + 7, y + 2 - i, mark);
            }
        }
    }
    TFont font = DefaultFont;
    SIZE text = CaptionExtent(bitmap.Canvas(), font, Caption());
    int left = Flat ? 22 : 19;
    RECT r{left, Height() / 2 - text.cy / 2, std::min(left + static_cast<int>(text.cx), Width() - 2),
           Height() / 2 - text.cy / 2 + text.cy};
    TCanvas textCanvas = LookCanvas(bitmap, font, Enabled() ? font.Color() : clBtnShadow);
    textCanvas.TextRect(r, Caption(), DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    DrawFocus(bitmap, Caption().empty() ? RECT{2, boxTop - 1, 18, boxTop + 15} : r);
}

void TvlSkinCheckRadioBox::OnMouse(TMessage& m) {
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!Enabled()) break;
            if (FCanFocused && CanFocus() && !Focused()) {
                SetFocus();
                if (!Focused()) break;
            }
            if (!FMouseOver) {
                FMouseOver = true;
                Invalidate();
            }
            SetCapture(Handle());
            break;
        case WM_LBUTTONUP: {
            if (GetCapture() != Handle()) break;
            ReleaseCapture();
            POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
            if (p.x >= 0 && p.y >= 0 && p.x < Width() && p.y < Height()) Toggle();
            break;
        }
        default: TvlSkinCustomControl::OnMouse(m); return;
    }
    DefaultHandler(m);
}

void TvlSkinCheckRadioBox::OnKey(TMessage& m) {
    if (m.Msg == WM_KEYUP && m.WParam == VK_SPACE && FCanFocused) {
        Toggle();
        m.Result = 0;
        return;
    }
    TvlSkinCustomControl::OnKey(m);
}

void TvlSkinCheckRadioBox::OnSetFocus(TMessage& m) {
    TvlSkinCustomControl::OnSetFocus(m);
    Invalidate();
}

void TvlSkinCheckRadioBox::OnKillFocus(TMessage& m) {
    TvlSkinCustomControl::OnKillFocus(m);
    Invalidate();
}

void TvlSkinCheckRadioBox::MouseEnter() {
    FMouseOver = true;
    Invalidate();
    TvlSkinCustomControl::MouseEnter();
}

void TvlSkinCheckRadioBox::MouseLeave() {
    FMouseOver = false;
    Invalidate();
    TvlSkinCustomControl::MouseLeave();
}

void TvlSkinCheckRadioBox::BoundsChanged() {
    TvlSkinCustomControl::BoundsChanged();
    if (Flat) Invalidate();  // the background under it changed
}

void TvlSkinCheckRadioBox::WndProc(TMessage& m) {
    switch (m.Msg) {
        case BM_GETCHECK: m.Result = FChecked ? BST_CHECKED : BST_UNCHECKED; break;
        case BM_SETCHECK: SetChecked(m.WParam == BST_CHECKED); break;
        case BM_CLICK: Toggle(); break;
        case BM_GETSTATE:
            m.Result = (FChecked ? BST_CHECKED : 0) | (Focused() ? BST_FOCUS : 0) | (FMouseOver ? kStateHot : 0);
            break;
        case WM_GETDLGCODE: m.Result = DLGC_BUTTON | (FRadio ? DLGC_RADIOBUTTON : 0); break;
        case WM_ERASEBKGND:
            if (!Flat && !Painting()) PaintTo(reinterpret_cast<HDC>(m.WParam));
            m.Result = 1;
            break;
        default: TvlSkinCustomControl::WndProc(m); break;
    }
}
