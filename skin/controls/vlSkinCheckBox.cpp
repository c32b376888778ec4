#include "skin/controls/vlSkinButtons.h"

#include <windowsx.h>

#include <algorithm>

#include "core/Gdi.h"
#include "skin/access/vlAccess.h"
#include "skin/controls/vlButtonParts.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlEffects.h"

using namespace vlButtonParts;

namespace {
constexpr UINT_PTR kMorphTimer = 1;
}

// ---- TvlSkinCheckRadioBox ----

TvlSkinCheckRadioBox::TvlSkinCheckRadioBox(TComponent* owner, TWinControl* parent)
    : TvlSkinCheckRadioBox(owner, parent, "", 0, 0, 150, 25) {}

TvlSkinCheckRadioBox::TvlSkinCheckRadioBox(TComponent* owner, TWinControl* parent, const std::string& caption, int left,
                                           int top, int width, int height)
    : TvlSkinCustomControl(owner, parent) {
    SkinDataName = "checkbox";
    TabStop = true;
    TControl::SetCaption(caption);
    SetBounds(left, top, width, height);
}

void TvlSkinCheckRadioBox::SetCanFocused(bool value) {
    FCanFocused = value;
    TabStop = value;
}

void TvlSkinCheckRadioBox::SetRadio(bool value) {
    FRadio = value;
    SkinDataName = value ? "radiobox" : "checkbox";
    GroupIndex = value ? 1 : 0;
    Invalidate();
}

void TvlSkinCheckRadioBox::SetChecked(bool value) {
    bool became = value && !FChecked;
    bool changed = value != FChecked;
    FChecked = value;
    Invalidate();
    if (changed) vlAccessEvent(this, EVENT_OBJECT_STATECHANGE);
    // The others of the group go through their property: a check box in
    // the group hears its own change.
    if (became && GroupIndex != 0 && Parent())
        for (int i = 0; i < Parent()->ControlCount(); ++i) {
            auto* other = dynamic_cast<TvlSkinCheckRadioBox*>(Parent()->Controls(i));
            if (other && other != this && other->GroupIndex == GroupIndex && other->FChecked) other->SetChecked(false);
        }
    // Also when the program sets it: a check box always, a radio box when on.
    if (OnClick && (!FRadio || FChecked)) OnClick(this);
}

void TvlSkinCheckRadioBox::Click() {
    Toggle();
    FActionLink.Execute();
}

void TvlSkinCheckRadioBox::ActionChanged(const TAction& action) {
    if (action.Caption() != Caption()) SetCaption(action.Caption());
    // Only real changes: a new enabled state drops the hover and the fade.
    if (action.Enabled() != Enabled()) SetEnabled(action.Enabled());
    if (action.Visible() != Visible()) SetVisible(action.Visible());
    if (action.Checked() != FChecked) SetChecked(action.Checked());
    Invalidate();
}

void TvlSkinCheckRadioBox::SetImages(TImageList* images) {
    FImages.Set(images);
    Invalidate();
}

void TvlSkinCheckRadioBox::SetImageIndex(int index) {
    FImageIndex = index;
    Invalidate();
}

void TvlSkinCheckRadioBox::Notification(TComponent* component, bool removing) {
    TvlSkinCustomControl::Notification(component, removing);
    if (removing && FImages.Removed(component)) Invalidate();
}

int TvlSkinCheckRadioBox::DrawListImage(TvlFBitmap& bitmap, int x, int centreY) {
    TImageList* images = FImages.get();
    if (!images || FImageIndex < 0 || FImageIndex >= images->Count()) return 0;
    int w = 0, h = 0;
    ImageList_GetIconSize(images->Handle(), &w, &h);
    IMAGELISTDRAWPARAMS p{};
    p.cbSize = sizeof p;
    p.himl = images->Handle();
    p.i = FImageIndex;
    p.hdcDst = bitmap.Canvas();
    p.x = x;
    p.y = centreY - h / 2;
    p.rgbBk = CLR_NONE;
    p.rgbFg = CLR_DEFAULT;
    p.fStyle = ILD_NORMAL;
    p.fState = Enabled() ? ILS_NORMAL : ILS_SATURATE;
    ImageList_DrawIndirect(&p);
    GdiFlush();
    return w;
}

// ---- morphing (the non-flat style) ----

bool TvlSkinCheckRadioBox::Morphing() const { return !Flat && FHasData && FData.Morphing && Look.HasElement(); }

void TvlSkinCheckRadioBox::Refresh() {
    if (Morphing() && HandleAllocated()) {
        if (!FMorphTimer) FMorphTimer = std::make_unique<TWindowTimer>(Handle(), kMorphTimer, TvlMorph::Interval);
    } else {
        Invalidate();
    }
}

