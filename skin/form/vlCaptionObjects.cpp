#include "skin/form/vlCaptionObjects.h"

#include "skin/form/Lacquer.h"

#include <algorithm>
#include <stdexcept>

#include "core/Errors.h"
#include "toolkit/Menus.h"
#include "skin/controls/vlSkinElement.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlRegion.h"
#include "skin/data/vlScaledShapes.h"
#include "skin/data/vlUtils.h"
#include "skin/controls/vlSkinRelay.h"
#include "skin/form/LacquerParts.h"

using namespace vlFrameParts;

// ---- Objects -------------------------------------------------------------

TvlActiveSkinObject::TvlActiveSkinObject(TvlLacquer* parent, const TvlDataSkinObject* data) : Parent(parent) {
    if (!data) {
        SkinRect = ActiveSkinRect = InActiveSkinRect = {0, 0, 1, 1};
        ObjectRect = SkinRect;
        return;
    }
    TvlSkinData* sd = parent->SkinData();
    IDName = data->ElementName;
    Hint = data->Hint;
    SkinRectInAPicture = data->SkinRectInAPicture;
    SkinRect = data->SkinRect;
    ActiveSkinRect = data->ActiveSkinRect;
    InActiveSkinRect = data->InActiveSkinRect;
    ObjectRect = SkinRect;
    Picture = sd ? &sd->MainPicture : nullptr;
    if (sd && data->ActivePictureIndex >= 0 && data->ActivePictureIndex < static_cast<int>(sd->PictureList.size()))
        ObjectPicture = &sd->PictureList[static_cast<size_t>(data->ActivePictureIndex)];
    MorphKind = data->MorphKind;
    Morphing = data->Morphing && !ActiveRect().IsEmpty();
}

bool TvlActiveSkinObject::MorphUnderWay() const {
    return Morphing && ((Active && MorphFactor != 1) || (!Active && MorphFactor != 0));
}

void TvlActiveSkinObject::CopyToObject(TvlFBitmap& dest, const TPixelImage* picture, const TRect& source) const {
    if (!picture || picture->Empty() || source.IsEmpty() || ObjectRect.IsEmpty()) return;
    if (source.Width() == ObjectRect.Width() && source.Height() == ObjectRect.Height())
        CopyPiece(dest, ObjectRect.Left, ObjectRect.Top, PictureView(*picture), source);
    else
        StretchPiece(dest, ObjectRect, PictureView(*picture), source);
}

void TvlActiveSkinObject::DrawMorph(TvlFBitmap& dest, const TPixelImage* normalPicture, const TRect& normal,
                                    const TPixelImage* activePicture, const TRect& active) const {
    int w = ObjectRect.Width(), h = ObjectRect.Height();
    if (w < 1 || h < 1 || !normalPicture || !activePicture) return;
    TvlEffectBmp a, b;
    a.SetSize(w, h);
    b.SetSize(w, h);
    StretchPiece(a, {0, 0, w, h}, PictureView(*normalPicture), normal);
    StretchPiece(b, {0, 0, w, h}, PictureView(*activePicture), active);
    a.MorphKind(MorphKind, b, MorphFactor);
    CopyPiece(dest, ObjectRect.Left, ObjectRect.Top, a.View(), {0, 0, w, h});
}

void TvlActiveSkinObject::Draw(TvlFBitmap& dest, bool update) {
    const TPixelImage* normalPicture = SkinRectInAPicture ? ObjectPicture : Picture;
    if (Enabled && !Parent->IsFrameActive() && ObjectPicture && !InActiveSkinRect.IsEmpty()) {
        CopyToObject(dest, ObjectPicture, InActiveSkinRect);
    } else if (MorphUnderWay()) {
        DrawMorph(dest, normalPicture, SkinRect, ObjectPicture, ActiveSkinRect);
    } else if (!Active || ActiveRect().IsEmpty()) {
        if (!update && !SkinRectInAPicture) return;  // the frame strips show it
        CopyToObject(dest, normalPicture, SkinRect);
    } else {
        CopyToObject(dest, ObjectPicture, ActiveSkinRect);
    }
}

