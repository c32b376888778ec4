#pragma once
// The skinned window frame: a component dropped on a form that owns the
// form's whole non-client area. It wraps the form's window procedure, cuts
// the frame, its region and its caption objects from the skin (or draws a
// plain built-in frame without one), hit-tests the frame for moving and
// sizing and keeps its own window state (normal, minimized, maximized,
// rolled up). The form's menus are its menu side (TvlFormMenus), which the
// frame creates and answers with the window commands.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlFBitmap.h"
#include "skin/data/vlSkinData.h"
#include "skin/form/vlCaptionObjects.h"
#include "skin/form/vlFormMenus.h"
#include "skin/form/vlFrameTimer.h"
#include "skin/form/vlTrayIcon.h"
#include "skin/form/vlWindowCommands.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

class TvlSkinMainMenuBar;
class TvlSkinMDITabsBar;

// The frame's private messages (both parameters zero).
constexpr UINT WM_FITMDICHILD = WM_USER + 206;
constexpr UINT WM_MDICHILDMAXIMIZED = WM_USER + 207;
constexpr UINT WM_MDICHILDRESTORED = WM_USER + 208;
// HTOBJECT (the platform's 19) is the hit code of a frame part the frame
// handles itself.

// The menu settings (MenusAlphaBlend, DefMenuItemFont, ...) are the frame's
// own fields; its menu side reads them whenever a menu opens.
class TvlLacquer : public TWindowProcWrapper, public TvlMenuSettings, public TvlWindowCommands {
public:
    // The owner must be a form.
    explicit TvlLacquer(TComponent* owner);
    ~TvlLacquer() override;

    TForm* Form() const { return FForm; }
    // The form's menu side, which the frame created.
    TvlFormMenus* Menus() const { return FMenus; }

    TvlSkinData* SkinData() const { return FSkinData.get(); }
    void SetSkinData(TvlSkinData* skinData);
    // The skin of menus opened from the frame; when none, SkinData.
    TvlSkinData* MenusSkinData() const { return FMenus->MenusSkinData(); }
    void SetMenusSkinData(TvlSkinData* skinData) { FMenus->SetMenusSkinData(skinData); }
    TvlBorderIcons BorderIcons() const override { return FBorderIcons; }
    void SetBorderIcons(TvlBorderIcons icons);

