#pragma once
// The skinned window frame: a component dropped on a form that owns the
// form's whole non-client area. It wraps the form's window procedure, cuts
// the frame, its region and its caption objects from the skin (or draws a
// plain built-in frame without one), hit-tests the frame for moving and
// sizing, keeps its own window state (normal, minimized, maximized, rolled
// up) and relays skin changes to the form's skinned controls.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlFBitmap.h"
#include "skin/data/vlSkinData.h"
#include "skin/form/vlSkinHint.h"
#include "skin/form/vlTrayIcon.h"
#include "skin/form/vlFrameTimer.h"
#include "skin/form/vlSkinMenuBar.h"
#include "skin/form/vlSkinMenus.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

// Caption buttons and system-menu commands, bit 0 to bit 4 of the set (the
// toolkit's own form icons already use the short names at global scope).
enum class TvlBorderIcon : unsigned { biSystemMenu, biMinimize, biMaximize, biRollUp, biMinimizeToTray };
using TvlBorderIcons = unsigned;
constexpr TvlBorderIcons vlIcon(TvlBorderIcon icon) { return 1u << static_cast<unsigned>(icon); }
constexpr TvlBorderIcons vlbiSystemMenu = vlIcon(TvlBorderIcon::biSystemMenu),
                         vlbiMinimize = vlIcon(TvlBorderIcon::biMinimize),
                         vlbiMaximize = vlIcon(TvlBorderIcon::biMaximize), vlbiRollUp = vlIcon(TvlBorderIcon::biRollUp),
                         vlbiMinimizeToTray = vlIcon(TvlBorderIcon::biMinimizeToTray);

enum TvlFrameWindowState { fwsNormal, fwsMinimized, fwsMaximized };

// The frame's private messages (both parameters zero).
constexpr UINT WM_FITMDICHILD = WM_USER + 206;
constexpr UINT WM_MDICHILDMAXIMIZED = WM_USER + 207;
constexpr UINT WM_MDICHILDRESTORED = WM_USER + 208;
// HTOBJECT (the platform's 19) is the hit code of a frame part the frame
// handles itself.
constexpr TColor clBtnText = clSysBase | COLOR_BTNTEXT;

class TvlLacquer;

// ---- Caption objects ------------------------------------------------------

class TvlActiveSkinObject {
public:
    TvlActiveSkinObject(TvlLacquer* parent, const TvlDataSkinObject* data);
    virtual ~TvlActiveSkinObject() = default;

    TvlLacquer* Parent;
    std::string IDName;
    std::string Hint;
    bool SkinRectInAPicture = true;
    TRect SkinRect, ActiveSkinRect, InActiveSkinRect;
    TRect ObjectRect;
    const TPixelImage* Picture = nullptr;        // the skin's main picture
    const TPixelImage* ObjectPicture = nullptr;  // "activepictureindex", or none
    bool Morphing = false;
    TvlMorphKind MorphKind = mkDefault;
    double MorphFactor = 0;
    bool Active = false;
    bool PointerInside = false;
    bool Enabled = true, Visible = true;

