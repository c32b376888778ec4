#include "skin/controls/vlSkinUpDown.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/access/vlAccess.h"
#include "skin/controls/vlButtonParts.h"
#include "skin/controls/vlHeldPart.h"
#include "skin/controls/vlLookPieces.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlUtils.h"

TvlSkinUpDown::TvlSkinUpDown(TComponent* owner, TWinControl* parent, TvlUpDownOrientation orientation)
    : TvlSkinCustomControl(owner, parent), FOrientation(orientation) {
    SkinDataName = orientation == udVertical ? "vupdown" : "hupdown";
    SetBounds(0, 0, 50, 25);
}

TvlSkinUpDown::~TvlSkinUpDown() = default;

void TvlSkinUpDown::SetOrientation(TvlUpDownOrientation v) {
    FOrientation = v;
    Invalidate();
}

void TvlSkinUpDown::SetMin(int v) {
    FMin = v;
    if (FPosition < FMin) FPosition = FMin;
}

void TvlSkinUpDown::SetMax(int v) {
    FMax = v;
    if (FPosition > FMax) FPosition = FMax;
}

void TvlSkinUpDown::SetPosition(int v) {
    if (v < FMin || v > FMax) return;
    bool changed = v != FPosition;
    FPosition = v;
    if (changed) vlAccessEvent(this, EVENT_OBJECT_VALUECHANGE);
    if (OnChange) OnChange(this);
}

void TvlSkinUpDown::SetEnabled(bool v) {
    if (!v) Release(false, -1, -1);
    TvlSkinCustomControl::SetEnabled(v);
    Invalidate();
}

void TvlSkinUpDown::CalcGeometry() {
    auto* data = Look.ElementAs<TvlDataSkinUpDownControl>();
    if (data && UseSkinSize && Look.HasElement()) {
        FParts[ptUp].R = data->UpButtonRect;
        FParts[ptDown].R = data->DownButtonRect;
        return;
    }
    int W = Width(), H = Height();
    if (FOrientation == udVertical) {
        FParts[ptUp].R = {0, 0, W, H / 2};
        FParts[ptDown].R = {0, H / 2, W, H};
    } else {
        FParts[ptDown].R = {0, 0, W / 2, H};
        FParts[ptUp].R = {W / 2, 0, W, H};
    }
}

void TvlSkinUpDown::PaintDefault(TvlFBitmap& bitmap) {
    CalcGeometry();
    bitmap.Fill(ColorToRGB(clBtnFace));
    for (int i : {ptUp, ptDown}) {
        const TPart& p = FParts[i];
        bool pressed = p.Down && p.MouseIn;
        TColor frame = pressed || p.MouseIn ? vlButtonParts::kNavy : clBtnShadow;
        TColor fill = pressed ? vlButtonParts::kDownFill : p.MouseIn ? vlButtonParts::kHotFill : clBtnFace;
        vlLookPieces::FrameBox(bitmap, p.R, ColorToRGB(frame), ColorToRGB(fill));
        int direction = FOrientation == udVertical ? (i == ptUp ? 3 : 4) : (i == ptUp ? 2 : 1);
        DrawArrow(bitmap, p.R, 0, direction);
    }
}

// Sized by its owner, the up-down draws each button as the skin's resizable
// push button stretched to it; a skin without one leaves the buttons empty.
void TvlSkinUpDown::PaintResizeButtons(TvlFBitmap& bitmap) {
    CalcGeometry();
    bitmap.Fill(ColorToRGB(clBtnFace));
    TvlSkinLook button;
    button.ReadElement(SkinData(), "resizebutton", true);
    TvlDataSkinButtonControl looks{""};
    if (!vlButtonParts::ReadButtonLooks(button, looks) || !button.Picture) return;
    for (int i : {ptUp, ptDown}) {
        const TPart& p = FParts[i];
        if (p.R.IsEmpty()) continue;
        const TRect& source = p.Down && p.MouseIn ? looks.DownSkinRect : p.MouseIn ? looks.ActiveSkinRect : button.SkinRect;
        TvlFBitmap piece;
        int w = p.R.Width(), h = p.R.Height();
        button.AdjustToSkinSize(w, h);  // the points fitted to the button's size
        button.DrawSkinPicture(piece, button.Picture, source, p.R.Width(), p.R.Height());
        vlLookPieces::CopyTransparent(bitmap, p.R.Left, p.R.Top, piece, false, 0);
        int direction = FOrientation == udVertical ? (i == ptUp ? 3 : 4) : (i == ptUp ? 2 : 1);
        DrawArrow(bitmap, p.R, Enabled() ? looks.FontColor : looks.DisabledFontColor, direction);
    }
}