    int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
    bool Magnetic = false;
    uint8_t MagneticSize = 5;
    // Translucency at AlphaBlendValue; both take effect on a shown window at once.
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool value);
    uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(uint8_t value);
    bool AlphaBlendAnimation = false;
    TFont DefCaptionFont{"Arial", 14, fsBold, clBtnText};
    TFont DefInActiveCaptionFont{"Arial", 14, fsBold, clBtnShadow};
    // The character set of caption text, skinned or built-in: the skin's
    // resource strings', else DefCaptionFont's.
    unsigned char CaptionCharSet() const;
    bool ShowIcon = false;
    bool HideCaptionButtons = false;
    bool MaximizeOnFullScreen = false;
    bool UseFormCursorInNCArea = false;
    bool UseDefaultObjectHint = true;
    int ClientWidth = 0, ClientHeight = 0;
    // Centred on the client background; when transparent, its bottom-left
    // pixel's colour lets the background through. Repaint after setting.
    TvlFBitmap LogoBitMap;
    bool LogoBitMapTransparent = false;
    bool AlwaysShowInTray = false, AlwaysMinimizeToTray = false;
    bool ShowObjectHint = false;

    TNotifyEvent OnChangeSkinData, OnActivate, OnDeActivate, OnChangeRollUpState;
    TNotifyEvent OnSkinMenuOpen, OnSkinMenuClose, OnMinimizeToTray, OnRestoreFromTray;
    TNotifyEvent OnMainMenuEnter, OnMainMenuExit;
    std::function<void(const std::string&idName)> OnMouseEnterEvent, OnMouseLeaveEvent;
    std::function<void(const std::string&idName, int x, int y, const TRect&objectRect, TMouseButton button)>
        OnMouseDownEvent, OnMouseUpEvent;
    std::function<void(const std::string& idName, int x, int y, const TRect& objectRect)> OnMouseMoveEvent;
    std::function<void(const std::string& idName, TvlFBitmap& canvas, const TRect& objectRect)> OnPaintEvent;
    std::function<void(const std::string& idName, bool& objectVisible)> OnActivateCustomObject;

    void ApplySkin();
    bool IsFrameActive() const;
    TvlFrameWindowState FrameWindowState() const override { return FFrameWindowState; }
    void SetFrameWindowState(TvlFrameWindowState state) override;
    bool RollUpState() const { return FRollUpState; }
    void SetRollUp(bool flag);
    // The system menu at a screen point, or beside a rectangle (screen):
    // below it, or above it.
    void PopupSystemMenu(int x, int y) { FMenus->PopupSystemMenu(x, y); }
    void PopupSystemMenuAt(const TRect& anchor, bool popupUp) { FMenus->PopupSystemMenuAt(anchor, popupUp); }
    // A menu of the user's in place of the built-in system menu; with
    // UseDefaultSysMenu the window commands are put into it before it opens.
    TPopupMenu* SystemMenu() const { return FMenus->SystemMenu(); }
    void SetSystemMenu(TPopupMenu* menu) { FMenus->SetSystemMenu(menu); }
    // The tray icon that minimizing to the tray uses; none by default.
    TvlTrayIcon* TrayIcon() const { return FTrayIcon.get(); }
    void SetTrayIcon(TvlTrayIcon* icon);
    void MinimizeToTray();
    void RestoreFromTray();
    // Shows the caption objects' hints while ShowObjectHint is on.
    TvlSkinHint* SkinHint() const { return FMenus->SkinHint(); }
    void SetSkinHint(TvlSkinHint* hint) { FMenus->SetSkinHint(hint); }

    // The form's main menu as the frame knows it: without a skinned menu bar
    // that shows it, its shortcuts and Alt accelerators still work.
    TMainMenu* MainMenu() const { return FMainMenu.get(); }
    void SetMainMenu(TMainMenu* menu) { FMainMenu.Set(menu); }
    // The form's shortcut handler (the frame installs it): true when the key
    // ran an item of the main menu. The same key event handed in a second
    // time is reported unhandled once.
    bool IsShortCut(const MSG& msg);

    // The skinned menu bar and MDI tab bar linked to the frame.
    TvlSkinMainMenuBar* MainMenuBar() const { return FMainMenuBar; }
    void SetMainMenuBar(TvlSkinMainMenuBar* bar);
    TvlSkinMDITabsBar* MDITabsBar() const { return FMDITabsBar; }
    void SetMDITabsBar(TvlSkinMDITabsBar* bar);

    // The window commands the form's menus offer.
    std::vector<TvlSysMenuItem> SystemMenuItems() const override;
    std::vector<TvlSysMenuItem> TrayMenuItems() const override;
    void RunSystemMenuItem(const std::string& name) override;

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
    // How often the whole frame was composed; an object's repaint composes
    // only itself.
    int FrameCompositions() const { return FFrameCompositions; }
    TvlFrameTimer& HoverTimer() { return FHoverTimer; }
    TvlFrameTimer& BlendTimer() { return FBlendTimer; }
    TvlFrameTimer& AnimateTimer() { return FAnimateTimer; }
    // The fitted geometry, window coordinates.
    const TvlFrameCuts& FittedCuts() const { return FFitted; }
    // The built-in caption height: 19, 15 for tool windows, at 96 DPI.
    int BuiltInCaptionHeight() const;
    // The built-in caption buttons: 17 x 17, 13 x 13 for tool windows, at 96 DPI.
    int BuiltInButtonSize() const;
    // The DPI the frame is laid out at: its window's.
    int FrameDpi() const;
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
    void MenusShown(bool shown) override;
    void MainMenuModeChanged(bool entered) override;