    virtual bool CanMorph() const { return MorphUnderWay(); }
    // Draws into `dest`, which holds the window's pixels from its top-left.
    virtual void Draw(TvlFBitmap& dest, bool update);
    virtual void DblClick() {}
    virtual void MouseDown(int x, int y, TMouseButton button);
    virtual void MouseUp(int x, int y, TMouseButton button);
    virtual void MouseMove(int x, int y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    // Starts the frame's morph timer when morphing, else repaints now.
    void Redraw();

protected:
    bool MorphUnderWay() const;
    // The active rectangle, empty when the object has no active picture.
    TRect ActiveRect() const { return ObjectPicture ? ActiveSkinRect : TRect{}; }
    // Stretches `source` of `picture` to the object's place.
    void CopyToObject(TvlFBitmap& dest, const TPixelImage* picture, const TRect& source) const;
    void DrawMorph(TvlFBitmap& dest, const TPixelImage* normalPicture, const TRect& normal,
                   const TPixelImage* activePicture, const TRect& active) const;
};

class TvlUserObject : public TvlActiveSkinObject {
public:
    using TvlActiveSkinObject::TvlActiveSkinObject;
    void Draw(TvlFBitmap& dest, bool update) override;
};

class TvlSkinButtonObject : public TvlActiveSkinObject {
public:
    TvlSkinButtonObject(TvlLacquer* parent, const TvlDataSkinButton* data);
    TRect DownRect, DisabledLookRect;
    bool Down = false;
    // A button that opens a menu keeps its down look while the menu is open.
    bool MenuOpen = false;
    void SetDown(bool v);
    void Draw(TvlFBitmap& dest, bool update) override;
    void MouseDown(int x, int y, TMouseButton button) override;
    void MouseUp(int x, int y, TMouseButton button) override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool CanMorph() const override;
};

class TvlSkinStdButtonObject : public TvlSkinButtonObject {
public:
    // Built from a skin record, or (data null) a built-in button.
    TvlSkinStdButtonObject(TvlLacquer* parent, const TvlDataSkinStdButton* data, const std::string& idName = {},
                           TvlStdCommand command = cmDefault);
    TvlStdCommand Command = cmDefault;
    TRect RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInActiveRect;
    bool SkinSupport = false;
    void Draw(TvlFBitmap& dest, bool update) override;
    void MouseDown(int x, int y, TMouseButton button) override;
    void MouseUp(int x, int y, TMouseButton button) override;
    void DblClick() override;
    bool CanMorph() const override;

private:
    bool RestoreLook() const;
    bool DrawsIcon() const;
    void DrawIcon(TvlFBitmap& dest) const;
    void DrawBuiltIn(TvlFBitmap& dest) const;
};

class TvlSkinAnimateObject : public TvlActiveSkinObject {
public:
    TvlSkinAnimateObject(TvlLacquer* parent, const TvlDataSkinAnimate* data);
    int CountFrames = 1;
    bool Cycle = false, ButtonStyle = false;
    int TimerInterval = 50;
    TvlStdCommand Command = cmDefault;
    int Frame = 1;
    bool Forward = true;
    int Counter = 25;
    void Draw(TvlFBitmap& dest, bool update) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseUp(int x, int y, TMouseButton button) override;
    void DblClick() override;
    // One 25 ms tick of the animation; true when the object repainted.
    bool Tick();
};

class TvlSkinCaptionObject : public TvlActiveSkinObject {
public:
    TvlSkinCaptionObject(TvlLacquer* parent, const TvlDataSkinCaption* data);
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0, ActiveFontColor = 0;
    TAlignment Alignment = taCenter;
    TRect CaptionTextRect;
    bool Shadow = false;
    uint32_t ShadowColor = 0, ActiveShadowColor = 0;
    TRect FrameRect, ActiveFrameRect, FrameTextRect;
    int FrameLeftOffset = 0, FrameRightOffset = 0;
    void Draw(TvlFBitmap& dest, bool update) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(int x, int y, TMouseButton button) override;
    void MouseUp(int x, int y, TMouseButton button) override;

private:
    // The caption text drawn into `dest` with the object's top-left at (ox, oy).
    void DrawText(TvlFBitmap& dest, int ox, int oy, bool active) const;
    // The normal or active caption image at the object's size.
    TvlFBitmap CaptionImage(bool active) const;
};

// ---- The frame ------------------------------------------------------------

// One item of the system menu as the frame builds it.
struct TvlSysMenuItem {
    std::string Name;      // "LQR_MINITEM", ...; empty for the separator
    std::string Caption;   // "Mi&nimize", ..., "-" for the separator
    std::string ShortCut;  // "Alt+F4" for Close
};

class TvlLacquer : public TWindowProcWrapper {
public:
    // The owner must be a form.
    explicit TvlLacquer(TComponent* owner);
    ~TvlLacquer() override;

    TForm* Form() const { return FForm; }

    TvlSkinData* SkinData() const { return FSkinData.get(); }
    void SetSkinData(TvlSkinData* skinData);
    // The skin of menus opened from the frame; when none, SkinData.
    TvlSkinData* MenusSkinData() const { return FMenusSkinData.get(); }
    void SetMenusSkinData(TvlSkinData* skinData) { FMenusSkinData.Set(skinData); }
    TvlSkinData* MenuSkin() const { return MenusSkinData() ? MenusSkinData() : SkinData(); }
    TvlBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TvlBorderIcons icons);

