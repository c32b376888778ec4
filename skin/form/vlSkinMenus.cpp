// The menu engine: activations, the chain of windows, submenus and their
// delay, clicks, keys; the input side of the popup window; the skinned popup
// menu component.
#include "skin/form/vlSkinMenus.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/access/vlAccess.h"
#include "skin/access/vlHighContrast.h"
#include "skin/data/vlUtils.h"
#include "skin/controls/vlSkinRelay.h"


// ---- Portable parts ---------------------------------------------------------------

namespace vlMenus {

TPlacement PlaceWindow(const TRect& a, const TRect& work, int w, int h, int itemsTop, bool isSubmenu, bool popupUp,
                       bool scroll, bool scrollLimited) {
    TPlacement p;
    bool upperHalf = a.Top < work.Top + work.Height() / 2;
    bool fullHeight = scroll && !scrollLimited;
    if (fullHeight) {
        p.Y = work.Top;
    } else if (isSubmenu) {
        if (a.Top + h - itemsTop <= work.Bottom)
            p.Y = a.Top - itemsTop;  // the first item lines up with the parent item
        else if (upperHalf)
            p.Y = work.Bottom - h;
        else
            p.Y = std::max(a.Bottom - h + itemsTop, work.Top);
    } else if (popupUp) {
        p.Y = a.Top - h;
        if (p.Y < work.Top) {
            if (upperHalf) {
                p.Y = a.Bottom;
                if (p.Y + h > work.Bottom) {
                    p.Y = work.Bottom - h;
                    p.Overlapping = true;
                }
            } else {
                p.Y = work.Top;
                p.Overlapping = true;
            }
        }
    } else {
        p.Y = a.Bottom;
        if (p.Y + h > work.Bottom) {
            if (upperHalf) {
                p.Y = work.Bottom - h;
                p.Overlapping = true;
            } else {
                p.Y = a.Top - h;
                if (p.Y < work.Top) {
                    p.Y = work.Top;
                    p.Overlapping = true;
                }
            }
        }
    }
    if (!isSubmenu && !p.Overlapping && !fullHeight) {
        p.X = a.Left;
        if (p.X + w > work.Right)
            p.X = work.Right - w;
        else if (p.X < work.Left)
            p.X = work.Left;
    } else {
        p.X = a.Right + 1 + w <= work.Right ? a.Right + 1 : a.Left - w - 1;
    }
    return p;
}

int NextSelectable(int from, int count, bool down, const std::function<bool(int)>& selectable) {
    if (count <= 0) return -1;
    int i = from;
    // One full cycle at most: a menu whose items are all disabled has none.
    for (int step = 0; step < count; ++step) {
        if (down)
            i = (i < 0 || i >= count - 1) ? 0 : i + 1;
        else
            i = (i <= 0 || i >= count) ? count - 1 : i - 1;
        if (selectable(i)) return i;
    }
    return -1;
}

}  // namespace vlMenus

// ---- The window's input -----------------------------------------------------------------

void TvlSkinPopupWindow::WndProc(TMessage& m) {
    TvlSkinMenu::TDispatchGuard guard(OwnerEngine);
    switch (m.Msg) {
        case WM_MOUSEACTIVATE: m.Result = MA_NOACTIVATE; return;
        case WM_ERASEBKGND: m.Result = 1; return;
        case WM_NCHITTEST: m.Result = HTCLIENT; return;
        case WM_MOUSEMOVE:
            GetCursorPos(&FLastCursor);
            MoveAt(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
            return;
        case WM_LBUTTONUP: MouseUpAt(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)); return;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: m.Result = 0; return;
        case WM_CLOSESKINMENUS: OwnerEngine->CloseAll(); return;
        case WM_TIMER:
            if (m.WParam == HoverTimer.Id())
                HoverTick();
            else if (m.WParam == BlendTimer.Id())
                MorphTick();
            else if (m.WParam == ScrollTimer.Id())
                ScrollTick();
            else if (m.WParam == OwnerEngine->SubmenuDelayTimer().Id())
                OwnerEngine->WaitTimerFired();
            return;
        default: TCustomControl::WndProc(m); return;
    }
}

