#include "skin/form/Lacquer.h"

#include <algorithm>
#include <stdexcept>

#include "core/Errors.h"
#include "skin/controls/vlSkinElement.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlRegion.h"
#include "skin/data/vlUtils.h"
#include "skin/form/vlSkinMessages.h"

namespace {

// Every frame alive, to find the minimized frames of other forms.
std::vector<TvlLacquer*>& AllFrames() {
    static std::vector<TvlLacquer*> frames;
    return frames;
}

constexpr int kBuiltInBorder = 3;
constexpr int kBuiltInButton = 17;

bool Inside(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }
bool AllZero(const TRect& r) { return r.Left == 0 && r.Top == 0 && r.Right == 0 && r.Bottom == 0; }
TRect Offset(TRect r, int dx, int dy) { return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

uint32_t Rgb(TColor c) { return ColorToRGB(c); }

void FillArea(TvlFBitmap& dest, const TRect& r, uint32_t colour) {
    int l = std::max(0, r.Left), t = std::max(0, r.Top);
    int rr = std::min(dest.Width(), r.Right), b = std::min(dest.Height(), r.Bottom);
    for (int y = t; y < b; ++y)
        for (int x = l; x < rr; ++x) dest.SetPixel(x, y, colour);
}
void HLine(TvlFBitmap& dest, int x1, int x2, int y, uint32_t colour) { FillArea(dest, {x1, y, x2, y + 1}, colour); }
void VLine(TvlFBitmap& dest, int x, int y1, int y2, uint32_t colour) { FillArea(dest, {x, y1, x + 1, y2}, colour); }
void FrameArea(TvlFBitmap& dest, const TRect& r, uint32_t colour) {
    HLine(dest, r.Left, r.Right, r.Top, colour);
    HLine(dest, r.Left, r.Right, r.Bottom - 1, colour);
    VLine(dest, r.Left, r.Top, r.Bottom, colour);
    VLine(dest, r.Right - 1, r.Top, r.Bottom, colour);
}

// Text drawn with GDI into a bitmap's pixels; flushed before the pixels are
// touched again.
struct TextPen {
    TvlFBitmap& Dest;
    TFont Font;
    HDC DC;
    HGDIOBJ Old;
    TextPen(TvlFBitmap& dest, const std::string& name, int height, TFontStyles style)
        : Dest(dest), Font(name, height, style), DC(dest.Canvas()), Old(SelectObject(DC, Font.Handle())) {
        SetBkMode(DC, TRANSPARENT);
    }
    ~TextPen() {
        GdiFlush();
        SelectObject(DC, Old);
    }
    SIZE Extent(const std::string& s) const {
        SIZE size{};
        GetTextExtentPoint32A(DC, s.c_str(), static_cast<int>(s.size()), &size);
        return size;
    }
    void Out(int x, int y, const std::string& s, uint32_t colour, const TRect* clip = nullptr) {
        SetTextColor(DC, colour);
        RECT r =
            clip ? RECT{clip->Left, clip->Top, clip->Right, clip->Bottom} : RECT{0, 0, Dest.Width(), Dest.Height()};
        ExtTextOutA(DC, x, y, ETO_CLIPPED, &r, s.c_str(), static_cast<UINT>(s.size()), nullptr);
    }
};

std::string WindowText(HWND w) {
    int n = GetWindowTextLengthA(w);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    GetWindowTextA(w, s.data(), n + 1);
    s.resize(static_cast<size_t>(n));
    return s;
}

}  // namespace

// ---- Portable helpers ----------------------------------------------------

namespace vlFrame {

bool PointInRects(const std::vector<TRect>& rects, int x, int y) {
    for (const TRect& r : rects)
        if (Inside(r, x, y)) return true;
    return false;
}

TPoint SnapToArea(int left, int top, int w, int h, const TRect& area, int m) {
    if (std::abs(left - area.Left) < m) left = area.Left;
    if (std::abs(top - area.Top) < m) top = area.Top;
    if (std::abs(left + w - area.Right) < m) left = area.Right - w;
    if (std::abs(top + h - area.Bottom) < m) top = area.Bottom - h;
    return {left, top};
}

TPoint FreeMinimizedSlot(const TRect& area, int w, int h, const std::function<bool(TPoint)>& occupied) {
    // A size below 1 would never move on: count it as 1, and stop after as
    // many slots as the area holds in any case.
    w = std::max(w, 1);
    h = std::max(h, 1);
    TPoint p{area.Left, area.Bottom - h};
    long long slots = (static_cast<long long>(std::max(1, area.Width() / w)) + 1) *
                      (static_cast<long long>(std::max(1, area.Height() / h)) + 1);
    slots = std::min<long long>(slots, 100000);
    for (long long i = 0; i < slots && occupied(p); ++i) {
        p.X += w;
        if (p.X + w > area.Right) {
            p.X = area.Left;
            p.Y -= h;
            if (p.Y < area.Top) return {area.Left, area.Bottom - h};
        }
    }
    return p;
}

}  // namespace vlFrame

// ---- Timers --------------------------------------------------------------

void TvlFrameTimer::Start(HWND window) {
    if (!window || (FWindow == window && IsWindow(window))) return;
    Stop();
    if (SetTimer(window, FId, FInterval, nullptr)) FWindow = window;
}

void TvlFrameTimer::Stop() {
    if (!FWindow) return;
    if (IsWindow(FWindow)) KillTimer(FWindow, FId);
    FWindow = nullptr;
}

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
    if (button == mbLeft && !Down) SetDown(true);
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
    FillArea(dest, r, face);
    if (hot || pressed) FrameArea(dest, r, 0x800000);
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
    int w = r.Width(), h = r.Height();
    int gx = r.Left + (pressed ? w / 2 - 4 : w / 2 - 5), gy = r.Top + (pressed ? h / 2 - 3 : h / 2 - 4);
    DrawDefaultGlyph(dest, glyph, gx, gy, Rgb(Enabled ? clBtnText : clBtnShadow));
}