    int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
    bool Magnetic = false;
    uint8_t MagneticSize = 5;
    bool AlphaBlend = false;
    bool AlphaBlendAnimation = false;
    uint8_t AlphaBlendValue = 200;
    TFont DefCaptionFont{"Arial", 14, fsBold, clBtnText};
    TFont DefInActiveCaptionFont{"Arial", 14, fsBold, clBtnShadow};
    bool ShowIcon = false;
    bool HideCaptionButtons = false;
    bool MaximizeOnFullScreen = false;
    bool UseFormCursorInNCArea = false;
    bool UseDefaultObjectHint = true;
    int ClientWidth = 0, ClientHeight = 0;
    // Forwarded to the menu engine when it shows the frame's menus.
    bool MenusAlphaBlend = false, MenusAlphaBlendAnimation = false;
    uint8_t MenusAlphaBlendValue = 200;
    int MaxMenuItemsInWindow = 0;
    int DefMenuItemHeight = 20;
    TFont DefMenuItemFont{"Arial", 14};
    bool UseSkinFontInMenu = true;
    bool UseDefaultSysMenu = true;
    // Centred on the client background; when transparent, its bottom-left
    // pixel's colour lets the background through. Repaint after setting.
    TvlFBitmap LogoBitMap;
    bool LogoBitMapTransparent = false;
    bool AlwaysShowInTray = false, AlwaysMinimizeToTray = false;
    bool ShowObjectHint = false;

    TNotifyEvent OnChangeSkinData, OnActivate, OnDeActivate, OnChangeRollUpState;
    TNotifyEvent OnSkinMenuOpen, OnSkinMenuClose, OnMinimizeToTray, OnRestoreFromTray;
    std::function<void(const std::string&idName)> OnMouseEnterEvent, OnMouseLeaveEvent;
    std::function<void(const std::string&idName, int x, int y, const TRect&objectRect, TMouseButton button)>
        OnMouseDownEvent, OnMouseUpEvent;
    std::function<void(const std::string& idName, int x, int y, const TRect& objectRect)> OnMouseMoveEvent;
    std::function<void(const std::string& idName, TvlFBitmap& canvas, const TRect& objectRect)> OnPaintEvent;
    std::function<void(const std::string& idName, bool& objectVisible)> OnActivateCustomObject;

    // ---- Seams: what the platform under test cannot show. ----
    // The monitor area (work area, or full area) for a window.
    std::function<TRect(HWND window, bool workArea)> MonitorArea;
    // Layered-window opacity.
    std::function<bool()> LayeredSupported;
    std::function<void(HWND window, int alpha)> SetAlpha;
    // Shows the system menu at a screen point and returns the chosen item's
    // name (empty when none). The skinned menu engine plugs in here; until
    // then the platform's popup menu shows the same items.
    std::function<std::string(const std::vector<TvlSysMenuItem>& items, POINT at)> SystemMenuPopup;

    void ApplySkin();
    bool IsFrameActive() const;
    // A menu opened from the frame is showing.
    bool InMenu() const { return FInMenu; }
    // The bookkeeping around every menu the frame opens.
    void MenuOpened();
    void MenuClosed();
    // A control's own popup menu (an edit's context menu) through the
    // engine; false without a skin for it.
    bool ShowControlMenu(const TPopupMenuRequest& request);
    TvlFrameWindowState FrameWindowState() const { return FFrameWindowState; }
    void SetFrameWindowState(TvlFrameWindowState state);
    bool RollUpState() const { return FRollUpState; }
    void SetRollUp(bool flag);
    void PopupSystemMenu(int x, int y);
    // The system menu beside a rectangle (screen): below it, or above it.
    void PopupSystemMenuAt(const TRect& anchor, bool popupUp);
    // The frame's menu engine, which shows every menu opened from the form.
    TvlSkinMenu* SkinMenu() const { return FSkinMenu; }
    // The built-in system menu as last built (rebuilt before every use).
    TPopupMenu* BuiltInSystemMenu() const { return FSystemMenu; }
    // The tray icon's menu: Restore, a separator, Close.
    TvlSkinPopupMenu* TrayMenu() const { return FTrayMenu; }
    // Rebuilds the built-in system menu for the frame's state now.
    void BuildSystemMenu() { RebuildSystemMenu(); }
    // A menu of the user's in place of the built-in system menu; with
    // UseDefaultSysMenu the window commands are put into it before it opens.
    TPopupMenu* SystemMenu() const { return FUserSystemMenu.get(); }
    void SetSystemMenu(TPopupMenu* menu) { FUserSystemMenu.Set(menu); }
    // The tray icon that minimizing to the tray uses; none by default.
    TvlTrayIcon* TrayIcon() const { return FTrayIcon.get(); }
    void SetTrayIcon(TvlTrayIcon* icon);
    void MinimizeToTray();
    void RestoreFromTray();
    // Shows the caption objects' hints while ShowObjectHint is on.
    TvlSkinHint* SkinHint() const { return FSkinHint.get(); }
    void SetSkinHint(TvlSkinHint* hint) { FSkinHint.Set(hint); }