void TvlSkinCheckRadioBox::MorphStep() {
    if (!FMorph.Step(FMouseOver || Focused(), Morphing())) FMorphTimer.reset();
    Invalidate();
}

void TvlSkinCheckRadioBox::OnTimer(TMessage& m) {
    if (m.WParam != kMorphTimer) {
        TvlSkinCustomControl::OnTimer(m);
        return;
    }
    MorphStep();
    m.Result = 0;
}

// The non-flat style fits its text and check image areas to the width: the
// text area grows with it, and a check image right of the text moves along.
void TvlSkinCheckRadioBox::AdjustToSkinSize(int& width, int& height) {
    TvlSkinCustomControl::AdjustToSkinSize(width, height);
    if (!FHasData) return;
    int gain = width - Look.SkinRect.Width();
    if (Look.StretchMode == smFixed || Look.StretchMode == smNone) gain = 0;
    FTextArea = FData.TextArea;
    FTextArea.Right += gain;
    FCheckImageArea = FData.CheckImageArea;
    if (FCheckImageArea.Right > FData.TextArea.Right) {
        FCheckImageArea.Left += gain;
        FCheckImageArea.Right += gain;
    }
}

bool TvlSkinCheckRadioBox::DialogChar(char key) {
    if (!FCanFocused || !IsAccelerator(key, Caption()) || !CanFocus()) return false;
    SetFocus();
    Click();
    return true;
}

void TvlSkinCheckRadioBox::Toggle() {
    if (FRadio) {
        if (!FChecked) SetChecked(true);
    } else {
        SetChecked(!FChecked);
    }
}

void TvlSkinCheckRadioBox::SetCaption(const std::string& text) {
    TvlSkinCustomControl::SetCaption(text);
    Invalidate();
    vlAccessEvent(this, EVENT_OBJECT_NAMECHANGE);
}

void TvlSkinCheckRadioBox::SetEnabled(bool v) {
    TvlSkinCustomControl::SetEnabled(v);
    FMorphTimer.reset();
    FMorph.Factor = 0;
    FMouseOver = false;
    Invalidate();
}

void TvlSkinCheckRadioBox::ReadElement() {
    TvlSkinCustomControl::ReadElement();
    FHasData = CopyElementData(FData);
    if (!FHasData) return;
    auto orElse = [](TRect& r, const TRect& fallback) {
        if (r.IsEmpty()) r = fallback;
    };
    orElse(FData.ActiveSkinRect, Look.SkinRect);
    orElse(FData.ActiveCheckImageRect, FData.CheckImageRect);
    orElse(FData.ActiveUnCheckImageRect, FData.UnCheckImageRect);
    orElse(FData.UnEnabledCheckImageRect, FData.CheckImageRect);
    orElse(FData.UnEnabledUnCheckImageRect, FData.UnCheckImageRect);
    if (Flat) FData.Morphing = false;
    if (FTextArea.IsEmpty() && FCheckImageArea.IsEmpty()) {
        FTextArea = FData.TextArea;
        FCheckImageArea = FData.CheckImageArea;
    }
}

void TvlSkinCheckRadioBox::SkinChanged() {
    if (!Flat) {
        FMorphTimer.reset();
        FMorph.Factor = 0;
        FTextArea = FCheckImageArea = TRect{};
        TvlSkinCustomControl::SkinChanged();
        // The areas follow the size the control has, refitted or not.
        int w = Width(), h = Height();
        if (Look.HasElement()) AdjustToSkinSize(w, h);
        return;
    }
    // The flat style keeps its size: it only draws the check image and caption.
    ReadElement();
    Invalidate();
}

TRect TvlSkinCheckRadioBox::CheckImage() const {
    if (!Enabled()) return FChecked ? FData.UnEnabledCheckImageRect : FData.UnEnabledUnCheckImageRect;
    if (FMouseOver) return FChecked ? FData.ActiveCheckImageRect : FData.ActiveUnCheckImageRect;
    return FChecked ? FData.CheckImageRect : FData.UnCheckImageRect;
}

