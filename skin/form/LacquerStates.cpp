// Window states, the system menu, the mouse on the frame and its timers.
#include "skin/form/Lacquer.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

#include "core/Errors.h"
#include "skin/controls/vlSkinElement.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlRegion.h"
#include "skin/data/vlUtils.h"
#include "skin/form/vlSkinMenus.h"
#include "skin/form/vlSkinMessages.h"
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

TRect TvlLacquer::MinimizedSlot() {
    TRect area = MonitorArea(FormWindow(), true);
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
        TRect area = MonitorArea(w, !MaximizeOnFullScreen);
        TRect full = MonitorArea(w, false);
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
    TRect area = MonitorArea(FormWindow(), true);
    TPoint p = vlFrame::SnapToArea(r.left, r.top, w, h, area, MagneticSize);
    RECT fr;
    GetWindowRect(FormWindow(), &fr);
    r = {p.X, p.Y, p.X + (fr.right - fr.left), p.Y + (fr.bottom - fr.top)};
}

// ---- System menu -----------------------------------------------------------------

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

namespace {
// Fills a menu with the items, each running its command on the frame.
// One frame menu item, owned by `root`, running its command on the frame.
TMenuItem* MakeFrameMenuItem(TvlLacquer* frame, TMenuItem* root, const TvlSysMenuItem& i) {
    auto* item = new TMenuItem(root, i.Caption);
    item->Name = i.Name;
    item->ShortCut = TextToShortCut(i.ShortCut);
    std::string name = i.Name;
    if (!name.empty()) item->OnClick = [frame, name](TObject*) { frame->RunSystemMenuItem(name); };
    return item;
}

void FillFrameMenu(TvlLacquer* frame, TMenu* menu, const std::vector<TvlSysMenuItem>& items) {
    TMenuItem* root = menu->RootItem();
    root->Clear();
    for (const TvlSysMenuItem& i : items) root->Add(MakeFrameMenuItem(frame, root, i));
}
}  // namespace

void TvlLacquer::RebuildSystemMenu() { FillFrameMenu(this, FSystemMenu, SystemMenuItems()); }

void TvlLacquer::RebuildTrayMenu() {
    // The tray menu may be showing: it closes before its items go.
    if (FSkinMenu->Visible && FSkinMenu->WindowCount() > 0 &&
        FSkinMenu->Window(0)->SourceItem == FTrayMenu->RootItem())
        FSkinMenu->CloseAll();
    FillFrameMenu(this, FTrayMenu, TrayMenuItems());
}

void TvlLacquer::ForwardMenuSettings() {
    TvlSkinMenu* e = FSkinMenu;
    e->AlphaBlend = MenusAlphaBlend;
    e->AlphaBlendAnimation = MenusAlphaBlendAnimation;
    e->AlphaBlendValue = MenusAlphaBlendValue;
    if (MaxMenuItemsInWindow >= 0) e->MaxMenuItemsInWindow = MaxMenuItemsInWindow;
    if (DefMenuItemHeight > 0) e->DefaultMenuItemHeight = DefMenuItemHeight;
    e->DefaultMenuItemFont = DefMenuItemFont;
    e->UseSkinFont = UseSkinFontInMenu;
}

void TvlLacquer::UpdateMenuHook() {
    bool wanted = (FInMenu || FTrackingMenuBar) && Application;
    if (wanted == FMenuHookActive) return;
    if (wanted)
        Application->AddMessageHook(FMenuHook);
    else if (Application)
        Application->RemoveMessageHook(FMenuHook);
    FMenuHookActive = wanted;
}

void TvlLacquer::MenuOpened() {
    ForwardMenuSettings();
    if (FInMenu) return;
    FInMenu = true;
    UpdateMenuHook();
    if (OnSkinMenuOpen) OnSkinMenuOpen(this);
}

void TvlLacquer::SetMainMenuBar(TvlSkinMainMenuBar* bar) {
    if (FMainMenuBar == bar) return;
    if (FTrackingMenuBar) LeaveMainMenuMode();
    if (FMainMenuBar) RemoveFreeNotification(FMainMenuBar);
    FMainMenuBar = bar;
    if (bar) FreeNotification(bar);
}

void TvlLacquer::SetMDITabsBar(TvlSkinMDITabsBar* bar) {
    if (FMDITabsBar) RemoveFreeNotification(FMDITabsBar);
    FMDITabsBar = bar;
    if (bar) {
        FreeNotification(bar);
        bar->SetLacquer(this);
    }
}

void TvlLacquer::EnterMainMenuMode() {
    if (FTrackingMenuBar) return;
    FTrackingMenuBar = true;
    UpdateMenuHook();
    if (OnMainMenuEnter) OnMainMenuEnter(this);
}