    // The skinned menu bar and MDI tab bar linked to the frame.
    TvlSkinMainMenuBar* MainMenuBar() const { return FMainMenuBar; }
    void SetMainMenuBar(TvlSkinMainMenuBar* bar);
    TvlSkinMDITabsBar* MDITabsBar() const { return FMDITabsBar; }
    void SetMDITabsBar(TvlSkinMDITabsBar* bar);
    // The menu bar tracks the keyboard or the mouse (main-menu mode).
    bool TrackingMenuBar() const { return FTrackingMenuBar; }
    void EnterMainMenuMode();
    void LeaveMainMenuMode();
    // Closes an open menu while the menu bar goes on tracking.
    void CloseMenusKeepingTheBar();
    TNotifyEvent OnMainMenuEnter, OnMainMenuExit;
    // The items the system menu shows now.
    std::vector<TvlSysMenuItem> SystemMenuItems() const;
    // The tray icon's menu: Restore, a separator, Close.
    std::vector<TvlSysMenuItem> TrayMenuItems() const;
    // Runs a system-menu item by name.
    void RunSystemMenuItem(const std::string& name);

    int MinimumWidth() const;
    int MinimumHeight() const;
    int MaximumWidth() const;
    int MaximumHeight() const;

    // The hit code of a point in window coordinates.
    int HitTest(int x, int y);
    // Window-coordinate client rectangle of the current frame.
    TRect FrameClientRect() const;
    // The caption objects, in creation order.
    const std::vector<std::unique_ptr<TvlActiveSkinObject>>& Objects() const { return FObjects; }
    int HotObjectIndex() const { return FHotObjectIndex; }
    int CaptureObject() const { return FCaptureObject; }
    bool SkinActive() const { return FSkinActive; }
    bool HasRegion() const { return FFrameRegion != nullptr; }
    const TRect& RestoreBounds() const { return FRestoreBounds; }
    int UnrolledHeight() const { return FUnrolledHeight; }
    // The frame as last composed (window pixels; the client part is unused).
    const TvlFBitmap& FrameBitmap() const { return FFrameBitmap; }
    TvlFrameTimer& HoverTimer() { return FHoverTimer; }
    TvlFrameTimer& BlendTimer() { return FBlendTimer; }
    TvlFrameTimer& AnimateTimer() { return FAnimateTimer; }
    // The fitted geometry, window coordinates.
    const TvlFrameCuts& FittedCuts() const { return FFitted; }
    // The built-in caption height: 19, 15 for tool windows.
    int BuiltInCaptionHeight() const { return ToolWindow() ? 15 : 19; }
    // The built-in caption buttons: 17 x 17, 13 x 13 for tool windows.
    int BuiltInButtonSize() const { return ToolWindow() ? 13 : 17; }
    bool ToolWindow() const;

    // Called by the objects.
    void RepaintObject(TvlActiveSkinObject* object);
    void StartMorphTimer();
    void StartAnimateTimer();
    void RunCommand(TvlStdCommand command);
    HWND FormWindow() const;

    void UpdateActiveObject(int x, int y, bool track);
    void UpdateCaptionActivation(bool repaint);
    void UpdateFrame();

protected:
    void WrappedWndProc(TMessage& m) override;
    void Notification(TComponent* component, bool removing) override;

private:
    bool Sizeable() const;
    bool HasBorder() const { return true; }
    void NcMouse(TMessage& m, int hit);
    POINT WindowPoint(LPARAM screenPoint) const;
    void ObjectMouseDown(int index, int x, int y, TMouseButton button);
    void ObjectMouseUp(int x, int y, TMouseButton button);
    void ReleaseCapture_();
    void FreeObjects();
    void CreateBuiltInButtons();
    void ApplyBorderIcons();
    void RefreshHints();
    void ResetObjectsDisplay();
    void UpdateGeometry();
    void LayoutObjects();
    void BuiltInCaptionLayout();
    void MapObjectRect(TvlActiveSkinObject* object) const;
    void UpdateRegion();
    void RemoveRegion();
    void SetFormBounds(int x, int y, int w, int h);
    void NudgeWidth();
    bool PointInMask(int x, int y) const;
    bool InCaptionObject(int x, int y) const;
    TRect MinimizedSlot();
    // Composes the whole frame in FFrameBitmap and copies it to the window in
    // one operation, only `clip` (window coordinates) when given.
    void PaintFrame(const TRect* clip = nullptr);
    void ComposeSkinFrame();
    void ComposeBuiltInFrame();
    void PaintClientBackground(HDC dc);
    void OnHoverTimer();
    void OnMorphTimer();
    void OnAnimateTimer();
    void FadeIn();
    void Snap(RECT& r);
    std::string ResText(const char* key, const char* fallback) const;
    void RebuildSystemMenu();
    void RebuildTrayMenu();
    // Keys and clicks while a menu is open (the application message hook).
    bool MenuHook(MSG& msg);
    void ForwardMenuSettings();

