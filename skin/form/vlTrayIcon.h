#pragma once
// An icon in the desktop's notification area: mouse actions on it become
// events, a popup menu opens from it, it can cycle through an image list,
// and it can take the application into the notification area when the
// main form is minimized and bring it back. The shell is reached through
// the notify-icon service, so tests see every call.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>

#include "core/Component.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Menus.h"

using TvlTrayMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TvlTrayMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TvlCycleEvent = std::function<void(TObject* sender, int nextIndex)>;

// The notification message the icon's window receives.
constexpr UINT WM_TRAYNOTIFY = WM_USER + 1024;
// Posted to the icon's window when it is made: the owner is built by then.
constexpr UINT WM_TRAYLOADED = WM_USER + 1025;

class TvlTrayIcon : public TComponent {
public:
    explicit TvlTrayIcon(TComponent* owner);
    ~TvlTrayIcon() override;

    bool DesignPreview = false;
    TImageList* IconList() const { return FIconList; }
    void SetIconList(TImageList* list);
    bool CycleIcons() const { return FCycleIcons; }
    void SetCycleIcons(bool value);
    unsigned AnimateTimerInterval() const { return FAnimateInterval; }
    void SetAnimateTimerInterval(unsigned ms);
    bool Enabled = true;
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    // Not owned; the application's icon when none is set.
    HICON Icon() const { return FIcon; }
    void SetIcon(HICON icon);
    bool IconVisible() const { return FIconVisible; }
    void SetIconVisible(bool value);
    int IconIndex() const { return FIconIndex; }
    void SetIconIndex(int index);
    // Any popup menu; a frame gives its skinned tray menu.
    TPopupMenu* PopupMenu = nullptr;
    bool PopupByLeftButton = false;
    bool MinimizedOnStart = false;
    bool MinimizeToTray = true;

    TNotifyEvent OnClick, OnDblClick;
    TvlTrayMouseEvent OnMouseDown, OnMouseUp;
    TvlTrayMoveEvent OnMouseMove;
    TvlCycleEvent OnCycle;

    // After the owner form is built: MinimizedOnStart, then the icon. Runs
    // by itself once, before the owner form first shows or when the
    // application next handles its messages, whichever comes first.
    void Loaded();
    bool IsLoaded() const { return FLoaded; }
    bool ShowIcon();
    bool HideIcon();
    bool RefreshIcon();
    // Into the notification area (main form hidden, icon shown) and back.
    void HideMainForm();
    void ShowMainForm();

    // The hidden window the shell talks to, the record it is sent, and the
    // message the taskbar sends when it starts again.
    HWND NotifyWindow() const { return FWindow; }
    const NOTIFYICONDATAA& NotifyData() const { return FData; }
    UINT TaskbarCreatedMessage() const { return FTaskbarCreated; }
    bool AnimationRunning() const { return FAnimateTimer != nullptr; }
    bool ClickTimerRunning() const { return FClickTimer != nullptr; }

    // The hidden window's messages (public for its window procedure).
    LRESULT WindowMessage(UINT msg, WPARAM wp, LPARAM lp);

protected:
    void Notification(TComponent* component, bool removing) override;

private:
    class TOwnerHook;
    void FillData();
    bool Send(DWORD message);
    void Callback(UINT mouseMessage);
    void ClickTimerFired();
    void AnimateStep();
    void Popup();
    // A double click runs the popup menu's default item.
    void ClickDefaultItem();
    void UpdateAnimation();
    void TakeListIcon();

    HWND FWindow = nullptr;  // owned: destroyed with the component
    NOTIFYICONDATAA FData{};
    UINT FTaskbarCreated = 0;
    TImageList* FIconList = nullptr;
    bool FCycleIcons = false;
    unsigned FAnimateInterval = 0;
    std::string FHint;
    bool FShowHint = true;
    HICON FIcon = nullptr;
    HICON FListIcon = nullptr;  // owned: the image list's current icon
    bool FIconVisible = true;
    bool FAdded = false;
    int FIconIndex = 0;
    std::unique_ptr<TWindowTimer> FAnimateTimer, FClickTimer;
    bool FClickStarted = false, FClickReady = false, FDblClickSeen = false;
    bool FLoaded = false;
    TOwnerHook* FOwnerHook = nullptr;  // owned through the component tree
};
