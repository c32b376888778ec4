#include "skin/form/Lacquer.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "core/Errors.h"
#include "skin/controls/vlSkinElement.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlRegion.h"
#include "skin/data/vlUtils.h"
#include "skin/form/vlSkinMessages.h"
#include "skin/form/LacquerParts.h"

using namespace vlFrameParts;

// ---- Portable helpers ----------------------------------------------------

namespace vlFrame {

bool PointInRects(const std::vector<TRect>& rects, int x, int y) {
    for (const TRect& r : rects)
        if (Inside(r, x, y)) return true;
    return false;
}

TPoint SnapToArea(int left, int top, int w, int h, const TRect& area, int m) {
    if (std::abs(left - area.Left) < m) left = area.Left;
    if (std::abs(top - area.Top) < m) top = area.Top;
    if (std::abs(left + w - area.Right) < m) left = area.Right - w;
    if (std::abs(top + h - area.Bottom) < m) top = area.Bottom - h;
    return {left, top};
}

TPoint FreeMinimizedSlot(const TRect& area, int w, int h, const std::function<bool(TPoint)>& occupied) {
    // A size below 1 would never move on: count it as 1, and stop after as
    // many slots as the area holds in any case.
    w = std::max(w, 1);
    h = std::max(h, 1);
    TPoint p{area.Left, area.Bottom - h};
    long long slots = (static_cast<long long>(std::max(1, area.Width() / w)) + 1) *
                      (static_cast<long long>(std::max(1, area.Height() / h)) + 1);
    slots = std::min<long long>(slots, 100000);
    for (long long i = 0; i < slots && occupied(p); ++i) {
        p.X += w;
        if (p.X + w > area.Right) {
            p.X = area.Left;
            p.Y -= h;
            if (p.Y < area.Top) return {area.Left, area.Bottom - h};
        }
    }
    return p;
}

}  // namespace vlFrame

// ---- The frame -----------------------------------------------------------