void TvlSkinUpDown::PaintSkin(TvlFBitmap& bitmap) {
    auto* data = Look.ElementAs<TvlDataSkinUpDownControl>();
    if (data && Look.Picture && !UseSkinSize) {
        PaintResizeButtons(bitmap);
        return;
    }
    if (!data || !Look.Picture) {
        PaintDefault(bitmap);
        return;
    }
    bitmap.SetSize(Look.SkinRect.Width(), Look.SkinRect.Height());
    CopyPiece(bitmap, 0, 0, PictureView(*Look.Picture), Look.SkinRect);
    CalcGeometry();
    auto button = [&](int i, const TRect& active, TRect down) {
        if (down.IsEmpty()) down = active;
        const TPart& p = FParts[i];
        if (p.Down && p.MouseIn)
            CopyPiece(bitmap, p.R.Left, p.R.Top, PictureView(*Look.Picture), down);
        else if (p.MouseIn)
            CopyPiece(bitmap, p.R.Left, p.R.Top, PictureView(*Look.Picture), active);
    };
    button(ptUp, data->ActiveUpButtonRect, data->DownUpButtonRect);
    button(ptDown, data->ActiveDownButtonRect, data->DownDownButtonRect);
}

int TvlSkinUpDown::PartAt(int x, int y) const {
    for (int i : {ptUp, ptDown})
        if (FParts[i].R.Contains(x, y)) return i;
    return -1;
}

void TvlSkinUpDown::Step(int part) {
    if (Increment == 0) return;
    SetPosition(FPosition + (part == ptUp ? Increment : -Increment));
}

void TvlSkinUpDown::StartTimer(UINT ms) {
    if (!HandleAllocated()) return;
    FTimer.reset();
    FTimer = std::make_unique<TWindowTimer>(Handle(), kRepeatTimer, ms);
}

// Ends the press; `click` with the pointer still over the held button steps
// once more and reports the click.
void TvlSkinUpDown::Release(bool click, int x, int y) {
    FTimer.reset();
    int captured = ReleaseHeldPart(*this, FCaptured, FParts);
    if (captured < 0 || !click || !FParts[captured].R.Contains(x, y)) return;
    Step(captured);
    TNotifyEvent& event = captured == ptUp ? OnUpButtonClick : OnDownButtonClick;
    if (event) event(this);
}

void TvlSkinUpDown::OnMouse(TMessage& m) {
    int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    TvlSkinCustomControl::OnMouse(m);
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            if (!Enabled()) return;
            CalcGeometry();
            int part = PartAt(x, y);
            if (part < 0) return;
            FParts[1 - part].MouseIn = false;
            FCaptured = FHovered = part;
            FParts[part].Down = FParts[part].MouseIn = true;
            SetCapture(Handle());
            Invalidate();
            if (Increment != 0) {
                FFirstTick = true;
                StartTimer(kFirstDelay);
            }
            return;
        }
        case WM_MOUSEMOVE: {
            CalcGeometry();
            int now = PartAt(x, y);
            if (FCaptured >= 0 && now != FCaptured) now = -1;
            if (now == FHovered) return;
            if (FHovered >= 0) FParts[FHovered].MouseIn = false;
            if (now >= 0) FParts[now].MouseIn = true;
            if (FCaptured >= 0 && FHovered == FCaptured) FTimer.reset();
            if (FCaptured >= 0 && now == FCaptured && Increment != 0) {
                FFirstTick = false;
                StartTimer(kResumeDelay);
            }
            FHovered = now;
            Invalidate();
            return;
        }
        case WM_MOUSELEAVE:
            if (FCaptured < 0 && FHovered >= 0) {
                FParts[FHovered].MouseIn = false;
                FHovered = -1;
                Invalidate();
            }
            return;
        case WM_LBUTTONUP: Release(true, x, y); return;
        default: return;
    }
}

void TvlSkinUpDown::OnTimer(TMessage& m) {
    if (m.WParam != kRepeatTimer) {
        TvlSkinCustomControl::OnTimer(m);
        return;
    }
    m.Result = 0;
    if (!FTimer || FCaptured < 0) return;
    if (FFirstTick) {
        FFirstTick = false;
        StartTimer(kRepeatDelay);
        return;
    }
    Step(FCaptured);
}
