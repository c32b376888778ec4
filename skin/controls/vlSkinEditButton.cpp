// The button of a skinned edit in button mode: its hit testing, hot and
// pressed states, and the click.
#include <windowsx.h>

#include "skin/controls/vlSkinEdits.h"
#include "core/Property.h"

void TvlSkinEdit::SetButtonMode(bool value) {
    if (!SetIfChanged(FButtonMode, value)) return;
    FButtonHot = FButtonDown = false;
    // The forms are put together in code: the default element follows the
    // mode, an element of the form's own choosing stays.
    if (value && SkinDataName == "edit")
        SkinDataName = "buttonedit";
    else if (!value && SkinDataName == "buttonedit")
        SkinDataName = "edit";
    RecreateWnd();
    if (SkinData() && !SkinData()->IsEmpty())
        SkinChanged();
    else
        RepaintAll();
}

void TvlSkinEdit::RedrawFrame() {
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
}

void TvlSkinEdit::SetButtonState(bool hot, bool down) {
    if (hot == FButtonHot && down == FButtonDown) return;
    FButtonHot = hot;
    FButtonDown = down;
    RedrawFrame();
}

bool TvlSkinEdit::OverButton(POINT screen) const {
    RECT window;
    GetWindowRect(Handle(), &window);
    TRect button = ButtonRect();
    int x = screen.x - window.left, y = screen.y - window.top;
    return x >= button.Left && x < button.Right && y >= button.Top && y < button.Bottom;
}

void TvlSkinEdit::OnNcHitTest(TMessage& m) {
    if (!FButtonMode) {
        TvlSkinEditFrame::OnNcHitTest(m);
        return;
    }
    RECT window;
    GetWindowRect(Handle(), &window);
    int x = GET_X_LPARAM(m.LParam) - window.left, y = GET_Y_LPARAM(m.LParam) - window.top;
    TRect button = ButtonRect(), text = TextArea();
    auto inside = [&](const TRect& r) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; };
    if (inside(button))
        m.Result = vlHitEditButton;
    else if (!inside(text))
        m.Result = vlHitEditFrame;
    else
        TvlSkinEditFrame::OnNcHitTest(m);
}

void TvlSkinEdit::OnNcMouse(TMessage& m) {
    if (!FButtonMode) {
        TvlSkinEditFrame::OnNcMouse(m);
        return;
    }
    bool onButton = m.WParam == static_cast<WPARAM>(vlHitEditButton);
    switch (m.Msg) {
        case WM_NCMOUSEMOVE:
            if (!FTrackingFrame) {
                TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE | TME_NONCLIENT, Handle(), 0};
                FTrackingFrame = TrackMouseEvent(&tme) != FALSE;
            }
            // The pointer on the button is still over the edit: the frame
            // keeps its hovered look.
            if (!FHover) {
                FHover = true;
                RepaintAll();
            }
            SetButtonState(onButton, FButtonDown);
            break;
        case WM_NCMOUSELEAVE: {
            FTrackingFrame = false;
            if (!FButtonDown) SetButtonState(false, false);
            POINT p;
            RECT window;
            GetCursorPos(&p);
            GetWindowRect(Handle(), &window);
            if (FHover && !PtInRect(&window, p)) {
                FHover = false;
                RepaintAll();
            }
            break;
        }
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            // Given to the platform, these codes would start tracking scroll
            // bars the edit does not have.
            if (onButton) {
                SetCapture(Handle());
                SetButtonState(true, true);
            }
            if (onButton || m.WParam == static_cast<WPARAM>(vlHitEditFrame)) {
                m.Result = 0;
                return;
            }
            break;
        case WM_NCLBUTTONUP:
            if (FButtonDown) {
                ReleaseButton(onButton);
                m.Result = 0;
                return;
            }
            break;
        default: break;
    }
    TvlSkinEditFrame::OnNcMouse(m);
}

// While the button is held the mouse is captured: its messages come in
// client coordinates, wherever the pointer is.
void TvlSkinEdit::OnMouse(TMessage& m) {
    if (FButtonMode && FButtonDown && (m.Msg == WM_MOUSEMOVE || m.Msg == WM_LBUTTONUP)) {
        POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        ClientToScreen(Handle(), &p);
        if (m.Msg == WM_MOUSEMOVE)
            SetButtonState(OverButton(p), true);
        else
            ReleaseButton(OverButton(p));
        m.Result = 0;
        return;
    }
    if (FButtonMode && m.Msg == WM_MOUSEMOVE) SetButtonState(false, false);
    TvlSkinEditFrame::OnMouse(m);
}

void TvlSkinEdit::ReleaseButton(bool over) {
    FButtonDown = false;
    FButtonHot = over;
    if (GetCapture() == Handle()) ReleaseCapture();
    RedrawFrame();
    if (!over) return;
    if (!Focused()) SetFocus();
    ButtonClick();
}

void TvlSkinEdit::ButtonClick() {
    if (OnButtonClick) OnButtonClick(this);
}

void TvlSkinEdit::OnCaptureChanged(TMessage& m) {
    if (FButtonDown && reinterpret_cast<HWND>(m.LParam) != Handle()) SetButtonState(false, false);
    TvlSkinEditFrame::OnCaptureChanged(m);
}

void TvlSkinEdit::OnCancelMode(TMessage& m) {
    if (FButtonDown && GetCapture() == Handle()) ReleaseCapture();
    SetButtonState(false, false);
    TvlSkinEditFrame::OnCancelMode(m);
}