void TvlSkinStdButtonObject::MouseDown(int x, int y, TMouseButton button) {
    if (!Enabled || button != mbLeft || Down) return;
    SetDown(true);
    if (Command == cmSysMenu) {
        // The system menu drops below the button.
        RECT w;
        GetWindowRect(Parent->FormWindow(), &w);
        MenuOpen = true;
        Parent->PopupSystemMenu(w.left + ObjectRect.Left, w.top + ObjectRect.Bottom);
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

void TvlSkinAnimateObject::MouseEnter() {
    PointerInside = true;
    if (ButtonStyle) {
        Active = true;
        Forward = true;
        Parent->StartAnimateTimer();
    }
    if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}

void TvlSkinAnimateObject::MouseLeave() {
    if (!PointerInside) return;
    PointerInside = false;
    if (ButtonStyle) {
        Active = true;
        Forward = false;
        Parent->StartAnimateTimer();
    }
    if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

void TvlSkinAnimateObject::MouseUp(int x, int y, TMouseButton button) {
    TvlActiveSkinObject::MouseUp(x, y, button);
    if (PointerInside && ButtonStyle && button == mbLeft) {
        if (Command == cmSysMenu) {
            POINT p;
            GetCursorPos(&p);
            Parent->PopupSystemMenu(p.x, p.y);
        } else {
            Parent->RunCommand(Command);
        }
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
    TextPen pen(dest, FontName, FontHeight, FontStyle);
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
    TvlSkinData* sd = Parent->SkinData();
    bool autoInactive = sd && sd->AutoRenderingInActiveImage;
    auto put = [&](TvlFBitmap& image, bool inactiveEffect) {
        if (image.Empty()) return;
        if (inactiveEffect && sd) {
            TvlEffectBmp e(image.View());
            e.ApplyInactiveEffect(sd->InActiveEffect);
            CopyPiece(dest, ObjectRect.Left, ObjectRect.Top, e.View(), {0, 0, e.Width(), e.Height()});
        } else {
            CopyPiece(dest, ObjectRect.Left, ObjectRect.Top, image.View(), {0, 0, image.Width(), image.Height()});
        }
    };
    if (MorphUnderWay() && !ActiveRect().IsEmpty()) {
        TvlFBitmap normal = CaptionImage(false), active = CaptionImage(true);
        if (normal.Empty() || !normal.SameSize(active)) return;
        TvlEffectBmp m(normal.View());
        m.MorphKind(MorphKind, active, MorphFactor);
        put(m, autoInactive && !Active);
    } else if (ActiveRect().IsEmpty() || (!Active && !Morphing)) {
        DrawText(dest, ObjectRect.Left, ObjectRect.Top, Active);
    } else if (Active) {
        TvlFBitmap image = CaptionImage(true);
        put(image, false);
    } else {
        TvlFBitmap image = CaptionImage(false);
        put(image, autoInactive);
    }
}

// ---- The frame -----------------------------------------------------------

TvlLacquer::TvlLacquer(TComponent* owner) : TWindowProcWrapper(owner), FForm(dynamic_cast<TForm*>(owner)) {
    if (!FForm) throw Exception("The frame component belongs on a form");
    Name = "vlLacquer";
    MonitorArea = [](HWND w, bool workArea) { return GetMonitorArea(w, workArea); };
    LayeredSupported = [] { return SupportsLayeredWindows(); };
    SetAlpha = [](HWND w, int alpha) { SetWindowAlpha(w, alpha); };
    AllFrames().push_back(this);
    CreateBuiltInButtons();
    Attach(FForm);
    if (FForm->HandleAllocated()) {
        HWND w = FForm->Handle();
        SetWindowLongPtrA(
            w, GWL_STYLE,
            GetWindowLongPtrA(w, GWL_STYLE) & ~(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        SetWindowPos(w, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

TvlLacquer::~TvlLacquer() {
    *FAlive = false;
    auto& all = AllFrames();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    FHoverTimer.Stop();
    FBlendTimer.Stop();
    FAnimateTimer.Stop();
    FFadeTimer.Stop();
    HWND w = FormWindow();
    if (w && GetCapture() == w && FCaptureObject >= 0) ReleaseCapture();
    FObjects.clear();
    if (w && !FForm->Destroying()) {
        // The form goes on without the frame: its region (the system's) is
        // removed and its own caption comes back.
        if (FFrameRegion) SetWindowRgn(w, nullptr, TRUE);
        FFrameRegion = nullptr;
        LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE) | WS_CAPTION;
        if (FForm->BorderIcons() & biSystemMenu) style |= WS_SYSMENU;
        SetWindowLongPtrA(w, GWL_STYLE, style);
        Detach();
        SetWindowPos(w, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

HWND TvlLacquer::FormWindow() const {
    return Target() && FForm && FForm->HandleAllocated() ? FForm->Handle() : nullptr;
}

void TvlLacquer::Notification(TComponent* component, bool removing) {
    TWindowProcWrapper::Notification(component, removing);
    if (removing) FMenusSkinData.Removed(component);
    if (removing && FSkinData.Removed(component)) {
        FSkinActive = false;
        FObjects.clear();
        FHotObjectIndex = FCaptureObject = -1;
        if (!Destroying() && FForm && !FForm->Destroying()) ApplySkin();
    }
}

void TvlLacquer::SetSkinData(TvlSkinData* skinData) {
    FSkinData.Set(skinData);
    ApplySkin();
}

void TvlLacquer::SetBorderIcons(TvlBorderIcons icons) {
    FBorderIcons = icons;
    FHotObjectIndex = FCaptureObject = -1;
    CreateBuiltInButtons();
    if (FormWindow()) PaintFrame();
}

bool TvlLacquer::Sizeable() const { return FForm->BorderStyle() == bsSizeable; }

bool TvlLacquer::IsFrameActive() const { return FFrameActive; }

std::string TvlLacquer::ResText(const char* key, const char* fallback) const {
    TvlSkinData* sd = SkinData();
    if (sd && sd->ResourceStrData()) {
        std::string t = sd->ResourceStrData()->LookupText(key);
        if (!t.empty()) return t;
    }
    return fallback;
}

// ---- Objects of the frame --------------------------------------------------

void TvlLacquer::FreeObjects() {
    // The objects go: nothing may point at them any more, and a mouse capture
    // taken for one of them goes with it.
    HWND w = FormWindow();
    if (FCaptureObject >= 0 && w && GetCapture() == w) ReleaseCapture();
    FHotObjectIndex = -1;
    FCaptureObject = -1;
    FObjects.clear();
}

void TvlLacquer::CreateBuiltInButtons() {
    FreeObjects();
    const std::pair<const char*, TvlStdCommand> buttons[] = {
        {"closebutton", cmClose},   {"maxbutton", cmMaximize},    {"minbutton", cmMinimize},
        {"rollupbutton", cmRollUp}, {"sysmenubutton", cmSysMenu}, {"traybutton", cmMinimizeToTray}};
    for (auto& [name, command] : buttons)
        FObjects.push_back(std::make_unique<TvlSkinStdButtonObject>(this, nullptr, name, command));
    ApplyBorderIcons();
}

void TvlLacquer::ApplyBorderIcons() {
    for (auto& o : FObjects) {
        TvlStdCommand command;
        if (auto* b = dynamic_cast<TvlSkinStdButtonObject*>(o.get()))
            command = b->Command;
        else if (auto* a = dynamic_cast<TvlSkinAnimateObject*>(o.get()))
            command = a->Command;
        else
            continue;
        if (HideCaptionButtons) {
            o->Enabled = false;
            if (o->SkinRectInAPicture) o->Visible = false;
            continue;
        }
        bool keep = true;
        switch (command) {
            case cmDefault: {
                bool visible = false;
                if (OnActivateCustomObject) OnActivateCustomObject(o->IDName, visible);
                keep = visible;
                break;
            }
            case cmClose: keep = true; break;
            case cmMaximize: keep = FBorderIcons & vlbiMaximize; break;
            case cmMinimize: keep = FBorderIcons & vlbiMinimize; break;
            case cmRollUp: keep = FBorderIcons & vlbiRollUp; break;
            case cmSysMenu: keep = FBorderIcons & vlbiSystemMenu; break;
            case cmMinimizeToTray: keep = FBorderIcons & vlbiMinimizeToTray; break;
        }
        if (!keep) {
            o->Visible = false;
            o->Enabled = false;
            continue;
        }
        auto* b = dynamic_cast<TvlSkinStdButtonObject*>(o.get());
        if (b && b->SkinSupport && b->SkinRect.IsEmpty()) {
            o->Enabled = false;
            if (o->SkinRectInAPicture) o->Visible = false;
        }
    }
    RefreshHints();
}

void TvlLacquer::RefreshHints() {
    if (!UseDefaultObjectHint || !SkinData()) return;
    for (auto& o : FObjects) {
        TvlStdCommand command;
        if (auto* b = dynamic_cast<TvlSkinStdButtonObject*>(o.get()))
            command = b->Command;
        else if (auto* a = dynamic_cast<TvlSkinAnimateObject*>(o.get()))
            command = a->Command;
        else
            continue;
        switch (command) {
            case cmClose: o->Hint = ResText("CLOSEBUTTON_HINT", "Close"); break;
            case cmMaximize: o->Hint = ResText("MAXBUTTON_HINT", "Maximize"); break;
            case cmMinimize: o->Hint = ResText("MINBUTTON_HINT", "Minimize"); break;
            case cmSysMenu: o->Hint = ResText("MENUBUTTON_HINT", "System menu"); break;
            case cmRollUp: o->Hint = ResText("ROLLUPBUTTON_HINT", "Roll Up"); break;
            case cmMinimizeToTray: o->Hint = ResText("TRAYBUTTON_HINT", "Minimize to Tray"); break;
            default: break;
        }
    }
}

void TvlLacquer::ResetObjectsDisplay() {
    for (auto& o : FObjects) {
        if (auto* a = dynamic_cast<TvlSkinAnimateObject*>(o.get())) {
            a->PointerInside = a->Active = false;
            a->Frame = 1;
        } else if (!dynamic_cast<TvlSkinCaptionObject*>(o.get())) {
            o->Active = o->PointerInside = false;
            o->MorphFactor = 0;
        }
    }
}

void TvlLacquer::ApplySkin() {
    FHotObjectIndex = -1;
    HWND w = FormWindow();
    if (FCaptureObject >= 0 && w && GetCapture() == w) ReleaseCapture();
    FCaptureObject = -1;
    TvlSkinData* sd = SkinData();
    FSkinActive = sd && !sd->IsEmpty() && !sd->MainPicture.Empty();
    if (FSkinActive) {
        FObjects.clear();
        for (auto& rec : sd->SkinObjects) {
            const TvlDataSkinObject* d = rec.get();
            if (dynamic_cast<const TvlDataSkinMenuItem*>(d) || dynamic_cast<const TvlDataSkinMainMenuItem*>(d) ||
                dynamic_cast<const TvlDataSkinMainMenuBarButton*>(d))
                continue;
            if (auto* s = dynamic_cast<const TvlDataSkinStdButton*>(d))
                FObjects.push_back(std::make_unique<TvlSkinStdButtonObject>(this, s));
            else if (auto* b = dynamic_cast<const TvlDataSkinButton*>(d))
                FObjects.push_back(std::make_unique<TvlSkinButtonObject>(this, b));
            else if (auto* c = dynamic_cast<const TvlDataSkinCaption*>(d))
                FObjects.push_back(std::make_unique<TvlSkinCaptionObject>(this, c));
            else if (auto* a = dynamic_cast<const TvlDataSkinAnimate*>(d))
                FObjects.push_back(std::make_unique<TvlSkinAnimateObject>(this, a));
            else if (dynamic_cast<const TvlDataUserObject*>(d))
                FObjects.push_back(std::make_unique<TvlUserObject>(this, d));
        }
        ApplyBorderIcons();
    } else {
        CreateBuiltInButtons();
        RemoveRegion();
    }
    if (!w) return;
    // The window is never smaller than the frame allows.
    RECT wr;
    GetWindowRect(w, &wr);
    int width = wr.right - wr.left, height = wr.bottom - wr.top;
    int newW = std::max(width, MinimumWidth()), newH = std::max(height, MinimumHeight());
    if (FRollUpState || FFrameWindowState == fwsMinimized) newH = MinimumHeight();
    if (FFrameWindowState == fwsMinimized) newW = MinimumWidth();
    if (newW != width || newH != height)
        SetFormBounds(wr.left, wr.top, newW, newH);
    else
        SetWindowPos(w, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(w, &wr);
    FFormWidth = wr.right - wr.left;
    FFormHeight = wr.bottom - wr.top;
    if (FSkinActive) UpdateFrame();
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    UpdateCaptionActivation(true);
    if (OnChangeSkinData) OnChangeSkinData(this);
    if (ClientWidth > 0 || ClientHeight > 0)
        FForm->SetClientSize(ClientWidth > 0 ? ClientWidth : FForm->ClientWidth(),
                             ClientHeight > 0 ? ClientHeight : FForm->ClientHeight());
}

void TvlLacquer::UpdateCaptionActivation(bool repaint) {
    for (auto& o : FObjects) {
        auto* c = dynamic_cast<TvlSkinCaptionObject*>(o.get());
        if (!c) continue;
        bool active = IsFrameActive();
        if (c->Active != active) {
            c->Active = active;
            if (repaint) {
                if (FormWindow()) PaintFrame();
                if (c->Morphing) StartMorphTimer();
            } else if (c->Morphing) {
                c->MorphFactor = active ? 1 : 0;
            }
        }
        break;
    }
    if (IsFrameActive()) {
        if (OnActivate) OnActivate(this);
    } else if (OnDeActivate) {
        OnDeActivate(this);
    }
}

// ---- Size limits and geometry ----------------------------------------------

int TvlLacquer::MinimumWidth() const {
    if (FSkinActive) {
        int w = SkinData()->MainPicture.Width;
        return FFrameWindowState != fwsMinimized && MinWidth > w ? MinWidth : w;
    }
    return MinWidth > 0 ? MinWidth : 120;
}

int TvlLacquer::MinimumHeight() const {
    int h = FSkinActive ? SkinData()->MainPicture.Height - SkinData()->ClientRect.Height()
                        : BuiltInCaptionHeight() + 2 * kBuiltInBorder;
    return !FRollUpState && FFrameWindowState != fwsMinimized && MinHeight > h ? MinHeight : h;
}

int TvlLacquer::MaximumWidth() const {
    TRect a = MonitorArea(FormWindow(), !MaximizeOnFullScreen);
    return MaxWidth != 0 && MaxWidth < a.Width() ? MaxWidth : a.Width();
}

int TvlLacquer::MaximumHeight() const {
    TRect a = MonitorArea(FormWindow(), !MaximizeOnFullScreen);
    return MaxHeight != 0 && MaxHeight < a.Height() ? MaxHeight : a.Height();
}

void TvlLacquer::UpdateGeometry() {
    TvlSkinData* sd = SkinData();
    if (!FSkinActive || !sd) return;
    int pw = sd->MainPicture.Width, ph = sd->MainPicture.Height;
    int dx = FFormWidth - pw, dy = FFormHeight - ph;
    TvlFrameCuts cuts{sd->LTPoint, sd->RTPoint, sd->LBPoint, sd->RBPoint, sd->ClientRect};
    FFitted = FitFrameCuts(vlClampCuts(cuts), pw, ph, FFormWidth, FFormHeight);
    FCaptionRect = sd->CaptionRect;
    if (!AllZero(FCaptionRect)) FCaptionRect.Right += dx;
    FButtonsRect = sd->ButtonsRect;
    if (!AllZero(FButtonsRect) && FButtonsRect.Left > pw / 2) FButtonsRect = Offset(FButtonsRect, dx, 0);
    FHitLT = sd->HitTestLTPoint;
    FHitRT = {sd->HitTestRTPoint.X + dx, sd->HitTestRTPoint.Y};
    FHitLB = {sd->HitTestLBPoint.X, sd->HitTestLBPoint.Y + dy};
    FHitRB = {sd->HitTestRBPoint.X + dx, sd->HitTestRBPoint.Y + dy};
    FMaskRect = sd->MaskRectArea;
    FMaskRect.Right += dx;
    FMaskRect.Bottom += dy;
}

TRect TvlLacquer::FrameClientRect() const {
    if (FSkinActive) return FFitted.CR;
    int ch = BuiltInCaptionHeight();
    return {kBuiltInBorder, ch + kBuiltInBorder, FFormWidth - kBuiltInBorder, FFormHeight - kBuiltInBorder};
}

void TvlLacquer::MapObjectRect(TvlActiveSkinObject* o) const {
    TvlSkinData* sd = SkinData();
    int pw = sd->MainPicture.Width, ph = sd->MainPicture.Height;
    int dx = FFormWidth - pw, dy = FFormHeight - ph;
    TRect LT{0, 0, sd->LTPoint.X, sd->LTPoint.Y}, RT{sd->RTPoint.X, 0, pw, sd->RTPoint.Y},
        LB{0, sd->LBPoint.Y, sd->LBPoint.X, ph}, RB{sd->RBPoint.X, sd->RBPoint.Y, pw, ph};
    const TRect& s = o->SkinRect;
    auto within = [&](const TRect& area) {
        return s.Left >= area.Left && s.Top >= area.Top && s.Right <= area.Right && s.Bottom <= area.Bottom;
    };
    TRect r = s;
    if (within(LT)) {
    } else if (within(RT)) {
        r = Offset(s, dx, 0);
    } else if (within(LB)) {
        r = Offset(s, 0, dy);
    } else if (within(RB)) {
        r = Offset(s, dx, dy);
    } else {
        bool tlLT = Inside(LT, s.Left, s.Top), tlLB = Inside(LB, s.Left, s.Top), tlRT = Inside(RT, s.Left, s.Top);
        bool brRB = Inside(RB, s.Right, s.Bottom), brRT = Inside(RT, s.Right, s.Bottom),
             brLB = Inside(LB, s.Right, s.Bottom);
        if (tlLT && brRB) {
            r.Right += dx;
            r.Bottom += dy;
        } else if (tlLT && brRT) {
            r.Right += dx;
        } else if (tlLB && brRB) {
            r.Right += dx;
            r = Offset(r, 0, dy);
        } else if (tlLT && brLB) {
            r.Bottom += dy;
        } else if (tlRT && brRB) {
            r = Offset(r, dx, 0);
            r.Bottom += dy;
        }
    }
    o->ObjectRect = r;
}

void TvlLacquer::LayoutObjects() {
    if (!FSkinActive) return;
    TvlSkinData* sd = SkinData();
    for (auto& o : FObjects)
        if (!o->SkinRectInAPicture) MapObjectRect(o.get());
    bool ownRow = !AllZero(sd->ButtonsRect);
    TRect row = ownRow ? FButtonsRect : FCaptionRect;
    if (AllZero(sd->ButtonsRect) && AllZero(sd->CaptionRect)) return;
    int offset = sd->ButtonsOffset;
    TvlSkinCaptionObject* caption = nullptr;
    for (auto& o : FObjects)
        if ((caption = dynamic_cast<TvlSkinCaptionObject*>(o.get()))) break;
    auto commandOf = [](TvlActiveSkinObject* o, TvlStdCommand& c) {
        if (auto* b = dynamic_cast<TvlSkinStdButtonObject*>(o)) {
            c = b->Command;
            return true;
        }
        if (auto* a = dynamic_cast<TvlSkinAnimateObject*>(o)) {
            c = a->Command;
            return true;
        }
        return false;
    };
    auto sizeOf = [&](TvlActiveSkinObject* o) {
        TvlStdCommand c;
        if (ShowIcon && commandOf(o, c) && c == cmSysMenu)
            return SIZE{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
        return SIZE{o->SkinRect.Width(), o->SkinRect.Height()};
    };
    std::vector<TvlActiveSkinObject*> order;
    for (TvlStdCommand want : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray})
        for (auto& o : FObjects) {
            TvlStdCommand c;
            if (o->SkinRectInAPicture && o->Visible && commandOf(o.get(), c) && c == want) {
                order.push_back(o.get());
                break;
            }
        }
    for (auto& o : FObjects) {
        TvlStdCommand c;
        if (o->SkinRectInAPicture && o->Visible && commandOf(o.get(), c) && c == cmDefault) order.push_back(o.get());
    }
    TvlActiveSkinObject* sys = nullptr;
    for (auto& o : FObjects) {
        TvlStdCommand c;
        if (o->SkinRectInAPicture && o->Visible && commandOf(o.get(), c) && c == cmSysMenu) {
            sys = o.get();
            break;
        }
    }
    if (!sd->ButtonsInLeft) {
        int x = row.Right;
        for (TvlActiveSkinObject* o : order) {
            SIZE s = sizeOf(o);
            x -= s.cx;
            o->ObjectRect = {x, row.Top, x + s.cx, row.Top + s.cy};
            x -= offset;
        }
        if (!ownRow && caption) caption->ObjectRect.Right = x + offset;
        if (sys) {
            SIZE s = sizeOf(sys);
            int left = FCaptionRect.Left;
            int top = FCaptionRect.Top + FCaptionRect.Height() / 2 - s.cy / 2;
            sys->ObjectRect = {left, top, left + s.cx, top + s.cy};
            // The running x minus the offset: the button's right edge.
            if (caption) caption->ObjectRect.Left = left + s.cx;
        }
    } else {
        int x = row.Left;
        if (!ownRow && sys) order.push_back(sys);
        for (TvlActiveSkinObject* o : order) {
            SIZE s = sizeOf(o);
            o->ObjectRect = {x, row.Top, x + s.cx, row.Top + s.cy};
            x += s.cx + offset;
        }
        if (!ownRow && caption) caption->ObjectRect.Left = x + offset;
    }
}

void TvlLacquer::BuiltInCaptionLayout() {
    int ch = BuiltInCaptionHeight();
    FCaptionRect = {kBuiltInBorder, kBuiltInBorder, FFormWidth - kBuiltInBorder, ch};
    int x = FFormWidth - kBuiltInBorder;
    for (TvlStdCommand want : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray})
        for (auto& o : FObjects) {
            auto* b = dynamic_cast<TvlSkinStdButtonObject*>(o.get());
            if (b && b->Visible && b->SkinRectInAPicture && b->Command == want) {
                x -= kBuiltInButton;
                b->ObjectRect = {x, 4, x + kBuiltInButton, 4 + kBuiltInButton};
                break;
            }
        }
    FCaptionRect.Right = x;
    for (auto& o : FObjects) {
        auto* b = dynamic_cast<TvlSkinStdButtonObject*>(o.get());
        if (b && b->Visible && b->Command == cmSysMenu) {
            int w = kBuiltInButton, h = kBuiltInButton;
            if (ShowIcon) {
                w = GetSystemMetrics(SM_CXSMICON);
                h = GetSystemMetrics(SM_CYSMICON);
                if (w == 0 || h == 0) {
                    w = GetSystemMetrics(SM_CXSIZE);
                    h = GetSystemMetrics(SM_CYSIZE);
                }
            }
            b->ObjectRect = {FCaptionRect.Left, 4, FCaptionRect.Left + w, 4 + h};
            FCaptionRect.Left += w;
            break;
        }
    }
}

void TvlLacquer::UpdateFrame() {
    if (!FSkinActive) return;
    UpdateGeometry();
    LayoutObjects();
    UpdateRegion();
    if (!FFrameRegion && FormWindow()) PaintFrame();
}

// ---- Region ----------------------------------------------------------------

void TvlLacquer::RemoveRegion() {
    HWND w = FormWindow();
    // The system owns a region it was given and deletes it when it is replaced.
    if (FFrameRegion && w) SetWindowRgn(w, nullptr, TRUE);
    FFrameRegion = nullptr;
    FMaskRects.clear();
}

void TvlLacquer::UpdateRegion() {
    HWND w = FormWindow();
    TvlSkinData* sd = SkinData();
    if (!w) return;
    if (!FSkinActive || !sd || sd->MainMask.Empty()) {
        RemoveRegion();
        return;
    }
    TvlFrameCuts cuts{sd->LTPoint, sd->RTPoint, sd->LBPoint, sd->RBPoint, sd->MaskRectArea};
    TvlFrameCuts target = FFitted;
    target.CR = FMaskRect;
    std::vector<uint8_t> data =
        ComposeFrameRegionData(PictureView(sd->MainMask), vlClampCuts(cuts), FFormWidth, FFormHeight, target);
    if (data.empty()) {
        RemoveRegion();
        return;
    }
    HRGN region =
        ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
    if (!region) return;
    // The new region replaces the old one in one call; from then on both are
    // the system's (it deletes the old one itself).
    if (!SetWindowRgn(w, region, TRUE)) {
        DeleteObject(region);
        return;
    }
    FFrameRegion = region;
    FMaskRects = RegionDataRects(data);
}

bool TvlLacquer::PointInMask(int x, int y) const { return vlFrame::PointInRects(FMaskRects, x, y); }

// ---- Hit testing -------------------------------------------------------------

bool TvlLacquer::InCaptionObject(int x, int y) const {
    for (auto& o : FObjects)
        if (o->Visible && dynamic_cast<TvlSkinCaptionObject*>(o.get()) && Inside(o->ObjectRect, x, y)) return true;
    return false;
}

int TvlLacquer::HitTest(int x, int y) {
    if (FFormWidth == 0 || FFormHeight == 0) {
        RECT wr;
        if (HWND w = FormWindow()) {
            GetWindowRect(w, &wr);
            FFormWidth = wr.right - wr.left;
            FFormHeight = wr.bottom - wr.top;
        }
    }
    int W = FFormWidth, H = FFormHeight;
    if (!FSkinActive) {
        BuiltInCaptionLayout();
        if (FFrameWindowState == fwsNormal && !FRollUpState && Sizeable()) {
            if (FHotObjectIndex >= 0) return HTOBJECT;
            bool l = x <= 2, r = x >= W - 2, t = y <= 2, b = y >= H - 2;
            if (l && t) return HTTOPLEFT;
            if (r && t) return HTTOPRIGHT;
            if (l && b) return HTBOTTOMLEFT;
            if (r && b) return HTBOTTOMRIGHT;
            if (l) return HTLEFT;
            if (t) return HTTOP;
            if (r) return HTRIGHT;
            if (b) return HTBOTTOM;
        }
        if (Inside(FCaptionRect, x, y)) return HTCAPTION;
        int ch = BuiltInCaptionHeight();
        if (Inside({kBuiltInBorder, ch + kBuiltInBorder, W - kBuiltInBorder, H - kBuiltInBorder}, x, y))
            return HTCLIENT;
        return HTOBJECT;
    }
    UpdateGeometry();
    LayoutObjects();
    const TRect& cr = FFitted.CR;
    if (FRollUpState || FFrameWindowState == fwsMinimized) return InCaptionObject(x, y) ? HTCAPTION : HTOBJECT;
    if (FHotObjectIndex >= 0 && !InCaptionObject(x, y) && !Inside(cr, x, y) && !FSizeMoveActive) return HTOBJECT;
    auto inner = [&]() {
        if (Inside(cr, x, y)) return static_cast<int>(HTCLIENT);
        return InCaptionObject(x, y) ? static_cast<int>(HTCAPTION) : HTOBJECT;
    };
    if (FFrameWindowState != fwsMaximized && Sizeable()) {
        int bw = SkinData()->BorderWidth;
        const POINT probes[] = {{x - bw, y}, {x, y - bw}, {x + bw, y}, {x, y + bw}};
        bool nearEdge = false;
        if (FMaskRects.empty()) {
            for (POINT p : probes)
                if (!Inside({0, 0, W, H}, p.x, p.y)) nearEdge = true;
        } else if (!Inside(FMaskRect, x, y)) {
            for (POINT p : probes)
                if (!PointInMask(p.x, p.y)) nearEdge = true;
        }
        if (!nearEdge) return inner();
        if (x <= FHitLT.X && y <= FHitLT.Y) return HTTOPLEFT;
        if (x >= FHitRT.X && y <= FHitRT.Y) return HTTOPRIGHT;
        if (x <= FHitLB.X && y >= FHitLB.Y) return HTBOTTOMLEFT;
        if (x >= FHitRB.X && y >= FHitRB.Y) return HTBOTTOMRIGHT;
        if (Inside({FHitLT.X, 0, FHitRT.X, cr.Top}, x, y)) return HTTOP;
        if (Inside({FHitLB.X, cr.Bottom, FHitRB.X, H}, x, y)) return HTBOTTOM;
        if (Inside({0, FHitLT.Y, cr.Left, FHitLB.Y}, x, y)) return HTLEFT;
        if (Inside({cr.Right, FHitRT.Y, W, FHitRB.Y}, x, y)) return HTRIGHT;
    }
    return inner();
}

// ---- Painting ----------------------------------------------------------------

void TvlLacquer::ComposeSkinFrame() {
    TvlSkinData* sd = SkinData();
    int W = FFormWidth, H = FFormHeight;
    const TPixelImage& pic =
        IsFrameActive() || sd->MainInactivePicture.Empty() ? sd->MainPicture : sd->MainInactivePicture;
    TvlFrameCuts cuts{sd->LTPoint, sd->RTPoint, sd->LBPoint, sd->RBPoint, sd->ClientRect};
    TvlBorderStrips strips;
    ComposeBorderStrips(vlClampCuts(cuts), {0, 0, pic.Width, pic.Height}, PictureView(pic), W, H, FFitted,
                        {sd->LeftStretch, sd->TopStretch, sd->RightStretch, sd->BottomStretch}, strips);
    FFrameBitmap.SetSizeForOverwrite(W, H);
    auto put = [&](const TvlFBitmap& s, int x, int y) {
        if (!s.Empty()) CopyPiece(FFrameBitmap, x, y, s.View(), {0, 0, s.Width(), s.Height()});
    };
    put(strips.Top, 0, 0);
    put(strips.Left, 0, strips.Top.Height());
    put(strips.Right, W - strips.Right.Width(), strips.Top.Height());
    put(strips.Bottom, 0, H - strips.Bottom.Height());
    for (auto& o : FObjects)
        if (o->Visible) o->Draw(FFrameBitmap, false);
    if (!IsFrameActive() && sd->AutoRenderingInActiveImage) {
        TvlEffectBmp e(FFrameBitmap.View());
        e.ApplyInactiveEffect(sd->InActiveEffect);
        FFrameBitmap = static_cast<TvlFBitmap&&>(e);
    }
}

void TvlLacquer::ComposeBuiltInFrame() {
    int W = FFormWidth, H = FFormHeight, ch = BuiltInCaptionHeight();
    if (FObjects.empty()) CreateBuiltInButtons();
    BuiltInCaptionLayout();
    FFrameBitmap.SetSizeForOverwrite(W, H);
    uint32_t face = Rgb(clBtnFace);
    FillArea(FFrameBitmap, {kBuiltInBorder, kBuiltInBorder, W - kBuiltInBorder, kBuiltInBorder + ch}, face);
    int L = FCaptionRect.Left - kBuiltInBorder, R = FCaptionRect.Right - kBuiltInBorder;
    for (int y = 2; y <= ch - 4; ++y)
        HLine(FFrameBitmap, kBuiltInBorder + L + 2, kBuiltInBorder + R - 3, kBuiltInBorder + y,
              Rgb((y - 2) % 2 == 0 ? clBtnHighlight : clBtnShadow));
    std::string text = WindowText(FormWindow());
    if (!text.empty() && R > L) {
        const TFont& f = IsFrameActive() ? DefCaptionFont : DefInActiveCaptionFont;
        TextPen pen(FFrameBitmap, f.Name(), f.Height(), f.Style());
        text =
            FitTextWithEllipsis(text, R - L, [&](const std::string& s) { return static_cast<int>(pen.Extent(s).cx); });
        SIZE size = pen.Extent(text);
        int x = L + (R - L) / 2 - (size.cx + 5) / 2;
        int y = ch / 2 - size.cy / 2;
        GdiFlush();
        TRect box{kBuiltInBorder + x, kBuiltInBorder, kBuiltInBorder + x + size.cx + 5, kBuiltInBorder + ch};
        box.Left = std::max(box.Left, kBuiltInBorder);
        box.Right = std::min(box.Right, W - kBuiltInBorder);
        FillArea(FFrameBitmap, box, face);
        pen.Out(kBuiltInBorder + x + 3, kBuiltInBorder + y, text, Rgb(f.Color()), &box);
    }
    for (auto& o : FObjects)
        if (o->Visible) o->Draw(FFrameBitmap, false);
    // Three rings inward from the window's edge.
    const std::pair<TColor, TColor> rings[] = {{clSysBase | COLOR_3DLIGHT, clSysBase | COLOR_3DDKSHADOW},
                                               {clBtnHighlight, clBtnShadow},
                                               {clBtnFace, clBtnFace}};
    for (int i = 0; i < 3; ++i) {
        uint32_t tl = Rgb(rings[i].first), br = Rgb(rings[i].second);
        HLine(FFrameBitmap, i, W - i, H - 1 - i, br);
        VLine(FFrameBitmap, W - 1 - i, i, H - i, br);
        HLine(FFrameBitmap, i, W - 1 - i, i, tl);
        VLine(FFrameBitmap, i, i, H - 1 - i, tl);
    }
}

void TvlLacquer::PaintFrame(const TRect* clip) {
    HWND w = FormWindow();
    if (!w || !IsWindow(w)) return;
    RECT wr;
    GetWindowRect(w, &wr);
    FFormWidth = wr.right - wr.left;
    FFormHeight = wr.bottom - wr.top;
    if (FFormWidth < 1 || FFormHeight < 1) return;
    TRect client;
    if (FSkinActive) {
        // Below the minimum size the previous contents stay.
        if (FFormWidth < MinimumWidth() || FFormHeight < MinimumHeight()) return;
        UpdateGeometry();
        LayoutObjects();
        ComposeSkinFrame();
        client = FFitted.CR;
    } else {
        ComposeBuiltInFrame();
        client = FrameClientRect();
    }
    HDC dc = GetWindowDC(w);
    if (!dc) return;
    if (client.Height() > 0 && client.Width() > 0)
        ExcludeClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
    if (clip) IntersectClipRect(dc, clip->Left, clip->Top, clip->Right, clip->Bottom);
    FFrameBitmap.DrawTo(dc, 0, 0);
    ReleaseDC(w, dc);
}

void TvlLacquer::RepaintObject(TvlActiveSkinObject* object) {
    if (!FormWindow()) return;
    TRect r = object->ObjectRect;
    PaintFrame(&r);
}

void TvlLacquer::PaintClientBackground(HDC dc) {
    HWND w = FormWindow();
    RECT cr;
    GetClientRect(w, &cr);
    int cw = cr.right, chh = cr.bottom;
    if (cw < 1 || chh < 1) return;
    TvlSkinData* sd = SkinData();
    TvlFBitmap bg;
    if (FSkinActive) {
        const TPixelImage* pic = &sd->MainPicture;
        TRect piece = sd->ClientRect;
        if (sd->BGPictureIndex >= 0 && sd->BGPictureIndex < static_cast<int>(sd->PictureList.size())) {
            pic = &sd->PictureList[static_cast<size_t>(sd->BGPictureIndex)];
            piece = {0, 0, pic->Width, pic->Height};
        }
        if (!AllZero(piece) && !piece.IsEmpty()) {
            bg.SetSize(cw, chh);
            TilePiece(bg, {0, 0, cw, chh}, PictureView(*pic), piece);
        }
    }
    if (bg.Empty()) {
        bg.SetSize(cw, chh);
        bg.Fill(Rgb(clBtnFace));
    }
    bg.DrawTo(dc, 0, 0);
}

// ---- Window states -------------------------------------------------------------

void TvlLacquer::SetFormBounds(int x, int y, int w, int h) {
    if (HWND wnd = FormWindow()) SetWindowPos(wnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TvlLacquer::NudgeWidth() {
    HWND w = FormWindow();
    if (!w) return;
    RECT r;
    GetWindowRect(w, &r);
    int width = r.right - r.left, step = width <= MinimumWidth() ? 1 : -1;
    SetFormBounds(r.left, r.top, width + step, r.bottom - r.top);
    SetFormBounds(r.left, r.top, width, r.bottom - r.top);
}

TRect TvlLacquer::MinimizedSlot() {
    TRect area = MonitorArea(FormWindow(), true);
    int w = MinimumWidth(), h = MinimumHeight();
    TPoint p = vlFrame::FreeMinimizedSlot(area, w, h, [&](TPoint at) {
        for (TvlLacquer* other : AllFrames()) {
            if (other == this || other->FFrameWindowState != fwsMinimized) continue;
            HWND ow = other->FormWindow();
            if (!ow || !IsWindowVisible(ow)) continue;
            RECT r;
            GetWindowRect(ow, &r);
            if (r.left == at.X && r.top == at.Y) return true;
        }
        return false;
    });
    return {p.X, p.Y, p.X + w, p.Y + h};
}

void TvlLacquer::SetFrameWindowState(TvlFrameWindowState state) {
    HWND w = FormWindow();
    if (state == FFrameWindowState || !w) return;
    bool mainForm = Application && Application->MainForm == FForm;
    if (state == fwsMinimized && mainForm) {
        // The main window minimizes the application; its frame stays normal.
        ShowWindow(w, SW_MINIMIZE);
        return;
    }
    RECT r;
    GetWindowRect(w, &r);
    auto saveBounds = [&] {
        if (AllZero(FRestoreBounds)) FRestoreBounds = {r.left, r.top, r.right, r.bottom};
    };
    FFrameWindowState = state;
    if (state == fwsMinimized) {
        saveBounds();
        TRect slot = MinimizedSlot();
        SetFormBounds(slot.Left, slot.Top, slot.Width(), slot.Height());
    } else if (state == fwsMaximized) {
        saveBounds();
        TRect area = MonitorArea(w, !MaximizeOnFullScreen);
        TRect full = MonitorArea(w, false);
        // A work area as large as the whole primary screen keeps a 1-pixel
        // margin, so that a hidden task bar can still be reached.
        if (area.Width() == full.Width() && area.Height() == full.Height() && full.Left == 0 && full.Top == 0 &&
            full.Right == GetSystemMetrics(SM_CXSCREEN) && full.Bottom == GetSystemMetrics(SM_CYSCREEN))
            area = {area.Left + 1, area.Top + 1, area.Right - 1, area.Bottom - 1};
        SetFormBounds(area.Left, area.Top, area.Width(), area.Height());
    } else {
        FRolledUpMaximized = false;
        if (!AllZero(FRestoreBounds)) {
            TRect b = FRestoreBounds;
            int height = FRollUpState ? MinimumHeight() : b.Height();
            bool sameSize = b.Width() == r.right - r.left && height == r.bottom - r.top;
            SetFormBounds(b.Left, b.Top, b.Width(), height);
            // The same size sends no WM_SIZE: the frame is made to recompute.
            if (sameSize) NudgeWidth();
        }
        FHoverTimer.Start(w);
        PaintFrame();
        FRestoreBounds = {};
    }
    PaintFrame();
}

void TvlLacquer::SetRollUp(bool flag) {
    HWND w = FormWindow();
    if (!w || !(FBorderIcons & vlbiRollUp) || FFrameWindowState == fwsMinimized) return;
    if (FRollUpState && FFrameWindowState == fwsMaximized && !FRolledUpMaximized) return;
    if (flag == FRollUpState) return;
    if (FFrameWindowState == fwsMaximized) FRolledUpMaximized = flag;
    RECT r;
    GetWindowRect(w, &r);
    FRollUpState = flag;
    if (flag) {
        FUnrolledHeight = r.bottom - r.top;
        SetFormBounds(r.left, r.top, r.right - r.left, MinimumHeight());
    } else {
        SetFormBounds(r.left, r.top, r.right - r.left, FUnrolledHeight);
    }
    PaintFrame();
    if (OnChangeRollUpState) OnChangeRollUpState(this);
}

void TvlLacquer::RunCommand(TvlStdCommand command) {
    switch (command) {
        case cmClose: FForm->Close(); break;
        case cmMaximize: SetFrameWindowState(FFrameWindowState == fwsMaximized ? fwsNormal : fwsMaximized); break;
        case cmMinimize:
            // Minimizing to the tray needs a tray icon, which this frame has not.
            if (AlwaysMinimizeToTray) break;
            SetFrameWindowState(FFrameWindowState == fwsMinimized ? fwsNormal : fwsMinimized);
            break;
        case cmRollUp: SetRollUp(!FRollUpState); break;
        default: break;  // minimize-to-tray: no tray icon
    }
}

void TvlLacquer::Snap(RECT& r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    TRect area = MonitorArea(FormWindow(), true);
    TPoint p = vlFrame::SnapToArea(r.left, r.top, w, h, area, MagneticSize);
    RECT fr;
    GetWindowRect(FormWindow(), &fr);
    r = {p.X, p.Y, p.X + (fr.right - fr.left), p.Y + (fr.bottom - fr.top)};
}

// ---- System menu -----------------------------------------------------------------

std::vector<TvlSysMenuItem> TvlLacquer::SystemMenuItems() const {
    std::vector<TvlSysMenuItem> items;
    if (FFrameWindowState != fwsMinimized && (FBorderIcons & vlbiMinimize))
        items.push_back({"LQR_MINITEM", ResText("MI_MINCAPTION", "Mi&nimize"), ""});
    if (FFrameWindowState != fwsMaximized && (FBorderIcons & vlbiMaximize))
        items.push_back({"LQR_MAXITEM", ResText("MI_MAXCAPTION", "Ma&ximize"), ""});
    if (FFrameWindowState != fwsNormal || FRollUpState)
        items.push_back({"LQR_RESTORE", ResText("MI_RESTORECAPTION", "&Restore"), ""});
    if ((FBorderIcons & vlbiRollUp) && !FRollUpState && FFrameWindowState != fwsMinimized)
        items.push_back({"LQR_ROLLUP", ResText("MI_ROLLUPCAPTION", "Ro&llUp"), ""});
    if (FBorderIcons & vlbiMinimizeToTray)
        items.push_back({"LQR_MINTOTRAY", ResText("MI_MINTOTRAYCAPTION", "Minimize to &Tray"), ""});
    if (!items.empty()) items.push_back({"", "-", ""});
    items.push_back({"LQR_CLOSE", ResText("MI_CLOSECAPTION", "&Close"), "Alt+F4"});
    return items;
}

std::vector<TvlSysMenuItem> TvlLacquer::TrayMenuItems() const {
    return {{"TRAY_LQR_RESTORE", ResText("MI_RESTORECAPTION", "&Restore"), ""},
            {"", "-", ""},
            {"TRAY_LQR_CLOSE", ResText("MI_CLOSECAPTION", "&Close"), "Alt+F4"}};
}

void TvlLacquer::RunSystemMenuItem(const std::string& name) {
    if (name == "LQR_MINITEM") {
        RunCommand(cmMinimize);
    } else if (name == "LQR_MAXITEM") {
        SetFrameWindowState(fwsMaximized);
    } else if (name == "LQR_RESTORE") {
        if (FRollUpState && (FRolledUpMaximized || FFrameWindowState == fwsNormal))
            SetRollUp(false);
        else
            SetFrameWindowState(fwsNormal);
    } else if (name == "LQR_ROLLUP") {
        SetRollUp(true);
    } else if (name == "LQR_CLOSE" || name == "TRAY_LQR_CLOSE") {
        FForm->Close();
    }
}

void TvlLacquer::MenuOpened() {
    if (FInMenu) return;
    FInMenu = true;
    if (OnSkinMenuOpen) OnSkinMenuOpen(this);
}

void TvlLacquer::MenuClosed() {
    FInMenu = false;
    // The first button held down by its menu comes back up.
    for (auto& o : FObjects)
        if (auto* b = dynamic_cast<TvlSkinButtonObject*>(o.get()); b && b->Down && b->MenuOpen) {
            b->MenuOpen = false;
            b->SetDown(false);
            break;
        }
    if (OnSkinMenuClose) OnSkinMenuClose(this);
}

void TvlLacquer::PopupSystemMenu(int x, int y) {
    HWND w = FormWindow();
    if (!w) return;
    std::vector<TvlSysMenuItem> items = SystemMenuItems();
    std::string chosen;
    std::shared_ptr<bool> alive = FAlive;
    MenuOpened();
    if (SystemMenuPopup) {
        chosen = SystemMenuPopup(items, POINT{x, y});
    } else {
        // Until the skinned menu engine draws it, the platform's popup shows
        // the same items; the menu is ours and goes right after.
        HMENU menu = CreatePopupMenu();
        if (!menu) return;
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].Caption == "-") {
                AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            std::string text = items[i].Caption + (items[i].ShortCut.empty() ? "" : "\t" + items[i].ShortCut);
            AppendMenuA(menu, MF_STRING, i + 1, text.c_str());
        }
        int id = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN, x, y, 0, w, nullptr);
        DestroyMenu(menu);
        if (id > 0 && static_cast<size_t>(id) <= items.size()) chosen = items[static_cast<size_t>(id) - 1].Name;
    }
    if (!*alive) return;
    MenuClosed();
    if (!chosen.empty()) RunSystemMenuItem(chosen);
}

// ---- Mouse ---------------------------------------------------------------------

POINT TvlLacquer::WindowPoint(LPARAM screenPoint) const {
    RECT r;
    GetWindowRect(FormWindow(), &r);
    return {static_cast<short>(LOWORD(screenPoint)) - r.left, static_cast<short>(HIWORD(screenPoint)) - r.top};
}

void TvlLacquer::UpdateActiveObject(int x, int y, bool track) {
    if (FObjects.empty() || !IsFrameActive()) return;
    int previous = FHotObjectIndex;
    int found = -1;
    for (size_t i = 0; i < FObjects.size(); ++i) {
        auto& o = FObjects[i];
        if (o->Enabled && o->Visible && Inside(o->ObjectRect, x, y)) {
            found = static_cast<int>(i);
            break;
        }
    }
    int now = track ? found : -1;
    if (FCaptureObject >= 0 && FCaptureObject != now) now = -1;
    if (now >= static_cast<int>(FObjects.size())) now = -1;
    if (now == previous) return;
    FHotObjectIndex = now;
    if (previous >= 0 && previous < static_cast<int>(FObjects.size())) {
        auto& o = FObjects[static_cast<size_t>(previous)];
        if (o->Enabled && o->Visible) o->MouseLeave();
    }
    if (now >= 0) FObjects[static_cast<size_t>(now)]->MouseEnter();
}

void TvlLacquer::ObjectMouseDown(int index, int x, int y, TMouseButton button) {
    if (index < 0 || index >= static_cast<int>(FObjects.size())) return;
    TvlActiveSkinObject* o = FObjects[static_cast<size_t>(index)].get();
    bool caption = dynamic_cast<TvlSkinCaptionObject*>(o) != nullptr;
    if (!caption) SetCapture(FormWindow());
    FCaptureObject = index;
    o->MouseDown(x, y, button);
}

void TvlLacquer::ObjectMouseUp(int x, int y, TMouseButton button) {
    if (FCaptureObject < 0 || FCaptureObject >= static_cast<int>(FObjects.size())) {
        FCaptureObject = -1;
        return;
    }
    TvlActiveSkinObject* o = FObjects[static_cast<size_t>(FCaptureObject)].get();
    bool caption = dynamic_cast<TvlSkinCaptionObject*>(o) != nullptr;
    FCaptureObject = -1;
    if (!caption && GetCapture() == FormWindow()) ReleaseCapture();
    o->MouseUp(x, y, button);
}

void TvlLacquer::NcMouse(TMessage& m, int hit) {
    POINT p = WindowPoint(m.LParam);
    std::shared_ptr<bool> alive = FAlive;
    switch (m.Msg) {
        case WM_NCMOUSEMOVE: {
            int i = FCaptureObject >= 0 ? FCaptureObject : FHotObjectIndex;
            if (i >= 0 && i < static_cast<int>(FObjects.size())) FObjects[static_cast<size_t>(i)]->MouseMove(p.x, p.y);
            break;
        }
        case WM_NCLBUTTONDOWN:
            if (FSizeMoveActive) {
                FSizeMoveActive = false;
                break;
            }
            UpdateActiveObject(p.x, p.y, true);
            ObjectMouseDown(FHotObjectIndex, p.x, p.y, mbLeft);
            if (*alive && hit == HTCAPTION) FCaptureObject = -1;
            break;
        case WM_NCLBUTTONUP: ObjectMouseUp(p.x, p.y, mbLeft); break;
        case WM_NCLBUTTONDBLCLK: {
            UpdateActiveObject(p.x, p.y, true);
            int i = FHotObjectIndex;
            ObjectMouseDown(i, p.x, p.y, mbLeft);
            if (!*alive) return;
            if (i >= 0 && i < static_cast<int>(FObjects.size())) FObjects[static_cast<size_t>(i)]->DblClick();
            if (!*alive) return;
            if (hit == HTCAPTION) {
                FCaptureObject = -1;
                bool sizeable = Sizeable();
                if (sizeable && FFrameWindowState == fwsMinimized)
                    SetFrameWindowState(fwsNormal);
                else if (sizeable && FFrameWindowState != fwsMaximized && !FRollUpState &&
                         (FBorderIcons & vlbiMaximize))
                    SetFrameWindowState(fwsMaximized);
                else if (sizeable && FFrameWindowState == fwsMaximized && !FRollUpState)
                    SetFrameWindowState(fwsNormal);
                else
                    SetRollUp(!FRollUpState);
            }
            break;
        }
        case WM_NCRBUTTONDOWN:
            UpdateActiveObject(p.x, p.y, true);
            ObjectMouseDown(FHotObjectIndex, p.x, p.y, mbRight);
            if (*alive && hit == HTCAPTION) {
                FCaptureObject = -1;
                POINT c;
                GetCursorPos(&c);
                PopupSystemMenu(c.x, c.y);
            }
            break;
        case WM_NCRBUTTONUP: ObjectMouseUp(p.x, p.y, mbRight); break;
        case WM_NCRBUTTONDBLCLK:
            UpdateActiveObject(p.x, p.y, true);
            ObjectMouseDown(FHotObjectIndex, p.x, p.y, mbRight);
            if (*alive && hit == HTCAPTION) FCaptureObject = -1;
            break;
        default: break;
    }
}

// ---- Timers ----------------------------------------------------------------------

void TvlLacquer::StartMorphTimer() { FBlendTimer.Start(FormWindow()); }
void TvlLacquer::StartAnimateTimer() { FAnimateTimer.Start(FormWindow()); }

void TvlLacquer::OnHoverTimer() {
    HWND w = FormWindow();
    if (!w || FSizeMoveActive || !IsFrameActive()) {
        FHoverTimer.Stop();
        return;
    }
    POINT c;
    GetCursorPos(&c);
    RECT r;
    GetWindowRect(w, &r);
    int x = c.x - r.left, y = c.y - r.top;
    TRect client = FrameClientRect();
    if (!Inside(client, x, y))
        UpdateActiveObject(x, y, true);
    else if (FHotObjectIndex >= 0)
        UpdateActiveObject(-1, -1, true);
    // Nothing left to follow: the next hit test on an object starts it again.
    if (FHotObjectIndex < 0 && FCaptureObject < 0) FHoverTimer.Stop();
}

void TvlLacquer::OnMorphTimer() {
    bool stepped = false;
    std::shared_ptr<bool> alive = FAlive;
    for (size_t i = 0; i < FObjects.size(); ++i) {
        TvlActiveSkinObject* o = FObjects[i].get();
        if (!o->Morphing || !o->CanMorph()) continue;
        o->MorphFactor += o->Active ? 0.2 : -0.2;
        // Steps of 0.2 do not add up exactly: land on the bounds.
        if (o->MorphFactor > 0.999) o->MorphFactor = 1;
        if (o->MorphFactor < 0.001) o->MorphFactor = 0;
        stepped = true;
        RepaintObject(o);
        if (!*alive) return;
    }
    if (!stepped) FBlendTimer.Stop();
}

void TvlLacquer::OnAnimateTimer() {
    bool any = false;
    for (auto& o : FObjects)
        if (auto* a = dynamic_cast<TvlSkinAnimateObject*>(o.get())) {
            a->Tick();
            any = any || a->Active;
        }
    if (!any) FAnimateTimer.Stop();
}

void TvlLacquer::FadeIn() {
    HWND w = FormWindow();
    FFadeTimer.Stop();
    if (!w) return;
    int target = AlphaBlendAnimation && !AlphaBlend ? 255 : AlphaBlendValue;
    if (AlphaBlendAnimation) {
        std::shared_ptr<bool> alive = FAlive;
        if (Application) Application->ProcessMessages();
        // The window may have gone while the messages ran.
        if (!*alive || !IsWindow(w)) return;
        for (int a = 5;; a += 5) {
            SetAlpha(w, std::min(a, target));
            if (a >= target) break;
        }
    } else if (AlphaBlendValue < 255) {
        SetAlpha(w, AlphaBlendValue);
    }
    if (target >= 255) SetWindowLongPtrA(w, GWL_EXSTYLE, GetWindowLongPtrA(w, GWL_EXSTYLE) & ~WS_EX_LAYERED);
}

// ---- The window procedure ----------------------------------------------------------

void TvlLacquer::WrappedWndProc(TMessage& m) {
    HWND w = FormWindow();
    switch (m.Msg) {
        case WM_NCCREATE:
        case WM_CREATE:
            // The frame is ours: the window's own caption and border icons go.
            CallPrevious(m);
            if (w)
                SetWindowLongPtrA(
                    w, GWL_STYLE,
                    GetWindowLongPtrA(w, GWL_STYLE) & ~(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
            return;
        case WM_DESTROY:
            FHoverTimer.Stop();
            FBlendTimer.Stop();
            FAnimateTimer.Stop();
            FFadeTimer.Stop();
            CallPrevious(m);
            return;
        case WM_SIZE: {
            CallPrevious(m);
            RECT r;
            GetWindowRect(w, &r);
            FFormWidth = r.right - r.left;
            FFormHeight = r.bottom - r.top;
            if (!FSkinActive)
                PaintFrame();
            else if (FFormWidth >= MinimumWidth() && FFormHeight >= MinimumHeight())
                UpdateFrame();
            return;
        }
        case WM_ACTIVATE:
            CallPrevious(m);
            ResetObjectsDisplay();
            PaintFrame();
            UpdateCaptionActivation(true);
            return;
        case WM_SETTEXT:
            CallPrevious(m);
            PaintFrame();
            return;
        case WM_ERASEBKGND:
            PaintClientBackground(reinterpret_cast<HDC>(m.WParam));
            m.Result = 1;
            return;
        case WM_SHOWWINDOW:
            if (m.WParam && (AlphaBlend || AlphaBlendAnimation) && LayeredSupported()) {
                SetWindowLongPtrA(w, GWL_EXSTYLE, GetWindowLongPtrA(w, GWL_EXSTYLE) | WS_EX_LAYERED);
                SetAlpha(w, 0);
                FFadeTimer.Start(w);
            } else if (!m.WParam && AlphaBlend && LayeredSupported()) {
                SetWindowLongPtrA(w, GWL_EXSTYLE, GetWindowLongPtrA(w, GWL_EXSTYLE) & ~WS_EX_LAYERED);
            }
            CallPrevious(m);
            return;
        case WM_SETCURSOR:
            if (UseFormCursorInNCArea) {
                int hit = LOWORD(m.LParam);
                if (hit != HTCLIENT && !(hit >= HTLEFT && hit <= HTBOTTOMRIGHT))
                    m.LParam = MAKELPARAM(HTCLIENT, HIWORD(m.LParam));
            }
            CallPrevious(m);
            return;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
            info->ptMinTrackSize = {MinimumWidth(), MinimumHeight()};
            info->ptMaxTrackSize = {MaximumWidth(), MaximumHeight()};
            CallPrevious(m);
            return;
        }
        case WM_NCCALCSIZE: {
            RECT* r =
                m.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0] : reinterpret_cast<RECT*>(m.LParam);
            TvlSkinData* sd = SkinData();
            if (FSkinActive) {
                r->left += sd->ClientRect.Left;
                r->top += sd->ClientRect.Top;
                r->right -= sd->MainPicture.Width - sd->ClientRect.Right;
                r->bottom -= sd->MainPicture.Height - sd->ClientRect.Bottom;
            } else {
                r->left += kBuiltInBorder;
                r->top += BuiltInCaptionHeight() + kBuiltInBorder;
                r->right -= kBuiltInBorder;
                r->bottom -= kBuiltInBorder;
            }
            if (r->right < r->left) r->right = r->left;
            if (r->bottom < r->top) r->bottom = r->top;
            m.Result = 0;
            return;
        }
        case WM_NCHITTEST: {
            POINT p = WindowPoint(m.LParam);
            m.Result = HitTest(p.x, p.y);
            if (m.Result == HTOBJECT && !FHoverTimer.Enabled()) {
                UpdateActiveObject(p.x, p.y, true);
                FHoverTimer.Start(w);
            }
            return;
        }
        case WM_NCPAINT:
            PaintFrame();
            m.Result = 0;
            return;
        case WM_NCACTIVATE:
            FFrameActive = m.WParam != 0;
            m.Result = 1;
            PaintFrame();
            UpdateCaptionActivation(true);
            return;
        case WM_SYNCPAINT:
            if (FRollUpState) {
                PaintFrame();
                m.Result = 0;
                return;
            }
            CallPrevious(m);
            return;
        case WM_SYSCOMMAND:
            switch (m.WParam & 0xFFF0) {
                case SC_KEYMENU:
                    // Alt+Space: the system menu below the caption's left end.
                    if (m.LParam == ' ') {
                        RECT r;
                        GetWindowRect(w, &r);
                        TRect client = FrameClientRect();
                        PopupSystemMenu(r.left + client.Left, r.top + client.Top);
                    }
                    m.Result = 0;
                    return;
                case SC_MAXIMIZE:
                    SetFrameWindowState(fwsMaximized);
                    m.Result = 0;
                    return;
                case SC_RESTORE:
                    if (!IsIconic(w)) {
                        RunSystemMenuItem("LQR_RESTORE");
                        m.Result = 0;
                        return;
                    }
                    break;
                case SC_MINIMIZE:
                    RunCommand(cmMinimize);
                    m.Result = 0;
                    return;
                default: break;
            }
            CallPrevious(m);
            return;
        case WM_TIMER:
            if (m.WParam == FHoverTimer.Id()) {
                OnHoverTimer();
            } else if (m.WParam == FBlendTimer.Id()) {
                OnMorphTimer();
            } else if (m.WParam == FAnimateTimer.Id()) {
                OnAnimateTimer();
            } else if (m.WParam == FFadeTimer.Id() && FFadeTimer.Enabled()) {
                FadeIn();
            } else {
                CallPrevious(m);
            }
            return;
        case WM_SIZING:
            if (FSizeMoveActive && FFullDrag) {
                CallPrevious(m);
                auto* r = reinterpret_cast<RECT*>(m.LParam);
                FFormWidth = r->right - r->left;
                FFormHeight = r->bottom - r->top;
                if (FFormWidth >= MinimumWidth() && FFormHeight >= MinimumHeight()) UpdateFrame();
                m.Result = TRUE;
                return;
            }
            CallPrevious(m);
            return;
        case WM_MOVING: {
            auto* r = reinterpret_cast<RECT*>(m.LParam);
            if (FFrameWindowState == fwsMaximized)
                GetWindowRect(w, r);  // a maximized window stays where it is
            else if (Magnetic)
                Snap(*r);
            CallPrevious(m);
            m.Result = TRUE;
            return;
        }
        case WM_ENTERSIZEMOVE: {
            ResetObjectsDisplay();
            FHoverTimer.Stop();
            FHotObjectIndex = FCaptureObject = -1;
            FSizeMoveActive = true;
            BOOL full = FALSE;
            SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
            FFullDrag = full != FALSE;
            CallPrevious(m);
            return;
        }
        case WM_EXITSIZEMOVE:
            FHoverTimer.Stop();
            FHotObjectIndex = FCaptureObject = -1;
            if (FSkinActive) PaintFrame();
            CallPrevious(m);
            return;
        case WM_SKINCHANGING: {
            auto* sender = reinterpret_cast<TvlSkinData*>(m.WParam);
            if (sender && sender == SkinData()) {
                FSkinActive = false;
                FHoverTimer.Stop();
                FBlendTimer.Stop();
                FAnimateTimer.Stop();
                FreeObjects();
            }
            // Controls wearing this skin drop their elements before the
            // records go, whichever skin the frame itself wears.
            if (sender) RelaySkinChange(FForm, sender, true);
            CallPrevious(m);
            return;
        }
        case WM_SKINCHANGED: {
            auto* sender = reinterpret_cast<TvlSkinData*>(m.WParam);
            if (sender && sender == SkinData()) ApplySkin();
            RelaySkinChange(FForm, sender, false);
            CallPrevious(m);
            return;
        }
        case WM_CLOSESKINMENUS:
            if (FInMenu) MenuClosed();
            CallPrevious(m);
            return;
        case WM_SKINSTRINGSCHANGED:
            RefreshHints();
            CallPrevious(m);
            return;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (FCaptureObject >= 0) {
                // The capture made the release arrive in the client area.
                std::shared_ptr<bool> alive = FAlive;
                ObjectMouseUp(-1, -1, m.Msg == WM_LBUTTONUP ? mbLeft : mbRight);
                if (!*alive) return;
            }
            CallPrevious(m);
            return;
        case WM_NCRBUTTONDOWN:
            if (m.WParam == HTCAPTION) {
                // The platform would wait for the release in a loop of its
                // own and then offer its context menu; the frame's system
                // menu opens on the press instead.
                NcMouse(m, HTCAPTION);
                return;
            }
            CallPrevious(m);
            NcMouse(m, static_cast<int>(m.WParam));
            return;
        case WM_NCRBUTTONUP:
            // The caption's context menu is the frame's system menu, opened on
            // the press; the platform's own does not follow.
            NcMouse(m, static_cast<int>(m.WParam));
            return;
        case WM_NCMOUSEMOVE:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDBLCLK: {
            std::shared_ptr<bool> alive = FAlive;
            int hit = static_cast<int>(m.WParam);
            CallPrevious(m);
            if (*alive) NcMouse(m, hit);
            return;
        }
        default: CallPrevious(m); return;
    }
}
