#include "skin/widgets/vlTabScroller.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/data/vlCompose.h"

TvlTabScroller::TvlTabScroller(TComponent* owner, TWinControl* parent) : TvlSkinCustomControl(owner, parent) {
    SkinDataName = "hupdown";
    SetBounds(0, 0, 40, 20);
}

void TvlTabScroller::SetPosition(int value) {
    FPosition = std::clamp(value, Min, std::max(Min, Max));
    Invalidate();
}

void TvlTabScroller::Step(bool up) {
    int old = FPosition;
    SetPosition(FPosition + (up ? Increment : -Increment));
    if (FPosition != old && OnChange) OnChange(this);
}

void TvlTabScroller::ReadElement() {
    TvlSkinCustomControl::ReadElement();
    FData = Look.ElementAs<TvlDataSkinUpDownControl>();
}

void TvlTabScroller::PaintDefault(TvlFBitmap& bitmap) {
    bitmap.Fill(ColorToRGB(clBtnFace));
    HDC dc = bitmap.Canvas();
    int half = Width() / 2;
    for (int b = 0; b < 2; ++b) {
        RECT r{b == 0 ? 0 : half, 0, b == 0 ? half : Width(), Height()};
        UINT state = (b == 0 ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT) | (FPressed == b ? DFCS_PUSHED : 0);
        DrawFrameControl(dc, &r, DFC_SCROLL, state);
    }
}

void TvlTabScroller::PaintSkin(TvlFBitmap& bitmap) {
    if (!FData || !Look.Picture) {
        PaintDefault(bitmap);
        return;
    }
    TvlPixelView picture = PictureView(*Look.Picture);
    const TRect& s = Look.SkinRect;
    auto inSkin = [&](const TRect& r) { return TRect{s.Left + r.Left, s.Top + r.Top, s.Left + r.Right, s.Top + r.Bottom}; };
    int half = Width() / 2;
    // The left button steps down, the right one up.
    for (int b = 0; b < 2; ++b) {
        const TRect& normal = b == 0 ? FData->DownButtonRect : FData->UpButtonRect;
        const TRect& active = b == 0 ? FData->ActiveDownButtonRect : FData->ActiveUpButtonRect;
        const TRect& down = b == 0 ? FData->DownDownButtonRect : FData->DownUpButtonRect;
        TRect source = FPressed == b && !down.IsEmpty() ? down : FHot == b && !active.IsEmpty() ? active : inSkin(normal);
        TRect area = b == 0 ? TRect{0, 0, half, Height()} : TRect{half, 0, Width(), Height()};
        StretchPiece(bitmap, area, picture, source);
    }
}

void TvlTabScroller::OnMouse(TMessage& m) {
    TvlSkinCustomControl::OnMouse(m);
    int x = GET_X_LPARAM(m.LParam);
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            FPressed = ButtonAt(x);
            SetCapture(Handle());
            Invalidate();
            Step(FPressed == 1);
            break;
        case WM_LBUTTONUP:
            FPressed = -1;
            if (GetCapture() == Handle()) ReleaseCapture();
            Invalidate();
            break;
        case WM_MOUSEMOVE:
            if (FHot != ButtonAt(x)) {
                FHot = ButtonAt(x);
                Invalidate();
            }
            break;
        case WM_MOUSELEAVE:
            FHot = -1;
            Invalidate();
            break;
        default: break;
    }
}

void TvlTabScroller::OnCaptureChanged(TMessage& m) {
    FPressed = -1;
    Invalidate();
    TvlSkinCustomControl::OnCaptureChanged(m);
}
