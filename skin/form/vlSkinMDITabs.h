#pragma once
// The skinned MDI tab bar: a tab per child form; a click activates a child,
// a right click shows its system menu through the form's menus, and the tabs
// can be reordered by dragging. The planner has no MDI windows; the bar
// belongs to the frame's contract and is used on test forms.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/controls/vlSkinControlBase.h"
#include "skin/data/vlSkinData.h"
#include "toolkit/Forms.h"

class TvlFormMenus;

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
    // The menu side of the MDI frame form, which shows the children's system
    // menus; the frame links it (its MDITabsBar).
    TvlFormMenus* Lacquer() const { return FLacquer; }
    void SetLacquer(TvlFormMenus* menus);
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
    TvlFormMenus* FLacquer = nullptr;
    int FDefaultHeight = 21;
    std::vector<std::unique_ptr<TvlMDITab>> FTabs;
    int FHotTab = -1, FPreviousHot = -1, FPressedTab = -1;
    bool FMouseDown = false, FDragging = false;
    int FPressX = 0, FDragOffset = 0;
};
