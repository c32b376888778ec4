#include <windowsx.h>

#include <algorithm>

#include "skin/controls/vlLookPieces.h"
#include "core/Property.h"
#include "skin/controls/vlSkinEdits.h"
#include "skin/data/vlCompose.h"

TvlSkinMemo::TvlSkinMemo(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
    : TvlSkinEditFrame(owner, parent, left, top, width, height) {
    SkinDataName = "memo";
    FSingleLine = false;
    Font = DefaultFont;
    EnsureWheelRouting();
}

TvlSkinMemo::~TvlSkinMemo() {
    if (FVBar && FVBar->WheelControl == this) FVBar->WheelControl = nullptr;
}

void TvlSkinMemo::CreateParams(TCreateParams& params) {
    TvlSkinEditFrame::CreateParams(params);
    params.Style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    params.Style &= ~(WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL | WS_BORDER);
    params.ExStyle &= ~(WS_EX_CLIENTEDGE | WS_EX_TRANSPARENT);
}

// The picture's background is drawn by the memo on every erase; the text then
// goes over it transparently, and the memo repaints whole when it scrolls.
void TvlSkinMemo::SetBitMapBG(bool value) {
    if (!SetIfChanged(FBitMapBG, value)) return;
    FTransparent = value;
    RecreateWnd();
    UpdateScrollBar();
    RepaintAll();
}

void TvlSkinMemo::EraseBackground(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    TvlFBitmap bitmap(client.right, client.bottom);
    ReadElement();
    if (FHasData) {
        const TRect& source = FHover || Focused() ? FData.ActiveSkinRect : FLook.SkinRect;
        const TRect& c = FLook.SkinClientRect;
        TRect part{source.Left + c.Left, source.Top + c.Top, source.Left + c.Right, source.Top + c.Bottom};
        TilePiece(bitmap, {0, 0, client.right, client.bottom}, PictureView(*FLook.Picture), part);
    } else {
        bitmap.Fill(BackgroundColour());
    }
    bitmap.DrawTo(dc, 0, 0);
}

COLORREF TvlSkinMemo::TextColour() const {
    return Enabled() ? TvlSkinEditFrame::TextColour() : ColorToRGB(clGrayText);
}

void TvlSkinMemo::SkinChanged() {
    TakeElementAndFont();
    FrameChanged();
    UpdateScrollBar();
    RepaintAll();
}

void TvlSkinMemo::OnNcCalcSize(TMessage& m) {
    auto* r = reinterpret_cast<RECT*>(m.LParam);
    TRect c = FHasData ? FLook.SkinClientRect : TRect{2, 2, 0, 0};
    int right = FHasData ? FLook.SkinRect.Width() - c.Right : 2;
    int bottom = FHasData ? FLook.SkinRect.Height() - c.Bottom : 2;
    r->left += c.Left;
    r->top += c.Top;
    r->right = std::max(r->left, static_cast<LONG>(r->right - right));
    r->bottom = std::max(r->top, static_cast<LONG>(r->bottom - bottom));
    m.Result = 0;
}

void TvlSkinMemo::ComposeFrame(TvlFBitmap& bitmap) {
    ReadElement();
    int W = Width(), H = Height();
    bitmap.SetSize(W, H);
    if (!FHasData) {
        vlLookPieces::FrameBox(bitmap, {0, 0, W, H}, ColorToRGB(clBtnShadow), ColorToRGB(clBtnFace));
        vlLookPieces::FillBox(bitmap, {2, 2, W - 2, H - 2}, BackgroundColour());
        return;
    }
    int w = W, h = H;
    TvlSkinLook fitted = FLook;
    fitted.AdjustToSkinSize(w, h);
    fitted.DrawSkinPicture(bitmap, FLook.Picture, FHover || Focused() ? FData.ActiveSkinRect : FLook.SkinRect, W, H);
}

void TvlSkinMemo::OnNcPaint(TMessage& m) {
    TvlFBitmap bitmap;
    ComposeFrame(bitmap);
    if (bitmap.Empty()) {
        m.Result = 0;
        return;
    }
    HDC dc = GetWindowDC(Handle());
    RECT client;
    GetClientRect(Handle(), &client);
    MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT window;
    GetWindowRect(Handle(), &window);
    OffsetRect(&client, -window.left, -window.top);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    bitmap.DrawTo(dc, 0, 0);
    ReleaseDC(Handle(), dc);
    m.Result = 0;
}

COLORREF TvlSkinMemo::BackgroundColour() const {
    if (!FHasData) return ColorToRGB(clWindow);
    return FHover || Focused() ? FData.ActiveBGColor : FData.BGColor;
}

bool TvlSkinMemo::OnReflected(TMessage& m) {
    if (m.Msg != WM_CTLCOLOREDIT && m.Msg != WM_CTLCOLORSTATIC) return TvlSkinEditFrame::OnReflected(m);
    if (FBitMapBG) return TvlSkinEditFrame::OnReflected(m);
    return AnswerColours(m, BackgroundColour());
}

void TvlSkinMemo::SetVScrollBar(TvlSkinScrollBar* bar) {
    FVBar.Set(bar);
    if (!bar) return;
    bar->SetRange(0, 0, 0, 0);
    bar->WheelControl = this;
    bar->OnChange = [this](TObject*) {
        if (!HandleAllocated() || !FVBar) return;
        // Without its own bar the native memo reads a thumb position as a
        // percentage, so the bar scrolls by lines.
        int first = static_cast<int>(SendMessageA(Handle(), EM_GETFIRSTVISIBLELINE, 0, 0));
        SendMessageA(Handle(), EM_LINESCROLL, 0, FVBar->Position() - first);
        // The picture behind the text must not scroll with it.
        if (FBitMapBG)
            InvalidateUnder();
        else
            Invalidate();
    };
    UpdateScrollBar();
}

void TvlSkinMemo::Notification(TComponent* component, bool removing) {
    TvlSkinEditFrame::Notification(component, removing);
    if (removing) FVBar.Removed(component);
}

int TvlSkinMemo::VisibleLines() const {
    if (!HandleAllocated()) return 1;
    RECT client;
    GetClientRect(Handle(), &client);
    HDC dc = GetDC(Handle());
    int textHeight;
    {
        SelectGuard g(dc, Font.Handle());
        SIZE s{};
        GetTextExtentPoint32A(dc, "Wq", 2, &s);
        textHeight = s.cy;
    }
    ReleaseDC(Handle(), dc);
    return client.bottom / (textHeight > 0 ? textHeight : 1);
}

// The page is the visible lines plus one, as the bar has always shown it.
void TvlSkinMemo::UpdateScrollBar() {
    TvlSkinScrollBar* bar = FVBar.get();
    if (!bar || !HandleAllocated()) return;
    if (!Enabled()) {
        bar->SetEnabled(false);
        return;
    }
    int visible = VisibleLines();
    int lines = static_cast<int>(SendMessageA(Handle(), EM_GETLINECOUNT, 0, 0));
    int first = static_cast<int>(SendMessageA(Handle(), EM_GETFIRSTVISIBLELINE, 0, 0));
    if (visible < lines) {
        bar->SetRange(0, lines, visible + 1, first);
        bar->SetEnabled(true);
    } else {
        bar->SetRange(0, 0, 0, 0);
        bar->SetEnabled(false);
    }
}

void TvlSkinMemo::OnMouseWheel(TMessage& m) {
    short delta = GET_WHEEL_DELTA_WPARAM(m.WParam);
    SendMessageA(Handle(), WM_VSCROLL, delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
    UpdateScrollBar();
    m.Result = 0;
}

void TvlSkinMemo::WndProc(TMessage& m) {
    TvlSkinEditFrame::WndProc(m);
    switch (m.Msg) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS: RepaintAll(); [[fallthrough]];
        case WM_ENABLE:
        case WM_SIZE:
        case WM_SETTEXT:
        case WM_VSCROLL:
        case WM_LBUTTONUP:
        case WM_CUT:
        case WM_PASTE:
        case WM_CLEAR:
        case WM_UNDO:
        case WM_CHAR:
        case WM_KEYDOWN: UpdateScrollBar(); break;
        case WM_MOUSEMOVE:
            if (m.WParam & MK_LBUTTON) UpdateScrollBar();
            break;
        default: break;
    }
}
