#include "skin/controls/vlSkinScrollBar.h"

#include <windowsx.h>

#include <algorithm>

#include "core/Property.h"
#include "core/Rounding.h"
#include "skin/access/vlAccess.h"
#include "skin/controls/vlButtonParts.h"
#include "skin/controls/vlLookPieces.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlUtils.h"

using namespace vlLookPieces;

namespace {
int Round(long double v) { return static_cast<int>(RoundHalfEven(v)); }
TRect Shift(TRect r, int dx, int dy) { return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }
}  // namespace

TvlSkinScrollBar::TvlSkinScrollBar(TComponent* owner, TWinControl* parent, TvlScrollBarKind kind)
    : TvlSkinCustomControl(owner, parent), FKind(kind) {
    SkinDataName = kind == sbVertical ? "vscrollbar" : "hscrollbar";
    if (kind == sbVertical) {
        SetBounds(0, 0, 19, 200);
        SetDefaultWidth(19);
    } else {
        SetBounds(0, 0, 200, 19);
        SetDefaultHeight(19);
    }
}

TvlSkinScrollBar::~TvlSkinScrollBar() = default;

// ---- properties ----

int TvlSkinScrollBar::Clamped(int v) const {
    int top = FPageSize == 0 ? FMax : FMax - FPageSize + 1;
    return std::max(FMin, std::min(v, top));
}

void TvlSkinScrollBar::SetPosition(int v) {
    v = Clamped(v);
    if (!SetIfChanged(FPosition, v)) return;
    Invalidate();
    vlAccessEvent(this, EVENT_OBJECT_VALUECHANGE);
    if (OnChange) OnChange(this);
}

void TvlSkinScrollBar::SetRange(int min, int max, int pageSize, int position) {
    int oldMin = FMin, oldMax = FMax, oldPage = FPageSize, oldPosition = FPosition;
    FMin = min;
    FMax = max;
    FPageSize = std::max(0, pageSize);
    FPosition = Clamped(position);
    // The views call this on every paint; only a change repaints the bar.
    if (FMin != oldMin || FMax != oldMax || FPageSize != oldPage || FPosition != oldPosition) Invalidate();
}

// The highest position follows the page also when the range does not start
// at 0, so a smaller Max never leaves the thumb past the end.
void TvlSkinScrollBar::SetMax(int v) {
    FMax = v;
    FPosition = Clamped(FPosition);
    Invalidate();
}

void TvlSkinScrollBar::SetMin(int v) {
    FMin = v;
    if (FPosition < FMin) FPosition = FMin;
    Invalidate();
}

// A page larger than what is left of the range after the position is refused.
void TvlSkinScrollBar::SetPageSize(int v) {
    if (v >= 0 && FMax - FMin + 1 >= v + (FPosition - FMin)) FPageSize = v;
    Invalidate();
}

void TvlSkinScrollBar::SetKind(TvlScrollBarKind kind) {
    if (SetIfChanged(FKind, kind)) Invalidate();
}

void TvlSkinScrollBar::SetBoth(bool v) {
    if (!SetIfChanged(FBoth, v)) return;
    if (v) {
        FNameBeforeBoth = SkinDataName;
        SkinDataName = BothSkinDataName;
    } else if (!FNameBeforeBoth.empty()) {
        SkinDataName = FNameBeforeBoth;
    }
    ReadElement();
    if (Look.HasElement())
        SkinChanged();
    else
        Invalidate();
}

void TvlSkinScrollBar::SetBothMarkerWidth(int v) {
    if (v < 0) return;
    FBothMarkerWidth = v;
    if (!Look.HasElement()) Invalidate();
}

void TvlSkinScrollBar::SetCanFocused(bool v) {
    FCanFocused = v;
    TabStop = v;
}

void TvlSkinScrollBar::SetEnabled(bool v) {
    if (!v) Release();
    TvlSkinCustomControl::SetEnabled(v);
    Invalidate();
}

// ---- geometry ----