private:
    // ---- The window procedure's handlers (Lacquer.cpp) ----
    void OnCreate(TMessage& m);
    void OnDestroyWindow(TMessage& m);
    void OnSize(TMessage& m);
    void OnActivateMessage(TMessage& m);
    void OnSetText(TMessage& m);
    void OnPaintBackground(TMessage& m);
    void OnShowWindow(TMessage& m);
    void OnSetCursor(TMessage& m);
    void OnGetMinMaxInfo(TMessage& m);
    void OnNcCalcSize(TMessage& m);
    void OnNcHitTest(TMessage& m);
    void OnNcPaint(TMessage& m);
    void OnNcActivate(TMessage& m);
    void OnSyncPaint(TMessage& m);
    void OnSysCommand(TMessage& m);
    void OnTimer(TMessage& m);
    void OnSizing(TMessage& m);
    void OnMoving(TMessage& m);
    void OnEnterSizeMove(TMessage& m);
    void OnExitSizeMove(TMessage& m);
    void OnSkinChanging(TMessage& m);
    void OnSkinChanged(TMessage& m);
    void OnSkinStringsChanged(TMessage& m);
    void OnCloseSkinMenus(TMessage& m);
    void OnPopupMenuRequest(TMessage& m);
    void OnButtonUp(TMessage& m);
    void OnNcRButtonDown(TMessage& m);
    void OnNcRButtonUp(TMessage& m);
    void OnNcButton(TMessage& m);
    void OnDpiChanged(TMessage& m);
    void OnFormScaled(TMessage& m);

    bool Sizeable() const;
    bool HasBorder() const { return true; }
    void NcMouse(TMessage& m, int hit);
    POINT WindowPoint(LPARAM screenPoint) const;
    void ObjectMouseDown(int index, int x, int y, TMouseButton button);
    void ObjectMouseUp(int x, int y, TMouseButton button);
    void FreeObjects();
    void CreateBuiltInButtons();
    void CreateSkinObjects();
    void ApplyBorderIcons();
    void RefreshHints();
    // True when an object's look changed.
    bool ResetObjectsDisplay();
    // The caption's state follows the frame's, then the frame is painted
    // once: an activation change composes the frame one time only.
    void RepaintForActivation();
    // True when the caption object changed state; a morphing one starts its
    // timer (`morph`) or takes the end state at once.
    bool TakeCaptionActivation(bool morph);
    void TellActivation();
    void StopTimers();
    void UpdateGeometry();
    void LayoutObjects();
    void BuiltInCaptionLayout();
    void MapObjectRect(TvlActiveSkinObject* object) const;
    void UpdateRegion();
    void RemoveRegion();
    void SetFormBounds(int x, int y, int w, int h);
    void NudgeWidth();
    // The frame's geometry, region and picture for the window's present size.
    void RecomputeFrame();
    void FitFrameToWindow();
    // Keeps the window within the frame's limits after a skin change.
    void FitWindowToSkin();
    bool PointInMask(int x, int y) const;
    bool InCaptionObject(int x, int y) const;
    TRect MinimizedSlot();
    // Composes the whole frame in FFrameBitmap and copies it to the window,
    // only `clip` (window coordinates) when given.
    void PaintFrame(const TRect* clip = nullptr);
    // Copies the part of FFrameBitmap within `area` that lies outside
    // `client` to the window, strip by strip.
    void CopyFrameToWindow(HWND w, const TRect& client, const TRect& area);
    // Composes only the objects over `area` (window coordinates) on the
    // frame last painted and copies that area; false when the whole frame
    // has to be composed instead.
    bool PaintFramePart(const TRect& area);
    bool InactiveEffectShown() const;
    void ComposeSkinFrame();
    void ComposeBuiltInFrame();
    void PaintClientBackground(HDC dc);
    void OnHoverTimer();
    void OnMorphTimer();
    void OnAnimateTimer();
    void FadeIn();
    void Snap(RECT& r);
    std::string ResText(const char* key, const char* fallback) const;
    void HideObjectHint();

    TForm* FForm = nullptr;
    TvlFormMenus* FMenus = nullptr;  // owned
    TComponentRef<TvlSkinData> FSkinData{this};
    TComponentRef<TvlTrayIcon> FTrayIcon{this};
    TComponentRef<TMainMenu> FMainMenu{this};
    TMessageHook* FShortCuts = nullptr;  // owned
    MSG FLastShortCut{};                 // the key event last handled
    bool FHasLastShortCut = false;
    TvlSkinMainMenuBar* FMainMenuBar = nullptr;
    TvlSkinMDITabsBar* FMDITabsBar = nullptr;
    TvlBorderIcons FBorderIcons = vlbiSystemMenu | vlbiMinimize | vlbiMaximize | vlbiRollUp;

    bool FAlphaBlend = false;
    uint8_t FAlphaBlendValue = 200;
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
    std::vector<uint8_t> FRegionData;  // the region set, as built
    std::vector<std::unique_ptr<TvlActiveSkinObject>> FObjects;
    int FHotObjectIndex = -1, FCaptureObject = -1;
    TvlFrameTimer FHoverTimer{0x7601, 50}, FBlendTimer{0x7602, 20}, FAnimateTimer{0x7603, 25};
    TvlFrameTimer FFadeTimer{1, 1};
    bool FSizeMoveActive = false, FFullDrag = false;
    bool FSkinActive = false;
    bool FFrameActive = false;
    // The activation the shown frame was composed for; none while hidden.
    std::optional<bool> FComposedActive;
    TvlFBitmap FFrameBitmap;
    // The frame strips before the objects were drawn on them, the base an
    // object is repainted on: each strip apart, as the client between them
    // is never shown (a window-sized copy cost a megabyte of fresh memory).
    struct TFrameBaseStrip {
        TRect Place;
        TvlFBitmap Pixels;
    };
    std::vector<TFrameBaseStrip> FFrameBase;
    int FFrameBaseWidth = 0, FFrameBaseHeight = 0;
    int FFrameCompositions = 0;
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
// The four border strips of a W × H frame around `client`: top (full width),
// left, right (between top and bottom) and bottom (full width); each may be
// empty.
std::vector<TRect> FrameStrips(int w, int h, const TRect& client);
// The inactive effect applied to each strip of `frame` on its own, so that a
// filter that reads neighbours never reaches across a join or into the
// client part (whose pixels are not the frame's).
void ApplyEffectToStrips(TvlFBitmap& frame, const TRect& client, int effect);
}  // namespace vlFrame
