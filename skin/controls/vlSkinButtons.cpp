#include "skin/controls/vlSkinButtons.h"

#include <windowsx.h>

#include <algorithm>

#include "core/Gdi.h"
#include "core/Property.h"
#include "skin/access/vlAccess.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlUtils.h"
#include "skin/controls/vlButtonParts.h"
#include "toolkit/Forms.h"

using namespace vlButtonParts;

namespace {
constexpr UINT_PTR kMorphTimer = 1, kRepeatTimer = 2;
constexpr int kMorphInterval = 20;

// The factor moves in fifths; counting them keeps 1 and 0 exact.
int StepOf(double factor) { return static_cast<int>(factor * 5 + 0.5); }
}  // namespace

void DrawGlyphAndText(HDC dc, const TvlGlyphLook& glyph, const std::string& caption, const TRect& area,
                      const TFont& font, TColor colour, int cell, bool shifted) {
    TvlFBitmap& strip = *glyph.Strip;
    int gw = strip.Empty() ? 0 : strip.Width() / glyph.NumGlyphs, gh = strip.Empty() ? 0 : strip.Height();
    SIZE text = CaptionExtent(dc, font, caption);
    TvlGlyphPlacement p =
        PlaceGlyphAndCaption(area, gw, gh, text.cx, text.cy, glyph.Margin, glyph.Spacing, glyph.Layout);
    int shift = shifted ? 1 : 0;
    // Cells count from 1, as the strip frames do.
    if (!strip.Empty()) DrawGlyphFrame(dc, p.Glyph.X + shift, p.Glyph.Y + shift, cell, glyph.NumGlyphs, strip);
    if (caption.empty()) return;
    TCanvas canvas(dc);
    canvas.Font = font;
    canvas.Font.SetColor(colour);
    RECT r{p.Text.X + shift, p.Text.Y + shift, p.Text.X + shift + text.cx + 2, p.Text.Y + shift + text.cy};
    canvas.TextRect(r, caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

namespace {
// Glyph (size g) and text (size t) along one axis of [lo, hi): as a pair
// `spacing` apart, centred, or with margin ≥ 0 the glyph that far from its
// edge — the near one when it comes first, else the far one.
void PlaceAlong(int lo, int hi, int g, int t, int margin, int spacing, bool glyphFirst, int& glyph, int& text) {
    int centre = lo + (hi - lo) / 2, half = (g + t + spacing) / 2;
    if (glyphFirst) {
        glyph = margin == -1 ? centre - half : lo + margin;
        text = margin == -1 ? centre + half - t : lo + margin + g + spacing;
    } else {
        glyph = margin == -1 ? centre + half - g : hi - g - margin;
        text = margin == -1 ? centre - half : hi - g - margin - spacing - t;
    }
}
}  // namespace

TvlGlyphPlacement PlaceGlyphAndCaption(const TRect& target, int gw, int gh, int tw, int th, int margin, int spacing,
                                       TvlButtonLayout layout) {
    int cx = target.Left + target.Width() / 2, cy = target.Top + target.Height() / 2;
    TvlGlyphPlacement p;
    if (layout == blGlyphLeft || layout == blGlyphRight) {
        p.Glyph.Y = cy - gh / 2;
        p.Text.Y = cy - th / 2;
        PlaceAlong(target.Left, target.Right, gw, tw, margin, spacing, layout == blGlyphLeft, p.Glyph.X, p.Text.X);
    } else {
        p.Glyph.X = cx - gw / 2;
        p.Text.X = cx - tw / 2;
        PlaceAlong(target.Top, target.Bottom, gh, th, margin, spacing, layout == blGlyphTop, p.Glyph.Y, p.Text.Y);
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
    if (value != FDown) vlAccessEvent(this, EVENT_OBJECT_STATECHANGE);
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
    if (FGroupIndex != 0 && value && !AllowAllUp)
        ReleaseGroupSiblings(this, [&](const TvlSkinButton& b) { return b.FGroupIndex == FGroupIndex; });
}

namespace {
// Every control of the form hears of the focus as if it had just moved.
void RetellFocus(TControl* control, TWinControl* focused) {
    control->FormFocusChanged(focused);
    if (auto* window = dynamic_cast<TWinControl*>(control))
        for (int i = 0; i < window->ControlCount(); ++i) RetellFocus(window->Controls(i), focused);
}
}  // namespace

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
    if (!value && !Focused()) FMouseOver = false;  // no longer lit as the default
    // Every button of the form re-evaluates which one is the default now.
    if (FCanFocused && form) RetellFocus(form, form->ActiveControl());
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
    LookChanged();
}

void TvlSkinButton::SetNumGlyphs(int n) {
    FNumGlyphs = std::clamp(n, 1, 4);
    LookChanged();
}

void TvlSkinButton::SetMargin(int v) {
    if (v < -1 || v == FMargin) return;
    FMargin = v;
    LookChanged();
}

void TvlSkinButton::SetSpacing(int v) {
    if (SetIfChanged(FSpacing, v)) LookChanged();
}

void TvlSkinButton::SetLayout(TvlButtonLayout v) {
    if (SetIfChanged(FLayout, v)) LookChanged();
}

void TvlSkinButton::SetCaption(const std::string& text) {
    TvlSkinCustomControl::SetCaption(text);
    LookChanged();
    vlAccessEvent(this, EVENT_OBJECT_NAMECHANGE);
}

void TvlSkinButton::ButtonClick() {
    if (FCanFocused)
        if (TForm* form = GetParentForm(this)) form->ModalResult = ModalResult;
    if (OnClick)
        OnClick(this);
    else
        FActionLink.Execute();
}

bool TvlSkinButton::TakesDialogKey(unsigned short key) const {
    if (key == VK_RETURN) return FDefaultActive && Enabled();
    // Escape only for a cancel button that could take the focus, and not
    // with a shift key held (Shift+Escape and the like belong to others).
    if (key == VK_ESCAPE) return FCancel && FCanFocused && KeyShiftState() == 0 && CanFocus();
    return true;
}

void TvlSkinButton::ActionChanged(const TAction& action) {
    FMorphLooks.Clear();  // caption or glyph may change below
    if (action.Caption() != Caption()) SetCaption(action.Caption());
    // Only real changes: a new enabled state drops the hover and the fade.
    if (action.Enabled() != Enabled()) SetEnabled(action.Enabled());
    if (action.Visible() != Visible()) SetVisible(action.Visible());
    if (Glyph.Empty()) CopyActionGlyph(action, Glyph);
    Invalidate();
}

bool TvlSkinButton::DialogChar(char key) {
    if (!FCanFocused || !IsAccelerator(key, Caption()) || !CanFocus()) return false;
    SetFocus();
    ButtonClick();
    return true;
}

bool TvlSkinButton::Morphing() const { return FHasButtonData && FButtonData.Morphing && Look.HasElement(); }

void TvlSkinButton::ReadElement() {
    FMorphLooks.Clear();
    TvlSkinCustomControl::ReadElement();
    FHasButtonData = ReadButtonLooks(Look, FButtonData);
}

void TvlSkinButton::SkinChanged() {
    StopMorph();
    FMorphLooks.Clear();
    FMorphFactor = 0;
    TvlSkinCustomControl::SkinChanged();
    if (Morphing() && (Focused() || FMouseOver)) FMorphFactor = 1;
}

void TvlSkinButton::SetEnabled(bool v) {
    TvlSkinCustomControl::SetEnabled(v);
    StopMorph();
    FMorphLooks.Clear();
    FMorphFactor = 0;
    FMouseOver = false;
    Invalidate();
}

void TvlSkinButton::DrawGlyphAndCaption(TvlFBitmap& bitmap, const TRect& area, const TFont& font, TColor colour,
                                        bool hot, bool down, bool shifted) {
    TvlGlyphLook g{&Glyph, FNumGlyphs, FMargin < 0 ? FMargin : Px(FMargin), Px(FSpacing), FLayout};
    DrawGlyphAndText(bitmap.Canvas(), g, Caption(), area, font, colour, GlyphCell(FNumGlyphs, Enabled(), down, hot),
                     shifted);
}

template <class Button>
void DrawButtonState(const Button& button, TvlFBitmap& bitmap, const TvlDataSkinButtonControl& data,
                     const TRect& source, const TvlGlyphLook& glyph, const std::string& caption, bool active,
                     bool down) {
    const TvlSkinLook& look = button.SkinLook();
    button.DrawSkinPicture(bitmap, look.Picture, source);
    if (bitmap.Empty()) bitmap.SetSize(button.Width(), button.Height());
    TFont font = button.LookFont(data.FontName, data.FontHeight, data.FontStyle);
    TColor colour = ButtonFontColour(data, button.Enabled(), active, down);
    DrawGlyphAndText(bitmap.Canvas(), glyph, caption, look.ScaledClientRect, font, colour,
                     GlyphCell(glyph.NumGlyphs, button.Enabled(), down, active), active && down);
}
template void DrawButtonState(const TvlSkinButton&, TvlFBitmap&, const TvlDataSkinButtonControl&, const TRect&,
                              const TvlGlyphLook&, const std::string&, bool, bool);
template void DrawButtonState(const TvlSkinSpeedButton&, TvlFBitmap&, const TvlDataSkinButtonControl&, const TRect&,
                              const TvlGlyphLook&, const std::string&, bool, bool);

void TvlSkinButton::DrawStateImage(TvlFBitmap& bitmap, const TRect& source, bool active, bool down) {
    DrawButtonState(*this, bitmap, FButtonData, source, {&Glyph, FNumGlyphs, FMargin < 0 ? FMargin : Px(FMargin), Px(FSpacing), FLayout}, Caption(),
                    active, down);
}

void TvlSkinButton::PaintSkin(TvlFBitmap& bitmap) {
    if (!FHasButtonData || !Look.Picture) {  // nothing to draw the element from
        PaintDefault(bitmap);
        return;
    }
    bool pressed = FDown && (FGroupIndex != 0 || FMouseOver || (FocusedToo() && !FPressing));
    PaintButtonState(bitmap, Width(), Height(), FButtonData, Look.SkinRect,
                     {Morphing(), FMorphFactor, Enabled(), pressed, FocusedToo() || FMouseOver}, FMorphLooks,
                     [this](TvlFBitmap& b, const TRect& source, bool active, bool down) {
                         DrawStateImage(b, source, active, down);
                     });
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
    TFont font = PlainFont();
    TColor colour = Enabled() ? font.Color() : clBtnShadow;
    DrawGlyphAndCaption(bitmap, TRect{0, 0, Width(), Height()}, font, colour, FMouseOver, FDown, pressed);
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

void TvlSkinButton::LookChanged() {
    FMorphLooks.Clear();
    Invalidate();
}

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
            vlButtonParts::StartPress(*this, FGroupIndex, [this] { ButtonClick(); });
            break;
        }
        case WM_LBUTTONUP: {
            if (!FPressing) break;
            if (GetCapture() == Handle()) ReleaseCapture();
            POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
            bool over = p.x >= 0 && p.y >= 0 && p.x < Width() && p.y < Height();
            vlButtonParts::ReleasePress(*this, FGroupIndex, over, [this] { ButtonClick(); }, [this] { StopRepeat(); });
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

void TvlSkinButton::FocusChanged(bool focused) {
    // Losing the focus ends a press still held.
    if (!focused) {
        StopRepeat();
        if (FGroupIndex == 0) FDown = false;
    }
    Refresh();
}

void TvlSkinButton::FormFocusChanged(TWinControl* focused) {
    // The focused button acts as the default; with the focus elsewhere the
    // Default button does.
    auto* button = dynamic_cast<TvlSkinButton*>(focused);
    bool active = button ? button == this : FDefault;
    bool changed = active != FDefaultActive;
    FDefaultActive = active;
    if (!FDefault || !FCanFocused) {
        if (changed) Invalidate();
        return;
    }
    bool lit = button ? button == this : true;
    if (!changed && lit == FMouseOver) return;
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
