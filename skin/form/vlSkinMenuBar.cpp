// The skinned main menu bar: layout, look, mouse, keyboard and the child's
// buttons.
#include "skin/form/vlSkinMenuBar.h"

#include <windowsx.h>

#include <algorithm>

#include "core/Gdi.h"
#include "skin/access/vlAccess.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlUtils.h"
#include "skin/controls/vlLookPieces.h"
#include "skin/form/vlSkinMenus.h"

using namespace vlLookPieces;

// ---- The bar -------------------------------------------------------------------------------

TvlSkinMainMenuBar::TvlSkinMainMenuBar(TComponent* owner, TWinControl* parent) : TvlSkinControl(owner, parent) {
    SkinDataName = "mainmenubar";
    SetBounds(0, 0, 200, FDefaultHeight);
    SetAlign(alTop);
    FKeys = new TMessageHook(this, [this](MSG& msg) { return HandleShortcut(msg); });
}

TvlSkinMainMenuBar::~TvlSkinMainMenuBar() {
    BeginDestroy();
    FMouseTimer.Stop();
    FMorphTimer.Stop();
    if (TvlFormMenus* menus = Menus()) menus->SetMainMenuBar(nullptr);
    FObjects.clear();
}

TvlFormMenus* TvlSkinMainMenuBar::Menus() const {
    TvlFormMenus* menus = FindFormMenus(GetParentForm(this));
    return menus && menus->MainMenuBar() == static_cast<const TvlMenuBarKeys*>(this) ? menus : nullptr;
}

bool TvlSkinMainMenuBar::OnDownItem(int x, int y) const {
    TvlSkinMainMenuBarItem* down = DownItem();
    return down && down->ObjectRect.Contains(x, y);
}

void TvlSkinMainMenuBar::Notification(TComponent* component, bool removing) {
    TvlSkinControl::Notification(component, removing);
    if (removing && component == FMainMenu) {
        FMainMenu = nullptr;
        if (!Destroying()) Rebuild();
    }
    if (removing && component == FChild) {
        FChild = nullptr;
        if (!Destroying()) HideChildButtons();
    }
}

void TvlSkinMainMenuBar::SetMainMenu(TMainMenu* menu) {
    if (FMainMenu) RemoveFreeNotification(FMainMenu);
    FMainMenu = menu;
    if (FMainMenu) FreeNotification(FMainMenu);
    Rebuild();
}

void TvlSkinMainMenuBar::SetDefaultHeight(int h) {
    FDefaultHeight = h;
    FitHeight();
}

const TvlDataSkinMainMenuBar* TvlSkinMainMenuBar::Element() const {
    return ElementAs<TvlDataSkinMainMenuBar>();
}

void TvlSkinMainMenuBar::FitHeight() {
    const TvlDataSkinMainMenuBar* e = Element();
    int h = e ? e->SkinRect.Height() : Px(FDefaultHeight);
    if (h > 0 && h != Height()) SetHeight(h);
}

void TvlSkinMainMenuBar::SkinChanged() {
    TvlSkinControl::SkinChanged();
    FitHeight();
    Rebuild();
}

void TvlSkinMainMenuBar::BoundsChanged() {
    TvlSkinControl::BoundsChanged();
    Layout();
}

void TvlSkinMainMenuBar::Rebuild() {
    FActiveObject = FPreviousActive = FCaptureObject = -1;
    std::vector<std::unique_ptr<TvlMenuBarObject>> buttons;
    for (int i = 0; i < FChildButtons; ++i) buttons.push_back(std::move(FObjects[static_cast<size_t>(i)]));
    FObjects = std::move(buttons);
    const TvlDataSkinMainMenuItem* data = nullptr;
    if (const TvlDataSkinMainMenuBar* e = Element())
        if (int i = SkinData()->FindObjectIndex(e->MenuBarItem); i >= 0)
            data = dynamic_cast<const TvlDataSkinMainMenuItem*>(SkinData()->SkinObjects[static_cast<size_t>(i)].get());
    if (FMainMenu)
        for (TMenuItem* item : FMainMenu->Items())
            if (item->Visible) FObjects.push_back(std::make_unique<TvlSkinMainMenuBarItem>(this, item, data));
    FitHeight();
    Layout();
    Invalidate();
}

TvlSkinMainMenuBarItem* TvlSkinMainMenuBar::Item(int i) const {
    return static_cast<TvlSkinMainMenuBarItem*>(FObjects.at(static_cast<size_t>(FChildButtons + i)).get());
}

