#pragma once
// The menu side of a form: the engine that shows every menu opened from the
// form (system menu, tray menu, context menus, the menu bar's menus), the
// built-in system and tray menus, the keys and clicks while a menu is open,
// the menu bar's tracking and the caption objects' hints. The form's frame
// creates one and answers its window commands; menus and bars find it
// through the form and never see the frame.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "skin/controls/vlSkinRelay.h"
#include "skin/data/vlSkinData.h"
#include "skin/form/vlSkinHint.h"
#include "skin/form/vlWindowCommands.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

class TvlSkinMenu;
class TvlSkinPopupMenu;
class TMessageHook;

// The settings a frame forwards to its menu engine whenever a menu opens.
struct TvlMenuSettings {
    bool MenusAlphaBlend = false, MenusAlphaBlendAnimation = false;
    uint8_t MenusAlphaBlendValue = 200;
    int MaxMenuItemsInWindow = 0;  // negative: ignored
    int DefMenuItemHeight = 20;    // 0 or less: ignored
    TFont DefMenuItemFont{"Arial", 14};
    bool UseSkinFontInMenu = true;
    // Adds the window commands to a user's system menu before it opens.
    bool UseDefaultSysMenu = true;
};

// What the menu side asks of a main menu bar while it tracks the keyboard.
class TvlMenuBarKeys {
public:
    virtual TComponent* BarComponent() = 0;
    virtual HWND BarWindow() = 0;
    virtual void EnterKeyboardMode() = 0;
    virtual void ExitTracking() = 0;
    virtual void MoveLeft() = 0;
    virtual void MoveRight() = 0;
    virtual void EnterKey() = 0;
    virtual bool AcceleratorKey(char key) = 0;
    // Whether a bar-client point lies on the item whose menu is open.
    virtual bool OnDownItem(int x, int y) const = 0;

protected:
    ~TvlMenuBarKeys() = default;
};

// Messages to a form that close an open menu before they are handled.
bool DismissesMenus(const TMessage& m);

class TvlFormMenus : public TComponent {
public:
    // `commands` answers the window commands (none: the menus offer only
    // Close); `settings` are read whenever a menu opens (none: defaults).
    TvlFormMenus(TComponent* owner, TForm* form, TvlWindowCommands* commands, const TvlMenuSettings* settings);
    ~TvlFormMenus() override;

    TForm* Form() const { return FForm; }
    TvlWindowCommands* Commands() const { return FCommands; }

    // The window's skin, and the skin of its menus when MenusSkinData is none.
    TvlSkinData* SkinData() const { return FSkinData.get(); }
    void SetSkinData(TvlSkinData* skinData);
    TvlSkinData* MenusSkinData() const { return FMenusSkinData.get(); }
    void SetMenusSkinData(TvlSkinData* skinData) { FMenusSkinData.Set(skinData); }
    TvlSkinData* MenuSkin() const { return MenusSkinData() ? MenusSkinData() : SkinData(); }
    // A menu of the user's in place of the built-in system menu.
    TPopupMenu* SystemMenu() const { return FUserSystemMenu.get(); }
    void SetSystemMenu(TPopupMenu* menu) { FUserSystemMenu.Set(menu); }
    TvlSkinHint* SkinHint() const { return FSkinHint.get(); }
    void SetSkinHint(TvlSkinHint* hint) { FSkinHint.Set(hint); }

    // The engine, which shows every menu opened from the form.
    TvlSkinMenu* SkinMenu() const { return FSkinMenu; }
    // The built-in system menu as last built (rebuilt before every use).
    TPopupMenu* BuiltInSystemMenu() const { return FSystemMenu; }
    // The tray icon's menu: Restore, a separator, Close.
    TvlSkinPopupMenu* TrayMenu() const { return FTrayMenu; }
    void BuildSystemMenu();
    void RebuildTrayMenu();

    // A menu opened from the form is showing.
    bool InMenu() const { return FInMenu; }
    // The bookkeeping around every menu the form opens.
    void MenuOpened();
    void MenuClosed();
    // A control's own popup menu (an edit's context menu) through the
    // engine; false without a skin for it.
    bool ShowControlMenu(const TPopupMenuRequest& request);
    void PopupSystemMenu(int x, int y);
    // The system menu beside a rectangle (screen): below it, or above it.
    void PopupSystemMenuAt(const TRect& anchor, bool popupUp);
    // The sub-items of `item` beside a rectangle (screen): through its own
    // skinned popup menu when it belongs to one, else through the engine.
    // False when the item has no sub-items.
    bool PopupItemAt(TMenuItem* item, const TRect& anchor, bool popupUp);
    // A test's stand-in for the system menu: answers at once with the name
    // of the chosen item (empty for none).
    std::function<std::string(const std::vector<TvlSysMenuItem>& items, POINT at)> SystemMenuPopup;