void TvlActiveSkinObject::Redraw() {
    if (Morphing)
        Parent->StartMorphTimer();
    else
        Parent->RepaintObject(this);
}

void TvlActiveSkinObject::SetMenuItem(TMenuItem* item) {
    MenuItem = item;
    if (item) Parent->FreeNotification(item);
}

TRect TvlActiveSkinObject::ScreenRect() const {
    RECT w{};
    if (HWND form = Parent->FormWindow()) GetWindowRect(form, &w);
    return Offset(ObjectRect, w.left, w.top);
}

bool TvlActiveSkinObject::OpenMenu() {
    if (!MenuItem || MenuItem->Count() == 0 || !Parent->FormWindow()) return false;
    return Parent->Menus()->PopupItemAt(MenuItem, ScreenRect(), PopupUp);
}

void TvlActiveSkinObject::MouseDown(int x, int y, TMouseButton button) {
    if (Parent->OnMouseDownEvent) Parent->OnMouseDownEvent(IDName, x, y, ObjectRect, button);
}
void TvlActiveSkinObject::MouseUp(int x, int y, TMouseButton button) {
    if (PointerInside && Parent->OnMouseUpEvent) Parent->OnMouseUpEvent(IDName, x, y, ObjectRect, button);
}
void TvlActiveSkinObject::MouseMove(int x, int y) {
    if (Parent->OnMouseMoveEvent) Parent->OnMouseMoveEvent(IDName, x, y, ObjectRect);
}
void TvlActiveSkinObject::MouseEnter() {
    PointerInside = Active = true;
    if (!ActiveRect().IsEmpty()) Redraw();
    if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}