TvlSkinMainMenuBarItem* TvlSkinMainMenuBar::DownItem() const {
    for (int i = 0; i < ItemCount(); ++i)
        if (Item(i)->Down) return Item(i);
    return nullptr;
}

TFont TvlSkinMainMenuBar::ItemFont(const TvlSkinMainMenuBarItem& item) const {
    TFont font = item.Data && UseSkinFont ? TFont(item.Data->FontName, item.Data->FontHeight, item.Data->FontStyle)
                                          : DefItemFont;
    if (!(item.Data && UseSkinFont)) font.SetHeight(ScaleFontForDpi(font.Height(), ControlDpi(this)));
    if (SkinData() && SkinData()->ResourceStrData()) font.SetCharSet(SkinData()->ResourceStrData()->CharSet);
    return font;
}

void TvlSkinMainMenuBar::LayoutChildButtons() {
    if (!FChildButtons) return;
    int h = FItemsRect.Height();
    auto size = [&](TvlMenuBarObject* o) {
        return o->Picture && !o->SkinRect.IsEmpty() ? TPoint{o->SkinRect.Width(), o->SkinRect.Height()} : TPoint{h, h};
    };
    int right = FItemsRect.Right;
    for (int i = 0; i < FChildButtons; ++i) {
        auto* b = static_cast<TvlSkinMainMenuBarButton*>(FObjects[static_cast<size_t>(i)].get());
        if (!b->Visible) continue;
        TPoint s = size(b);
        int top = FItemsRect.Top + (h - s.Y) / 2;
        if (b->Command == mbcSysMenu) {
            b->ObjectRect = {FItemsRect.Left, top, FItemsRect.Left + s.X, top + s.Y};
            FItemsRect.Left += s.X + Px(2);
        }
    }
    // Close, maximize, minimize from the right end leftwards.
    for (TvlMenuBarCommand command : {mbcClose, mbcMaximize, mbcMinimize})
        for (int i = 0; i < FChildButtons; ++i) {
            auto* b = static_cast<TvlSkinMainMenuBarButton*>(FObjects[static_cast<size_t>(i)].get());
            if (b->Command != command || !b->Visible) continue;
            TPoint s = size(b);
            int top = FItemsRect.Top + (h - s.Y) / 2;
            b->ObjectRect = {right - s.X, top, right, top + s.Y};
            right -= s.X + Px(2);
        }
    FItemsRect.Right = right;
}

void TvlSkinMainMenuBar::Layout() {
    const TvlDataSkinMainMenuBar* e = Element();
    if (e)
        FItemsRect = {e->ItemsRect.Left, e->ItemsRect.Top, e->ItemsRect.Right + (Width() - e->SkinRect.Width()),
                      e->ItemsRect.Bottom};
    else
        FItemsRect = {Px(2), Px(2), Width() - Px(2), Height() - Px(2)};
    LayoutChildButtons();
    FScroll = false;
    int x = FItemsRect.Left;
    int limit = FItemsRect.Right - (ScrollMenu ? Px(5) : 0);
    TMemoryDC measuring = ScreenCompatibleDC();
    HDC dc = measuring.Handle();
    for (int i = 0; i < ItemCount(); ++i) {
        TvlSkinMainMenuBarItem* item = Item(i);
        TFont font = ItemFont(*item);
        SelectGuard selected(dc, font.Handle());
        RECT r{0, 0, 0, 0};
        DrawTextA(dc, item->MenuItem->Caption.c_str(), static_cast<int>(item->MenuItem->Caption.size()), &r,
                  DT_CALCRECT | DT_SINGLELINE);
        selected.Restore();
        int captionWidth = r.right - r.left;
        int w, h;
        if (item->Data && item->Picture) {
            w = item->Data->SkinRect.Width() - item->Data->TextRect.Width() + captionWidth + Px(2);
            h = item->Data->SkinRect.Height();
        } else {
            w = captionWidth + Px(12);
            h = FItemsRect.Height();
        }
        item->ObjectRect = {x, FItemsRect.Top, x + w, FItemsRect.Top + h};
        // An item that does not fit is not drawn and takes no clicks until it does.
        item->Shown = item->ObjectRect.Right <= limit;
        item->Enabled = item->Shown;
        item->Visible = item->Shown;
        if (!item->Shown) FScroll = true;
        x += w;
    }
}

