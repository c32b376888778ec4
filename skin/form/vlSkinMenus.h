#pragma once
// The skinned popup menus: one menu engine per frame (TvlSkinMenu) opens a
// chain of popup windows (TvlSkinPopupWindow), one per open menu level, each
// drawing its items (TvlSkinMenuItem) from the skin's [POPUPWINDOW] picture
// and [menuitem] record, or in a plain built-in look without them. The menu
// structure stays in the toolkit's menu items; TvlSkinPopupMenu
// (vlFormMenus.h) is the toolkit popup menu whose popup is routed to the
// engine of its form.
//
// The windows are shown without activation: the focus stays where it was,
// and the form's menu side hands the keys to the engine through the
// application's message hook while a menu is open.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "skin/data/vlSkinData.h"
#include "skin/form/vlFrameTimer.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

class TvlSkinMenu;
class TvlSkinPopupWindow;
class TImageList;

// Portable parts of the engine: sizes and placement.
namespace vlMenus {
// Where a menu window of size w × h goes for the anchor rectangle (screen),
// in the work area; itemsTop is the fitted items rectangle's top.
struct TPlacement {
    int X = 0, Y = 0;
    bool Overlapping = false;
};
TPlacement PlaceWindow(const TRect& anchor, const TRect& work, int w, int h, int itemsTop, bool isSubmenu,
                       bool popupUp, bool scroll, bool scrollLimited);
// The item a key moves to from `from` (-1: none) among `count` items, of
// which `selectable(i)` may be entered; -1 when none may. Up starts from the
// last item and wraps from the first to the last, Down the other way; the
// search stops after one full cycle.
int NextSelectable(int from, int count, bool down, const std::function<bool(int)>& selectable);
}  // namespace vlMenus

// One item shown in a popup window.
class TvlSkinMenuItem {
public:
    TvlSkinMenuItem(TvlSkinPopupWindow* parent, TMenuItem* menuItem, const TvlDataSkinMenuItem* itemData,
                    const TPixelImage* objectPicture);
    virtual ~TvlSkinMenuItem() = default;

    TvlSkinPopupWindow* Parent;
    TMenuItem* MenuItem;
    const TvlDataSkinMenuItem* ItemData;  // the [menuitem] record, or none
    const TPixelImage* ObjectPicture;     // its "activepictureindex" picture, or none
    TRect ItemBounds;
    bool Visible = false;
    bool Active = false;
    bool Down = false;  // its submenu is open
    bool Preselected = false;
    double MorphFactor = 0;

    // A menu item freed while shown leaves MenuItem null until the window closes.
    bool IsSeparator() const { return MenuItem && MenuItem->IsSeparator(); }
    bool Enabled() const { return MenuItem && MenuItem->Enabled; }
    bool HasSubItems() const { return MenuItem && MenuItem->Count() > 0; }
    // May be entered by the mouse or the keyboard.
    bool Selectable() const { return Enabled() && !IsSeparator(); }
    bool Highlighted() const { return Active || Down; }
    bool Morphing() const { return ItemData && ItemData->Morphing; }
    virtual bool CanMorph() const;
};

// A window of one menu level; never activated.
class TvlSkinPopupWindow : public TCustomControl {
public:
    TvlSkinPopupWindow(TvlSkinMenu* engine, TvlSkinData* skin);
    ~TvlSkinPopupWindow() override;

    TvlSkinMenu* OwnerEngine;
    TvlSkinData* Skin;                          // the activation's skin, or none
    const TvlDataSkinPopupWindow* PW = nullptr;  // none without a popup-window picture
    const TPixelImage* WindowBitmap = nullptr;
    const TPixelImage* MaskBitmap = nullptr;
    const TvlDataSkinMenuItem* MenuItemData = nullptr;
    std::vector<std::unique_ptr<TvlSkinMenuItem>> ShownItems;
    TMenuItem* SourceItem = nullptr;  // the item whose sub-items are shown
    TRect ItemsRect;
    int HotItem = -1, PreviousHotItem = -1;
    int FirstShownIndex = 0, ShownCount = 0;
    bool Scroll = false, ScrollLimited = false;
    int ScrollDirection = 0;  // 0 none, 1 up, 2 down
    int AnchorX = 0, AnchorY = 0;
    int ImageColumnWidth = 19;
    TImageList* Images = nullptr;
    bool IsSubmenu = false;
    TFont ItemFont{"Arial", 14};
    TvlFrameTimer HoverTimer{0x7611, 50};
    TvlFrameTimer BlendTimer{0x7612, 20};
    TvlFrameTimer ScrollTimer{1, 100};