void TvlSkinPopupWindow::HoverTick() {
    POINT p;
    GetCursorPos(&p);
    if (p.x == FLastCursor.x && p.y == FLastCursor.y) return;
    FLastCursor = p;
    if (WindowFromPoint(p) == Handle()) {
        ScreenToClient(Handle(), &p);
        MoveAt(p.x, p.y);
    } else if (ScrollDirection != 0) {
        StopScroll();
    }
}

bool TvlSkinPopupWindow::CanScrollDown() const {
    for (int i = FirstShownIndex; i < ItemCount(); ++i)
        if (!Item(i)->Visible) return true;
    return false;
}

void TvlSkinPopupWindow::StartScroll(int direction) {
    ScrollDirection = direction;
    Repaint();
    OwnerEngine->CloseFrom(OwnerEngine->IndexOf(this) + 1);
    ScrollTimer.Stop();
    ScrollTimer.Start(Handle());
}

void TvlSkinPopupWindow::StopScroll() {
    ScrollDirection = 0;
    ScrollTimer.Stop();
    Repaint();
}

void TvlSkinPopupWindow::ScrollBy(int delta) {
    FirstShownIndex = std::clamp(FirstShownIndex + delta, 0, std::max(0, ItemCount() - 1));
    LayoutItems();
    Repaint();
}

void TvlSkinPopupWindow::ScrollTick() {
    if (ScrollDirection == 1 && FirstShownIndex > 0)
        ScrollBy(-1);
    else if (ScrollDirection == 2 && CanScrollDown())
        ScrollBy(1);
    else
        StopScroll();
}

void TvlSkinPopupWindow::MoveAt(int x, int y) {
    if (Scroll) {
        if (TopMarker().Contains(x, y)) {
            if (ScrollDirection == 0 && FirstShownIndex > 0) StartScroll(1);
        } else if (BottomMarker().Contains(x, y)) {
            if (ScrollDirection == 0 && CanScrollDown()) StartScroll(2);
        } else if (ScrollDirection != 0) {
            StopScroll();
        }
    }
    int i = ItemAt(x, y);
    if (i < 0) return;
    if (i == HotItem) {
        TvlSkinMenuItem* item = Item(i);
        if (item->Preselected) {
            item->Preselected = false;
            if (item->HasSubItems() && item->Selectable()) ItemEnter(i, false);
        }
        return;
    }
    SetHot(i, false);
}

void TvlSkinPopupWindow::SetHot(int index, bool byKeyboard) {
    if (index == HotItem) return;
    int old = HotItem;
    PreviousHotItem = old;
    HotItem = index;
    if (old >= 0 && old < ItemCount() && Item(old)->Selectable()) ItemLeave(old);
    if (index >= 0 && index < ItemCount() && Item(index)->Selectable()) {
        ItemEnter(index, byKeyboard);
        vlAccessEvent(this, EVENT_OBJECT_FOCUS, index + 1);
    }
}

void TvlSkinPopupWindow::ItemEnter(int index, bool byKeyboard) {
    TvlSkinMenuItem* item = Item(index);
    item->Active = true;
    for (int j = 0; j < ItemCount(); ++j)
        if (j != index && Item(j)->Down) {
            Item(j)->Down = false;
            RedrawItem(j);
        }
    if (item->Preselected && !byKeyboard) {
        RedrawItem(index);
    } else if (item->Down) {
        OwnerEngine->CloseFrom(OwnerEngine->IndexOf(this) + 2);
    } else {
        RedrawItem(index);
        OwnerEngine->HoverAction(item, byKeyboard);
    }
    if (item->MenuItem && !item->MenuItem->Hint.empty()) OwnerEngine->ItemHint(item->MenuItem->Hint);
}

void TvlSkinPopupWindow::ItemLeave(int index) {
    TvlSkinMenuItem* item = Item(index);
    item->Active = false;
    item->Preselected = false;
    if (item->MenuItem && !item->MenuItem->Hint.empty()) OwnerEngine->ItemHint({});
    if (!item->Down) RedrawItem(index);
    if (OwnerEngine->WaitItem() == item) OwnerEngine->CancelWait();
}

