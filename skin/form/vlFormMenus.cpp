#include "skin/form/vlFormMenus.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/form/vlSkinMenus.h"

namespace {
std::vector<TvlFormMenus*>& AllFormMenus() {
    static std::vector<TvlFormMenus*> all;
    return all;
}
}  // namespace

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

TvlFormMenus* FindFormMenus(const TForm* form) {
    if (!form) return nullptr;
    for (TvlFormMenus* menus : AllFormMenus())
        if (menus->Form() == form) return menus;
    return nullptr;
}

TvlFormMenus::TvlFormMenus(TComponent* owner, TForm* form, TvlWindowCommands* commands,
                           const TvlMenuSettings* settings)
    : TComponent(owner), FForm(form), FCommands(commands), FSettings(settings ? settings : &FOwnSettings) {
    Name = "FormMenus";
    AllFormMenus().push_back(this);
    FSkinMenu = new TvlSkinMenu(this, FForm);
    FSystemMenu = new TPopupMenu(this);
    FSystemMenu->Name = "SystemMenu";
    FTrayMenu = new TvlSkinPopupMenu(this);
    FTrayMenu->Name = "TrayMenu";
    FTrayMenu->ComponentForm = FForm;
    RebuildTrayMenu();
    FMenuHook = new TMessageHook(this, [this](MSG& msg) { return MenuHook(msg); });
    // In the application's hook chain only while a menu is open.
    if (Application) Application->RemoveMessageHook(FMenuHook);
}

