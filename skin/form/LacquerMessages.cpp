// The frame's window procedure: one short case per message, each handled by
// a named handler below.
#include <windowsx.h>

#include <memory>

#include "skin/controls/vlFormSkinQuery.h"
#include "skin/controls/vlSkinRelay.h"
#include "skin/data/vlUtils.h"
#include "skin/form/Lacquer.h"
#include "skin/form/LacquerParts.h"
#include "toolkit/FormMessages.h"

using namespace vlFrameParts;

void TvlLacquer::WrappedWndProc(TMessage& m) {
    if (DismissesMenus(m)) {
        HideObjectHint();
        if (!FMenus->CloseMenusFor(m, FormWindow())) return;
    }
    switch (m.Msg) {
        case WM_NCCREATE:
        case WM_CREATE: OnCreate(m); return;
        case WM_DESTROY: OnDestroyWindow(m); return;
        case WM_SIZE: OnSize(m); return;
        case WM_ACTIVATE: OnActivateMessage(m); return;
        case WM_SETTEXT: OnSetText(m); return;
        case WM_ERASEBKGND:
        case TM_PAINTBACKGROUND: OnPaintBackground(m); return;
        case WM_SHOWWINDOW: OnShowWindow(m); return;
        case WM_SETCURSOR: OnSetCursor(m); return;
        case WM_GETMINMAXINFO: OnGetMinMaxInfo(m); return;
        case WM_NCCALCSIZE: OnNcCalcSize(m); return;
        case WM_NCHITTEST: OnNcHitTest(m); return;
        case WM_NCPAINT: OnNcPaint(m); return;
        case WM_NCACTIVATE: OnNcActivate(m); return;
        case WM_SYNCPAINT: OnSyncPaint(m); return;
        case WM_SYSCOMMAND: OnSysCommand(m); return;
        case WM_TIMER: OnTimer(m); return;
        case WM_SIZING: OnSizing(m); return;
        case WM_MOVING: OnMoving(m); return;
        case WM_ENTERSIZEMOVE: OnEnterSizeMove(m); return;
        case WM_EXITSIZEMOVE: OnExitSizeMove(m); return;
        case WM_SKINCHANGING: OnSkinChanging(m); return;
        case WM_SKINCHANGED: OnSkinChanged(m); return;
        case WM_DPICHANGED: OnDpiChanged(m); return;
        case TM_FORMSCALED: OnFormScaled(m); return;
        case WM_SKINSTRINGSCHANGED: OnSkinStringsChanged(m); return;
        case WM_CLOSESKINMENUS: OnCloseSkinMenus(m); return;
        case TM_POPUPMENU: OnPopupMenuRequest(m); return;
        case TM_FORMSKIN: m.Result = reinterpret_cast<LRESULT>(SkinData()); return;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP: OnButtonUp(m); return;
        case WM_NCRBUTTONDOWN: OnNcRButtonDown(m); return;
        case WM_NCRBUTTONUP: OnNcRButtonUp(m); return;
        case WM_NCMOUSEMOVE:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDBLCLK: OnNcButton(m); return;
        default: CallPrevious(m); return;
    }
}