TRect TvlSkinMainMenuBar::MarkerRect() const {
    return {FItemsRect.Right - Px(5), FItemsRect.Top, FItemsRect.Right, FItemsRect.Bottom};
}

void TvlSkinMainMenuBar::Compose(TvlFBitmap& bitmap) {
    int w = Width(), h = Height();
    bitmap.SetSize(w, h);
    const TvlDataSkinMainMenuBar* e = Element();
    const TPixelImage* picture = e ? SkinPicture(SkinData(), e->PictureIndex) : nullptr;
    if (e && picture) {
        TvlFBitmap strip;
        ComposeHorizontal(e->ItemsRect.Left, e->SkinRect.Width() - e->ItemsRect.Right, e->SkinRect,
                          PictureView(*picture), w, strip);
        if (!strip.Empty()) CopyPiece(bitmap, 0, 0, strip, {0, 0, strip.Width(), std::min(strip.Height(), h)});
    } else {
        bitmap.Fill(ColorToRGB(clBtnFace));
    }
    Layout();
    for (auto& o : FObjects)
        if (o->Visible) o->Draw(bitmap);
    if (FScroll && ScrollMenu) {
        uint32_t normal = e ? e->TrackMarkColor : ColorToRGB(clBtnShadow);
        uint32_t active = e ? e->TrackMarkActiveColor : ColorToRGB(clBtnText);
        DrawArrow(bitmap, MarkerRect(), FMarkerHot ? active : normal, 2);
    }
}

void TvlSkinMainMenuBar::RepaintObject(TvlMenuBarObject*) { Invalidate(); }

void TvlSkinMainMenuBar::StartMorph() {
    if (HandleAllocated()) FMorphTimer.Start(Handle());
}

int TvlSkinMainMenuBar::ObjectAt(int x, int y) const {
    for (int i = 0; i < static_cast<int>(FObjects.size()); ++i) {
        const TvlMenuBarObject& o = *FObjects[static_cast<size_t>(i)];
        if (o.Enabled && o.Visible && o.ObjectRect.Contains(x, y)) return i;
    }
    return -1;
}

void TvlSkinMainMenuBar::SetActive(int index) {
    if (index == FActiveObject) return;
    int old = FActiveObject;
    FPreviousActive = old;
    FActiveObject = index;
    if (old >= 0 && old < static_cast<int>(FObjects.size())) FObjects[static_cast<size_t>(old)]->MouseLeave();
    if (index >= 0 && index < static_cast<int>(FObjects.size())) FObjects[static_cast<size_t>(index)]->MouseEnter();
}

void TvlSkinMainMenuBar::TrackPoint(int x, int y, bool inside) {
    bool hot = inside && FScroll && ScrollMenu && MarkerRect().Contains(x, y);
    if (hot != FMarkerHot) {
        FMarkerHot = hot;
        Invalidate();
    }
    if (!inside) {
        FMouseTimer.Stop();
        if (!FEngaged) SetActive(-1);
        return;
    }
    int i = ObjectAt(x, y);
    if (FCaptureObject >= 0 && i != FCaptureObject) i = -1;
    if (i < 0 && FEngaged) return;  // the open item stays active
    SetActive(i);
}

void TvlSkinMainMenuBar::OnTimer(TMessage& m) {
    if (m.WParam == FMouseTimer.Id()) {
        POINT p;
        GetCursorPos(&p);
        bool inside = WindowFromPoint(p) == Handle();
        ScreenToClient(Handle(), &p);
        TrackPoint(p.x, p.y, inside);
    } else if (m.WParam == FMorphTimer.Id()) {
        bool moved = false;
        for (auto& o : FObjects)
            if (o->CanMorph()) {
                o->MorphFactor = std::clamp(o->MorphFactor + (o->Active ? 0.2 : -0.2), 0.0, 1.0);
                moved = true;
            }
        if (!moved) FMorphTimer.Stop();
        Invalidate();
    } else {
        TvlSkinControl::OnTimer(m);
    }
}

