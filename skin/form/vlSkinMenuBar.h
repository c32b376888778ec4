#pragma once
// The skinned main menu bar. The planner has no main menu; the bar belongs
// to the frame's contract and is used on test forms.
//
// The menu bar shows the top-level items of a main menu, opens their
// submenus through the form's menu engine, tracks mouse and keyboard like
// a native menu bar (Alt, Left/Right, Enter, Alt+letter, shortcuts), and
// shows the caption buttons of a maximized child form.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/controls/vlSkinControlBase.h"
#include "skin/data/vlSkinData.h"
#include "skin/form/vlFormMenus.h"
#include "skin/form/vlFrameTimer.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

class TMessageHook;
class TvlSkinMainMenuBar;

enum TvlMenuBarCommand { mbcClose, mbcMaximize, mbcMinimize, mbcSysMenu };

// An object on the bar: an item or a child button.
class TvlMenuBarObject {
public:
    explicit TvlMenuBarObject(TvlSkinMainMenuBar* bar) : Bar(bar) {}
    virtual ~TvlMenuBarObject() = default;
    TvlSkinMainMenuBar* Bar;
    std::string IDName;
    const TPixelImage* Picture = nullptr;
    TRect SkinRect, ActiveSkinRect, DownRect, ObjectRect;
    bool Active = false, PointerInside = false, Down = false;
    bool Enabled = true, Visible = true;
    bool Morphing = false;
    int MorphKind = 0;
    double MorphFactor = 0;

    virtual void Draw(TvlFBitmap& bitmap) = 0;
    virtual void MouseDown(int x, int y, TMouseButton button) {}
    virtual void MouseUp(int x, int y, TMouseButton button) {}
    virtual void DblClick() {}
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual bool CanMorph() const;
};

class TvlSkinMainMenuBarItem : public TvlMenuBarObject {
public:
    TvlSkinMainMenuBarItem(TvlSkinMainMenuBar* bar, TMenuItem* item, const TvlDataSkinMainMenuItem* data);
    TMenuItem* MenuItem;
    const TvlDataSkinMainMenuItem* Data;  // the "menubaritem" object, or none
    bool Shown = true;                    // fits on the bar
    void Draw(TvlFBitmap& bitmap) override;
    void MouseDown(int x, int y, TMouseButton button) override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool CanMorph() const override;
};

class TvlSkinMainMenuBarButton : public TvlMenuBarObject {
public:
    TvlSkinMainMenuBarButton(TvlSkinMainMenuBar* bar, TvlMenuBarCommand command, const TvlDataSkinStdButton* data);
    TvlMenuBarCommand Command;
    void Draw(TvlFBitmap& bitmap) override;
    void MouseDown(int x, int y, TMouseButton button) override;
    void MouseUp(int x, int y, TMouseButton button) override;
    void DblClick() override;
};

class TvlSkinMainMenuBar : public TvlSkinControl, public TvlMenuBarKeys {
public:
    TvlSkinMainMenuBar(TComponent* owner, TWinControl* parent);
    ~TvlSkinMainMenuBar() override;

    TMainMenu* MainMenu() const { return FMainMenu; }
    void SetMainMenu(TMainMenu* menu);
    bool ScrollMenu = true;
    bool UseSkinFont = true;
    TFont DefItemFont{"Arial", 14, 0, clSysBase | COLOR_BTNTEXT};
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int h);
    bool PopupToUp = false;
    std::function<void(TMenuItem* item)> OnItemMouseEnter, OnItemMouseLeave;

    // The menu side of the bar's form when the bar is linked to it, or null.
    TvlFormMenus* Menus() const;
    // Rebuilds the items from the menu and repaints.
    void Rebuild();
    void SkinChanged() override;

    // State, for the frame and for tests.
    const std::vector<std::unique_ptr<TvlMenuBarObject>>& Objects() const { return FObjects; }
    int ChildButtonCount() const { return FChildButtons; }
    int ActiveObject() const { return FActiveObject; }
    bool MenuBarEngaged() const { return FEngaged; }
    bool Scroll() const { return FScroll; }
    TRect ItemsRect() const { return FItemsRect; }
    TRect MarkerRect() const;
    TvlSkinMainMenuBarItem* Item(int i) const;  // items only, in menu order
    int ItemCount() const { return static_cast<int>(FObjects.size()) - FChildButtons; }
    TvlSkinMainMenuBarItem* DownItem() const;
    TvlFrameTimer& MouseTimer() { return FMouseTimer; }
    // The child whose buttons are shown, or null.
    TForm* MaximizedChild() const { return FChild; }

    // ---- Called by the form's menu side ----
    TComponent* BarComponent() override { return this; }
    HWND BarWindow() override { return HandleAllocated() ? Handle() : nullptr; }
    // Alt alone: keyboard mode on the down item or the first one.
    void EnterKeyboardMode() override;
    // Main-menu mode ends: the down or active item is released.
    void ExitTracking() override;
    // An Alt+letter that names a shown, enabled item: it becomes active and
    // is clicked; false when no item has that letter.
    bool AcceleratorKey(char key) override;
    void MoveLeft() override;
    void MoveRight() override;
    void EnterKey() override;
    bool OnDownItem(int x, int y) const override;
    // The caption buttons of a maximized child, or none.
    void ShowChildButtons(TForm* child);
    void HideChildButtons();

    // ---- Called by the objects ----
    void ItemMouseDown(TvlSkinMainMenuBarItem* item);
    void OpenItemMenu(TvlSkinMainMenuBarItem* item);
    void RepaintObject(TvlMenuBarObject* object);
    void StartMorph();
    void RunButton(TvlMenuBarCommand command);
    // Mouse tracking at a client point (the 50 ms timer's work).
    void TrackPoint(int x, int y, bool inside);

protected:
    void PaintDefault(TvlFBitmap& bitmap) override { Compose(bitmap); }
    void PaintSkin(TvlFBitmap& bitmap) override { Compose(bitmap); }
    void OnMouse(TMessage& m) override;
    void OnTimer(TMessage& m) override;
    void BoundsChanged() override;
    void Notification(TComponent* component, bool removing) override;

private:
    const TvlDataSkinMainMenuBar* Element() const;
    void Compose(TvlFBitmap& bitmap);
    void Layout();
    void LayoutChildButtons();
    void FitHeight();
    TFont ItemFont(const TvlSkinMainMenuBarItem& item) const;
    int ObjectAt(int x, int y) const;
    void SetActive(int index);
    void OpenOverflow();
    bool HandleShortcut(MSG& msg);
    int NextItem(int from, int step) const;
    // The keyboard's step to the next item to the left (-1) or right (1): an
    // open menu moves there, else the highlight does.
    void MoveBy(int step);

    TMainMenu* FMainMenu = nullptr;
    int FDefaultHeight = 22;
    std::vector<std::unique_ptr<TvlMenuBarObject>> FObjects;  // child buttons first, then items
    int FChildButtons = 0;
    int FActiveObject = -1, FPreviousActive = -1, FCaptureObject = -1;
    bool FEngaged = false;
    bool FScroll = false;
    bool FMarkerHot = false;
    TForm* FChild = nullptr;
    TRect FItemsRect;
    TvlFrameTimer FMouseTimer{0x7621, 50};
    TvlFrameTimer FMorphTimer{0x7622, 20};
    TMessageHook* FKeys = nullptr;  // shortcuts and Alt accelerators of the form
};