    TForm* FForm = nullptr;
    TComponentRef<TvlSkinData> FSkinData{this};
    TComponentRef<TvlSkinData> FMenusSkinData{this};
    TComponentRef<TPopupMenu> FUserSystemMenu{this};
    TComponentRef<TvlTrayIcon> FTrayIcon{this};
    TComponentRef<TvlSkinHint> FSkinHint{this};
    // The window commands at the top of a user system menu, Close at its end.
    void MergeWindowCommands(TPopupMenu* menu);
    void HideObjectHint();
    bool FInMenu = false;
    TvlSkinMenu* FSkinMenu = nullptr;         // owned
    TPopupMenu* FSystemMenu = nullptr;        // owned
    TvlSkinPopupMenu* FTrayMenu = nullptr;    // owned
    TMessageHook* FMenuHook = nullptr;        // owned; in the hook chain while a menu is open
    bool FMenuHookActive = false;
    TvlSkinMainMenuBar* FMainMenuBar = nullptr;
    TvlSkinMDITabsBar* FMDITabsBar = nullptr;
    bool FTrackingMenuBar = false;
    // In the hook chain while a menu is open or the menu bar tracks.
    void UpdateMenuHook();
    // Keys while the menu bar tracks; true when used.
    bool MenuBarKey(WORD key);
    TvlBorderIcons FBorderIcons = vlbiSystemMenu | vlbiMinimize | vlbiMaximize | vlbiRollUp;

    TvlFrameWindowState FFrameWindowState = fwsNormal;
    bool FRollUpState = false, FRolledUpMaximized = false;
    int FUnrolledHeight = 0;
    TRect FRestoreBounds;
    int FFormWidth = 0, FFormHeight = 0;
    TvlFrameCuts FFitted;  // corner points and client rect fitted
    TRect FCaptionRect, FButtonsRect, FMaskRect;
    TPoint FHitLT, FHitRT, FHitLB, FHitRB;
    HRGN FFrameRegion = nullptr;  // the system's once set; remembered to know one is set
    // The mask region's rectangles (window coordinates), for point-in-mask tests.
    std::vector<TRect> FMaskRects;
    std::vector<std::unique_ptr<TvlActiveSkinObject>> FObjects;
    int FHotObjectIndex = -1, FCaptureObject = -1;
    TvlFrameTimer FHoverTimer{0x7601, 50}, FBlendTimer{0x7602, 20}, FAnimateTimer{0x7603, 25};
    TvlFrameTimer FFadeTimer{1, 1};
    bool FSizeMoveActive = false, FFullDrag = false;
    bool FSkinActive = false;
    bool FFrameActive = false;
    TvlFBitmap FFrameBitmap;
    // Cleared when the component goes: a pumping loop checks it after each pump.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);

    friend class TvlActiveSkinObject;
    friend class TvlSkinCaptionObject;
    friend class TvlSkinStdButtonObject;
};

// Portable helpers the frame is built from.
namespace vlFrame {
// Whether (x, y) lies in one of the rectangles.
bool PointInRects(const std::vector<TRect>& rects, int x, int y);
// The left/top proposed for a dragged window of size w × h, snapped to the
// edges of `area` within `distance` pixels.
TPoint SnapToArea(int left, int top, int w, int h, const TRect& area, int distance);
// The next free minimized slot: starts at the bottom-left of `area`, advances
// right past occupied slots, then one row up; bounded whatever the sizes.
TPoint FreeMinimizedSlot(const TRect& area, int w, int h, const std::function<bool(TPoint)>& occupied);
}  // namespace vlFrame