void TvlSkinScrollBar::ReadElement() {
    TvlSkinCustomControl::ReadElement();
    FHasData = CopyElementData(FData);
    if (!FHasData) return;
    if (FData.DownUpButtonRect.IsEmpty()) FData.DownUpButtonRect = FData.ActiveUpButtonRect;
    if (FData.DownDownButtonRect.IsEmpty()) FData.DownDownButtonRect = FData.ActiveDownButtonRect;
    if (FData.ActiveThumbRect.IsEmpty()) FData.ActiveThumbRect = FData.ThumbRect;
    if (FData.DownThumbRect.IsEmpty()) FData.DownThumbRect = FData.ActiveThumbRect;
    if (FData.ActiveGlyphRect.IsEmpty()) FData.ActiveGlyphRect = FData.GlyphRect;
    if (FData.DownGlyphRect.IsEmpty()) FData.DownGlyphRect = FData.ActiveGlyphRect;
}

void TvlSkinScrollBar::ThumbLength(int trackLength, int& length) const {
    if (FPageSize == 0) return;
    int range = FMax - FMin + 1;
    int proportional = range == 0 ? 0 : Round(static_cast<long double>(trackLength) * FPageSize / range);
    length = std::max(length, proportional);
}

void TvlSkinScrollBar::CalcGeometry() {
    const int W = Width(), H = Height();
    int nominal = Px(16), breadth = -1;
    TRect up, down;
    FSwapButtons = false;
    if (!FHasData || !Look.HasElement()) {
        // 16-pixel buttons inside a one-pixel ring at 96 DPI.
        int Wt = FBoth ? W - Px(FBothMarkerWidth) : W;
        int end = 1 + Px(16);
        if (Horizontal()) {
            down = {1, 1, end, H - 1};
            up = {Wt - end, 1, Wt - 1, H - 1};
            FTrack = {end, 1, Wt - end, H - 1};
        } else {
            down = {1, 1, W - 1, end};
            up = {1, H - end, W - 1, H - 1};
            FTrack = {1, end, W - 1, H - end};
        }
    } else {
        int dW = W - Look.SkinRect.Width(), dH = H - Look.SkinRect.Height();
        FTrack = FData.TrackArea;
        auto place = [&](TRect r) {
            if (Horizontal() && r.Left >= Look.RightTopPoint.X) return Shift(r, dW, 0);
            if (!Horizontal() && r.Top >= Look.LeftBottomPoint.Y) return Shift(r, 0, dH);
            return r;
        };
        if (Horizontal())
            FTrack.Right += dW;
        else
            FTrack.Bottom += dH;
        up = place(FData.UpButtonRect);
        down = place(FData.DownButtonRect);
        // The button at the end of the bar steps forward, whatever the
        // element calls it.
        if (Along(up.Left, up.Top) < Along(down.Left, down.Top)) {
            std::swap(up, down);
            FSwapButtons = true;
        }
        nominal = Horizontal() ? FData.ThumbRect.Width() : FData.ThumbRect.Height();
        breadth = Horizontal() ? FData.ThumbRect.Height() : FData.ThumbRect.Width();
    }
    FParts[ptUp].R = up;
    FParts[ptDown].R = down;

    const int S = Horizontal() ? FTrack.Left : FTrack.Top;
    const int T = Horizontal() ? FTrack.Width() : FTrack.Height();
    int L = nominal;
    ThumbLength(T, L);
    int h = L / 2;
    FFirstCentre = S + h;
    FLastCentre = S + T - h;
    int start, end;
    int divisor = FPageSize == 0 ? FMax - FMin : FMax - FMin + 1 - FPageSize;
    if (FPageSize != 0 && divisor <= 0) {
        start = S;  // the page covers the whole range
        end = S + T;
        FThumbOffset = 0;
    } else {
        long double g = divisor == 0 ? 0.0L : static_cast<long double>(FPosition - FMin) / divisor;
        FThumbOffset = Round(g * (T - 2 * h));
        start = S + FThumbOffset;
        end = start + 2 * h;
    }
    int acrossStart, acrossEnd;
    int trackA = Horizontal() ? FTrack.Top : FTrack.Left, trackB = Horizontal() ? FTrack.Bottom : FTrack.Right;
    if (breadth < 0) {
        acrossStart = trackA;
        acrossEnd = trackB;
    } else {
        acrossStart = (trackA + trackB) / 2 - breadth / 2;
        acrossEnd = acrossStart + breadth;
    }
    FParts[ptThumb].R =
        Horizontal() ? TRect{start, acrossStart, end, acrossEnd} : TRect{acrossStart, start, acrossEnd, end};
}