    // The skinned menu bar linked to the form.
    TvlMenuBarKeys* MainMenuBar() const { return FMainMenuBar; }
    void SetMainMenuBar(TvlMenuBarKeys* bar);
    // The menu bar tracks the keyboard or the mouse (main-menu mode).
    bool TrackingMenuBar() const { return FTrackingMenuBar; }
    void EnterMainMenuMode();
    void LeaveMainMenuMode();
    // Closes an open menu while the menu bar goes on tracking.
    void CloseMenusKeepingTheBar();
    // Alt alone: the bar's keyboard mode, or out of it; false without a bar.
    bool AltKey();
    // Closes the menus that a dismissing message of the form closes;
    // false when this component went while they closed.
    bool CloseMenusFor(const TMessage& m, HWND formWindow);

    // The caption objects' hint at the cursor, and its end.
    void ShowObjectHint(const std::string& text);
    void HideObjectHint();

protected:
    void Notification(TComponent* component, bool removing) override;

private:
    void ForwardSettings();
    void UpdateMenuHook();
    // Keys and clicks while a menu is open (the application message hook).
    bool MenuHook(MSG& msg);
    // Keys while the menu bar tracks; true when used.
    bool MenuBarKey(WORD key);
    bool ClickWhileOpen(const MSG& msg);
    std::vector<TvlSysMenuItem> SystemMenuItems() const;
    std::vector<TvlSysMenuItem> TrayMenuItems() const;
    void RunItem(const std::string& name);
    TMenuItem* MakeItem(TMenuItem* root, const TvlSysMenuItem& item);
    void Fill(TMenu* menu, const std::vector<TvlSysMenuItem>& items);
    // The window commands at the top of a user system menu, Close at its end.
    void MergeWindowCommands(TPopupMenu* menu);

    TForm* FForm;
    TvlWindowCommands* FCommands;
    TvlMenuSettings FOwnSettings;
    const TvlMenuSettings* FSettings;
    TComponentRef<TvlSkinData> FSkinData{this};
    TComponentRef<TvlSkinData> FMenusSkinData{this};
    TComponentRef<TPopupMenu> FUserSystemMenu{this};
    TComponentRef<TvlSkinHint> FSkinHint{this};
    TvlSkinMenu* FSkinMenu = nullptr;       // owned
    TPopupMenu* FSystemMenu = nullptr;      // owned
    TvlSkinPopupMenu* FTrayMenu = nullptr;  // owned
    TMessageHook* FMenuHook = nullptr;      // owned; in the hook chain while a menu is open or the bar tracks
    bool FMenuHookActive = false;
    bool FInMenu = false;
    TvlMenuBarKeys* FMainMenuBar = nullptr;
    bool FTrackingMenuBar = false;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The menu side of a form, or null.
TvlFormMenus* FindFormMenus(const TForm* form);

// The toolkit popup menu whose popup is shown by the menu engine of its
// form.
class TvlSkinPopupMenu : public TPopupMenu {
public:
    explicit TvlSkinPopupMenu(TComponent* owner) : TPopupMenu(owner) {}

    TvlSkinData* SkinData() const { return FSkinData.get(); }
    void SetSkinData(TvlSkinData* skinData) { FSkinData.Set(skinData); }
    // The form whose menus show the menu; when none, the owner (or the
    // owner's owner) that is a form.
    TForm* ComponentForm = nullptr;

    // At a screen point (context menus).
    void Popup(int x, int y) override;
    // The same with the control that opened the menu (told when it closes
    // and after an item ran); nothing without a skin.
    void PopupFromControl(TWinControl* control, int x, int y);
    // Beside a rectangle (screen), below it or, with popupUp, above it.
    void PopupAtRect(const TRect& anchor, bool popupUp);

    // The menu side that shows the menu, or null.
    TvlFormMenus* FindMenus() const;

protected:
    void Notification(TComponent* component, bool removing) override;

private:
    void Show(TWinControl* control, const TRect& anchor, bool popupUp, bool needSkin);
    TComponentRef<TvlSkinData> FSkinData{this};
};