void TvlLacquer::LeaveMainMenuMode() {
    if (!FTrackingMenuBar) return;
    FTrackingMenuBar = false;
    if (FSkinMenu->Visible) FSkinMenu->CloseAll();
    if (FMainMenuBar) FMainMenuBar->ExitTracking();
    UpdateMenuHook();
    if (OnMainMenuExit) OnMainMenuExit(this);
}

void TvlLacquer::CloseMenusKeepingTheBar() {
    bool tracking = FTrackingMenuBar;
    FTrackingMenuBar = false;
    if (FSkinMenu->Visible)
        FSkinMenu->CloseAll();
    else if (FInMenu)
        MenuClosed();
    FTrackingMenuBar = tracking;
    UpdateMenuHook();
}

bool TvlLacquer::MenuBarKey(WORD key) {
    TvlSkinMenu* engine = FSkinMenu;
    TvlSkinMainMenuBar* bar = FMainMenuBar;
    if (!engine->Visible) {
        // Keyboard mode on the bar, no submenu open.
        switch (key) {
            case VK_LEFT: bar->MoveLeft(); return true;
            case VK_RIGHT: bar->MoveRight(); return true;
            case VK_RETURN:
            case VK_DOWN:
            case VK_UP: bar->EnterKey(); return true;
            case VK_ESCAPE:
            case VK_MENU:
            case VK_F10: LeaveMainMenuMode(); return true;
            default:
                if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) bar->AcceleratorKey(static_cast<char>(key));
                return true;
        }
    }
    TvlSkinPopupWindow* inner = engine->Innermost();
    switch (key) {
        case VK_ESCAPE:
            if (engine->WindowCount() > 1)
                engine->CloseFrom(engine->WindowCount() - 1);
            else
                LeaveMainMenuMode();
            return true;
        case VK_LEFT:
            if (engine->WindowCount() == 1) {
                bar->MoveLeft();
                return true;
            }
            return false;
        case VK_RIGHT: {
            bool opens = inner && inner->HotItem >= 0 && inner->HotItem < inner->ItemCount() &&
                         inner->Item(inner->HotItem)->HasSubItems();
            if (!opens) {
                bar->MoveRight();
                return true;
            }
            return false;
        }
        case VK_MENU:
        case VK_F10: LeaveMainMenuMode(); return true;
        default: return false;
    }
}

void TvlLacquer::MenuClosed() {
    FInMenu = false;
    // The first button held down by its menu comes back up.
    for (auto& o : FObjects)
        if (auto* b = dynamic_cast<TvlSkinButtonObject*>(o.get()); b && b->Down && b->MenuOpen) {
            b->MenuOpen = false;
            b->SetDown(false);
            break;
        }
    UpdateMenuHook();
    if (OnSkinMenuClose) OnSkinMenuClose(this);
    if (FTrackingMenuBar) LeaveMainMenuMode();
}

bool TvlLacquer::MenuHook(MSG& msg) {
    TvlSkinMenu* engine = FSkinMenu;
    bool tracking = FTrackingMenuBar && FMainMenuBar;
    if (!engine->Visible && !tracking) return false;
    bool keyDown = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if (tracking && keyDown && MenuBarKey(static_cast<WORD>(msg.wParam))) return true;
    if (tracking && !engine->Visible) {
        switch (msg.message) {
            case WM_KEYUP:
            case WM_SYSKEYUP:
            case WM_CHAR:
            case WM_SYSCHAR: return true;
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_NCLBUTTONDOWN:
            case WM_NCRBUTTONDOWN:
                if (msg.hwnd != FMainMenuBar->Handle()) LeaveMainMenuMode();
                return false;
            default: return false;
        }
    }
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            // The focused control never sees keys while a menu is open.
            if (msg.wParam == VK_MENU || msg.wParam == VK_F10)
                engine->CloseAll();
            else
                engine->KeyDown(static_cast<WORD>(msg.wParam));
            return true;
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_CHAR:
        case WM_SYSCHAR:
        case WM_DEADCHAR:
        case WM_SYSDEADCHAR:
        case WM_MOUSEWHEEL: return true;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
            // A click anywhere but on the menu closes it and goes on; a click
            // on the bar's item whose menu is open only closes it.
            if (engine->IsMenuWindow(msg.hwnd)) return false;
            if (FMainMenuBar && msg.hwnd == FMainMenuBar->Handle() && msg.message == WM_LBUTTONDOWN) {
                TvlSkinMainMenuBarItem* down = FMainMenuBar->DownItem();
                POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
                bool onDown = down && p.x >= down->ObjectRect.Left && p.x < down->ObjectRect.Right &&
                              p.y >= down->ObjectRect.Top && p.y < down->ObjectRect.Bottom;
                engine->CloseAll();
                return onDown;
            }
            engine->CloseAll();
            return false;
        default: return false;
    }
}

void TvlLacquer::PopupSystemMenu(int x, int y) { PopupSystemMenuAt({x, y, x, y}, false); }

