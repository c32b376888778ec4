#pragma once
// The skinned main menu bar and the MDI tab bar. The planner has
// neither a main menu nor MDI windows; both bars belong to the frame's
// contract and are used on test forms.
//
// The menu bar shows the top-level items of a main menu, opens their
// submenus through the frame's menu engine, tracks mouse and keyboard like
// a native menu bar (Alt, Left/Right, Enter, Alt+letter, shortcuts), and
// shows the caption buttons of a maximized child form. The tab bar shows a
// tab per child form, activates a child on click, shows its system menu on
// a right click and lets the user reorder the tabs by dragging.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/controls/vlSkinControlBase.h"
#include "skin/data/vlSkinData.h"
#include "skin/form/vlFrameTimer.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

class TvlLacquer;
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

class TvlSkinMainMenuBar : public TvlSkinControl {
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

    // The frame of the bar's form, or null.
    TvlLacquer* Frame() const;
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

    // ---- Called by the frame ----
    // Alt alone: keyboard mode on the down item or the first one.
    void EnterKeyboardMode();
    // Main-menu mode ends: the down or active item is released.
    void ExitTracking();
    // An Alt+letter that names a shown, enabled item: it becomes active and
    // is clicked; false when no item has that letter.
    bool AcceleratorKey(char key);
    void MoveLeft();
    void MoveRight();
    void EnterKey();
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

// ---- The MDI tab bar ---------------------------------------------------------------

enum TvlSkinMDITabKind { vltkTab, vltkButton };

class TvlSkinMDITabsBar;

struct TvlMDITab {
    TvlSkinMDITabsBar* Bar = nullptr;
    TForm* Child = nullptr;
    TRect Rect;
    bool Active = false;
    bool Hot = false;
};

class TvlSkinMDITabsBar : public TvlSkinControl {
public:
    TvlSkinMDITabsBar(TComponent* owner, TWinControl* parent);
    ~TvlSkinMDITabsBar() override;

    TvlSkinMDITabKind TabKind() const { return FTabKind; }
    void SetTabKind(TvlSkinMDITabKind kind);
    // The frame whose menus show the children's system menus.
    TvlLacquer* Lacquer() const { return FLacquer; }
    void SetLacquer(TvlLacquer* lacquer);
    bool SupportChildMenus = true;
    bool UseSkinSize = true;
    bool UseSkinFont = true;
    bool MoveTabs = true;
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int h);
    TFont DefaultFont{"Arial", 14};
    int DefaultTabWidth = 100;
    std::function<void(TvlMDITab* tab)> OnTabMouseEnter, OnTabMouseLeave;
    std::function<void(TMouseButton button, TShiftState shift, TvlMDITab* tab)> OnTabMouseDown, OnTabMouseUp;

    // A tab for a child shown, freed when it is hidden; both repaint.
    void AddTab(TForm* child);
    void RemoveTab(TForm* child);
    // Marks the tab of the active child; nothing without one.
    void SetActiveChild(TForm* child);
    // A child's caption changed.
    void ChildCaptionChanged(TForm* child);

    int TabCount() const { return static_cast<int>(FTabs.size()); }
    TvlMDITab* Tab(int i) const { return FTabs.at(static_cast<size_t>(i)).get(); }
    int IndexOfChild(TForm* child) const;
    // The first tab whose rectangle holds the point, edges inside; -1 for none.
    int TabAt(int x, int y) const;
    int HotTab() const { return FHotTab; }
    bool Dragging() const { return FDragging; }
    int DragOffset() const { return FDragOffset; }
    // Lays the tabs out for the bar's size (done at every paint).
    void LayoutTabs();
    // Where the dragged tab would drop, -1 for nowhere.
    int DropIndex() const;
    void SkinChanged() override;

protected:
    void PaintDefault(TvlFBitmap& bitmap) override { Compose(bitmap); }
    void PaintSkin(TvlFBitmap& bitmap) override { Compose(bitmap); }
    void OnMouse(TMessage& m) override;
    void Notification(TComponent* component, bool removing) override;

private:
    const TvlDataSkinTabControl* Element() const;
    void Compose(TvlFBitmap& bitmap);
    void DrawTab(TvlFBitmap& bitmap, const TvlMDITab& tab);
    void SetHot(int index);
    void Redraw();

    TvlSkinMDITabKind FTabKind = vltkTab;
    TvlLacquer* FLacquer = nullptr;
    int FDefaultHeight = 21;
    std::vector<std::unique_ptr<TvlMDITab>> FTabs;
    int FHotTab = -1, FPreviousHot = -1, FPressedTab = -1;
    bool FMouseDown = false, FDragging = false;
    int FPressX = 0, FDragOffset = 0;
};
