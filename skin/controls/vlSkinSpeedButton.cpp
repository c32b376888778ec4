#include <windowsx.h>

#include <algorithm>

#include "skin/access/vlAccess.h"
#include "skin/controls/vlButtonParts.h"
#include "skin/controls/vlSkinButtons.h"
#include "skin/data/vlEffects.h"

using namespace vlButtonParts;

// ---- TvlSkinSpeedButton ----

TvlSkinSpeedButton::TvlSkinSpeedButton(TComponent* owner, TWinControl* parent)
    : TvlGraphicSkinCustomControl(owner, parent) {
    SkinDataName = "toolbutton";
    SetBounds(0, 0, 25, 25);
}

TvlSkinSpeedButton::~TvlSkinSpeedButton() = default;

void TvlSkinSpeedButton::SetDown(bool value) {
    if (value != FDown) vlAccessEvent(this, EVENT_OBJECT_STATECHANGE);
    FDown = value;
    if (Morphing()) {
        if (value) {
            FMorph.Factor = 1;
            FMorphTimer.reset();
        } else {
            StartMorph();
        }
    }
    Invalidate();
    if (GroupIndex != 0 && value && !AllowAllUp)
        ReleaseGroupSiblings(this, [&](const TvlSkinSpeedButton& b) { return b.GroupIndex == GroupIndex; });
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

void TvlSkinSpeedButton::SkinChanged() {
    FMorphTimer.reset();
    FMorph.Factor = 0;
    TvlGraphicSkinCustomControl::SkinChanged();
    if (Morphing() && FMouseOver) FMorph.Factor = 1;
}

void TvlSkinSpeedButton::SetEnabled(bool v) {
    TvlGraphicSkinCustomControl::SetEnabled(v);
    FMorphTimer.reset();
    FMorph.Factor = 0;
    FMouseOver = false;
    Invalidate();
}

void TvlSkinSpeedButton::ActionChanged(const TAction& action) {
    if (action.Caption() != Caption()) SetCaption(action.Caption());
    // Only real changes: a new enabled state drops the hover and the fade.
    if (action.Enabled() != Enabled()) SetEnabled(action.Enabled());
    if (action.Visible() != Visible()) SetVisible(action.Visible());
    if (Glyph.Empty()) CopyActionGlyph(action, Glyph);
    Invalidate();
}

void TvlSkinSpeedButton::DoClick() {
    if (OnClick)
        OnClick(this);
    else
        FActionLink.Execute();
}

// The toolkit clicks after a release over the button; the release has
// decided already whether that is a click.
void TvlSkinSpeedButton::Click() {
    if (FClickedOnRelease) {
        FClickedOnRelease = false;
        return;
    }
    DoClick();
}

// ---- morphing and repeating ----

bool TvlSkinSpeedButton::Morphing() const {
    return FHasButtonData && FButtonData.Morphing && Look.HasElement() && !FTransparent;
}

void TvlSkinSpeedButton::Refresh() {
    if (Morphing())
        StartMorph();
    else
        Invalidate();
}

void TvlSkinSpeedButton::StartMorph() {
    if (FMorphTimer) return;
    FMorphTimer = std::make_unique<TTimer>(nullptr);
    FMorphTimer->OnTimer = [this](TObject*) { MorphStep(); };
    FMorphTimer->SetInterval(TvlMorph::Interval);  // starts it
}

void TvlSkinSpeedButton::MorphStep() {
    if (!FMorph.Step(FMouseOver, Morphing())) FMorphTimer.reset();
    Invalidate();
}

// The first repeat comes one interval after the press; every start makes
// the timer anew.
void TvlSkinSpeedButton::StartRepeat() {
    FRepeatTimer.reset();
    FRepeatTimer = std::make_unique<TTimer>(nullptr);
    FRepeatTimer->OnTimer = [this](TObject*) { DoClick(); };
    FRepeatTimer->SetInterval(RepeatInterval);  // starts it
}

// ---- input ----

void TvlSkinSpeedButton::MouseDown(TMouseButton button, TShiftState, int, int) {
    if (button != mbLeft || !Enabled()) return;
    FClickedOnRelease = false;
    vlButtonParts::StartPress(*this, GroupIndex, [this] { DoClick(); });
}

void TvlSkinSpeedButton::MouseUp(TMouseButton button, TShiftState, int x, int y) {
    if (button != mbLeft || !FPressing) return;
    bool over = x >= 0 && y >= 0 && x < Width() && y < Height();
    // Over the button the toolkit clicks next; that click is ours to make.
    FClickedOnRelease = over;
    vlButtonParts::ReleasePress(*this, GroupIndex, over, [this] { DoClick(); }, [this] { FRepeatTimer.reset(); });
}

void TvlSkinSpeedButton::MouseEnter() {
    if (!Enabled()) return;
    FMouseOver = true;
    if (FDown && Morphing()) {
        FMorph.Factor = 1;
        Invalidate();
    } else if (GroupIndex == 0 || !FDown) {
        Refresh();
    }
    // Dragging back onto a held button resumes repeating.
    if (FDown && RepeatMode && GroupIndex == 0 && FPressing) StartRepeat();
    TvlGraphicSkinCustomControl::MouseEnter();
}

void TvlSkinSpeedButton::MouseLeave() {
    if (!Enabled()) return;
    FMouseOver = false;
    if (GroupIndex == 0 || !FDown) Refresh();
    if (FDown && RepeatMode && GroupIndex == 0) FRepeatTimer.reset();
    TvlGraphicSkinCustomControl::MouseLeave();
}

// ---- look ----

void TvlSkinSpeedButton::DrawState(TvlFBitmap& bitmap, const TRect& source, bool active, bool down) {
    DrawButtonState(*this, bitmap, FButtonData, source, {&Glyph, NumGlyphs, Margin < 0 ? Margin : Px(Margin), Px(Spacing), Layout}, ShownCaption(),
                    active, down);
}

void TvlSkinSpeedButton::PaintSkin(TvlFBitmap& bitmap) {
    if (!FHasButtonData || !Look.Picture) {
        PaintDefault(bitmap);
        return;
    }
    if (!FMorph.Between()) FMorphLooks.Clear();
    PaintButtonState(bitmap, Width(), Height(), FButtonData, Look.SkinRect,
                     {Morphing(), FMorph.Factor, Enabled(), FDown && (GroupIndex != 0 || FMouseOver), FMouseOver},
                     FMorphLooks,
                     [this](TvlFBitmap& b, const TRect& source, bool active, bool down) {
                         DrawState(b, source, active, down);
                     });
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
    TFont font = PlainFont();
    TColor colour = Enabled() ? font.Color() : clBtnShadow;
    TvlGlyphLook g{&Glyph, NumGlyphs, Margin < 0 ? Margin : Px(Margin), Px(Spacing), Layout};
    DrawGlyphAndText(bitmap.Canvas(), g, ShownCaption(), TRect{0, 0, Width(), Height()}, font, colour,
                     GlyphCell(NumGlyphs, Enabled(), FDown, FMouseOver), pressed);
}

void TvlSkinSpeedButton::Paint(TCanvas& canvas) {
    if (FTransparent && !FMouseOver && !FDown) {
        // Only glyph and caption, straight over the parent's look.
        ReadElement();
        bool skinned = FHasButtonData && Look.HasElement();
        TFont font = skinned ? LookFont(FButtonData.FontName, FButtonData.FontHeight, FButtonData.FontStyle)
                             : PlainFont();
        TColor colour = !Enabled() ? (skinned ? FButtonData.DisabledFontColor : clBtnShadow)
                                   : (skinned ? FButtonData.FontColor : font.Color());
        TvlGlyphLook g{&Glyph, NumGlyphs, Margin < 0 ? Margin : Px(Margin), Px(Spacing), Layout};
        DrawGlyphAndText(canvas.Handle(), g, ShownCaption(), TRect{0, 0, Width(), Height()}, font, colour,
                         GlyphCell(NumGlyphs, Enabled(), false, false), false);
        return;
    }
    TvlGraphicSkinCustomControl::Paint(canvas);
}