void TvlSkinPopupWindow::MouseUpAt(int x, int y) {
    if (HotItem < 0 || HotItem >= ItemCount() || !Item(HotItem)->Active) return;
    int i = ItemAt(x, y);
    if (i < 0 || Item(i)->IsSeparator()) return;
    // The click is the last thing the window does with this message: it may
    // close (and free) every window.
    OwnerEngine->ItemClick(Item(HotItem));
}

int TvlSkinPopupWindow::LastPageStart() const {
    // The start from which the last items fill the window, 10 pixels left at the top.
    int room = ItemsRect.Height() - (Scroll ? 2 * Px(10) : 0);
    int start = ItemCount();
    int used = 0;
    while (start > 0) {
        int h = ItemHeight(*Item(start - 1));
        if (used + h > room) break;
        used += h;
        --start;
    }
    return std::min(start, std::max(0, ItemCount() - 1));
}

void TvlSkinPopupWindow::KeepInView(int index, bool down) {
    if (!Scroll || ScrollDirection != 0 || index < 0) return;
    int first = FirstShownIndex;
    if (index < FirstShownIndex) {
        FirstShownIndex = down ? 0 : index;
    } else if (index >= FirstShownIndex + ShownCount) {
        FirstShownIndex = down ? index - ShownCount + 1 : LastPageStart();
    }
    FirstShownIndex = std::clamp(FirstShownIndex, 0, LastPageStart());
    // A wrap lands on the first or the last page.
    if (down && index == 0) FirstShownIndex = 0;
    if (!down && index == ItemCount() - 1) FirstShownIndex = LastPageStart();
    LayoutItems();
    while (!Item(index)->Visible && FirstShownIndex < index) {
        ++FirstShownIndex;
        LayoutItems();
    }
    if (FirstShownIndex != first) Repaint();
}

void TvlSkinPopupWindow::KeyDown(WORD key) {
    TvlSkinMenu* engine = OwnerEngine;
    int me = engine->IndexOf(this);
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
        for (int i = 0; i < ItemCount(); ++i) {
            TvlSkinMenuItem* item = Item(i);
            // A separator has no accelerator; a disabled item keeps its own
            // letter (it takes the mark, and its click does nothing).
            if (!item->MenuItem || item->IsSeparator() ||
                AcceleratorOf(item->MenuItem->Caption) != static_cast<char>(key))
                continue;
            KeepInView(i, true);
            SetHot(i, true);
            engine->ItemClick(item);
            return;
        }
        return;
    }
    TvlSkinMenuItem* hot = HotItem >= 0 && HotItem < ItemCount() ? Item(HotItem) : nullptr;
    switch (key) {
        case VK_RETURN:
            if (hot && hot->Active) engine->ItemClick(hot);
            return;
        case VK_ESCAPE:
            if (me <= 0)
                engine->CloseAll();
            else
                engine->CloseFrom(me);
            return;
        case VK_LEFT:
            if (engine->WindowCount() >= 2 && me > 0) engine->CloseFrom(me);
            return;
        case VK_RIGHT:
            if (hot && hot->Active && hot->HasSubItems()) engine->ItemClick(hot);
            return;
        case VK_UP:
        case VK_DOWN: {
            bool down = key == VK_DOWN;
            int next = vlMenus::NextSelectable(HotItem, ItemCount(), down, [&](int i) { return Item(i)->Selectable(); });
            if (next < 0 || next == HotItem) return;
            KeepInView(next, down);
            SetHot(next, true);
            return;
        }
        case VK_HOME:
        case VK_END: {
            bool home = key == VK_HOME;
            int next = vlMenus::NextSelectable(home ? -1 : ItemCount(), ItemCount(), home,
                                               [&](int i) { return Item(i)->Selectable(); });
            if (next < 0 || next == HotItem) return;
            KeepInView(next, home);
            SetHot(next, true);
            return;
        }
        default: return;
    }
}

// ---- The engine -----------------------------------------------------------------------

TvlSkinMenu::TDispatchGuard::TDispatchGuard(TvlSkinMenu* engine) : Alive(engine->FAlive), Engine(engine) {
    ++Engine->FDispatchDepth;
}