    // Opening: the items from `startIndex` on, sized, laid out, placed at
    // the anchor (screen) and shown without activation.
    void Open(const TRect& anchor, TMenuItem* items, int startIndex, bool isSubmenu, bool popupUp);
    // Stops the timers and hides the window (it is freed later).
    void CloseWindow();

    int ItemCount() const { return static_cast<int>(ShownItems.size()); }
    TvlSkinMenuItem* Item(int i) const { return ShownItems.at(static_cast<size_t>(i)).get(); }
    int IndexOf(const TvlSkinMenuItem* item) const;
    // The visible item at a client point, -1 for none.
    int ItemAt(int x, int y) const;
    TRect ItemScreenRect(int index) const;
    // Item height: the skin's "skinrect" or "dividerrect" height, else the
    // default height or 4 for a separator, at the menu's DPI.
    int ItemHeight(const TvlSkinMenuItem& item) const;
    // A length of the menu's own at its DPI: the skin's, else the window's
    // it opened from.
    int Px(int length) const;
    bool HasSkin() const { return PW && MenuItemData; }

    // Input, as the engine hands it on.
    void MoveAt(int x, int y);
    void MouseUpAt(int x, int y);
    void KeyDown(WORD key);
    void ItemEnter(int index, bool byKeyboard);
    void ItemLeave(int index);
    void ScrollTick();
    void HoverTick();
    void MorphTick();

    // The whole look, composed off-screen.
    void Compose(TvlFBitmap& bitmap);
    // Redraws one item on the window.
    void RedrawItem(int index);
    // Redraws those items on the window, and nothing else.
    void PaintItems(const std::vector<int>& indexes);
    // How often the whole look was composed.
    int Compositions() const { return FCompositions; }
    // Redraws the window now.
    void Repaint();
    // Lays the items out from FirstShownIndex.
    void LayoutItems();

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    void OnPaint(TMessage& m) override;
    void OnPrintClient(TMessage& m) override;
    void Notification(TComponent* component, bool removing) override;

private:
    void LoadItems(TMenuItem* items, int startIndex);
    void CalcSize(int& w, int& h);
    int ItemTextWidth(HDC dc, const TvlSkinMenuItem& item) const;
    TFont FontFor(const TvlSkinMenuItem& item) const;
    void DrawItem(TvlFBitmap& bitmap, const TvlSkinMenuItem& item);
    void DrawSkinItem(TvlFBitmap& bitmap, const TvlSkinMenuItem& item);
    void DrawPlainItem(TvlFBitmap& bitmap, const TvlSkinMenuItem& item);
    // Caption, shortcut, arrow, image or mark in the item's text rectangle.
    void DrawItemContent(TvlFBitmap& bitmap, const TvlSkinMenuItem& item, const TRect& textRect, int column,
                         int rightGap, uint32_t colour, int markLeft);
    void DrawScrollMarkers(TvlFBitmap& bitmap);
    TRect TopMarker() const;
    TRect BottomMarker() const;
    void StartScroll(int direction);
    void StopScroll();
    bool CanScrollDown() const;
    void ScrollBy(int delta);
    // Makes item `index` the hot one, leaving the previous one.
    void SetHot(int index, bool byKeyboard);
    // The keyboard's way through a scrolling window.
    void KeepInView(int index, bool down);
    int LastPageStart() const;
    void StartMorph();

    TvlFBitmap FBuffer;
    int FCompositions = 0;
    POINT FLastCursor{-100000, -100000};
};

