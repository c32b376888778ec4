// The objects on the skinned main menu bar: its items and the caption
// buttons of a maximized child, each drawn into the bar's picture.
#include <windowsx.h>

#include <algorithm>

#include "skin/controls/vlLookPieces.h"
#include "skin/controls/vlTextPen.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlUtils.h"
#include "skin/form/vlSkinMenuBar.h"

using namespace vlLookPieces;

namespace {
constexpr uint32_t kHotFill = 13811126;   // RGB 182, 189, 210
constexpr uint32_t kDownFill = 11899781;  // RGB 133, 147, 181
constexpr uint32_t kNavy = 0x00800000;

TvlFBitmap Piece(const TPixelImage* picture, const TRect& r, int w, int h) {
    TvlFBitmap out;
    if (!picture || r.IsEmpty() || w <= 0 || h <= 0) return out;
    out.SetSize(w, h);
    StretchPiece(out, {0, 0, w, h}, PictureView(*picture), r);
    return out;
}
}  // namespace

// ---- Objects ----------------------------------------------------------------------------

void TvlMenuBarObject::MouseEnter() {
    PointerInside = Active = true;
    Bar->RepaintObject(this);
}

void TvlMenuBarObject::MouseLeave() {
    PointerInside = Active = false;
    Bar->RepaintObject(this);
}

bool TvlMenuBarObject::CanMorph() const {
    if (!Morphing || Down) return false;
    return Active ? MorphFactor < 1 : MorphFactor > 0;
}

TvlSkinMainMenuBarItem::TvlSkinMainMenuBarItem(TvlSkinMainMenuBar* bar, TMenuItem* item,
                                               const TvlDataSkinMainMenuItem* data)
    : TvlMenuBarObject(bar), MenuItem(item), Data(data) {
    IDName = item->Name;
    if (!data) return;
    Picture = SkinPicture(bar->SkinData(), data->ActivePictureIndex);
    SkinRect = data->SkinRect;
    ActiveSkinRect = data->ActiveSkinRect.IsEmpty() ? data->SkinRect : data->ActiveSkinRect;
    DownRect = !data->DownRect.IsEmpty() ? data->DownRect : ActiveSkinRect;
    Morphing = data->Morphing && Picture;
    MorphKind = static_cast<int>(data->MorphKind);
}

bool TvlSkinMainMenuBarItem::CanMorph() const { return TvlMenuBarObject::CanMorph(); }

void TvlSkinMainMenuBarItem::Draw(TvlFBitmap& bitmap) {
    const TRect& r = ObjectRect;
    int w = r.Width(), h = r.Height();
    if (w <= 0 || h <= 0) return;
    GdiFlush();
    uint32_t colour;
    TRect text;
    bool shifted = false;
    if (Data && Picture) {
        TvlPixelView view = PictureView(*Picture);
        TvlFBitmap look;
        if (Morphing && CanMorph()) {
            TvlEffectBmp normal;
            TvlFBitmap active;
            ComposeHorizontal(Data->ItemLeftOffset, Data->ItemRightOffset, SkinRect, view, w, normal);
            ComposeHorizontal(Data->ItemLeftOffset, Data->ItemRightOffset, ActiveSkinRect, view, w, active);
            normal.MorphKind(MorphKind, active, MorphFactor);
            look = std::move(normal);
        } else {
            const TRect& source = Down ? DownRect : Active ? ActiveSkinRect : SkinRect;
            ComposeHorizontal(Data->ItemLeftOffset, Data->ItemRightOffset, source, view, w, look);
        }
        if (!look.Empty()) CopyPiece(bitmap, r.Left, r.Top, look, {0, 0, look.Width(), std::min(look.Height(), h)});
        colour = Down ? Data->DownFontColor
                      : Active ? Data->ActiveFontColor
                               : MenuItem->Enabled && Enabled ? Data->FontColor : Data->UnEnabledFontColor;
        text = Offset(Data->TextRect, r.Left, r.Top);
        text.Right += w - Data->SkinRect.Width();
    } else {
        FillBox(bitmap, r, ColorToRGB(clBtnFace));
        if (Down || Active) {
            FillBox(bitmap, r, Down ? kDownFill : kHotFill);
            OutlineBox(bitmap, r, kNavy);
        }
        colour = ColorToRGB(MenuItem->Enabled && Enabled ? Bar->DefItemFont.Color() : clBtnShadow);
        text = r;
        shifted = Down;
    }
    TFont font = Data && Bar->UseSkinFont ? TFont(Data->FontName, Data->FontHeight, Data->FontStyle)
                                          : Bar->DefItemFont;
    if (!(Data && Bar->UseSkinFont)) font.SetHeight(Bar->Px(font.Height()));
    if (Bar->SkinData() && Bar->SkinData()->ResourceStrData())
        font.SetCharSet(Bar->SkinData()->ResourceStrData()->CharSet);
    TvlTextPen pen(bitmap, font);
    HDC dc = pen.DC();
    SetTextColor(dc, colour);
    const std::string& caption = MenuItem->Caption;
    RECT place{text.Left, text.Top, text.Right, text.Bottom};
    if (Data && Picture) {
        RECT measure = place;
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &measure, DT_CALCRECT | DT_SINGLELINE);
        int ch = measure.bottom - measure.top;
        place = {measure.left + 1, text.Top + (text.Height() - ch) / 2, text.Right, text.Top + (text.Height() + ch) / 2};
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &place, DT_SINGLELINE | DT_LEFT);
    } else {
        if (shifted) OffsetRect(&place, 1, 1);
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &place,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
}