void TvlActiveSkinObject::MouseLeave() {
    PointerInside = Active = false;
    if (!ActiveRect().IsEmpty()) Redraw();
    if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

void TvlUserObject::Draw(TvlFBitmap& dest, bool) {
    if (Parent->OnPaintEvent) Parent->OnPaintEvent(IDName, dest, ObjectRect);
}

TvlSkinButtonObject::TvlSkinButtonObject(TvlLacquer* parent, const TvlDataSkinButton* data)
    : TvlActiveSkinObject(parent, data) {
    if (data) {
        DownRect = data->DownRect;
        DisabledLookRect = data->DisableSkinRect;
    }
}

bool TvlSkinButtonObject::CanMorph() const { return TvlActiveSkinObject::CanMorph() && !(Down && MenuOpen); }

void TvlSkinButtonObject::SetDown(bool v) {
    Down = v;
    if (Morphing && Active) MorphFactor = 1;
    Parent->RepaintObject(this);
    if (Morphing && !Down) Redraw();
}

void TvlSkinButtonObject::Draw(TvlFBitmap& dest, bool update) {
    if (!Enabled && ObjectPicture && !DisabledLookRect.IsEmpty())
        CopyToObject(dest, ObjectPicture, DisabledLookRect);
    else if (Down && PointerInside && ObjectPicture && !DownRect.IsEmpty())
        CopyToObject(dest, ObjectPicture, DownRect);
    else
        TvlActiveSkinObject::Draw(dest, update);
}

void TvlSkinButtonObject::MouseDown(int x, int y, TMouseButton button) {
    if (!Enabled) return;
    if (button == mbLeft && !Down) {
        SetDown(true);
        // The button stays down while its menu is open; the frame lets it up
        // when the menu closes.
        if (MenuItem && MenuItem->Count() > 0) {
            MenuOpen = true;
            if (!OpenMenu()) MenuOpen = false;
        }
    }
    TvlActiveSkinObject::MouseDown(x, y, button);
}

void TvlSkinButtonObject::MouseUp(int x, int y, TMouseButton button) {
    if (!Enabled) return;
    if (button == mbLeft && !MenuOpen && Down) SetDown(false);
    TvlActiveSkinObject::MouseUp(x, y, button);
}

void TvlSkinButtonObject::MouseEnter() {
    PointerInside = Active = true;
    if (!DownRect.IsEmpty() && Down) {
        if (Morphing) MorphFactor = 1;
        Parent->RepaintObject(this);
    } else if (!ActiveRect().IsEmpty()) {
        Redraw();
    }
    if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}

void TvlSkinButtonObject::MouseLeave() {
    PointerInside = Active = false;
    if (!(Down && MenuOpen)) {
        Parent->RepaintObject(this);
        Redraw();
    }
    if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

TvlSkinStdButtonObject::TvlSkinStdButtonObject(TvlLacquer* parent, const TvlDataSkinStdButton* data,
                                               const std::string& idName, TvlStdCommand command)
    : TvlSkinButtonObject(parent, data) {
    SkinSupport = data != nullptr;
    if (data) {
        Command = data->Command;
        RestoreRect = data->RestoreRect;
        RestoreActiveRect = data->RestoreActiveRect;
        RestoreDownRect = data->RestoreDownRect;
        RestoreInActiveRect = data->RestoreInActiveRect;
    } else {
        IDName = idName;
        Command = command;
        SkinRectInAPicture = true;
    }
}

bool TvlSkinStdButtonObject::RestoreLook() const {
    if (!ObjectPicture || RestoreRect.IsEmpty()) return false;
    return (Command == cmMaximize && Parent->FrameWindowState() == fwsMaximized) ||
           (Command == cmMinimize && Parent->FrameWindowState() == fwsMinimized) ||
           (Command == cmRollUp && Parent->RollUpState());
}

bool TvlSkinStdButtonObject::DrawsIcon() const {
    return Command == cmSysMenu && Parent->ShowIcon && (!SkinSupport || SkinRectInAPicture);
}

bool TvlSkinStdButtonObject::CanMorph() const { return !DrawsIcon() && TvlSkinButtonObject::CanMorph(); }

void TvlSkinStdButtonObject::DrawIcon(TvlFBitmap& dest) const {
    HWND w = Parent->FormWindow();
    if (!w || ObjectRect.IsEmpty()) return;
    // The form's icon, else the program's, else the system's.
    auto icon = reinterpret_cast<HICON>(SendMessageA(w, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageA(w, WM_GETICON, ICON_BIG, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(w, GCLP_HICONSM));
    if (!icon) icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    if (!icon) icon = LoadIconA(nullptr, IDI_APPLICATION);
    GdiFlush();
    DrawIconEx(dest.Canvas(), ObjectRect.Left, ObjectRect.Top, icon, ObjectRect.Width(), ObjectRect.Height(), 0,
               nullptr, DI_NORMAL);
    GdiFlush();
}

void TvlSkinStdButtonObject::Draw(TvlFBitmap& dest, bool update) {
    if (DrawsIcon() && (Enabled || !SkinSupport)) {
        MorphFactor = 0;
        DrawIcon(dest);
        return;
    }
    if (!SkinSupport) {
        DrawBuiltIn(dest);
        return;
    }
    bool frameActive = Parent->IsFrameActive();
    if (Enabled && (frameActive || InActiveSkinRect.IsEmpty()) && RestoreLook()) {
        if (!frameActive && !RestoreInActiveRect.IsEmpty())
            CopyToObject(dest, ObjectPicture, RestoreInActiveRect);
        else if (Down && PointerInside && !RestoreDownRect.IsEmpty())
            CopyToObject(dest, ObjectPicture, RestoreDownRect);
        else if (MorphUnderWay() && !RestoreActiveRect.IsEmpty())
            DrawMorph(dest, ObjectPicture, RestoreRect, ObjectPicture, RestoreActiveRect);
        else if (Active && !RestoreActiveRect.IsEmpty())
            CopyToObject(dest, ObjectPicture, RestoreActiveRect);
        else
            CopyToObject(dest, ObjectPicture, RestoreRect);
        return;
    }
    TvlSkinButtonObject::Draw(dest, update);
}

void TvlSkinStdButtonObject::DrawBuiltIn(TvlFBitmap& dest) const {
    const TRect& r = ObjectRect;
    if (r.IsEmpty()) return;
    bool hot = Active, pressed = Down && PointerInside;
    uint32_t face = Rgb(clBtnFace);
    if (pressed)
        face = 11899781;
    else if (hot)
        face = 13811126;
    FillBox(dest, r, face);
    if (hot || pressed) OutlineBox(dest, r, 0x800000);
    TvlGlyph glyph = TvlGlyph::Close;
    switch (Command) {
        case cmClose: glyph = TvlGlyph::Close; break;
        case cmMaximize:
            glyph = Parent->FrameWindowState() == fwsMaximized ? TvlGlyph::Restore : TvlGlyph::Maximize;
            break;
        case cmMinimize:
            glyph = Parent->FrameWindowState() == fwsMinimized ? TvlGlyph::Restore : TvlGlyph::Minimize;
            break;
        case cmRollUp: glyph = Parent->RollUpState() ? TvlGlyph::RollDown : TvlGlyph::RollUp; break;
        case cmMinimizeToTray: glyph = TvlGlyph::MinimizeToTray; break;
        case cmSysMenu: glyph = TvlGlyph::SystemMenu; break;
        default: return;
    }
    // The glyph's 10-pixel cell centred, a pixel down and right while pressed, at the frame's DPI.
    const int dpi = Parent->FrameDpi();
    auto px = [dpi](int value) { return ScaleForDpi(value, dpi); };
    int w = r.Width(), h = r.Height();
    int gx = r.Left + w / 2 - px(pressed ? 4 : 5), gy = r.Top + h / 2 - px(pressed ? 3 : 4);
    DrawDefaultGlyph(dest, glyph, gx, gy, Rgb(Enabled ? clBtnText : clBtnShadow), dpi);
}

void TvlSkinStdButtonObject::MouseDown(int x, int y, TMouseButton button) {
    if (!Enabled || button != mbLeft || Down) return;
    SetDown(true);
    if (Command == cmSysMenu) {
        // The system menu drops below the button.
        RECT w;
        GetWindowRect(Parent->FormWindow(), &w);
        MenuOpen = true;
        Parent->PopupSystemMenuAt(Offset(ObjectRect, w.left, w.top), PopupUp);
    }
}

void TvlSkinStdButtonObject::MouseUp(int x, int y, TMouseButton button) {
    if (!Enabled) return;
    bool run = Active && button == mbLeft && Down;
    if (Command == cmClose) {
        TvlSkinButtonObject::MouseUp(x, y, button);
        if (run) Parent->RunCommand(Command);
        return;
    }
    if (run) Parent->RunCommand(Command);
    TvlSkinButtonObject::MouseUp(x, y, button);
}

void TvlSkinStdButtonObject::DblClick() {
    if (Command == cmSysMenu) Parent->RunCommand(cmClose);
}

TvlSkinAnimateObject::TvlSkinAnimateObject(TvlLacquer* parent, const TvlDataSkinAnimate* data)
    : TvlActiveSkinObject(parent, data) {
    // A frame count of 0 or less animates as one frame.
    CountFrames = std::max(1, data->CountFrames);
    Cycle = data->Cycle;
    ButtonStyle = data->ButtonStyle;
    TimerInterval = std::max(25, data->TimerInterval);
    Command = data->Command;
    Morphing = false;
}

void TvlSkinAnimateObject::Draw(TvlFBitmap& dest, bool) {
    int w = SkinRect.Width();
    if (!ObjectPicture || w < 1 || SkinRect.Height() < 1) return;
    TRect src{ActiveSkinRect.Left + (Frame - 1) * w, ActiveSkinRect.Top, 0, 0};
    src.Right = src.Left + w;
    src.Bottom = src.Top + SkinRect.Height();
    CopyToObject(dest, ObjectPicture, src);
}

namespace {
// A button-style animation plays forward while the pointer is over it and
// back once it has left.
void FollowPointer(TvlSkinAnimateObject& object, bool inside) {
    object.PointerInside = inside;
    if (!object.ButtonStyle) return;
    object.Active = true;
    object.Forward = inside;
    object.Parent->StartAnimateTimer();
}
}  // namespace

void TvlSkinAnimateObject::MouseEnter() {
    FollowPointer(*this, true);
    if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}

void TvlSkinAnimateObject::MouseLeave() {
    if (!PointerInside) return;
    FollowPointer(*this, false);
    if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

void TvlSkinAnimateObject::MouseUp(int x, int y, TMouseButton button) {
    TvlActiveSkinObject::MouseUp(x, y, button);
    if (PointerInside && ButtonStyle && button == mbLeft) {
        // The menus open beside the object, not at the cursor.
        if (Command == cmSysMenu)
            Parent->PopupSystemMenuAt(ScreenRect(), PopupUp);
        else if (Command == cmDefault)
            OpenMenu();
        else
            Parent->RunCommand(Command);
    }
}

void TvlSkinAnimateObject::DblClick() {
    if (Command == cmSysMenu) Parent->RunCommand(cmClose);
}

bool TvlSkinAnimateObject::Tick() {
    if (!Active) return false;
    if (Counter < TimerInterval) {
        Counter += 25;
        return false;
    }
    if (Forward) {
        Frame = Frame >= CountFrames ? 1 : Frame + 1;
        if (!Cycle && Frame >= CountFrames) Active = false;
    } else {
        Frame = Frame <= 1 ? CountFrames : Frame - 1;
        if (Frame <= 1) Active = false;
    }
    Counter = 25;
    Parent->RepaintObject(this);
    return true;
}

TvlSkinCaptionObject::TvlSkinCaptionObject(TvlLacquer* parent, const TvlDataSkinCaption* data)
    : TvlActiveSkinObject(parent, data) {
    FontName = data->FontName;
    FontHeight = data->FontHeight;
    FontStyle = data->FontStyle;
    FontColor = data->FontColor;
    ActiveFontColor = data->ActiveFontColor;
    Alignment = data->Alignment;
    CaptionTextRect = data->TextRect;
    Shadow = data->Shadow;
    ShadowColor = data->ShadowColor;
    ActiveShadowColor = data->ActiveShadowColor;
    FrameRect = data->FrameRect;
    ActiveFrameRect = data->ActiveFrameRect;
    FrameTextRect = data->FrameTextRect;
    FrameLeftOffset = data->FrameLeftOffset;
    FrameRightOffset = data->FrameRightOffset;
}

void TvlSkinCaptionObject::MouseEnter() {
    PointerInside = true;
    if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}
void TvlSkinCaptionObject::MouseLeave() {
    PointerInside = false;
    if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}
void TvlSkinCaptionObject::MouseDown(int x, int y, TMouseButton button) {
    if (Parent->OnMouseDownEvent) Parent->OnMouseDownEvent(IDName, x, y, ObjectRect, button);
}
void TvlSkinCaptionObject::MouseUp(int x, int y, TMouseButton button) {
    if (Parent->OnMouseUpEvent) Parent->OnMouseUpEvent(IDName, x, y, ObjectRect, button);
}

void TvlSkinCaptionObject::DrawText(TvlFBitmap& dest, int ox, int oy, bool active) const {
    std::string text = WindowText(Parent->FormWindow());
    if (text.empty() || CaptionTextRect.IsEmpty()) return;
    TRect tr = CaptionTextRect;
    tr.Right += ObjectRect.Width() - SkinRect.Width();
    if (!FrameRect.IsEmpty()) {
        tr.Left += FrameTextRect.Left;
        tr.Top += FrameTextRect.Top;
        tr.Right += FrameTextRect.Right - FrameRect.Width();
    }
    if (tr.Width() < 1) return;
    tr = Offset(tr, ox, oy);
    TFont font(FontName, FontHeight, FontStyle);
    font.SetCharSet(Parent->CaptionCharSet());
    TvlTextPen pen(dest, font);
    text =
        FitTextWithEllipsis(text, tr.Width(), [&](const std::string& s) { return static_cast<int>(pen.Extent(s).cx); });
    SIZE size = pen.Extent(text);
    int y = tr.Top + tr.Height() / 2 - size.cy / 2;
    int x = tr.Left;
    if (Alignment == taRightJustify)
        x = tr.Right - size.cx;
    else if (Alignment == taCenter)
        x = tr.Left + tr.Width() / 2 - size.cx / 2;
    if (!FrameRect.IsEmpty() && ObjectPicture) {
        GdiFlush();
        const TRect& fr = active && !ActiveFrameRect.IsEmpty() ? ActiveFrameRect : FrameRect;
        TvlFBitmap strip;
        ComposeHorizontal(FrameLeftOffset, FrameRightOffset, fr, PictureView(*ObjectPicture),
                          FrameRect.Width() + size.cx - FrameTextRect.Width(), strip);
        CopyPiece(dest, x - FrameTextRect.Left, y - FrameTextRect.Top, strip.View(),
                  {0, 0, strip.Width(), strip.Height()});
    }
    if (Shadow) pen.Out(x + 1, y + 1, text, active ? ActiveShadowColor : ShadowColor);
    pen.Out(x, y, text, active ? ActiveFontColor : FontColor);
}

TvlFBitmap TvlSkinCaptionObject::CaptionImage(bool active) const {
    int w = ObjectRect.Width(), h = ObjectRect.Height();
    TvlFBitmap image;
    const TPixelImage* pic = active ? ObjectPicture : Picture;
    const TRect& src = active ? ActiveSkinRect : SkinRect;
    if (w < 1 || h < 1 || !pic || pic->Empty() || src.IsEmpty()) return image;
    image.SetSize(w, h);
    TvlSkinData* sd = Parent->SkinData();
    int el = sd ? sd->LTPoint.X - SkinRect.Left : 0;
    int er = sd ? SkinRect.Right - sd->RTPoint.X : 0;
    el = std::clamp(el, 0, src.Width());
    er = std::clamp(er, 0, src.Width() - el);
    if (el == 0 && er == 0) {
        StretchPiece(image, {0, 0, w, h}, PictureView(*pic), src);
    } else {
        TRect middle{src.Left + el, src.Top, src.Right - er, src.Bottom};
        if (middle.Width() >= 1) TilePiece(image, {0, 0, w, h}, PictureView(*pic), middle);
        CopyPiece(image, 0, 0, PictureView(*pic), {src.Left, src.Top, src.Left + el, src.Bottom});
        CopyPiece(image, w - er, 0, PictureView(*pic), {src.Right - er, src.Top, src.Right, src.Bottom});
    }
    DrawText(image, 0, 0, active);
    return image;
}

void TvlSkinCaptionObject::Draw(TvlFBitmap& dest, bool) {
    // The inactive effect is the frame's: it filters its strips, objects
    // included, once.
    auto put = [&](const TvlFBitmap& image) {
        if (!image.Empty())
            CopyPiece(dest, ObjectRect.Left, ObjectRect.Top, image.View(), {0, 0, image.Width(), image.Height()});
    };
    if (MorphUnderWay() && !ActiveRect().IsEmpty()) {
        TvlFBitmap normal = CaptionImage(false), active = CaptionImage(true);
        if (normal.Empty() || !normal.SameSize(active)) return;
        TvlEffectBmp m(normal.View());
        m.MorphKind(MorphKind, active, MorphFactor);
        put(m);
    } else if (ActiveRect().IsEmpty() || (!Active && !Morphing)) {
        DrawText(dest, ObjectRect.Left, ObjectRect.Top, Active);
    } else {
        put(CaptionImage(Active));
    }
}