int TvlSkinScrollBar::PartAt(int x, int y) const {
    for (int i : {ptThumb, ptUp, ptDown})
        if (FParts[i].R.Contains(x, y)) return i;
    return -1;
}

// ---- painting ----

void TvlSkinScrollBar::PaintDefault(TvlFBitmap& bitmap) {
    CalcGeometry();
    bitmap.Fill(ColorToRGB(clBtnFace));
    bool focusedToo = FCanFocused && Focused();
    auto part = [&](int i, bool thumb) {
        const TPart& p = FParts[i];
        bool pressed = thumb ? (p.Down || focusedToo) : (p.Down && p.MouseIn);
        TColor frame = pressed || p.MouseIn ? vlButtonParts::kNavy : clBtnShadow;
        TColor fill = pressed ? vlButtonParts::kDownFill : p.MouseIn ? vlButtonParts::kHotFill : clBtnFace;
        FrameBox(bitmap, p.R, ColorToRGB(frame), ColorToRGB(fill));
    };
    if (Enabled()) part(ptThumb, true);
    part(ptUp, false);
    part(ptDown, false);
    DrawArrow(bitmap, FParts[ptDown].R, 0, Horizontal() ? 1 : 3);
    DrawArrow(bitmap, FParts[ptUp].R, 0, Horizontal() ? 2 : 4);
}

void TvlSkinScrollBar::PaintSkin(TvlFBitmap& bitmap) {
    if (!FHasData || !Look.Picture) {
        PaintDefault(bitmap);
        return;
    }
    DrawSkinPicture(bitmap, Look.Picture, Look.SkinRect);
    CalcGeometry();
    TvlPixelView picture = PictureView(*Look.Picture);
    auto button = [&](int i, const TRect& active, const TRect& down) {
        const TPart& p = FParts[i];
        if (p.Down && p.MouseIn)
            CopyPiece(bitmap, p.R.Left, p.R.Top, picture, down);
        else if (p.MouseIn)
            CopyPiece(bitmap, p.R.Left, p.R.Top, picture, active);
    };
    if (FSwapButtons) {
        button(ptUp, FData.ActiveDownButtonRect, FData.DownDownButtonRect);
        button(ptDown, FData.ActiveUpButtonRect, FData.DownUpButtonRect);
    } else {
        button(ptUp, FData.ActiveUpButtonRect, FData.DownUpButtonRect);
        button(ptDown, FData.ActiveDownButtonRect, FData.DownDownButtonRect);
    }
    if (!Enabled()) return;
    const TPart& thumb = FParts[ptThumb];
    bool pressed = thumb.Down || (FCanFocused && Focused());
    const TRect& source = pressed ? FData.DownThumbRect : thumb.MouseIn ? FData.ActiveThumbRect : FData.ThumbRect;
    const TRect& glyph = pressed ? FData.DownGlyphRect : thumb.MouseIn ? FData.ActiveGlyphRect : FData.GlyphRect;
    TvlFBitmap piece;
    int length = Horizontal() ? thumb.R.Width() : thumb.R.Height();
    if (FPageSize == 0) {
        piece.SetSize(source.Width(), source.Height());
        CopyPiece(piece, 0, 0, picture, source);
    } else if (Horizontal()) {
        ComposeHorizontal(FData.ThumbOffset1, FData.ThumbOffset2, source, picture, length, piece);
    } else {
        ComposeVertical(FData.ThumbOffset1, FData.ThumbOffset2, source, picture, length, piece);
    }
    if (!glyph.IsEmpty())
        CopyPiece(piece, (piece.Width() - glyph.Width()) / 2, (piece.Height() - glyph.Height()) / 2, picture, glyph);
    CopyTransparent(bitmap, thumb.R.Left, thumb.R.Top, piece, FData.ThumbTransparent, FData.ThumbTransparentColor);
}