void TvlSkinMainMenuBarItem::MouseDown(int x, int y, TMouseButton button) {
    if (button == mbLeft && Enabled && MenuItem->Enabled) Bar->ItemMouseDown(this);
}

void TvlSkinMainMenuBarItem::MouseEnter() {
    PointerInside = true;
    TvlSkinMainMenuBarItem* down = Bar->DownItem();
    if (down && down != this) {
        // With a submenu open the mouse alone moves it along the bar.
        Bar->OpenItemMenu(this);
    } else {
        Active = true;
        if (Morphing) Bar->StartMorph();
        else Bar->RepaintObject(this);
    }
    if (Bar->OnItemMouseEnter) Bar->OnItemMouseEnter(MenuItem);
}

void TvlSkinMainMenuBarItem::MouseLeave() {
    PointerInside = false;
    Active = false;
    if (Morphing) Bar->StartMorph();
    else Bar->RepaintObject(this);
    if (Bar->OnItemMouseLeave) Bar->OnItemMouseLeave(MenuItem);
}

TvlSkinMainMenuBarButton::TvlSkinMainMenuBarButton(TvlSkinMainMenuBar* bar, TvlMenuBarCommand command,
                                                   const TvlDataSkinStdButton* data)
    : TvlMenuBarObject(bar), Command(command) {
    static const char* const names[] = {"closebutton", "maxbutton", "minbutton", "sysmenubutton"};
    IDName = names[command];
    if (!data) return;
    Picture = SkinPicture(bar->SkinData(), data->ActivePictureIndex);
    SkinRect = data->SkinRect;
    ActiveSkinRect = data->ActiveSkinRect;
    DownRect = data->DownRect;
    Morphing = data->Morphing && Picture && !ActiveSkinRect.IsEmpty();
    MorphKind = static_cast<int>(data->MorphKind);
}

void TvlSkinMainMenuBarButton::Draw(TvlFBitmap& bitmap) {
    const TRect& r = ObjectRect;
    int w = r.Width(), h = r.Height();
    if (w <= 0 || h <= 0) return;
    bool pressed = Down && PointerInside;
    if (Picture && !SkinRect.IsEmpty()) {
        TvlFBitmap look;
        if (pressed && !DownRect.IsEmpty()) {
            look = Piece(Picture, DownRect, w, h);
        } else if (Morphing && CanMorph()) {
            TvlEffectBmp normal;
            normal.Assign(Piece(Picture, SkinRect, w, h).View());
            normal.MorphKind(MorphKind, Piece(Picture, ActiveSkinRect, w, h), MorphFactor);
            look = std::move(normal);
        } else {
            look = Piece(Picture, Active && !ActiveSkinRect.IsEmpty() ? ActiveSkinRect : SkinRect, w, h);
        }
        if (!look.Empty()) CopyPiece(bitmap, r.Left, r.Top, look, {0, 0, w, h});
        return;
    }
    FillBox(bitmap, r, ColorToRGB(clBtnFace));
    if (Active) {
        FillBox(bitmap, r, pressed ? kDownFill : kHotFill);
        OutlineBox(bitmap, r, kNavy);
    }
    TvlGlyph glyph = Command == mbcClose      ? TvlGlyph::Close
                     : Command == mbcMaximize ? TvlGlyph::Restore
                     : Command == mbcMinimize ? TvlGlyph::Minimize
                                              : TvlGlyph::SystemMenu;
    int gx = r.Left + (pressed ? w / 2 - 4 : w / 2 - 5), gy = r.Top + (pressed ? h / 2 - 3 : h / 2 - 4);
    DrawDefaultGlyph(bitmap, glyph, gx, gy, ColorToRGB(Enabled ? clBtnText : clBtnShadow));
}

void TvlSkinMainMenuBarButton::MouseDown(int x, int y, TMouseButton button) {
    if (button != mbLeft || !Enabled) return;
    Down = true;
    Bar->RepaintObject(this);
    if (Command == mbcSysMenu) Bar->RunButton(mbcSysMenu);
}

void TvlSkinMainMenuBarButton::MouseUp(int x, int y, TMouseButton button) {
    bool run = Down && PointerInside && button == mbLeft && Command != mbcSysMenu;
    Down = false;
    Bar->RepaintObject(this);
    if (run) Bar->RunButton(Command);
}

void TvlSkinMainMenuBarButton::DblClick() {
    if (Command == mbcSysMenu) Bar->RunButton(mbcClose);
}