void TvlLacquer::OnCreate(TMessage& m) {
    // The frame is ours: the window's own caption and border icons go.
    CallPrevious(m);
    if (HWND w = FormWindow())
        SetWindowLongPtrA(w, GWL_STYLE,
                          GetWindowLongPtrA(w, GWL_STYLE) & ~(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
}

void TvlLacquer::OnDestroyWindow(TMessage& m) {
    StopTimers();
    CallPrevious(m);
}

void TvlLacquer::OnSize(TMessage& m) {
    HWND w = FormWindow();
    if (FSizeMoveActive && FFullDrag) {
        // WM_SIZING has fitted the frame to the dragged size already.
        if (!LogoBitMap.Empty()) InvalidateRect(w, nullptr, TRUE);
        CallPrevious(m);
        return;
    }
    CallPrevious(m);
    FitFrameToWindow();
    // A translucent window shows what lay below it: frame and form are drawn again.
    if (FAlphaBlend && FAlphaBlendValue < 255 && SupportsLayeredWindows()) {
        SendMessageA(w, WM_NCPAINT, 1, 0);
        InvalidateRect(w, nullptr, TRUE);
    }
    // A centred logo moves with the client size.
    if (!LogoBitMap.Empty()) InvalidateRect(w, nullptr, TRUE);
}

void TvlLacquer::OnActivateMessage(TMessage& m) {
    CallPrevious(m);
    // The frame's activation usually came with WM_NCACTIVATE and is shown
    // already: a second whole-frame paint only when something changed. A
    // window just shown paints its frame at the WM_NCPAINT that follows.
    bool changed = ResetObjectsDisplay();
    changed |= TakeCaptionActivation(true);
    if (FComposedActive.has_value() && (changed || *FComposedActive != IsFrameActive())) PaintFrame();
    TellActivation();
}

void TvlLacquer::OnSetText(TMessage& m) {
    CallPrevious(m);
    PaintFrame();
}

void TvlLacquer::OnPaintBackground(TMessage& m) {
    PaintClientBackground(reinterpret_cast<HDC>(m.WParam));
    m.Result = 1;
}

void TvlLacquer::OnShowWindow(TMessage& m) {
    HWND w = FormWindow();
    bool layered = SupportsLayeredWindows();
    if (m.WParam && (FAlphaBlend || AlphaBlendAnimation) && layered) {
        SetWindowLongPtrA(w, GWL_EXSTYLE, GetWindowLongPtrA(w, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetWindowAlpha(w, 0);
        FFadeTimer.Start(w);
    }
    if (m.WParam) {
        CallPrevious(m);
        // The frame recomputes for the shown window. Only the frame: the
        // client area keeps its size, so the form is not laid out again
        // (a width changed and put back laid it out twice).
        RecomputeFrame();
        return;
    }
    if (FAlphaBlend && layered) SetWindowLongPtrA(w, GWL_EXSTYLE, GetWindowLongPtrA(w, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    CallPrevious(m);
}

void TvlLacquer::OnSetCursor(TMessage& m) {
    if (UseFormCursorInNCArea) {
        int hit = LOWORD(m.LParam);
        if (hit != HTCLIENT && !(hit >= HTLEFT && hit <= HTBOTTOMRIGHT))
            m.LParam = MAKELPARAM(HTCLIENT, HIWORD(m.LParam));
    }
    CallPrevious(m);
}

void TvlLacquer::OnGetMinMaxInfo(TMessage& m) {
    auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
    info->ptMinTrackSize = {MinimumWidth(), MinimumHeight()};
    info->ptMaxTrackSize = {MaximumWidth(), MaximumHeight()};
    CallPrevious(m);
}

void TvlLacquer::OnNcCalcSize(TMessage& m) {
    RECT* r = m.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0] : reinterpret_cast<RECT*>(m.LParam);
    TvlSkinData* sd = SkinData();
    if (FSkinActive) {
        r->left += sd->ClientRect.Left;
        r->top += sd->ClientRect.Top;
        r->right -= sd->MainPicture.Width - sd->ClientRect.Right;
        r->bottom -= sd->MainPicture.Height - sd->ClientRect.Bottom;
    } else {
        int border = ScaleForDpi(kBuiltInBorder, FrameDpi());
        r->left += border;
        r->top += BuiltInCaptionHeight() + border;
        r->right -= border;
        r->bottom -= border;
    }
    if (r->right < r->left) r->right = r->left;
    if (r->bottom < r->top) r->bottom = r->top;
    m.Result = 0;
}

void TvlLacquer::OnNcHitTest(TMessage& m) {
    POINT p = WindowPoint(m.LParam);
    m.Result = HitTest(p.x, p.y);
    if (m.Result == HTOBJECT && !FHoverTimer.Enabled()) {
        UpdateActiveObject(p.x, p.y, true);
        FHoverTimer.Start(FormWindow());
    }
}

void TvlLacquer::OnNcPaint(TMessage& m) {
    PaintFrame();
    m.Result = 0;
}

void TvlLacquer::OnNcActivate(TMessage& m) {
    FFrameActive = m.WParam != 0;
    m.Result = 1;
    RepaintForActivation();
}

void TvlLacquer::OnSyncPaint(TMessage& m) {
    if (!FRollUpState) {
        CallPrevious(m);
        return;
    }
    PaintFrame();
    m.Result = 0;
}

void TvlLacquer::OnSysCommand(TMessage& m) {
    HWND w = FormWindow();
    switch (m.WParam & 0xFFF0) {
        case SC_KEYMENU:
            // Alt alone: the menu bar's keyboard mode, or out of it.
            if (m.LParam == 0 && FMenus->AltKey()) break;
            // Alt+Space: the system menu below the caption's left end.
            if (m.LParam == ' ') {
                RECT r;
                GetWindowRect(w, &r);
                TRect client = FrameClientRect();
                PopupSystemMenu(r.left + client.Left, r.top + client.Top);
            }
            break;
        case SC_MAXIMIZE: SetFrameWindowState(fwsMaximized); break;
        case SC_RESTORE:
            if (IsIconic(w)) {
                CallPrevious(m);
                return;
            }
            RunSystemMenuItem("LQR_RESTORE");
            break;
        case SC_MINIMIZE: RunCommand(cmMinimize); break;
        default: CallPrevious(m); return;
    }
    m.Result = 0;
}

void TvlLacquer::OnTimer(TMessage& m) {
    if (m.WParam == FHoverTimer.Id())
        OnHoverTimer();
    else if (m.WParam == FBlendTimer.Id())
        OnMorphTimer();
    else if (m.WParam == FAnimateTimer.Id())
        OnAnimateTimer();
    else if (m.WParam == FFadeTimer.Id() && FFadeTimer.Enabled())
        FadeIn();
    else
        CallPrevious(m);
}

void TvlLacquer::OnSizing(TMessage& m) {
    CallPrevious(m);
    if (!FSizeMoveActive || !FFullDrag) return;
    auto* r = reinterpret_cast<RECT*>(m.LParam);
    FFormWidth = r->right - r->left;
    FFormHeight = r->bottom - r->top;
    if (FFormWidth >= MinimumWidth() && FFormHeight >= MinimumHeight()) UpdateFrame();
    m.Result = TRUE;
}

void TvlLacquer::OnMoving(TMessage& m) {
    auto* r = reinterpret_cast<RECT*>(m.LParam);
    if (FFrameWindowState == fwsMaximized)
        GetWindowRect(FormWindow(), r);  // a maximized window stays where it is
    else if (Magnetic)
        Snap(*r);
    CallPrevious(m);
    m.Result = TRUE;
}

void TvlLacquer::OnEnterSizeMove(TMessage& m) {
    ResetObjectsDisplay();
    FHoverTimer.Stop();
    FHotObjectIndex = FCaptureObject = -1;
    FSizeMoveActive = true;
    BOOL full = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    FFullDrag = full != FALSE;
    CallPrevious(m);
}

void TvlLacquer::OnExitSizeMove(TMessage& m) {
    FHoverTimer.Stop();
    FHotObjectIndex = FCaptureObject = -1;
    if (FSkinActive) PaintFrame();
    CallPrevious(m);
}

void TvlLacquer::OnSkinChanging(TMessage& m) {
    auto* sender = reinterpret_cast<TvlSkinData*>(m.WParam);
    if (sender && sender == SkinData()) {
        FSkinActive = false;
        FHoverTimer.Stop();
        FBlendTimer.Stop();
        FAnimateTimer.Stop();
        FreeObjects();
    }
    CallPrevious(m);
}

void TvlLacquer::OnSkinChanged(TMessage& m) {
    auto* sender = reinterpret_cast<TvlSkinData*>(m.WParam);
    if (sender && sender == SkinData()) ApplySkin();
    CallPrevious(m);
}

void TvlLacquer::OnDpiChanged(TMessage& m) {
    // The form lays itself out again at the new DPI in the suggested
    // rectangle, then tells the frame (TM_FORMSCALED), which reads its skin
    // at that DPI; laid out first, the form never takes the new skin's
    // lengths for old ones.
    if (!FSkinActive) {
        BuiltInCaptionLayout();
        if (HWND w = FormWindow())
            SetWindowPos(w, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    CallPrevious(m);
    PaintFrame();
}

void TvlLacquer::OnFormScaled(TMessage& m) {
    CallPrevious(m);  // the controls' skins first
    int dpi = static_cast<int>(m.WParam);
    for (TvlSkinData* sd : {SkinData(), MenusSkinData()})
        if (sd && sd->Dpi() != dpi) sd->SetDpi(dpi);
}

void TvlLacquer::OnSkinStringsChanged(TMessage& m) {
    RefreshHints();
    FMenus->RebuildTrayMenu();
    CallPrevious(m);
}

void TvlLacquer::OnCloseSkinMenus(TMessage& m) {
    if (FMenus->InMenu()) FMenus->MenuClosed();
    CallPrevious(m);
}

void TvlLacquer::OnPopupMenuRequest(TMessage& m) {
    m.Result = FMenus->ShowControlMenu(*reinterpret_cast<const TPopupMenuRequest*>(m.LParam)) ? 1 : 0;
}

void TvlLacquer::OnButtonUp(TMessage& m) {
    if (FCaptureObject >= 0) {
        // The capture made the release arrive in the client area.
        std::shared_ptr<bool> alive = FAlive;
        ObjectMouseUp(-1, -1, m.Msg == WM_LBUTTONUP ? mbLeft : mbRight);
        if (!*alive) return;
    }
    CallPrevious(m);
}

void TvlLacquer::OnNcRButtonDown(TMessage& m) {
    if (m.WParam == HTCAPTION) {
        // The platform would wait for the release in a loop of its own and
        // then offer its context menu; the frame's system menu opens on the
        // press instead.
        NcMouse(m, HTCAPTION);
        return;
    }
    CallPrevious(m);
    NcMouse(m, static_cast<int>(m.WParam));
}

void TvlLacquer::OnNcRButtonUp(TMessage& m) {
    // The caption's context menu is the frame's system menu, opened on the
    // press; the platform's own does not follow.
    NcMouse(m, static_cast<int>(m.WParam));
}

void TvlLacquer::OnNcButton(TMessage& m) {
    std::shared_ptr<bool> alive = FAlive;
    int hit = static_cast<int>(m.WParam);
    CallPrevious(m);
    if (*alive) NcMouse(m, hit);
}
