#pragma once
// What the button kinds share inside skin/controls: the plain look's
// colours, caption measuring and the button record with its looks filled in.
#include <windows.h>

#include <string>

#include "core/Gdi.h"
#include "skin/data/vlFBitmap.h"
#include "skin/data/vlSkinControls.h"
#include "skin/data/vlSkinLook.h"
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
}  // namespace vlButtonParts