// ---- stepping ----

void TvlSkinScrollBar::Step(int delta) { SetPosition(FPosition + delta); }

void TvlSkinScrollBar::UpClick() {
    if (OnUpButtonClick)
        OnUpButtonClick(this);
    else
        Step(SmallChange);
}

void TvlSkinScrollBar::DownClick() {
    if (OnDownButtonClick)
        OnDownButtonClick(this);
    else
        Step(-SmallChange);
}

void TvlSkinScrollBar::PageBack() {
    Step(-LargeChange);
    if (OnPageUp) OnPageUp(this);
}

void TvlSkinScrollBar::PageForward() {
    Step(LargeChange);
    if (OnPageDown) OnPageDown(this);
}

void TvlSkinScrollBar::StartRepeat(TRepeat code, UINT ms) {
    FRepeat = code;
    FPaused = false;
    if (!HandleAllocated()) return;
    FTimer.reset();  // the old owner would kill the new timer of the same id
    FTimer = std::make_unique<TWindowTimer>(Handle(), kRepeatTimer, ms);
}

void TvlSkinScrollBar::StopRepeat() {
    FTimer.reset();
    FRepeat = rpNone;
    FPaused = false;
}

void TvlSkinScrollBar::OnTimer(TMessage& m) {
    if (m.WParam != kRepeatTimer) {
        TvlSkinCustomControl::OnTimer(m);
        return;
    }
    m.Result = 0;
    if (!FTimer) return;
    if (FFirstTick) {
        FFirstTick = false;
        StartRepeat(FRepeat, kRepeatDelay);
        return;
    }
    CalcGeometry();
    const TRect& thumb = FParts[ptThumb].R;
    int pointer = Along(FLastPoint.x, FLastPoint.y);
    switch (FRepeat) {
        case rpUpButton: UpClick(); break;
        case rpDownButton: DownClick(); break;
        case rpPageBack:
            if (pointer < (Horizontal() ? thumb.Left : thumb.Top))
                PageBack();
            else
                StopRepeat();
            break;
        case rpPageForward:
            if (pointer >= (Horizontal() ? thumb.Right : thumb.Bottom))
                PageForward();
            else
                StopRepeat();
            break;
        case rpNone: StopRepeat(); break;
    }
}

// ---- mouse ----

void TvlSkinScrollBar::Press(int x, int y) {
    if (FCanFocused && !Focused() && CanFocus()) SetFocus();
    FPressed = true;
    FLastPoint = {x, y};
    CalcGeometry();
    FRepeat = rpNone;
    FFirstTick = true;
    SetCapture(Handle());
    int part = PartAt(x, y);
    if (part >= 0) {
        FCaptured = part;
        FParts[part].Down = true;
        FParts[part].MouseIn = true;
        FHovered = part;
        Invalidate();
        switch (part) {
            case ptUp:
                UpClick();
                StartRepeat(rpUpButton, kFirstDelay);
                break;
            case ptDown:
                DownClick();
                StartRepeat(rpDownButton, kFirstDelay);
                break;
            default:
                FDragging = true;
                FDragStart = Along(x, y);
                FDragOffset = FThumbOffset;
                FDragPosition = FPosition;
                break;
        }
        return;
    }
    if (!FTrack.Contains(x, y)) return;
    const TRect& thumb = FParts[ptThumb].R;
    if (Along(x, y) < (Horizontal() ? thumb.Left : thumb.Top)) {
        Step(-LargeChange);
        StartRepeat(rpPageBack, kFirstDelay);
        if (OnPageUp) OnPageUp(this);
    } else {
        Step(LargeChange);
        StartRepeat(rpPageForward, kFirstDelay);
        if (OnPageDown) OnPageDown(this);
    }
}

