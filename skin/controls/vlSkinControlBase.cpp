#include "skin/controls/vlSkinControlBase.h"

#include "core/Gdi.h"
#include "skin/data/vlRegion.h"
#include "toolkit/Forms.h"

TCanvas LookCanvas(TvlFBitmap& bitmap, const TFont& font, TColor colour) {
    TCanvas canvas(bitmap.Canvas());
    canvas.Font = font;
    canvas.Font.SetColor(colour);
    return canvas;
}

// ---- TvlSkinControl ----

int ControlDpi(const TControl* control) {
    // On a form: the DPI the form is laid out at, so that the control's own
    // lengths (a label fitting its text) meet the layout's, also before the
    // form is shown and scaled.
    for (const TControl* c = control; c; c = c->Parent())
        if (auto* form = dynamic_cast<const TForm*>(c)) return form->Dpi();
    for (const TControl* c = control; c; c = c->Parent())
        if (auto* w = dynamic_cast<const TWinControl*>(c); w && w->HandleAllocated()) return WindowDpi(w->Handle());
    return SystemDpi();
}

TvlSkinControl::~TvlSkinControl() = default;

void TvlSkinControl::PaintTo(HDC dc) {
    TvlFBitmap bitmap;
    if (!ComposeLook(bitmap)) return;
    // Windowless children (labels on a panel) are part of the one copy.
    TCanvas canvas(bitmap.Canvas());
    canvas.Font = Font;
    PaintControls(canvas);
    bitmap.DrawTo(dc, 0, 0);
}

void TvlSkinControl::OnPaint(TMessage& m) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    FPainting = true;
    // A control its child windows cover entirely has nothing to show.
    RECT shown;
    if (GetClipBox(dc, &shown) != NULLREGION) PaintTo(dc);
    FPainting = false;
    EndPaint(Handle(), &ps);
    m.Result = 0;
}

void TvlSkinControl::OnPrintClient(TMessage& m) {
    PaintTo(reinterpret_cast<HDC>(m.WParam));
    m.Result = 0;
}

void TvlSkinControl::OnEraseBkgnd(TMessage& m) {
    auto dc = reinterpret_cast<HDC>(m.WParam);
    // The system's erase of a window whose paint is on its way (every child
    // as a form is shown) leaves the look to that paint.
    auto paintFollows = [&] { return WindowFromDC(dc) == Handle() && GetUpdateRect(Handle(), nullptr, FALSE); };
    if (LookOnErase(dc) && !paintFollows()) PaintTo(dc);
    m.Result = 1;
}

void TvlSkinControl::OnSetFocus(TMessage& m) {
    TvlSkinBase::OnSetFocus(m);
    FocusChanged(true);
}

void TvlSkinControl::OnKillFocus(TMessage& m) {
    TvlSkinBase::OnKillFocus(m);
    FocusChanged(false);
}

void TvlSkinControl::OnCancelMode(TMessage& m) {
    PressLost();
    TvlSkinBase::OnCancelMode(m);
}

void TvlSkinControl::OnCaptureChanged(TMessage& m) {
    if (reinterpret_cast<HWND>(m.LParam) != Handle()) PressLost();
    TvlSkinBase::OnCaptureChanged(m);
}

void TvlSkinControl::UpdateWindowRegion() {
    if (!HandleAllocated()) return;
    const TvlSkinLook& look = Look;
    if (!look.MaskBitmap || !look.HasElement()) {
        if (FHasRegion) SetWindowRgn(Handle(), nullptr, TRUE);
        FHasRegion = false;
        return;
    }
    TvlPixelView mask = PictureView(*look.MaskBitmap);
    HRGN region = nullptr;
    TvlFrameCuts cuts{look.LeftTopPoint, look.RightTopPoint, look.LeftBottomPoint, look.RightBottomPoint,
                      look.SkinClientRect};
    switch (look.StretchMode) {
        case smFixed: region = MaskToRegion(mask); break;
        case smBoth:
            region = ComposeFrameRegion(mask, cuts, Width(), Height(),
                                        {look.ScaledLeftTop, look.ScaledRightTop, look.ScaledLeftBottom,
                                         look.ScaledRightBottom, look.ScaledClientRect});
            break;
        case smHorizontal: {
            TvlFrameCuts target = cuts;
            target.RT = {Width() + look.RightTopPoint.X - look.SkinRect.Width(), look.RightTopPoint.Y};
            region = ComposeFrameRegion(mask, cuts, Width(), Height(), target);
            break;
        }
        case smVertical: {
            TvlFrameCuts target = cuts;
            target.LB = {look.LeftBottomPoint.X, Height() + look.LeftBottomPoint.Y - look.SkinRect.Height()};
            region = ComposeFrameRegion(mask, cuts, Width(), Height(), target);
            break;
        }
        case smNone: break;
    }
    // The window owns a region once it takes it, and frees the one it replaces.
    TGdiRegion owned(region);
    if (owned.Handle()) {
        FHasRegion = owned.HandToWindow(Handle(), true);
    } else {
        if (FHasRegion) SetWindowRgn(Handle(), nullptr, TRUE);
        FHasRegion = false;
    }
}

// ---- TvlGraphicSkinControl ----

TvlGraphicSkinControl::TvlGraphicSkinControl(TComponent* owner, TWinControl* parent) : TvlSkinBase(owner, parent) {
    ControlStyle |= csOpaque;
}

void TvlGraphicSkinControl::Paint(TCanvas& canvas) {
    TvlFBitmap bitmap;
    if (ComposeLook(bitmap)) bitmap.DrawTo(canvas.Handle(), 0, 0);
}