TvlSkinMenu::TDispatchGuard::~TDispatchGuard() {
    if (!*Alive) return;
    if (--Engine->FDispatchDepth == 0) Engine->FreeClosed();
}

TvlSkinMenu::TvlSkinMenu(TComponent* owner, TForm* form) : TComponent(owner), FForm(form) {
    Name = "SkinMenu";
}

TvlSkinMenu::~TvlSkinMenu() {
    BeginDestroy();
    *FAlive = false;
    FSubmenuDelayTimer.Stop();
    FWaitItem = nullptr;
    for (auto& w : FPopupList) w->CloseWindow();
    FPopupList.clear();
    FClosed.clear();
}

int TvlSkinMenu::IndexOf(const TvlSkinPopupWindow* window) const {
    for (int i = 0; i < WindowCount(); ++i)
        if (FPopupList[static_cast<size_t>(i)].get() == window) return i;
    return -1;
}

bool TvlSkinMenu::IsMenuWindow(HWND window) const {
    for (const auto& w : FPopupList)
        if (w->HandleAllocated() && w->Handle() == window) return true;
    return false;
}

void TvlSkinMenu::Notification(TComponent* component, bool removing) {
    TComponent::Notification(component, removing);
    if (!removing) return;
    FInvokingControl.Removed(component);
    FDoneCtrl.Removed(component);
    bool skinGone = FSkinData.Removed(component);
    bool itemsGone = FRootItem.Removed(component);
    // The windows draw from these: they close now.
    if ((skinGone || itemsGone) && !Destroying()) CloseAllLater();
}

void TvlSkinMenu::CloseAllLater() {
    // Freed outside the destructor that told us.
    ++FDispatchDepth;
    CloseAll();
    --FDispatchDepth;
}

void TvlSkinMenu::FreeClosed() {
    if (FDispatchDepth > 0) return;
    std::vector<std::unique_ptr<TvlSkinPopupWindow>> closed;
    closed.swap(FClosed);
}

void TvlSkinMenu::CancelWait() {
    FSubmenuDelayTimer.Stop();
    FWaitItem = nullptr;
}

void TvlSkinMenu::Popup(TWinControl* control, TvlSkinData* skin, bool popupUp, TMenuItem* items,
                        const TRect& anchor, int startIndex) {
    First = !Visible;
    FInvokingControl.Set(control);
    // Windows of an earlier activation go without ending it.
    CancelWait();
    while (!FPopupList.empty()) {
        FPopupList.back()->CloseWindow();
        FClosed.push_back(std::move(FPopupList.back()));
        FPopupList.pop_back();
    }
    FreeClosed();
    HWND formWindow = FForm && FForm->HandleAllocated() ? FForm->Handle() : nullptr;
    WorkArea = GetMonitorArea(formWindow, true);
    // In high contrast the menus draw their plain look too.
    FSkinData.Set(vlSkinStepsAside() ? nullptr : skin);
    FRootItem.Set(items);
    bool any = false;
    if (items)
        for (int i = std::max(startIndex, 0); i < items->Count(); ++i) any = any || items->Item(i)->Visible;
    if (any) {
        if (!Visible) vlAccessEvent(FForm, EVENT_SYSTEM_MENUSTART);
        Visible = true;
        OpenWindow(anchor, items, startIndex, false, popupUp);
    } else if (!Visible) {
        // Nothing to show: the frame's bookkeeping ends at once.
        FInvokingControl.Set(nullptr);
        if (formWindow) SendMessageA(formWindow, WM_CLOSESKINMENUS, 0, 0);
    }
    First = false;
}

void TvlSkinMenu::OpenWindow(const TRect& anchor, TMenuItem* items, int startIndex, bool isSubmenu, bool popupUp) {
    if (SupportsLayeredWindows() && AlphaBlend && AlphaBlendAnimation && First && Application)
        Application->ProcessMessages();
    auto window = std::make_unique<TvlSkinPopupWindow>(this, SkinData());
    TvlSkinPopupWindow* w = window.get();
    FPopupList.push_back(std::move(window));
    w->Open(anchor, items, startIndex, isSubmenu, popupUp);
}