TvlFormMenus::~TvlFormMenus() {
    *FAlive = false;
    if (Application && FMenuHook) Application->RemoveMessageHook(FMenuHook);
    auto& all = AllFormMenus();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

void TvlFormMenus::Notification(TComponent* component, bool removing) {
    TComponent::Notification(component, removing);
    if (!removing) return;
    FSkinData.Removed(component);
    FMenusSkinData.Removed(component);
    FUserSystemMenu.Removed(component);
    FSkinHint.Removed(component);
    if (FMainMenuBar && component == FMainMenuBar->BarComponent()) {
        FMainMenuBar = nullptr;
        FTrackingMenuBar = false;
        UpdateMenuHook();
    }
}

void TvlFormMenus::SetSkinData(TvlSkinData* skinData) {
    FSkinData.Set(skinData);
    RebuildTrayMenu();
}

// ---- The built-in menus ----------------------------------------------------------

std::vector<TvlSysMenuItem> TvlFormMenus::SystemMenuItems() const {
    return FCommands ? FCommands->SystemMenuItems() : std::vector<TvlSysMenuItem>{};
}

std::vector<TvlSysMenuItem> TvlFormMenus::TrayMenuItems() const {
    return FCommands ? FCommands->TrayMenuItems() : std::vector<TvlSysMenuItem>{};
}

void TvlFormMenus::RunItem(const std::string& name) {
    if (FCommands) FCommands->RunSystemMenuItem(name);
}

// One built-in menu item, owned by `root`, running its command on the window.
TMenuItem* TvlFormMenus::MakeItem(TMenuItem* root, const TvlSysMenuItem& i) {
    auto* item = new TMenuItem(root, i.Caption);
    item->Name = i.Name;
    item->ShortCut = TextToShortCut(i.ShortCut);
    std::string name = i.Name;
    if (!name.empty()) item->OnClick = [this, name](TObject*) { RunItem(name); };
    return item;
}

void TvlFormMenus::Fill(TMenu* menu, const std::vector<TvlSysMenuItem>& items) {
    TMenuItem* root = menu->RootItem();
    root->Clear();
    for (const TvlSysMenuItem& i : items) root->Add(MakeItem(root, i));
}

void TvlFormMenus::BuildSystemMenu() { Fill(FSystemMenu, SystemMenuItems()); }

void TvlFormMenus::RebuildTrayMenu() {
    // The tray menu may be showing: it closes before its items go.
    if (FSkinMenu->Visible && FSkinMenu->WindowCount() > 0 &&
        FSkinMenu->Window(0)->SourceItem == FTrayMenu->RootItem())
        FSkinMenu->CloseAll();
    Fill(FTrayMenu, TrayMenuItems());
}

void TvlFormMenus::MergeWindowCommands(TPopupMenu* menu) {
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
            if (i.Name == name) root->Insert(at++, MakeItem(root, i));
    for (const TvlSysMenuItem& i : items)
        if (i.Name == "LQR_CLOSE") root->Add(MakeItem(root, i));
}

// ---- Opening and closing ---------------------------------------------------------

void TvlFormMenus::ForwardSettings() {
    const TvlMenuSettings& s = *FSettings;
    TvlSkinMenu* e = FSkinMenu;
    e->AlphaBlend = s.MenusAlphaBlend;
    e->AlphaBlendAnimation = s.MenusAlphaBlendAnimation;
    e->AlphaBlendValue = s.MenusAlphaBlendValue;
    if (s.MaxMenuItemsInWindow >= 0) e->MaxMenuItemsInWindow = s.MaxMenuItemsInWindow;
    if (s.DefMenuItemHeight > 0) e->DefaultMenuItemHeight = s.DefMenuItemHeight;
    e->DefaultMenuItemFont = s.DefMenuItemFont;
    e->UseSkinFont = s.UseSkinFontInMenu;
}

void TvlFormMenus::UpdateMenuHook() {
    bool wanted = (FInMenu || FTrackingMenuBar) && Application;
    if (wanted == FMenuHookActive) return;
    if (wanted)
        Application->AddMessageHook(FMenuHook);
    else if (Application)
        Application->RemoveMessageHook(FMenuHook);
    FMenuHookActive = wanted;
}

void TvlFormMenus::MenuOpened() {
    ForwardSettings();
    if (FInMenu) return;
    FInMenu = true;
    UpdateMenuHook();
    if (FCommands) FCommands->MenusShown(true);
}

void TvlFormMenus::MenuClosed() {
    FInMenu = false;
    UpdateMenuHook();
    if (FCommands) FCommands->MenusShown(false);
    if (FTrackingMenuBar) LeaveMainMenuMode();
}

bool TvlFormMenus::ShowControlMenu(const TPopupMenuRequest& request) {
    if (!request.Menu) return false;
    TvlSkinData* skin = dynamic_cast<TvlSkinData*>(request.SkinData);
    if (!skin) skin = MenuSkin();
    if (!skin) return false;
    if (FSkinMenu->Visible) MenuClosed();
    MenuOpened();
    FSkinMenu->Popup(request.Control, skin, false, request.Menu->RootItem(),
                     {request.X, request.Y, request.X, request.Y}, 0);
    return true;
}

void TvlFormMenus::PopupSystemMenu(int x, int y) { PopupSystemMenuAt({x, y, x, y}, false); }

void TvlFormMenus::PopupSystemMenuAt(const TRect& anchor, bool popupUp) {
    if (!FForm || !FForm->HandleAllocated()) return;
    if (SystemMenuPopup) {
        std::vector<TvlSysMenuItem> items = SystemMenuItems();
        std::shared_ptr<bool> alive = FAlive;
        MenuOpened();
        std::string chosen = SystemMenuPopup(items, POINT{anchor.Left, anchor.Bottom});
        if (!*alive) return;
        MenuClosed();
        if (!chosen.empty()) RunItem(chosen);
        return;
    }
    // An open menu (perhaps this one) closes before the items are rebuilt.
    if (FSkinMenu->Visible) FSkinMenu->CloseAll();
    TPopupMenu* menu = FUserSystemMenu.get();
    if (!menu) {
        BuildSystemMenu();
        menu = FSystemMenu;
    } else if (FSettings->UseDefaultSysMenu) {
        MergeWindowCommands(menu);
    }
    MenuOpened();
    FSkinMenu->Popup(nullptr, MenuSkin(), popupUp, menu->RootItem(), anchor, 0);
}

bool TvlFormMenus::PopupItemAt(TMenuItem* item, const TRect& anchor, bool popupUp) {
    if (!item || item->Count() == 0 || !FForm || !FForm->HandleAllocated()) return false;
    if (auto* own = dynamic_cast<TvlSkinPopupMenu*>(item->GetParentMenu()); own && item == own->RootItem()) {
        own->PopupAtRect(anchor, popupUp);
        return true;
    }
    if (FSkinMenu->Visible) FSkinMenu->CloseAll();
    MenuOpened();
    FSkinMenu->Popup(nullptr, MenuSkin(), popupUp, item, anchor, 0);
    return true;
}

bool TvlFormMenus::CloseMenusFor(const TMessage& m, HWND formWindow) {
    if (m.Msg == WM_PARENTNOTIFY && FMainMenuBar && FMainMenuBar->BarWindow() && formWindow) {
        // A click on the menu bar is the bar's (through the message hook).
        POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        ClientToScreen(formWindow, &p);
        if (WindowFromPoint(p) == FMainMenuBar->BarWindow()) return true;
    }
    if (FTrackingMenuBar && !FSkinMenu->Visible) {
        LeaveMainMenuMode();
    } else if (FSkinMenu->Visible) {
        std::shared_ptr<bool> alive = FAlive;
        FSkinMenu->CloseAll();
        if (!*alive) return false;
    } else if (FInMenu) {
        MenuClosed();
    }
    return true;
}

// ---- The menu bar ------------------------------------------------------------------

void TvlFormMenus::SetMainMenuBar(TvlMenuBarKeys* bar) {
    if (FMainMenuBar == bar) return;
    if (FTrackingMenuBar) LeaveMainMenuMode();
    if (FMainMenuBar) RemoveFreeNotification(FMainMenuBar->BarComponent());
    FMainMenuBar = bar;
    if (bar) FreeNotification(bar->BarComponent());
}

void TvlFormMenus::EnterMainMenuMode() {
    if (FTrackingMenuBar) return;
    FTrackingMenuBar = true;
    UpdateMenuHook();
    if (FCommands) FCommands->MainMenuModeChanged(true);
}

void TvlFormMenus::LeaveMainMenuMode() {
    if (!FTrackingMenuBar) return;
    FTrackingMenuBar = false;
    if (FSkinMenu->Visible) FSkinMenu->CloseAll();
    if (FMainMenuBar) FMainMenuBar->ExitTracking();
    UpdateMenuHook();
    if (FCommands) FCommands->MainMenuModeChanged(false);
}

void TvlFormMenus::CloseMenusKeepingTheBar() {
    bool tracking = FTrackingMenuBar;
    FTrackingMenuBar = false;
    if (FSkinMenu->Visible)
        FSkinMenu->CloseAll();
    else if (FInMenu)
        MenuClosed();
    FTrackingMenuBar = tracking;
    UpdateMenuHook();
}

bool TvlFormMenus::AltKey() {
    if (!FMainMenuBar) return false;
    if (FTrackingMenuBar) {
        LeaveMainMenuMode();
    } else {
        if (FSkinMenu->Visible) FSkinMenu->CloseAll();
        FMainMenuBar->EnterKeyboardMode();
    }
    return true;
}

bool TvlFormMenus::MenuBarKey(WORD key) {
    TvlSkinMenu* engine = FSkinMenu;
    TvlMenuBarKeys* bar = FMainMenuBar;
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

// A click while a menu is open: anywhere but on the menu it closes the menu
// and goes on; on the bar's item whose menu is open it only closes it.
bool TvlFormMenus::ClickWhileOpen(const MSG& msg) {
    if (FSkinMenu->IsMenuWindow(msg.hwnd)) return false;
    if (FMainMenuBar && msg.hwnd == FMainMenuBar->BarWindow() && msg.message == WM_LBUTTONDOWN) {
        bool onDown = FMainMenuBar->OnDownItem(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
        FSkinMenu->CloseAll();
        return onDown;
    }
    FSkinMenu->CloseAll();
    return false;
}

bool TvlFormMenus::MenuHook(MSG& msg) {
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
                if (msg.hwnd != FMainMenuBar->BarWindow()) LeaveMainMenuMode();
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
        case WM_NCMBUTTONDOWN: return ClickWhileOpen(msg);
        default: return false;
    }
}

// ---- Hints of the caption objects ---------------------------------------------------

void TvlFormMenus::ShowObjectHint(const std::string& text) {
    if (FSkinHint.get() && !text.empty()) FSkinHint->ShowHintAtCursor(text);
}

void TvlFormMenus::HideObjectHint() {
    if (FSkinHint.get()) FSkinHint->HideHint();
}

// ---- The skinned popup menu --------------------------------------------------------

TvlFormMenus* TvlSkinPopupMenu::FindMenus() const {
    if (ComponentForm) return FindFormMenus(ComponentForm);
    if (auto* form = dynamic_cast<TForm*>(Owner())) return FindFormMenus(form);
    if (Owner())
        if (auto* form = dynamic_cast<TForm*>(Owner()->Owner())) return FindFormMenus(form);
    return nullptr;
}

void TvlSkinPopupMenu::Notification(TComponent* component, bool removing) {
    TPopupMenu::Notification(component, removing);
    if (removing) FSkinData.Removed(component);
}

void TvlSkinPopupMenu::Show(TWinControl* control, const TRect& anchor, bool popupUp, bool needSkin) {
    if (OnPopup) OnPopup(this);
    if (Presenter) {
        Presenter(this, anchor.Left, anchor.Top);
        return;
    }
    TvlFormMenus* menus = FindMenus();
    if (!menus) return;
    TvlSkinData* skin = SkinData() ? SkinData() : menus->MenuSkin();
    if (needSkin && !skin) return;
    TvlSkinMenu* engine = menus->SkinMenu();
    if (engine->Visible) menus->MenuClosed();
    menus->MenuOpened();
    engine->Popup(control, skin, popupUp, RootItem(), anchor, 0);
}

void TvlSkinPopupMenu::Popup(int x, int y) { Show(nullptr, {x, y, x, y}, false, false); }

void TvlSkinPopupMenu::PopupFromControl(TWinControl* control, int x, int y) {
    Show(control, {x, y, x, y}, false, true);
}

void TvlSkinPopupMenu::PopupAtRect(const TRect& anchor, bool popupUp) { Show(nullptr, anchor, popupUp, false); }