class TvlSkinMenu : public TComponent {
public:
    // `form` is the form whose frame owns the engine; its window hears the
    // engine's closing message.
    TvlSkinMenu(TComponent* owner, TForm* form);
    ~TvlSkinMenu() override;

    // Open windows, outermost first.
    const std::vector<std::unique_ptr<TvlSkinPopupWindow>>& PopupList() const { return FPopupList; }
    int WindowCount() const { return static_cast<int>(FPopupList.size()); }
    TvlSkinPopupWindow* Window(int i) const { return FPopupList.at(static_cast<size_t>(i)).get(); }
    TvlSkinPopupWindow* Innermost() const { return FPopupList.empty() ? nullptr : FPopupList.back().get(); }
    int IndexOf(const TvlSkinPopupWindow* window) const;
    bool IsMenuWindow(HWND window) const;

    bool Visible = false;
    bool First = false;
    TRect WorkArea;
    int MaxMenuItemsInWindow = 0;
    bool AlphaBlend = false, AlphaBlendAnimation = false;
    uint8_t AlphaBlendValue = 150;
    bool UseSkinFont = true;
    int DefaultMenuItemHeight = 20;
    TFont DefaultMenuItemFont{"Arial", 14};

    TvlSkinData* SkinData() const { return FSkinData.get(); }
    TWinControl* InvokingControl() const { return FInvokingControl.get(); }
    TWinControl* DoneCtrl() const { return FDoneCtrl.get(); }
    TvlSkinMenuItem* WaitItem() const { return FWaitItem; }
    TvlFrameTimer& SubmenuDelayTimer() { return FSubmenuDelayTimer; }
    TForm* Form() const { return FForm; }

    // Starts a menu activation with the sub-items of `items` from
    // `startIndex` on, at `anchor` (screen; a point is (x, y, x, y)).
    void Popup(TWinControl* control, TvlSkinData* skin, bool popupUp, TMenuItem* items, const TRect& anchor,
               int startIndex = 0);
    // Closes the windows from index n on; n = 0 ends the activation.
    void CloseFrom(int n);
    void CloseAll();
    // CloseAll from a destructor's notification: the windows are freed later.
    void CloseAllLater();
    // A key for the innermost window.
    void KeyDown(WORD key);
    // Frees windows closed while one of them was handling a message.
    void FreeClosed();

    // Told the hint of the item the user moves onto, and an empty text when
    // the user leaves it or the menus close (the frame shows it as it shows
    // its caption objects' hints).
    std::function<void(const std::string& hint)> OnItemHint;

    // Called by the windows.
    void HoverAction(TvlSkinMenuItem* item, bool byKeyboard);
    void ItemHint(const std::string& hint);
    void CancelWait();
    void ItemClick(TvlSkinMenuItem* item);
    void WaitTimerFired();
    // Guards a window's message handling: closed windows are freed when the
    // outermost handler returns.
    struct TDispatchGuard {
        explicit TDispatchGuard(TvlSkinMenu* engine);
        ~TDispatchGuard();
        std::shared_ptr<bool> Alive;
        TvlSkinMenu* Engine;
    };

protected:
    void Notification(TComponent* component, bool removing) override;

private:
    friend class TvlSkinPopupWindow;
    void OpenWindow(const TRect& anchor, TMenuItem* items, int startIndex, bool isSubmenu, bool popupUp);
    void ForgetItemsOf(TvlSkinPopupWindow* window);

    TForm* FForm;
    std::vector<std::unique_ptr<TvlSkinPopupWindow>> FPopupList;
    std::vector<std::unique_ptr<TvlSkinPopupWindow>> FClosed;  // hidden, freed soon
    TComponentRef<TvlSkinData> FSkinData{this};
    TComponentRef<TWinControl> FInvokingControl{this};
    TComponentRef<TWinControl> FDoneCtrl{this};
    TComponentRef<TMenuItem> FRootItem{this};  // the activation's items
    TvlSkinMenuItem* FWaitItem = nullptr;
    TvlFrameTimer FSubmenuDelayTimer{0x7613, 500};
    int FDispatchDepth = 0;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