void TvlLacquer::PopupSystemMenuAt(const TRect& anchor, bool popupUp) {
    HWND w = FormWindow();
    if (!w) return;
    if (SystemMenuPopup) {
        // A test's stand-in answers at once with the chosen item.
        std::vector<TvlSysMenuItem> items = SystemMenuItems();
        std::shared_ptr<bool> alive = FAlive;
        MenuOpened();
        std::string chosen = SystemMenuPopup(items, POINT{anchor.Left, anchor.Bottom});
        if (!*alive) return;
        MenuClosed();
        if (!chosen.empty()) RunSystemMenuItem(chosen);
        return;
    }
    // An open menu (perhaps this one) closes before the items are rebuilt.
    if (FSkinMenu->Visible) FSkinMenu->CloseAll();
    TPopupMenu* menu = FUserSystemMenu.get();
    if (!menu) {
        RebuildSystemMenu();
        menu = FSystemMenu;
    } else if (UseDefaultSysMenu) {
        MergeWindowCommands(menu);
    }
    MenuOpened();
    FSkinMenu->Popup(nullptr, MenuSkin(), popupUp, menu->RootItem(), anchor, 0);
}

void TvlLacquer::MergeWindowCommands(TPopupMenu* menu) {
    static const char* const names[] = {"LQR_MINITEM", "LQR_MAXITEM", "LQR_CLOSE",
                                        "LQR_MINTOTRAY", "LQR_ROLLUP", "LQR_RESTORE"};
    TMenuItem* root = menu->RootItem();
    for (int i = root->Count() - 1; i >= 0; --i) {
        TMenuItem* item = root->Item(i);
        if (std::find(std::begin(names), std::end(names), item->Name) == std::end(names)) continue;
        root->Remove(item);
        if (item->Owner() == root) delete item;
    }
    // The built-in items for the state now, each under the same conditions,
    // on top in this order; Close goes last, without a separator.
    static const char* const top[] = {"LQR_MINITEM", "LQR_RESTORE", "LQR_MAXITEM", "LQR_ROLLUP", "LQR_MINTOTRAY"};
    const std::vector<TvlSysMenuItem> items = SystemMenuItems();
    int at = 0;
    for (const char* name : top)
        for (const TvlSysMenuItem& i : items)
            if (i.Name == name) root->Insert(at++, MakeFrameMenuItem(this, root, i));
    for (const TvlSysMenuItem& i : items)
        if (i.Name == "LQR_CLOSE") root->Add(MakeFrameMenuItem(this, root, i));
}

void TvlLacquer::SetTrayIcon(TvlTrayIcon* icon) {
    FTrayIcon.Set(icon);
    if (!icon) return;
    if (!AlwaysShowInTray) icon->SetIconVisible(false);
    icon->MinimizeToTray = false;
    if (!icon->PopupMenu) icon->PopupMenu = FTrayMenu;
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

void TvlLacquer::HideObjectHint() {
    if (ShowObjectHint && FSkinHint.get()) FSkinHint->HideHint();
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
        if (o->Enabled && o->Visible && Inside(o->ObjectRect, x, y)) {
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
        if (ShowObjectHint && FSkinHint.get() && !o->Hint.empty()) FSkinHint->ShowHintAtCursor(o->Hint);
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
    if (!Inside(client, x, y))
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

void TvlLacquer::FadeIn() {
    HWND w = FormWindow();
    FFadeTimer.Stop();
    if (!w) return;
    int target = AlphaBlendAnimation && !AlphaBlend ? 255 : AlphaBlendValue;
    if (AlphaBlendAnimation) {
        std::shared_ptr<bool> alive = FAlive;
        if (Application) Application->ProcessMessages();
        // The window may have gone while the messages ran.
        if (!*alive || !IsWindow(w)) return;
        for (int a = 5;; a += 5) {
            SetAlpha(w, std::min(a, target));
            if (a >= target) break;
        }
    } else if (AlphaBlendValue < 255) {
        SetAlpha(w, AlphaBlendValue);
    }
    if (target >= 255) SetWindowLongPtrA(w, GWL_EXSTYLE, GetWindowLongPtrA(w, GWL_EXSTYLE) & ~WS_EX_LAYERED);
}

bool TvlLacquer::ShowControlMenu(const TPopupMenuRequest& request) {
    if (!request.Menu || !FSkinMenu) return false;
    TvlSkinData* skin = dynamic_cast<TvlSkinData*>(request.SkinData);
    if (!skin) skin = MenuSkin();
    if (!skin) return false;
    if (FSkinMenu->Visible) MenuClosed();
    MenuOpened();
    FSkinMenu->Popup(request.Control, skin, false, request.Menu->RootItem(), {request.X, request.Y, request.X, request.Y}, 0);
    return true;
}
