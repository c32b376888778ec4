// Window states, the window commands, the mouse on the frame and its timers.
#include "skin/form/Lacquer.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

#include "core/Errors.h"
#include "core/Property.h"
#include "skin/controls/vlSkinElement.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlRegion.h"
#include "skin/data/vlUtils.h"
#include "skin/form/vlTrayIcon.h"
#include "skin/controls/vlSkinRelay.h"
#include "skin/form/LacquerParts.h"

using namespace vlFrameParts;

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

void TvlLacquer::RecomputeFrame() {
    HWND w = FormWindow();
    if (!w) return;
    // The frame's borders may have changed the client area: WM_SIZE follows
    // only if they did.
    SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    FitFrameToWindow();
}

void TvlLacquer::FitFrameToWindow() {
    RECT r;
    GetWindowRect(FormWindow(), &r);
    FFormWidth = r.right - r.left;
    FFormHeight = r.bottom - r.top;
    if (!FSkinActive)
        PaintFrame();
    else if (FFormWidth >= MinimumWidth() && FFormHeight >= MinimumHeight())
        UpdateFrame();
}

TRect TvlLacquer::MinimizedSlot() {
    TRect area = GetMonitorArea(FormWindow(), true);
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
        TRect area = GetMonitorArea(w, !MaximizeOnFullScreen);
        TRect full = GetMonitorArea(w, false);
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
            // Without a tray icon, minimizing to the tray does nothing.
            if (AlwaysMinimizeToTray) {
                MinimizeToTray();
                break;
            }
            SetFrameWindowState(FFrameWindowState == fwsMinimized ? fwsNormal : fwsMinimized);
            break;
        case cmRollUp: SetRollUp(!FRollUpState); break;
        case cmMinimizeToTray: MinimizeToTray(); break;
        default: break;
    }
}

void TvlLacquer::Snap(RECT& r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    TRect area = GetMonitorArea(FormWindow(), true);
    TPoint p = vlFrame::SnapToArea(r.left, r.top, w, h, area, MagneticSize);
    RECT fr;
    GetWindowRect(FormWindow(), &fr);
    r = {p.X, p.Y, p.X + (fr.right - fr.left), p.Y + (fr.bottom - fr.top)};
}

// ---- Window commands -----------------------------------------------------------------

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
    } else if (name == "LQR_MINTOTRAY") {
        MinimizeToTray();
    } else if (name == "TRAY_LQR_RESTORE") {
        RestoreFromTray();
    } else if (name == "LQR_CLOSE" || name == "TRAY_LQR_CLOSE") {
        FForm->Close();
    }
}

void TvlLacquer::SetTrayIcon(TvlTrayIcon* icon) {
    FTrayIcon.Set(icon);
    if (!icon) return;
    if (!AlwaysShowInTray) icon->SetIconVisible(false);
    icon->MinimizeToTray = false;
    if (!icon->PopupMenu) icon->PopupMenu = FMenus->TrayMenu();
    if (!icon->OnDblClick) icon->OnDblClick = [this](TObject*) { RestoreFromTray(); };
}

void TvlLacquer::MinimizeToTray() {
    TvlTrayIcon* icon = FTrayIcon.get();
    if (!icon) return;
    icon->MinimizeToTray = true;
    icon->HideMainForm();
    if (OnMinimizeToTray) OnMinimizeToTray(this);
}

void TvlLacquer::RestoreFromTray() {
    TvlTrayIcon* icon = FTrayIcon.get();
    if (!icon) return;
    icon->MinimizeToTray = false;
    icon->ShowMainForm();
    if (HWND w = FormWindow()) SetForegroundWindow(w);
    if (!AlwaysShowInTray) icon->HideIcon();
    if (OnRestoreFromTray) OnRestoreFromTray(this);
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
        if (o->Enabled && o->Visible && o->ObjectRect.Contains(x, y)) {
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
        if (o->Enabled && o->Visible) {
            o->MouseLeave();
            if (!o->Hint.empty()) HideObjectHint();
        }
    }
    if (now >= 0) {
        TvlActiveSkinObject* o = FObjects[static_cast<size_t>(now)].get();
        o->MouseEnter();
        if (ShowObjectHint) FMenus->ShowObjectHint(o->Hint);
    }
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
    if (!client.Contains(x, y))
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

void TvlLacquer::SetAlphaBlend(bool value) {
    if (!SetIfChanged(FAlphaBlend, value)) return;
    HWND w = FormWindow();
    // A hidden window takes it when it is shown.
    if (!w || !IsWindowVisible(w) || !SupportsLayeredWindows()) return;
    LONG_PTR ex = GetWindowLongPtrA(w, GWL_EXSTYLE);
    if (value) {
        SetWindowLongPtrA(w, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        SetWindowAlpha(w, FAlphaBlendValue);
    } else {
        SetWindowLongPtrA(w, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

void TvlLacquer::SetAlphaBlendValue(uint8_t value) {
    FAlphaBlendValue = value;
    HWND w = FormWindow();
    if (FAlphaBlend && w && IsWindowVisible(w) && SupportsLayeredWindows()) SetWindowAlpha(w, value);
}

void TvlLacquer::FadeIn() {
    HWND w = FormWindow();
    FFadeTimer.Stop();
    if (!w) return;
    int target = AlphaBlendAnimation && !FAlphaBlend ? 255 : FAlphaBlendValue;
    if (AlphaBlendAnimation) {
        std::shared_ptr<bool> alive = FAlive;
        if (Application) Application->ProcessMessages();
        // The window may have gone while the messages ran.
        if (!*alive || !IsWindow(w)) return;
        for (int a = 5;; a += 5) {
            SetWindowAlpha(w, std::min(a, target));
            if (a >= target) break;
        }
    } else if (FAlphaBlendValue < 255) {
        SetWindowAlpha(w, FAlphaBlendValue);
    }
    if (target >= 255) SetWindowLongPtrA(w, GWL_EXSTYLE, GetWindowLongPtrA(w, GWL_EXSTYLE) & ~WS_EX_LAYERED);
}