void TvlSkinMainMenuBar::OnMouse(TMessage& m) {
    int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    switch (m.Msg) {
        case WM_MOUSEMOVE:
            FMouseTimer.Start(Handle());
            TrackPoint(x, y, true);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            TrackPoint(x, y, true);
            if (FActiveObject < 0) {
                if (FScroll && ScrollMenu && MarkerRect().Contains(x, y)) OpenOverflow();
                break;
            }
            FCaptureObject = FActiveObject;
            TvlMenuBarObject* o = FObjects[static_cast<size_t>(FCaptureObject)].get();
            bool button = FCaptureObject < FChildButtons;
            if (button) SetCapture(Handle());
            o->MouseDown(x, y, mbLeft);
            if (m.Msg == WM_LBUTTONDBLCLK && FCaptureObject >= 0) o->DblClick();
            break;
        }
        case WM_LBUTTONUP:
            if (FCaptureObject >= 0 && FCaptureObject < static_cast<int>(FObjects.size())) {
                TvlMenuBarObject* o = FObjects[static_cast<size_t>(FCaptureObject)].get();
                o->PointerInside = o->ObjectRect.Contains(x, y);
                FCaptureObject = -1;
                if (GetCapture() == Handle()) ReleaseCapture();
                o->MouseUp(x, y, mbLeft);
            }
            break;
        case WM_MOUSELEAVE: TrackPoint(-1, -1, false); break;
        default: break;
    }
    m.Result = 0;
}

void TvlSkinMainMenuBar::ItemMouseDown(TvlSkinMainMenuBarItem* item) {
    TvlFormMenus* menus = Menus();
    FCaptureObject = -1;
    if (item->MenuItem->Count() > 0) {
        if (item->Down) return;
        OpenItemMenu(item);
        return;
    }
    // An item without sub-items runs its command at once.
    if (menus && menus->TrackingMenuBar()) menus->LeaveMainMenuMode();
    if (menus && menus->InMenu()) menus->MenuClosed();
    Invalidate();
    item->MenuItem->Click();
}

void TvlSkinMainMenuBar::OpenItemMenu(TvlSkinMainMenuBarItem* item) {
    TvlFormMenus* menus = Menus();
    if (!menus || !item->MenuItem->Enabled) return;
    for (int i = 0; i < ItemCount(); ++i)
        if (Item(i) != item && (Item(i)->Down || Item(i)->Active)) {
            Item(i)->Down = Item(i)->Active = false;
            Item(i)->MorphFactor = 0;
        }
    FActiveObject = FChildButtons + [&] {
        for (int i = 0; i < ItemCount(); ++i)
            if (Item(i) == item) return i;
        return 0;
    }();
    FEngaged = true;
    item->Active = true;
    if (item->MenuItem->Count() == 0) {
        // Onto an item without a menu: the open one closes, the bar tracks on.
        menus->CloseMenusKeepingTheBar();
        Invalidate();
        return;
    }
    item->Down = true;
    item->MorphFactor = 1;
    if (!menus->TrackingMenuBar()) menus->EnterMainMenuMode();
    menus->MenuOpened();
    TRect anchor = item->ObjectRect;
    POINT origin{0, 0};
    ClientToScreen(Handle(), &origin);
    anchor = Offset(anchor, origin.x, origin.y);
    Invalidate();
    menus->SkinMenu()->Popup(this, menus->MenuSkin(), PopupToUp, item->MenuItem, anchor, 0);
}

void TvlSkinMainMenuBar::OpenOverflow() {
    TvlFormMenus* menus = Menus();
    if (!menus || !FMainMenu) return;
    int shown = 0;
    for (int i = 0; i < ItemCount(); ++i) shown += Item(i)->Shown ? 1 : 0;
    // The menu's own items from the first that did not fit (hidden ones count as not there).
    int start = 0;
    for (int seen = 0; start < FMainMenu->RootItem()->Count() && seen < shown; ++start)
        if (FMainMenu->RootItem()->Item(start)->Visible) ++seen;
    menus->MenuOpened();
    POINT origin{0, 0};
    ClientToScreen(Handle(), &origin);
    menus->SkinMenu()->Popup(this, menus->MenuSkin(), PopupToUp, FMainMenu->RootItem(),
                             Offset(MarkerRect(), origin.x, origin.y), start);
}

namespace {
// The keyboard moved to the bar's active item: assistive tools follow it.
void AnnounceActive(TvlSkinMainMenuBar* bar) {
    if (bar->ActiveObject() >= 0) vlAccessEvent(bar, EVENT_OBJECT_FOCUS, bar->ActiveObject() + 1);
}
}  // namespace

