// The list box's caption bar: its place, its text and its up, down and
// check buttons.
#include "skin/controls/vlSkinListBox.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/controls/vlHeldPart.h"
#include "skin/data/vlCompose.h"

int TvlSkinListBox::CaptionBarHeight() const {
    if (!FCaptionMode || (FHasData && !FData.CaptionRect.IsEmpty())) return 0;
    return Px(FDefaultCaptionHeight);
}

TRect TvlSkinListBox::CaptionRect() const {
    if (!FCaptionMode) return {};
    if (!FHasData) return {1, 1, Width() - 1, Px(FDefaultCaptionHeight) + 1};
    if (!FData.CaptionRect.IsEmpty()) return MapSkinRect(FData.CaptionRect);
    TRect area = ListArea();
    return {area.Left, area.Top - Px(FDefaultCaptionHeight), area.Right, area.Top};
}

void TvlSkinListBox::SetCaptionMode(bool v) {
    if (v == FCaptionMode) return;
    FCaptionMode = v;
    ReadElement();
    FitHeight();
    Realign();
    UpdateScrollBars();
    Invalidate();
}

void TvlSkinListBox::SetDefaultCaptionHeight(int v) {
    if (v < 0 || v == FDefaultCaptionHeight) return;
    FDefaultCaptionHeight = v;
    if (!FCaptionMode) return;
    FitHeight();
    Realign();
    UpdateScrollBars();
    Invalidate();
}

void TvlSkinListBox::SetAlignment(TAlignment v) {
    FAlignment = v;
    if (FCaptionMode) Invalidate();
}

void TvlSkinListBox::SetCaption(const std::string& text) {
    TvlSkinCustomControl::SetCaption(text);
    if (FCaptionMode) Invalidate();
}

void TvlSkinListBox::PaintCaption(TvlFBitmap& bitmap) {
    TRect r = CaptionRect();
    if (r.IsEmpty() || Caption().empty()) return;
    bool skinFont = FHasData && UseSkinFont;
    TFont font = skinFont ? LookFont(FData.CaptionFont.FontName, FData.CaptionFont.FontHeight, FData.CaptionFont.FontStyle)
                          : DefaultCaptionFont;
    if (!skinFont && SkinData() && SkinData()->ResourceStrData())
        font.SetCharSet(SkinData()->ResourceStrData()->CharSet);
    TColor colour = FHasData ? static_cast<TColor>(FData.CaptionFont.FontColor) : DefaultCaptionFont.Color();
    TCanvas canvas = LookCanvas(bitmap, font, colour);
    RECT text{r.Left + 2, r.Top, r.Right - 2, r.Bottom};
    // The text stops short of the buttons that sit on the bar.
    for (int i : {cbUp, cbDown, cbCheck}) {
        TRect b = CaptionButtonRect(i);
        if (!b.IsEmpty() && b.Top < r.Bottom && b.Bottom > r.Top && b.Left > r.Left + r.Width() / 2)
            text.right = std::min<LONG>(text.right, b.Left - 2);
    }
    unsigned align = FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
    canvas.TextRect(text, Caption(), align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    GdiFlush();
}


// ---- Caption buttons ----

TRect TvlSkinListBox::CaptionButtonRect(int button) const {
    if (!FCaptionMode || !FHasData || button < cbUp || button > cbCheck) return {};
    const TRect& place = button == cbUp ? FData.UpButtonRect : button == cbDown ? FData.DownButtonRect : FData.CheckButtonRect;
    return place.IsEmpty() ? TRect{} : MapSkinRect(place);
}

int TvlSkinListBox::CaptionButtonAt(int x, int y) const {
    for (int i : {cbUp, cbDown, cbCheck})
        if (CaptionButtonRect(i).Contains(x, y)) return i;
    return -1;
}

// The element's picture shows each button at rest; under the pointer it
// takes the active look, pressed the down look (the active one when empty).
void TvlSkinListBox::PaintCaptionButtons(TvlFBitmap& bitmap) {
    if (!FHasData || !Look.Picture || !Enabled()) return;
    struct Looks {
        const TRect& Active;
        const TRect& Down;
    };
    const Looks looks[3] = {{FData.ActiveUpButtonRect, FData.DownUpButtonRect},
                            {FData.ActiveDownButtonRect, FData.DownDownButtonRect},
                            {FData.ActiveCheckButtonRect, FData.DownCheckButtonRect}};
    for (int i : {cbUp, cbDown, cbCheck}) {
        const TvlSkinPart& part = FCaptionButtons[i];
        TRect r = CaptionButtonRect(i);
        if (r.IsEmpty() || !part.MouseIn) continue;
        const TRect& source = part.Down && !looks[i].Down.IsEmpty() ? looks[i].Down : looks[i].Active;
        if (!source.IsEmpty()) CopyPiece(bitmap, r.Left, r.Top, PictureView(*Look.Picture), source);
    }
}

void TvlSkinListBox::SetCaptionHover(int button) {
    if (FCaptionCaptured >= 0 && button != FCaptionCaptured) button = -1;
    if (button == FCaptionHovered) return;
    if (FCaptionHovered >= 0) FCaptionButtons[FCaptionHovered].MouseIn = false;
    if (button >= 0) FCaptionButtons[button].MouseIn = true;
    FCaptionHovered = button;
    Invalidate();
}

// Over the caption's buttons the pointer lights them; a press holds one
// until the release.
void TvlSkinListBox::OnMouse(TMessage& m) {
    TvlSkinCustomControl::OnMouse(m);
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    int under = Enabled() ? CaptionButtonAt(p.x, p.y) : -1;
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (under < 0) return;
            FCaptionCaptured = under;
            FCaptionButtons[under].Down = true;
            SetCapture(Handle());
            SetCaptionHover(under);
            Invalidate();
            return;
        case WM_MOUSEMOVE: SetCaptionHover(under); return;
        case WM_MOUSELEAVE:
            if (FCaptionCaptured < 0) SetCaptionHover(-1);
            return;
        case WM_LBUTTONUP:
            ReleaseCaptionButton(true, p.x, p.y);
            SetCaptionHover(under);
            return;
        default: return;
    }
}

void TvlSkinListBox::ReleaseCaptionButton(bool click, int x, int y) {
    int captured = ReleaseHeldPart(*this, FCaptionCaptured, FCaptionButtons);
    if (captured < 0 || !click || CaptionButtonAt(x, y) != captured) return;
    TNotifyEvent& event = captured == cbUp ? OnUpButtonClick : captured == cbDown ? OnDownButtonClick : OnCheckButtonClick;
    if (event) event(this);
}

void TvlSkinListBox::OnCancelMode(TMessage& m) {
    ReleaseCaptionButton(false, -1, -1);
    TvlSkinCustomControl::OnCancelMode(m);
}

void TvlSkinListBox::OnCaptureChanged(TMessage& m) {
    if (reinterpret_cast<HWND>(m.LParam) != Handle()) {
        ReleaseCaptionButton(false, -1, -1);
        SetCaptionHover(-1);
    }
    TvlSkinCustomControl::OnCaptureChanged(m);
}

void TvlSkinListBox::SetEnabled(bool v) {
    if (!v) {
        ReleaseCaptionButton(false, -1, -1);
        SetCaptionHover(-1);
    }
    TvlSkinCustomControl::SetEnabled(v);
    Invalidate();
}
