#include "skin/controls/vlSkinButtons.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/access/vlAccess.h"
#include "skin/controls/vlButtonParts.h"

using namespace vlButtonParts;

// ---- TvlSkinSpeedButton ----

TvlSkinSpeedButton::TvlSkinSpeedButton(TComponent* owner, TWinControl* parent)
    : TvlGraphicSkinCustomControl(owner, parent) {
    SkinDataName = "toolbutton";
    SetBounds(0, 0, 25, 25);
}

void TvlSkinSpeedButton::SetDown(bool value) {
    if (value != FDown) vlAccessEvent(this, EVENT_OBJECT_STATECHANGE);
    FDown = value;
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
    DrawButtonState(*this, bitmap, FButtonData, source, {&Glyph, NumGlyphs, Margin, Spacing, Layout}, ShownCaption(),
                    active, down);
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