void TvlSkinMainMenuBar::EnterKeyboardMode() {
    TvlFormMenus* menus = Menus();
    if (!menus || ItemCount() == 0) return;
    FEngaged = true;
    TvlSkinMainMenuBarItem* down = DownItem();
    int index = -1;
    for (int i = 0; i < ItemCount() && index < 0; ++i)
        if (down ? Item(i) == down : Item(i)->Shown && Item(i)->Enabled) index = i;
    if (index >= 0) {
        for (int i = 0; i < ItemCount(); ++i) Item(i)->Active = false;
        FActiveObject = FChildButtons + index;
        Item(index)->Active = true;
    }
    AnnounceActive(this);
    if (!menus->TrackingMenuBar()) menus->EnterMainMenuMode();
    Invalidate();
}

void TvlSkinMainMenuBar::ExitTracking() {
    FEngaged = false;
    for (int i = 0; i < ItemCount(); ++i) {
        Item(i)->Down = false;
        Item(i)->Active = false;
        Item(i)->MorphFactor = 0;
    }
    FActiveObject = -1;
    Invalidate();
}

int TvlSkinMainMenuBar::NextItem(int from, int step) const {
    int n = ItemCount();
    for (int k = 1; k <= n; ++k) {
        int i = ((from + step * k) % n + n) % n;
        if (Item(i)->Shown && Item(i)->Enabled && Item(i)->MenuItem->Enabled) return i;
    }
    return -1;
}

void TvlSkinMainMenuBar::MoveLeft() { MoveBy(-1); }

void TvlSkinMainMenuBar::MoveRight() { MoveBy(1); }

void TvlSkinMainMenuBar::MoveBy(int step) {
    int current = FActiveObject - FChildButtons;
    // Without a highlighted item, left steps from the first item and right
    // from the last: both wrap round to the far end.
    if (current < 0) current = step < 0 ? 0 : ItemCount() - 1;
    int next = NextItem(current, step);
    if (next < 0) return;
    bool onItem = current < ItemCount();
    if (onItem && Item(current)->Down) {
        OpenItemMenu(Item(next));
        return;
    }
    if (onItem) Item(current)->Active = false;
    Item(next)->Active = true;
    FActiveObject = FChildButtons + next;
    Invalidate();
    AnnounceActive(this);
}

void TvlSkinMainMenuBar::EnterKey() {
    int current = FActiveObject - FChildButtons;
    if (current < 0 || current >= ItemCount()) return;
    TvlSkinMainMenuBarItem* item = Item(current);
    if (item->MenuItem->Count() == 0 || !item->Down) ItemMouseDown(item);
}

bool TvlSkinMainMenuBar::AcceleratorKey(char key) {
    key = static_cast<char>(toupper(static_cast<unsigned char>(key)));
    for (int i = 0; i < ItemCount(); ++i) {
        TvlSkinMainMenuBarItem* item = Item(i);
        if (!item->Shown || !item->Enabled || !item->MenuItem->Enabled) continue;
        if (AcceleratorOf(item->MenuItem->Caption) != key) continue;
        if (!item->Down) {
            if (TvlFormMenus* menus = Menus(); menus && !menus->TrackingMenuBar()) {
                FEngaged = true;
                menus->EnterMainMenuMode();
            }
            ItemMouseDown(item);
        }
        return true;
    }
    return false;
}

bool TvlSkinMainMenuBar::HandleShortcut(MSG& msg) {
    if (!FMainMenu || !HandleAllocated() || !IsWindowVisible(Handle())) return false;
    TForm* form = GetParentForm(this);
    if (!form || !form->HandleAllocated() || GetAncestor(msg.hwnd, GA_ROOT) != form->Handle()) return false;
    if (msg.message == WM_SYSCHAR) {
        // Alt with an item's letter opens that item.
        TvlFormMenus* menus = Menus();
        if (menus && menus->SkinMenu()->Visible && !menus->TrackingMenuBar()) return false;
        return AcceleratorKey(static_cast<char>(msg.wParam));
    }
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    if (TvlFormMenus* menus = Menus(); menus && (menus->InMenu() || menus->TrackingMenuBar())) return false;
    TShiftState shift = (GetKeyState(VK_SHIFT) < 0 ? ssShift : 0) | (GetKeyState(VK_CONTROL) < 0 ? ssCtrl : 0) |
                        (GetKeyState(VK_MENU) < 0 ? ssAlt : 0);
    TMenuItem* item = FMainMenu->FindShortCut(ShortCut(static_cast<unsigned short>(msg.wParam), shift));
    if (!item) return false;
    item->Click();
    return true;
}