// The parent's look under this control, as the start of a flat look.
void TvlSkinCheckRadioBox::ParentBackground(TvlFBitmap& bitmap) {
    if (!Parent() || !Parent()->HandleAllocated()) {
        bitmap.Fill(ColorToRGB(clBtnFace));
        return;
    }
    HDC dc = bitmap.Canvas();
    {
        SavedDCGuard saved(dc);
        OffsetViewportOrgEx(dc, -Left(), -Top(), nullptr);
        IntersectClipRect(dc, 0, 0, Parent()->ClientWidth(), Parent()->ClientHeight());
        SendMessageA(Parent()->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    }
    GdiFlush();
}

void TvlSkinCheckRadioBox::DrawFocus(TvlFBitmap& bitmap, RECT around) {
    if (!(Focused() && FCanFocused)) return;
    InflateRect(&around, Px(2), Px(1));
    around.right += Px(1);
    DrawFocusRect(bitmap.Canvas(), &around);
}

void TvlSkinCheckRadioBox::PaintSkin(TvlFBitmap& bitmap) {
    if (!FHasData || !Look.Picture || (!Flat && Look.SkinRect.IsEmpty())) {
        PaintDefault(bitmap);
        return;
    }
    if (!Flat) {
        if (Morphing() && FMorph.Between() && Enabled()) {
            TvlEffectBmp normal;
            TvlFBitmap active;
            normal.SetSize(Width(), Height());
            active.SetSize(Width(), Height());
            DrawRendering(normal, false);
            DrawRendering(active, true);
            normal.MorphKind(FData.MorphKind, active, FMorph.Factor);
            bitmap = std::move(normal);
        } else {
            DrawRendering(bitmap, FMouseOver || Focused() || (Morphing() && FMorph.Factor == 1));
        }
        return;
    }
    TFont font = LookFont(FData.FontName, FData.FontHeight, FData.FontStyle);
    TRect image = CheckImage();
    HDC dc = bitmap.Canvas();
    ParentBackground(bitmap);
    if (!image.IsEmpty()) {
        TvlFBitmap cut(image.Width(), image.Height());
        CopyPiece(cut, 0, 0, PictureView(*Look.Picture), image);
        GdiTransparentBlt(dc, Px(3), Height() / 2 - image.Height() / 2, cut.Width(), cut.Height(), cut.Canvas(), 0, 0,
                          cut.Width(), cut.Height(), cut.Pixel(0, cut.Height() - 1));
    }
    SIZE text = CaptionExtent(dc, font, Caption());
    int left = image.Width() + Px(7);
    int imageWidth = DrawListImage(bitmap, left, Height() / 2);
    if (imageWidth > 0) left += imageWidth + Px(5);
    RECT r{left, Height() / 2 - text.cy / 2, std::min(left + static_cast<int>(text.cx), Width() - Px(2)),
           Height() / 2 - text.cy / 2 + text.cy};
    TCanvas canvas = LookCanvas(bitmap, font, Enabled() ? FData.FrameFontColor : FData.UnEnabledFontColor);
    canvas.TextRect(r, Caption(), DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    DrawFocus(bitmap, Caption().empty() ? RECT{Px(2), Height() / 2 - image.Height() / 2 - Px(1),
                                               image.Width() + Px(4), Height() / 2 + image.Height() / 2 + Px(1)}
                                        : r);
}

void TvlSkinCheckRadioBox::DrawRendering(TvlFBitmap& bitmap, bool active) {
    DrawSkinPicture(bitmap, Look.Picture, active ? FData.ActiveSkinRect : Look.SkinRect);
    if (bitmap.Empty()) bitmap.SetSize(Width(), Height());
    TRect image = CheckImage();
    if (!image.IsEmpty()) {
        TvlFBitmap cut(image.Width(), image.Height());
        CopyPiece(cut, 0, 0, PictureView(*Look.Picture), image);
        const TRect& area = FCheckImageArea;
        GdiTransparentBlt(bitmap.Canvas(), area.Left + (area.Width() - image.Width()) / 2,
                          area.Top + (area.Height() - image.Height()) / 2, cut.Width(), cut.Height(), cut.Canvas(), 0,
                          0, cut.Width(), cut.Height(), cut.Pixel(0, cut.Height() - 1));
    }
    TRect textArea = FTextArea;
    int imageWidth = DrawListImage(bitmap, textArea.Left, (textArea.Top + textArea.Bottom) / 2);
    if (imageWidth > 0) textArea.Left += imageWidth + Px(5);
    TColor colour = !Enabled() ? FData.UnEnabledFontColor : active ? FData.ActiveFontColor : FData.FontColor;
    TCanvas canvas = LookCanvas(bitmap, LookFont(FData.FontName, FData.FontHeight, FData.FontStyle), colour);
    canvas.TextRect(RECT{textArea.Left, textArea.Top, textArea.Right, textArea.Bottom}, Caption(),
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    // A skin's active look is also the hot one: the focus is marked as well.
    DrawFocus(bitmap, RECT{textArea.Left, textArea.Top, textArea.Right, textArea.Bottom});
}

void TvlSkinCheckRadioBox::PaintDefault(TvlFBitmap& bitmap) {
    if (Flat)
        ParentBackground(bitmap);
    else
        bitmap.Fill(ColorToRGB(clBtnFace));
    TCanvas canvas(bitmap.Canvas());
    // A 14-pixel box 3 pixels in at 96 DPI; its outline stays one pixel.
    int boxSize = Px(14), boxLeft = Px(3);
    int boxTop = Height() / 2 - boxSize / 2;
    RECT box{boxLeft, boxTop, boxLeft + boxSize, boxTop + boxSize};
    if (!Flat && (Focused() || FMouseOver)) canvas.FrameRect(RECT{0, 0, Width(), Height()}, clBtnShadow);
    canvas.FillRect(box, clWindow);
    canvas.FrameRect(box, FMouseOver ? kNavy : clBtnShadow);
    TColor mark = Enabled() ? clBlack : clBtnShadow;
    if (FChecked) {
        if (FRadio) {
            canvas.FillRect(RECT{Px(7), Height() / 2 - Px(3), Px(13), Height() / 2 + Px(3)}, mark);
        } else {
            int x = Px(7), y = Height() / 2 - Px(4);
            for (int i = 0; i < Px(3); ++i) {
                canvas.Line(x, y + Px(5) - i, x + Px(2), y + Px(7) - i, mark);
                canvas.Line(x + Px(2), y + Px(7) - i, x + Px(7), y + Px(2) - i, mark);
            }
        }
    }
    TFont font = PlainFont();
    SIZE text = CaptionExtent(bitmap.Canvas(), font, Caption());
    int left = Px(Flat ? 22 : 19);
    int imageWidth = DrawListImage(bitmap, left, Height() / 2);
    if (imageWidth > 0) left += imageWidth + Px(5);
    RECT r{left, Height() / 2 - text.cy / 2, std::min(left + static_cast<int>(text.cx), Width() - Px(2)),
           Height() / 2 - text.cy / 2 + text.cy};
    TCanvas textCanvas = LookCanvas(bitmap, font, Enabled() ? font.Color() : clBtnShadow);
    textCanvas.TextRect(r, Caption(), DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    DrawFocus(bitmap, Caption().empty() ? RECT{boxLeft - Px(1), boxTop - Px(1), boxLeft + boxSize + Px(1),
                                               boxTop + boxSize + Px(1)}
                                        : r);
}

void TvlSkinCheckRadioBox::OnMouse(TMessage& m) {
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!Enabled()) break;
            if (FCanFocused && CanFocus() && !Focused()) {
                SetFocus();
                if (!Focused()) break;
            }
            if (!FMouseOver) {
                FMouseOver = true;
                Invalidate();
            }
            SetCapture(Handle());
            break;
        case WM_LBUTTONUP: {
            if (GetCapture() != Handle()) break;
            ReleaseCapture();
            POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
            if (p.x >= 0 && p.y >= 0 && p.x < Width() && p.y < Height()) Click();
            break;
        }
        default: TvlSkinCustomControl::OnMouse(m); return;
    }
    DefaultHandler(m);
}

void TvlSkinCheckRadioBox::OnKey(TMessage& m) {
    if (m.Msg == WM_KEYUP && m.WParam == VK_SPACE && FCanFocused) {
        Click();
        m.Result = 0;
        return;
    }
    TvlSkinCustomControl::OnKey(m);
}

void TvlSkinCheckRadioBox::MouseEnter() {
    FMouseOver = true;
    Refresh();
    TvlSkinCustomControl::MouseEnter();
}

void TvlSkinCheckRadioBox::MouseLeave() {
    FMouseOver = false;
    Refresh();
    TvlSkinCustomControl::MouseLeave();
}

void TvlSkinCheckRadioBox::BoundsChanged() {
    TvlSkinCustomControl::BoundsChanged();
    if (Flat) Invalidate();  // the background under it changed
}

void TvlSkinCheckRadioBox::WndProc(TMessage& m) {
    switch (m.Msg) {
        case BM_GETCHECK: m.Result = FChecked ? BST_CHECKED : BST_UNCHECKED; break;
        case BM_SETCHECK: SetChecked(m.WParam == BST_CHECKED); break;
        case BM_CLICK: Click(); break;
        case BM_GETSTATE:
            m.Result = (FChecked ? BST_CHECKED : 0) | (Focused() ? BST_FOCUS : 0) | (FMouseOver ? kStateHot : 0);
            break;
        case WM_GETDLGCODE: m.Result = DLGC_BUTTON | (FRadio ? DLGC_RADIOBUTTON : 0); break;
        default: TvlSkinCustomControl::WndProc(m); break;
    }
}