void TvlSkinMenu::CloseFrom(int n) {
    n = std::max(n, 0);
    // A pending submenu never opens from a window that closes, nor after.
    CancelWait();
    bool closed = false;
    while (WindowCount() > n) {
        FPopupList.back()->CloseWindow();
        FClosed.push_back(std::move(FPopupList.back()));
        FPopupList.pop_back();
        closed = true;
    }
    if (closed && n > 0) {
        // The item whose submenu closed comes back up.
        TvlSkinPopupWindow* w = Window(n - 1);
        for (int i = 0; i < w->ItemCount(); ++i)
            if (w->Item(i)->Down) {
                w->Item(i)->Down = false;
                w->RedrawItem(i);
            }
    }
    if (n == 0 && Visible) {
        Visible = false;
        ItemHint({});
        vlAccessEvent(FForm, EVENT_SYSTEM_MENUEND);
        FDoneCtrl.Set(InvokingControl());
        if (TWinControl* c = InvokingControl()) {
            FInvokingControl.Set(nullptr);
            if (c->HandleAllocated()) SendMessageA(c->Handle(), WM_CLOSESKINMENUS, 0, 0);
        }
    }
    FreeClosed();
}

void TvlSkinMenu::CloseAll() {
    std::shared_ptr<bool> alive = FAlive;
    CloseFrom(0);
    if (!*alive) return;
    CancelWait();
    if (FForm && FForm->HandleAllocated()) SendMessageA(FForm->Handle(), WM_CLOSESKINMENUS, 0, 0);
    if (!*alive) return;
    if (TWinControl* c = InvokingControl()) {
        FInvokingControl.Set(nullptr);
        if (c->HandleAllocated()) SendMessageA(c->Handle(), WM_CLOSESKINMENUS, 0, 0);
    }
    FRootItem.Set(nullptr);
}

void TvlSkinMenu::KeyDown(WORD key) {
    TDispatchGuard guard(this);
    if (TvlSkinPopupWindow* w = Innermost()) w->KeyDown(key);
}

void TvlSkinMenu::ItemHint(const std::string& hint) {
    if (OnItemHint) OnItemHint(hint);
}

void TvlSkinMenu::HoverAction(TvlSkinMenuItem* item, bool byKeyboard) {
    int w = IndexOf(item->Parent);
    if (!item->HasSubItems()) {
        CloseFrom(w + 1);
        CancelWait();
    } else if (!byKeyboard) {
        CloseFrom(w + 1);
        FWaitItem = item;
        FSubmenuDelayTimer.Stop();
        FSubmenuDelayTimer.Start(item->Parent->Handle());
    }
}

void TvlSkinMenu::WaitTimerFired() {
    TvlSkinMenuItem* item = FWaitItem;
    CancelWait();
    if (item) ItemClick(item);
}

void TvlSkinMenu::ItemClick(TvlSkinMenuItem* item) {
    item->Preselected = false;
    TMenuItem* menuItem = item->MenuItem;
    if (!menuItem || item->Down || !item->Enabled()) return;
    std::shared_ptr<bool> alive = FAlive;
    if (!item->HasSubItems()) {
        // What the click needs is taken first: closing frees the windows
        // and their items, and the handler may free the menu itself.
        CancelWait();
        CloseAll();
        if (!*alive) return;
        menuItem->Click();
        if (!*alive) return;
        if (TWinControl* done = DoneCtrl()) {
            FDoneCtrl.Set(nullptr);
            if (done->HandleAllocated()) SendMessageA(done->Handle(), WM_SKINMENUITEMDONE, 0, 0);
        }
        return;
    }
    TvlSkinPopupWindow* window = item->Parent;
    // A click handler may fill the submenu.
    menuItem->Click();
    if (!*alive) return;
    int w = IndexOf(window);
    int index = w < 0 ? -1 : window->IndexOf(item);
    if (index < 0 || !Visible || item->MenuItem != menuItem) return;
    CancelWait();
    CloseFrom(w + 1);
    bool any = false;
    for (TMenuItem* sub : menuItem->Items()) any = any || sub->Visible;
    if (!any) return;
    item->Down = true;
    window->RedrawItem(index);
    OpenWindow(window->ItemScreenRect(index), menuItem, 0, true, false);
}
