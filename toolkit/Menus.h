#pragma once
// Menus as data: items with captions, shortcuts, check and radio marks,
// images and sub-items, and the menus that hold them. How a menu is shown is
// up to the menu: the plain popup menu uses the platform's, a skinned one
// routes its popup to the skin engine.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Classes.h"

class TAction;
class TActionLink;
class TImageList;
class TMenu;

// A shortcut as the platform's virtual key in the low byte plus modifiers.
using TShortCut = unsigned short;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
inline TShortCut ShortCut(unsigned short key, TShiftState shift) {
    return static_cast<TShortCut>((key & 0xFF) | ((shift & ssShift) ? scShift : 0) | ((shift & ssCtrl) ? scCtrl : 0) |
                                  ((shift & ssAlt) ? scAlt : 0));
}
// "Ctrl+C", "Alt+F4", "Shift+Del"; empty for no shortcut.
std::string ShortCutToText(TShortCut shortCut);
// The reverse; scNone for a text that names no key.
TShortCut TextToShortCut(const std::string& text);

class TMenuItem : public TComponent {
public:
    TMenuItem(TComponent* owner, const std::string& caption);
    ~TMenuItem() override;

    std::string Caption;  // "-" is a separator
    TShortCut ShortCut = scNone;
    bool Enabled = true;
    bool Visible = true;
    bool Checked = false;
    bool RadioItem = false;
    bool Default = false;  // drawn in bold
    int ImageIndex = -1;   // in the menu's image list
    int GroupIndex = 0;    // main menus merge top-level items by group
    std::string Hint;      // shown while the item is highlighted
    TNotifyEvent OnClick;
    // Draws the item instead of the menu's own look (canvas, highlighted, text rectangle).
    std::function<void(TMenuItem* item, HDC dc, const RECT& textRect, bool selected)> OnDrawItem;

    bool IsSeparator() const { return Caption == "-"; }
    // Runs OnClick when enabled; without one, executes the action.
    void Click();
    // The item shows its action's caption, state, image, shortcut and hint, and
    // follows every change of it.
    TAction* Action() const;
    void SetAction(TAction* action);

    // Sub-items, in order; the item does not own them (their owner does),
    // and a sub-item that is destroyed leaves the list.
    const std::vector<TMenuItem*>& Items() const { return FItems; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Item(int i) const { return FItems.at(static_cast<size_t>(i)); }
    TMenuItem* Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    // Removes every sub-item and frees those it owns.
    void Clear();
    TMenuItem* Parent() const { return FParent; }
    // The menu this item belongs to (through its parents), or null.
    TMenu* GetParentMenu() const;

private:
    friend class TMenu;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on a menu's root item only
    std::vector<TMenuItem*> FItems;
    std::unique_ptr<TActionLink> FActionLink;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    // The root item whose sub-items are the menu's items.
    TMenuItem* RootItem() const { return FRoot; }
    // The top-level items (the root's sub-items).
    const std::vector<TMenuItem*>& Items() const { return FRoot->Items(); }
    TMenuItem* Add(TMenuItem* item) { return FRoot->Add(item); }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* images);
    // The first item, at any depth, whose shortcut is `shortCut` and that is
    // enabled and visible; null when none.
    TMenuItem* FindShortCut(TShortCut shortCut) const;

protected:
    void Notification(TComponent* component, bool removing) override;

private:
    TMenuItem* FRoot;  // owned
    TImageList* FImages = nullptr;
};

class TPopupMenu : public TMenu {
public:
    using TMenu::TMenu;
    TNotifyEvent OnPopup;
    // Whether the menu opens by itself on a right click (or whatever its
    // holder uses); a menu that does not is opened by code only.
    bool AutoPopup = true;
    // The component that opened the menu last, told by that component.
    TComponent* PopupComponent() const { return FPopupComponent.get(); }
    void SetPopupComponent(TComponent* component) { FPopupComponent.Set(component); }
    // The lowest-indexed top-level item marked Default, or null.
    TMenuItem* DefaultItem() const;
    // Shows the menu at screen coordinates and runs the chosen item. The
    // plain menu is the platform's, over the window of the control that
    // owns the menu.
    virtual void Popup(int x, int y);

    // When set, Popup calls it instead of showing the menu (tests answer the
    // menu without a menu loop).
    std::function<void(TPopupMenu* menu, int x, int y)> Presenter;

protected:
    void Notification(TComponent* component, bool removing) override;

private:
    TComponentRef<TComponent> FPopupComponent{this};
};

// The items of a window's menu bar; shown by a menu bar control.
class TMainMenu : public TMenu {
public:
    using TMenu::TMenu;
};