// Ends whatever a press started: repetition, drag and the held part. Also
// run when the capture goes elsewhere, the mode is cancelled or the bar is
// disabled, so no timer outlives the press.
void TvlSkinScrollBar::Release() {
    bool wasPressed = FPressed || FCaptured >= 0 || FTimer;
    FPressed = false;
    StopRepeat();
    int captured = FCaptured;
    FCaptured = -1;
    bool dragged = false;
    if (captured >= 0) {
        TPart& p = FParts[captured];
        p.Down = false;
        if (FHovered != captured) p.MouseIn = false;
        if (captured == ptThumb) {
            dragged = FDragging;
            FDragging = false;
        }
        Invalidate();
    }
    if (wasPressed && HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    if (dragged && OnLastChange) OnLastChange(this);
}

void TvlSkinScrollBar::Hover(int x, int y) {
    int now = PartAt(x, y);
    if (FCaptured >= 0 && now != FCaptured) now = -1;
    if (now == FHovered) return;
    int old = FHovered;
    FHovered = now;
    if (old >= 0) FParts[old].MouseIn = false;
    if (now >= 0) FParts[now].MouseIn = true;
    Invalidate();
    bool heldButton = FCaptured == ptUp || FCaptured == ptDown;
    if (!heldButton || (FRepeat != rpUpButton && FRepeat != rpDownButton)) return;
    if (old == FCaptured) {  // off the held button: pause
        FTimer.reset();
        FPaused = true;
    } else if (now == FCaptured && FPaused) {  // back on it: resume
        FFirstTick = false;
        StartRepeat(FRepeat, kRepeatDelay);
    }
}

void TvlSkinScrollBar::DragTo(int x, int y) {
    CalcGeometry();
    int offset = FDragOffset + Along(x, y) - FDragStart;
    int span = FLastCentre - FFirstCentre;
    long double d = span <= 0 ? 0.0L : static_cast<long double>(offset) / span;
    d = std::clamp(d, 0.0L, 1.0L);
    int range = FPageSize == 0 ? FMax - FMin : FMax - FMin - FPageSize + 1;
    SetPosition(FMin + Round(range * d));
}

void TvlSkinScrollBar::OnMouse(TMessage& m) {
    int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            TvlSkinCustomControl::OnMouse(m);
            if (Enabled()) Press(x, y);
            m.Result = 0;
            return;
        case WM_MOUSEMOVE:
            TvlSkinCustomControl::OnMouse(m);
            FLastPoint = {x, y};
            CalcGeometry();
            Hover(x, y);
            if (FDragging) DragTo(x, y);
            return;
        case WM_LBUTTONUP:
            TvlSkinCustomControl::OnMouse(m);
            Release();
            return;
        case WM_MOUSELEAVE:
            TvlSkinCustomControl::OnMouse(m);
            if (FCaptured < 0 && !FDragging && FHovered >= 0) {
                FParts[FHovered].MouseIn = false;
                FHovered = -1;
                Invalidate();
            }
            if (FRepeat == rpPageBack || FRepeat == rpPageForward) StopRepeat();
            return;
        default: TvlSkinCustomControl::OnMouse(m); return;
    }
}

// ---- keyboard and focus ----

UINT TvlSkinScrollBar::DialogCode() { return FCanFocused ? DLGC_WANTARROWS : 0; }

void TvlSkinScrollBar::WndProc(TMessage& m) {
    if (m.Msg == WM_GETDLGCODE) {
        m.Result = DialogCode();
        return;
    }
    TvlSkinCustomControl::WndProc(m);
}

void TvlSkinScrollBar::OnKey(TMessage& m) {
    if (FCanFocused && m.Msg == WM_KEYDOWN) {
        switch (m.WParam) {
            case VK_LEFT:
            case VK_UP:
                Step(-SmallChange);
                m.Result = 0;
                return;
            case VK_RIGHT:
            case VK_DOWN:
                Step(SmallChange);
                m.Result = 0;
                return;
            default: break;
        }
    }
    TvlSkinCustomControl::OnKey(m);
}

void TvlSkinScrollBar::OnMouseWheel(TMessage& m) {
    if (!FCanFocused || !Focused()) {
        TvlSkinCustomControl::OnMouseWheel(m);
        return;
    }
    short delta = GET_WHEEL_DELTA_WPARAM(m.WParam);
    Step(delta > 0 ? -SmallChange : SmallChange);
    m.Result = 0;
}