TvlLacquer::TvlLacquer(TComponent* owner) : TWindowProcWrapper(owner), FForm(dynamic_cast<TForm*>(owner)) {
    if (!FForm) throw Exception("The frame component belongs on a form");
    Name = "vlLacquer";
    MonitorArea = [](HWND w, bool workArea) { return GetMonitorArea(w, workArea); };
    LayeredSupported = [] { return SupportsLayeredWindows(); };
    SetAlpha = [](HWND w, int alpha) { SetWindowAlpha(w, alpha); };
    AllFrames().push_back(this);
    FSkinMenu = new TvlSkinMenu(this, FForm);
    FSkinMenu->WorkAreaOf = [this](HWND w) { return MonitorArea(w, true); };
    FSkinMenu->LayeredSupported = [this] { return LayeredSupported(); };
    FSkinMenu->SetAlpha = [this](HWND w, int alpha) { SetAlpha(w, alpha); };
    FSystemMenu = new TPopupMenu(this);
    FSystemMenu->Name = "SystemMenu";
    FTrayMenu = new TvlSkinPopupMenu(this);
    FTrayMenu->Name = "TrayMenu";
    FTrayMenu->ComponentForm = FForm;
    RebuildTrayMenu();
    FMenuHook = new TMessageHook(this, [this](MSG& msg) { return MenuHook(msg); });
    // In the application's hook chain only while a menu is open.
    if (Application) Application->RemoveMessageHook(FMenuHook);
    CreateBuiltInButtons();
    Attach(FForm);
    if (FForm->HandleAllocated()) {
        HWND w = FForm->Handle();
        SetWindowLongPtrA(
            w, GWL_STYLE,
            GetWindowLongPtrA(w, GWL_STYLE) & ~(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        SetWindowPos(w, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

TvlLacquer::~TvlLacquer() {
    *FAlive = false;
    if (Application && FMenuHook) Application->RemoveMessageHook(FMenuHook);
    auto& all = AllFrames();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    FHoverTimer.Stop();
    FBlendTimer.Stop();
    FAnimateTimer.Stop();
    FFadeTimer.Stop();
    HWND w = FormWindow();
    if (w && GetCapture() == w && FCaptureObject >= 0) ReleaseCapture();
    FObjects.clear();
    if (w && !FForm->Destroying()) {
        // The form goes on without the frame: its region (the system's) is
        // removed and its own caption comes back.
        if (FFrameRegion) SetWindowRgn(w, nullptr, TRUE);
        FFrameRegion = nullptr;
        LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE) | WS_CAPTION;
        if (FForm->BorderIcons() & biSystemMenu) style |= WS_SYSMENU;
        SetWindowLongPtrA(w, GWL_STYLE, style);
        Detach();
        SetWindowPos(w, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

HWND TvlLacquer::FormWindow() const {
    return Target() && FForm && FForm->HandleAllocated() ? FForm->Handle() : nullptr;
}

void TvlLacquer::Notification(TComponent* component, bool removing) {
    TWindowProcWrapper::Notification(component, removing);
    if (removing) {
        FMenusSkinData.Removed(component);
        FUserSystemMenu.Removed(component);
        FTrayIcon.Removed(component);
        FSkinHint.Removed(component);
    }
    if (removing && component == FMainMenuBar) {
        FMainMenuBar = nullptr;
        FTrackingMenuBar = false;
    }
    if (removing && component == FMDITabsBar) FMDITabsBar = nullptr;
    if (removing && FSkinData.Removed(component)) {
        FSkinActive = false;
        FObjects.clear();
        FHotObjectIndex = FCaptureObject = -1;
        if (!Destroying() && FForm && !FForm->Destroying()) ApplySkin();
    }
}

void TvlLacquer::SetSkinData(TvlSkinData* skinData) {
    FSkinData.Set(skinData);
    RebuildTrayMenu();
    ApplySkin();
}

void TvlLacquer::SetBorderIcons(TvlBorderIcons icons) {
    FBorderIcons = icons;
    FHotObjectIndex = FCaptureObject = -1;
    CreateBuiltInButtons();
    if (FormWindow()) PaintFrame();
}

bool TvlLacquer::Sizeable() const {
    return FForm->BorderStyle() == bsSizeable || FForm->BorderStyle() == bsSizeToolWin;
}

bool TvlLacquer::ToolWindow() const {
    return FForm->BorderStyle() == bsToolWindow || FForm->BorderStyle() == bsSizeToolWin;
}

bool TvlLacquer::IsFrameActive() const { return FFrameActive; }

std::string TvlLacquer::ResText(const char* key, const char* fallback) const {
    // With a resource-string component its text is used, even an empty one;
    // the built-in text only without one.
    TvlSkinData* sd = SkinData();
    if (sd && sd->ResourceStrData()) return sd->ResourceStrData()->LookupText(key);
    return fallback;
}

// ---- Objects of the frame --------------------------------------------------

void TvlLacquer::FreeObjects() {
    // The objects go: nothing may point at them any more, and a mouse capture
    // taken for one of them goes with it.
    HWND w = FormWindow();
    if (FCaptureObject >= 0 && w && GetCapture() == w) ReleaseCapture();
    FHotObjectIndex = -1;
    FCaptureObject = -1;
    FObjects.clear();
}

void TvlLacquer::CreateBuiltInButtons() {
    FreeObjects();
    const std::pair<const char*, TvlStdCommand> buttons[] = {
        {"closebutton", cmClose},   {"maxbutton", cmMaximize},    {"minbutton", cmMinimize},
        {"rollupbutton", cmRollUp}, {"sysmenubutton", cmSysMenu}, {"traybutton", cmMinimizeToTray}};
    for (auto& [name, command] : buttons)
        FObjects.push_back(std::make_unique<TvlSkinStdButtonObject>(this, nullptr, name, command));
    ApplyBorderIcons();
}

namespace {
// The command of a standard button or animation object; none for the others.
std::optional<TvlStdCommand> CommandOf(TvlActiveSkinObject* object) {
    if (auto* b = dynamic_cast<TvlSkinStdButtonObject*>(object)) return b->Command;
    if (auto* a = dynamic_cast<TvlSkinAnimateObject*>(object)) return a->Command;
    return std::nullopt;
}
}  // namespace

void TvlLacquer::ApplyBorderIcons() {
    for (auto& o : FObjects) {
        std::optional<TvlStdCommand> standard = CommandOf(o.get());
        if (!standard) continue;
        TvlStdCommand command = *standard;
        if (HideCaptionButtons) {
            o->Enabled = false;
            if (o->SkinRectInAPicture) o->Visible = false;
            continue;
        }
        bool keep = true;
        switch (command) {
            case cmDefault: {
                bool visible = false;
                if (OnActivateCustomObject) OnActivateCustomObject(o->IDName, visible);
                keep = visible;
                break;
            }
            case cmClose: keep = true; break;
            case cmMaximize: keep = FBorderIcons & vlbiMaximize; break;
            case cmMinimize: keep = FBorderIcons & vlbiMinimize; break;
            case cmRollUp: keep = FBorderIcons & vlbiRollUp; break;
            case cmSysMenu: keep = FBorderIcons & vlbiSystemMenu; break;
            case cmMinimizeToTray: keep = FBorderIcons & vlbiMinimizeToTray; break;
        }
        if (!keep) {
            o->Visible = false;
            o->Enabled = false;
            continue;
        }
        auto* b = dynamic_cast<TvlSkinStdButtonObject*>(o.get());
        if (b && b->SkinSupport && b->SkinRect.IsEmpty()) {
            o->Enabled = false;
            if (o->SkinRectInAPicture) o->Visible = false;
        }
    }
    RefreshHints();
}

void TvlLacquer::RefreshHints() {
    if (!UseDefaultObjectHint || !SkinData()) return;
    for (auto& o : FObjects) {
        std::optional<TvlStdCommand> standard = CommandOf(o.get());
        if (!standard) continue;
        TvlStdCommand command = *standard;
        switch (command) {
            case cmClose: o->Hint = ResText("CLOSEBUTTON_HINT", "Close"); break;
            case cmMaximize: o->Hint = ResText("MAXBUTTON_HINT", "Maximize"); break;
            case cmMinimize: o->Hint = ResText("MINBUTTON_HINT", "Minimize"); break;
            case cmSysMenu: o->Hint = ResText("MENUBUTTON_HINT", "System menu"); break;
            case cmRollUp: o->Hint = ResText("ROLLUPBUTTON_HINT", "Roll Up"); break;
            case cmMinimizeToTray: o->Hint = ResText("TRAYBUTTON_HINT", "Minimize to Tray"); break;
            default: break;
        }
    }
}

void TvlLacquer::ResetObjectsDisplay() {
    for (auto& o : FObjects) {
        if (auto* a = dynamic_cast<TvlSkinAnimateObject*>(o.get())) {
            a->PointerInside = a->Active = false;
            a->Frame = 1;
        } else if (!dynamic_cast<TvlSkinCaptionObject*>(o.get())) {
            o->Active = o->PointerInside = false;
            o->MorphFactor = 0;
        }
    }
}

void TvlLacquer::ApplySkin() {
    FHotObjectIndex = -1;
    HWND w = FormWindow();
    if (FCaptureObject >= 0 && w && GetCapture() == w) ReleaseCapture();
    FCaptureObject = -1;
    TvlSkinData* sd = SkinData();
    FSkinActive = sd && !sd->IsEmpty() && !sd->MainPicture.Empty();
    if (FSkinActive) {
        FObjects.clear();
        for (auto& rec : sd->SkinObjects) {
            const TvlDataSkinObject* d = rec.get();
            if (dynamic_cast<const TvlDataSkinMenuItem*>(d) || dynamic_cast<const TvlDataSkinMainMenuItem*>(d) ||
                dynamic_cast<const TvlDataSkinMainMenuBarButton*>(d))
                continue;
            if (auto* s = dynamic_cast<const TvlDataSkinStdButton*>(d))
                FObjects.push_back(std::make_unique<TvlSkinStdButtonObject>(this, s));
            else if (auto* b = dynamic_cast<const TvlDataSkinButton*>(d))
                FObjects.push_back(std::make_unique<TvlSkinButtonObject>(this, b));
            else if (auto* c = dynamic_cast<const TvlDataSkinCaption*>(d))
                FObjects.push_back(std::make_unique<TvlSkinCaptionObject>(this, c));
            else if (auto* a = dynamic_cast<const TvlDataSkinAnimate*>(d))
                FObjects.push_back(std::make_unique<TvlSkinAnimateObject>(this, a));
            else if (dynamic_cast<const TvlDataUserObject*>(d))
                FObjects.push_back(std::make_unique<TvlUserObject>(this, d));
        }
        ApplyBorderIcons();
    } else {
        CreateBuiltInButtons();
        RemoveRegion();
    }
    if (!w) return;
    // The window is never smaller than the frame allows.
    RECT wr;
    GetWindowRect(w, &wr);
    int width = wr.right - wr.left, height = wr.bottom - wr.top;
    int newW = std::max(width, MinimumWidth()), newH = std::max(height, MinimumHeight());
    if (FRollUpState || FFrameWindowState == fwsMinimized) newH = MinimumHeight();
    if (FFrameWindowState == fwsMinimized) newW = MinimumWidth();
    if (newW != width || newH != height)
        SetFormBounds(wr.left, wr.top, newW, newH);
    else
        SetWindowPos(w, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(w, &wr);
    FFormWidth = wr.right - wr.left;
    FFormHeight = wr.bottom - wr.top;
    if (FSkinActive) UpdateFrame();
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    UpdateCaptionActivation(true);
    if (OnChangeSkinData) OnChangeSkinData(this);
    if (ClientWidth > 0 || ClientHeight > 0)
        FForm->SetClientSize(ClientWidth > 0 ? ClientWidth : FForm->ClientWidth(),
                             ClientHeight > 0 ? ClientHeight : FForm->ClientHeight());
}

void TvlLacquer::UpdateCaptionActivation(bool repaint) {
    for (auto& o : FObjects) {
        auto* c = dynamic_cast<TvlSkinCaptionObject*>(o.get());
        if (!c) continue;
        bool active = IsFrameActive();
        if (c->Active != active) {
            c->Active = active;
            if (repaint) {
                if (FormWindow()) PaintFrame();
                if (c->Morphing) StartMorphTimer();
            } else if (c->Morphing) {
                c->MorphFactor = active ? 1 : 0;
            }
        }
        break;
    }
    if (IsFrameActive()) {
        if (OnActivate) OnActivate(this);
    } else if (OnDeActivate) {
        OnDeActivate(this);
    }
}

// ---- The window procedure ----------------------------------------------------------

namespace {
// Messages that close an open menu before they are handled.
bool DismissesMenus(const TMessage& m) {
    switch (m.Msg) {
        case WM_MOVE:
        case WM_SIZE:
        case WM_ACTIVATE:
        case WM_KILLFOCUS:
        case WM_CANCELMODE:
        case WM_MOUSEACTIVATE:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: return true;
        case WM_PARENTNOTIFY: {
            // A click on a child; a child created or destroyed closes nothing.
            WORD event = LOWORD(m.WParam);
            return event == WM_LBUTTONDOWN || event == WM_RBUTTONDOWN || event == WM_MBUTTONDOWN ||
                   event == WM_XBUTTONDOWN;
        }
        default: return false;
    }
}
}  // namespace

void TvlLacquer::WrappedWndProc(TMessage& m) {
    HWND w = FormWindow();
    bool onBar = false;
    if (m.Msg == WM_PARENTNOTIFY && FMainMenuBar && FMainMenuBar->HandleAllocated() && w) {
        // A click on the menu bar is the bar's (through the message hook).
        POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        ClientToScreen(w, &p);
        onBar = WindowFromPoint(p) == FMainMenuBar->Handle();
    }
    if (DismissesMenus(m)) HideObjectHint();
    if (DismissesMenus(m) && !onBar) {
        if (FTrackingMenuBar && !FSkinMenu->Visible) {
            LeaveMainMenuMode();
        } else if (FSkinMenu->Visible) {
            std::shared_ptr<bool> alive = FAlive;
            FSkinMenu->CloseAll();
            if (!*alive) return;
        } else if (FInMenu) {
            MenuClosed();
        }
    }
    switch (m.Msg) {
        case WM_NCCREATE:
        case WM_CREATE:
            // The frame is ours: the window's own caption and border icons go.
            CallPrevious(m);
            if (w)
                SetWindowLongPtrA(
                    w, GWL_STYLE,
                    GetWindowLongPtrA(w, GWL_STYLE) & ~(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
            return;
        case WM_DESTROY:
            FHoverTimer.Stop();
            FBlendTimer.Stop();
            FAnimateTimer.Stop();
            FFadeTimer.Stop();
            CallPrevious(m);
            return;
        case WM_SIZE: {
            CallPrevious(m);
            RECT r;
            GetWindowRect(w, &r);
            FFormWidth = r.right - r.left;
            FFormHeight = r.bottom - r.top;
            if (!FSkinActive)
                PaintFrame();
            else if (FFormWidth >= MinimumWidth() && FFormHeight >= MinimumHeight())
                UpdateFrame();
            // A centred logo moves with the client size.
            if (!LogoBitMap.Empty()) InvalidateRect(w, nullptr, TRUE);
            return;
        }
        case WM_ACTIVATE:
            CallPrevious(m);
            ResetObjectsDisplay();
            PaintFrame();
            UpdateCaptionActivation(true);
            return;
        case WM_SETTEXT:
            CallPrevious(m);
            PaintFrame();
            return;
        case WM_ERASEBKGND:
        case TM_PAINTBACKGROUND:
            PaintClientBackground(reinterpret_cast<HDC>(m.WParam));
            m.Result = 1;
            return;
        case WM_SHOWWINDOW:
            if (m.WParam && (AlphaBlend || AlphaBlendAnimation) && LayeredSupported()) {
                SetWindowLongPtrA(w, GWL_EXSTYLE, GetWindowLongPtrA(w, GWL_EXSTYLE) | WS_EX_LAYERED);
                SetAlpha(w, 0);
                FFadeTimer.Start(w);
            }
            if (m.WParam) {
                CallPrevious(m);
                // The frame recomputes for the shown window.
                NudgeWidth();
                return;
            }
            if (!m.WParam && AlphaBlend && LayeredSupported()) {
                SetWindowLongPtrA(w, GWL_EXSTYLE, GetWindowLongPtrA(w, GWL_EXSTYLE) & ~WS_EX_LAYERED);
            }
            CallPrevious(m);
            return;
        case WM_SETCURSOR:
            if (UseFormCursorInNCArea) {
                int hit = LOWORD(m.LParam);
                if (hit != HTCLIENT && !(hit >= HTLEFT && hit <= HTBOTTOMRIGHT))
                    m.LParam = MAKELPARAM(HTCLIENT, HIWORD(m.LParam));
            }
            CallPrevious(m);
            return;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
            info->ptMinTrackSize = {MinimumWidth(), MinimumHeight()};
            info->ptMaxTrackSize = {MaximumWidth(), MaximumHeight()};
            CallPrevious(m);
            return;
        }
        case WM_NCCALCSIZE: {
            RECT* r =
                m.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0] : reinterpret_cast<RECT*>(m.LParam);
            TvlSkinData* sd = SkinData();
            if (FSkinActive) {
                r->left += sd->ClientRect.Left;
                r->top += sd->ClientRect.Top;
                r->right -= sd->MainPicture.Width - sd->ClientRect.Right;
                r->bottom -= sd->MainPicture.Height - sd->ClientRect.Bottom;
            } else {
                r->left += kBuiltInBorder;
                r->top += BuiltInCaptionHeight() + kBuiltInBorder;
                r->right -= kBuiltInBorder;
                r->bottom -= kBuiltInBorder;
            }
            if (r->right < r->left) r->right = r->left;
            if (r->bottom < r->top) r->bottom = r->top;
            m.Result = 0;
            return;
        }
        case WM_NCHITTEST: {
            POINT p = WindowPoint(m.LParam);
            m.Result = HitTest(p.x, p.y);
            if (m.Result == HTOBJECT && !FHoverTimer.Enabled()) {
                UpdateActiveObject(p.x, p.y, true);
                FHoverTimer.Start(w);
            }
            return;
        }
        case WM_NCPAINT:
            PaintFrame();
            m.Result = 0;
            return;
        case WM_NCACTIVATE:
            FFrameActive = m.WParam != 0;
            m.Result = 1;
            PaintFrame();
            UpdateCaptionActivation(true);
            return;
        case WM_SYNCPAINT:
            if (FRollUpState) {
                PaintFrame();
                m.Result = 0;
                return;
            }
            CallPrevious(m);
            return;
        case WM_SYSCOMMAND:
            switch (m.WParam & 0xFFF0) {
                case SC_KEYMENU:
                    if (m.LParam == 0 && FMainMenuBar) {
                        // Alt alone: the menu bar's keyboard mode, or out of it.
                        if (FTrackingMenuBar) {
                            LeaveMainMenuMode();
                        } else {
                            if (FSkinMenu->Visible) FSkinMenu->CloseAll();
                            FMainMenuBar->EnterKeyboardMode();
                        }
                        m.Result = 0;
                        return;
                    }
                    // Alt+Space: the system menu below the caption's left end.
                    if (m.LParam == ' ') {
                        RECT r;
                        GetWindowRect(w, &r);
                        TRect client = FrameClientRect();
                        PopupSystemMenu(r.left + client.Left, r.top + client.Top);
                    }
                    m.Result = 0;
                    return;
                case SC_MAXIMIZE:
                    SetFrameWindowState(fwsMaximized);
                    m.Result = 0;
                    return;
                case SC_RESTORE:
                    if (!IsIconic(w)) {
                        RunSystemMenuItem("LQR_RESTORE");
                        m.Result = 0;
                        return;
                    }
                    break;
                case SC_MINIMIZE:
                    RunCommand(cmMinimize);
                    m.Result = 0;
                    return;
                default: break;
            }
            CallPrevious(m);
            return;
        case WM_TIMER:
            if (m.WParam == FHoverTimer.Id()) {
                OnHoverTimer();
            } else if (m.WParam == FBlendTimer.Id()) {
                OnMorphTimer();
            } else if (m.WParam == FAnimateTimer.Id()) {
                OnAnimateTimer();
            } else if (m.WParam == FFadeTimer.Id() && FFadeTimer.Enabled()) {
                FadeIn();
            } else {
                CallPrevious(m);
            }
            return;
        case WM_SIZING:
            if (FSizeMoveActive && FFullDrag) {
                CallPrevious(m);
                auto* r = reinterpret_cast<RECT*>(m.LParam);
                FFormWidth = r->right - r->left;
                FFormHeight = r->bottom - r->top;
                if (FFormWidth >= MinimumWidth() && FFormHeight >= MinimumHeight()) UpdateFrame();
                m.Result = TRUE;
                return;
            }
            CallPrevious(m);
            return;
        case WM_MOVING: {
            auto* r = reinterpret_cast<RECT*>(m.LParam);
            if (FFrameWindowState == fwsMaximized)
                GetWindowRect(w, r);  // a maximized window stays where it is
            else if (Magnetic)
                Snap(*r);
            CallPrevious(m);
            m.Result = TRUE;
            return;
        }
        case WM_ENTERSIZEMOVE: {
            ResetObjectsDisplay();
            FHoverTimer.Stop();
            FHotObjectIndex = FCaptureObject = -1;
            FSizeMoveActive = true;
            BOOL full = FALSE;
            SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
            FFullDrag = full != FALSE;
            CallPrevious(m);
            return;
        }
        case WM_EXITSIZEMOVE:
            FHoverTimer.Stop();
            FHotObjectIndex = FCaptureObject = -1;
            if (FSkinActive) PaintFrame();
            CallPrevious(m);
            return;
        case WM_SKINCHANGING: {
            auto* sender = reinterpret_cast<TvlSkinData*>(m.WParam);
            if (sender && sender == SkinData()) {
                FSkinActive = false;
                FHoverTimer.Stop();
                FBlendTimer.Stop();
                FAnimateTimer.Stop();
                FreeObjects();
            }
            // Controls wearing this skin drop their elements before the
            // records go, whichever skin the frame itself wears.
            if (sender) RelaySkinChange(FForm, sender, true);
            CallPrevious(m);
            return;
        }
        case WM_SKINCHANGED: {
            auto* sender = reinterpret_cast<TvlSkinData*>(m.WParam);
            if (sender && sender == SkinData()) ApplySkin();
            RelaySkinChange(FForm, sender, false);
            CallPrevious(m);
            return;
        }
        case WM_CLOSESKINMENUS:
            if (FInMenu) MenuClosed();
            CallPrevious(m);
            return;
        case TM_POPUPMENU:
            m.Result = ShowControlMenu(*reinterpret_cast<const TPopupMenuRequest*>(m.LParam)) ? 1 : 0;
            return;
        case WM_SKINSTRINGSCHANGED:
            RefreshHints();
            RebuildTrayMenu();
            CallPrevious(m);
            return;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (FCaptureObject >= 0) {
                // The capture made the release arrive in the client area.
                std::shared_ptr<bool> alive = FAlive;
                ObjectMouseUp(-1, -1, m.Msg == WM_LBUTTONUP ? mbLeft : mbRight);
                if (!*alive) return;
            }
            CallPrevious(m);
            return;
        case WM_NCRBUTTONDOWN:
            if (m.WParam == HTCAPTION) {
                // The platform would wait for the release in a loop of its
                // own and then offer its context menu; the frame's system
                // menu opens on the press instead.
                NcMouse(m, HTCAPTION);
                return;
            }
            CallPrevious(m);
            NcMouse(m, static_cast<int>(m.WParam));
            return;
        case WM_NCRBUTTONUP:
            // The caption's context menu is the frame's system menu, opened on
            // the press; the platform's own does not follow.
            NcMouse(m, static_cast<int>(m.WParam));
            return;
        case WM_NCMOUSEMOVE:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDBLCLK: {
            std::shared_ptr<bool> alive = FAlive;
            int hit = static_cast<int>(m.WParam);
            CallPrevious(m);
            if (*alive) NcMouse(m, hit);
            return;
        }
        default: CallPrevious(m); return;
    }
}
