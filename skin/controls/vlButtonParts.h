#pragma once
// What the button kinds share inside skin/controls: the plain look's
// colours, caption measuring and the button record with its looks filled in.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "core/Gdi.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlFBitmap.h"
#include "skin/data/vlMorphLooks.h"
#include "skin/data/vlSkinControls.h"
#include "skin/data/vlSkinLook.h"
#include "toolkit/ActnList.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

namespace vlButtonParts {
inline constexpr LRESULT kStateHot = 0x0200;  // BST_HOT
// RGB(0, 0, 128), RGB(133, 147, 181), RGB(182, 189, 210)
inline constexpr TColor kNavy = 0x800000, kDownFill = 0xB59385, kHotFill = 0xD2BDB6;

// The caption's size as DrawText shows it (an ampersand marks the accelerator).
inline SIZE CaptionExtent(HDC dc, const TFont& font, const std::string& text) {
    SelectGuard g(dc, font.Handle());
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

inline void FrameAndFill(TvlFBitmap& bitmap, TColor frame, TColor fill) {
    TCanvas canvas(bitmap.Canvas());
    RECT r{0, 0, bitmap.Width(), bitmap.Height()};
    canvas.FillRect(r, fill);
    canvas.FrameRect(r, frame);
}

// The element's button record, with the looks it leaves out filled in: the
// active look is the normal one, the pressed look the active one.
// The caption colour of a skinned button in its state now.
inline TColor ButtonFontColour(const TvlDataSkinButtonControl& d, bool enabled, bool active, bool down) {
    return !enabled         ? d.DisabledFontColor
           : active && down ? d.DownFontColor
           : active         ? d.ActiveFontColor
                            : d.FontColor;
}

inline bool ReadButtonLooks(const TvlSkinLook& look, TvlDataSkinButtonControl& data) {
    auto* element = look.ElementAs<TvlDataSkinButtonControl>();
    if (!element) return false;
    data = *element;
    if (data.ActiveSkinRect.IsEmpty()) data.ActiveSkinRect = look.SkinRect;
    if (data.DownSkinRect.IsEmpty()) data.DownSkinRect = data.ActiveSkinRect;
    return true;
}
// A member of a latching group went down: the other down members of the
// group among its siblings come up.
template <class Button, class SameGroup>
void ReleaseGroupSiblings(Button* pressed, SameGroup sameGroup) {
    TWinControl* parent = pressed->Parent();
    if (!parent) return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* other = dynamic_cast<Button*>(parent->Controls(i));
        if (other && other != pressed && sameGroup(*other) && other->Down()) other->SetDown(false);
    }
}
// The left button's press on a button: one that is up goes down and then
// starts repeating (ungrouped, in RepeatMode) or clicks at once (grouped);
// a grouped one that is down already is let go on the release.
template <class Button, class Click>
void StartPress(Button& b, int groupIndex, Click click) {
    b.FPressing = true;
    if (!b.FDown) {
        b.FMouseOver = true;
        b.SetDown(true);
        if (b.RepeatMode && groupIndex == 0)
            b.StartRepeat();
        else if (groupIndex != 0)
            click();
        b.FReleaseOnPress = false;
    } else if (groupIndex != 0) {
        b.FReleaseOnPress = true;
    }
}

// The left button's release after a press that began on the button; `over`:
// the pointer is over it. An ungrouped button stops repeating and comes up,
// clicking only when released over it; a grouped one comes up and clicks
// only when the press found it down and AllowAllUp lets it go. Both push
// and speed buttons keep their press in the same fields.
template <class Button, class Click, class StopRepeat>
void ReleasePress(Button& b, int groupIndex, bool over, Click click, StopRepeat stopRepeat) {
    b.FPressing = false;
    if (groupIndex == 0) {
        stopRepeat();
        if (over) {
            b.SetDown(false);
            click();
        } else {
            b.FDown = false;
            b.FMouseOver = false;
            b.Invalidate();
        }
    } else if (b.FDown && b.AllowAllUp && b.FReleaseOnPress && over) {
        b.SetDown(false);
        click();
    }
}

// The glyph a button takes from its action: the action list's image on a
// magenta ground, RGB(255, 0, 255), which the glyph drawing leaves out.
// False, leaving `glyph` alone, when the action has no image.
inline bool CopyActionGlyph(const TAction& action, TvlFBitmap& glyph) {
    if (!action.HasImage()) return false;
    int w = 0, h = 0;
    ImageList_GetIconSize(action.Images()->Handle(), &w, &h);
    if (w <= 0 || h <= 0) return false;
    glyph.SetSize(w, h);
    glyph.Fill(0xFF00FF);
    ImageList_Draw(action.Images()->Handle(), action.ImageIndex(), glyph.Canvas(), 0, 0, ILD_NORMAL);
    GdiFlush();
    return true;
}

// The fade between the normal and the active look, in fifths of a step
// every 20 ms; counting fifths keeps 0 and 1 exact.
struct TvlMorph {
    static constexpr int Interval = 20;
    double Factor = 0;
    // One tick towards `active`; false when the fade is over (the timer goes).
    bool Step(bool active, bool morphing) {
        int fifths = static_cast<int>(Factor * 5 + 0.5);
        if (morphing && active && fifths < 5) {
            Factor = (fifths + 1) / 5.0;
            return true;
        }
        if (morphing && !active && fifths > 0) {
            Factor = (fifths - 1) / 5.0;
            return true;
        }
        Factor = active ? 1 : 0;
        return false;
    }
    bool Between() const { return Factor > 0 && Factor < 1; }
};
// Which skin image a button shows, in this order: the fade between normal
// and active; the disabled image; the pressed image; the active image; the
// normal one. `draw(bitmap, source, active, down)` renders one state. The
// fade draws both looks into `looks` once, until the owner clears it (when
// something they show changes); every tick then only blends them.
struct TvlButtonState {
    bool Morphing;
    double Factor;
    bool Enabled, Pressed, Active;
};
template <class Draw>
void PaintButtonState(TvlFBitmap& bitmap, int width, int height, const TvlDataSkinButtonControl& d,
                      const TRect& skinRect, const TvlButtonState& s, TvlMorphLooks& looks, Draw draw) {
    if (s.Morphing && s.Factor > 0 && s.Factor < 1 && s.Enabled) {
        if (!looks.Started(width, height)) {
            TvlFBitmap normal, active;
            normal.SetSize(width, height);
            active.SetSize(width, height);
            draw(normal, skinRect, false, false);
            draw(active, d.ActiveSkinRect, true, false);
            GdiFlush();
            looks.Start(normal, active, d.MorphKind);
        }
        looks.Draw(s.Factor, bitmap);
    } else if (!s.Enabled && !d.DisabledSkinRect.IsEmpty()) {
        draw(bitmap, d.DisabledSkinRect, false, false);
    } else if (s.Pressed) {
        draw(bitmap, d.DownSkinRect, true, true);
    } else if (s.Active || (s.Morphing && s.Factor == 1)) {
        draw(bitmap, d.ActiveSkinRect, true, false);
    } else {
        draw(bitmap, skinRect, false, false);
    }
}
}  // namespace vlButtonParts