void TvlSkinMainMenuBar::ShowChildButtons(TForm* child) {
    HideChildButtons();
    FChild = child;
    if (child) FreeNotification(child);
    TvlFormMenus* childMenus = FindFormMenus(child);
    TvlWindowCommands* childFrame = childMenus ? childMenus->Commands() : nullptr;
    TvlBorderIcons icons = childFrame ? childFrame->BorderIcons() : vlbiSystemMenu | vlbiMinimize | vlbiMaximize;
    const TvlDataSkinMainMenuBar* e = Element();
    auto data = [&](const std::string& fromSkin, const char* builtIn) -> const TvlDataSkinStdButton* {
        if (!SkinData()) return nullptr;
        std::string name = e && !fromSkin.empty() ? fromSkin : builtIn;
        int i = SkinData()->FindObjectIndex(name);
        return i < 0 ? nullptr : dynamic_cast<const TvlDataSkinStdButton*>(SkinData()->SkinObjects[static_cast<size_t>(i)].get());
    };
    std::vector<std::unique_ptr<TvlMenuBarObject>> objects;
    auto add = [&](TvlMenuBarCommand c, const TvlDataSkinStdButton* d, bool visible) {
        auto b = std::make_unique<TvlSkinMainMenuBarButton>(this, c, d);
        b->Visible = b->Enabled = visible;
        objects.push_back(std::move(b));
    };
    add(mbcSysMenu, data(e ? e->SysMenuButton : "", "SysMenuButton"), icons & vlbiSystemMenu);
    add(mbcClose, data(e ? e->CloseButton : "", "CloseButton"), true);
    add(mbcMaximize, data(e ? e->MaxButton : "", "MaxButton"), true);
    add(mbcMinimize, data(e ? e->MinButton : "", "MinButton"), icons & vlbiMinimize);
    FChildButtons = static_cast<int>(objects.size());
    for (auto& o : FObjects) objects.push_back(std::move(o));
    FObjects = std::move(objects);
    FActiveObject = FPreviousActive = FCaptureObject = -1;
    Layout();
    Invalidate();
}

void TvlSkinMainMenuBar::HideChildButtons() {
    if (!FChildButtons) {
        if (FChild) RemoveFreeNotification(FChild);
        FChild = nullptr;
        return;
    }
    FObjects.erase(FObjects.begin(), FObjects.begin() + FChildButtons);
    FChildButtons = 0;
    if (FChild) RemoveFreeNotification(FChild);
    FChild = nullptr;
    FActiveObject = FPreviousActive = FCaptureObject = -1;
    Layout();
    Invalidate();
}

void TvlSkinMainMenuBar::RunButton(TvlMenuBarCommand command) {
    TForm* child = FChild;
    if (!child) return;
    TvlFormMenus* childMenus = FindFormMenus(child);
    TvlWindowCommands* childFrame = childMenus ? childMenus->Commands() : nullptr;
    switch (command) {
        case mbcClose: child->Close(); break;
        case mbcMaximize:
            if (childFrame) childFrame->SetFrameWindowState(fwsNormal);
            break;
        case mbcMinimize:
            if (childFrame) childFrame->SetFrameWindowState(fwsMinimized);
            break;
        case mbcSysMenu: {
            if (!childFrame) break;
            TvlMenuBarObject* button = nullptr;
            for (int i = 0; i < FChildButtons; ++i)
                if (static_cast<TvlSkinMainMenuBarButton*>(FObjects[static_cast<size_t>(i)].get())->Command ==
                    mbcSysMenu)
                    button = FObjects[static_cast<size_t>(i)].get();
            POINT origin{0, 0};
            ClientToScreen(Handle(), &origin);
            TRect anchor = button ? Offset(button->ObjectRect, origin.x, origin.y) : TRect{origin.x, origin.y, origin.x, origin.y};
            // The child's menu through this form's engine, with its commands.
            if (TvlFormMenus* menus = Menus()) {
                menus->MenuOpened();
                childMenus->BuildSystemMenu();
                menus->SkinMenu()->Popup(this, menus->MenuSkin(), false, childMenus->BuiltInSystemMenu()->RootItem(),
                                         anchor, 0);
            }
            if (button) {
                button->Down = false;
                Invalidate();
            }
            break;
        }
    }
}
