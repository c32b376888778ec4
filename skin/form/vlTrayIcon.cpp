#include "skin/form/vlTrayIcon.h"

#include <algorithm>
#include <cstring>

#include "core/WindowServices.h"
#include "toolkit/Forms.h"

namespace {
constexpr UINT_PTR AnimateTimerId = 1, ClickTimerId = 2;
const char* const WindowClass = "vlTrayIconWindow";

LRESULT CALLBACK TrayWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* icon = reinterpret_cast<TvlTrayIcon*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!icon) return DefWindowProcA(wnd, msg, wp, lp);
    try {
        return icon->WindowMessage(msg, wp, lp);
    } catch (...) {
        HandleWindowException();
        return 0;
    }
}

}  // namespace

// Watches the owner form: minimizing it goes into the notification area.
class TvlTrayIcon::TOwnerHook : public TWindowProcWrapper {
public:
    TOwnerHook(TvlTrayIcon* icon) : TWindowProcWrapper(icon), FIcon(icon) {}

protected:
    void WrappedWndProc(TMessage& m) override {
        if (m.Msg == WM_SIZE && m.WParam == SIZE_MINIMIZED && FIcon->MinimizeToTray) FIcon->HideMainForm();
        if (m.Msg == WM_SHOWWINDOW && m.WParam && !FIcon->IsLoaded()) FIcon->Loaded();
        if (m.Msg == WM_SHOWWINDOW && m.WParam && Target()) SetForegroundWindow(Target()->Handle());
        CallPrevious(m);
    }

private:
    TvlTrayIcon* FIcon;
};

TvlTrayIcon::TvlTrayIcon(TComponent* owner) : TComponent(owner) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = TrayWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = WindowClass;
        registered = RegisterClassA(&wc) != 0;
    }
    // A hidden top-level window: it hears the taskbar's broadcast as well.
    FWindow = CreateWindowExA(WS_EX_TOOLWINDOW, WindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    FTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    // The record the 64-bit shell accepts: the whole structure as this program has it.
    FData.cbSize = sizeof(NOTIFYICONDATAA);
    FData.hWnd = FWindow;
    FData.uID = 1;
    FData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    FData.uCallbackMessage = WM_TRAYNOTIFY;
    FIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    if (!FIcon) FIcon = LoadIconA(nullptr, IDI_APPLICATION);
    PostMessageA(FWindow, WM_TRAYLOADED, 0, 0);
    if (auto* form = dynamic_cast<TWinControl*>(owner)) {
        FOwnerHook = new TOwnerHook(this);
        FOwnerHook->Attach(form);
    }
}

TvlTrayIcon::~TvlTrayIcon() {
    // The icon, its timers and its window go with the component.
    FAnimateTimer.reset();
    FClickTimer.reset();
    if (FAdded) Send(NIM_DELETE);
    if (FListIcon) DestroyIcon(FListIcon);
    if (FWindow) {
        SetWindowLongPtrA(FWindow, GWLP_USERDATA, 0);
        DestroyWindow(FWindow);
    }
}

void TvlTrayIcon::Notification(TComponent* component, bool removing) {
    TComponent::Notification(component, removing);
    if (!removing) return;
    if (component == FIconList) SetIconList(nullptr);
    if (component == PopupMenu) PopupMenu = nullptr;
}

void TvlTrayIcon::FillData() {
    FData.hIcon = FListIcon && FIconList ? FListIcon : FIcon;
    std::string tip = FShowHint ? FHint.substr(0, sizeof FData.szTip - 1) : std::string();
    std::memset(FData.szTip, 0, sizeof FData.szTip);
    std::memcpy(FData.szTip, tip.data(), tip.size());
}

bool TvlTrayIcon::Send(DWORD message) {
    FillData();
    bool ok = Service<TNotifyIcons>().Notify(message, FData);
    if (message == NIM_ADD && ok) FAdded = true;
    if (message == NIM_DELETE) FAdded = false;
    return ok;
}

// The visibility follows what the icon was last told, however it was told.
bool TvlTrayIcon::ShowIcon() {
    FIconVisible = true;
    return Send(NIM_ADD);
}

bool TvlTrayIcon::HideIcon() {
    FIconVisible = false;
    return Send(NIM_DELETE);
}
bool TvlTrayIcon::RefreshIcon() { return Send(NIM_MODIFY); }

void TvlTrayIcon::SetHint(const std::string& hint) {
    FHint = hint;
    RefreshIcon();
}

void TvlTrayIcon::SetShowHint(bool value) {
    FShowHint = value;
    RefreshIcon();
}

void TvlTrayIcon::SetIcon(HICON icon) {
    FIcon = icon;
    RefreshIcon();
}

void TvlTrayIcon::SetIconVisible(bool value) {
    FIconVisible = value;
    value ? ShowIcon() : HideIcon();
}

void TvlTrayIcon::TakeListIcon() {
    if (FListIcon) DestroyIcon(FListIcon);
    FListIcon = nullptr;
    if (FIconList && FIconList->Count() > 0)
        FListIcon = ImageList_GetIcon(FIconList->Handle(), FIconIndex, ILD_NORMAL);
}

void TvlTrayIcon::SetIconIndex(int index) {
    // Past the list's end the last icon; an empty list or none gives 0 and no list icon.
    if (FIconList && FIconList->Count() > 0)
        FIconIndex = std::clamp(index, 0, FIconList->Count() - 1);
    else
        FIconIndex = 0;
    TakeListIcon();
    RefreshIcon();
}

void TvlTrayIcon::SetIconList(TImageList* list) {
    if (FIconList) FIconList->RemoveFreeNotification(this);
    FIconList = list;
    if (list) list->FreeNotification(this);
    FIconIndex = 0;
    TakeListIcon();
    UpdateAnimation();
}

void TvlTrayIcon::SetCycleIcons(bool value) {
    FCycleIcons = value;
    if (value) SetIconIndex(0);
    UpdateAnimation();
}

void TvlTrayIcon::SetAnimateTimerInterval(unsigned ms) {
    FAnimateInterval = ms;
    UpdateAnimation();
}

void TvlTrayIcon::UpdateAnimation() {
    FAnimateTimer.reset();
    if (FCycleIcons && FAnimateInterval > 0)
        FAnimateTimer = std::make_unique<TWindowTimer>(FWindow, AnimateTimerId, FAnimateInterval);
}

void TvlTrayIcon::AnimateStep() {
    if (!FIconList || FIconList->Count() == 0) return;
    int next = FIconIndex + 1 >= FIconList->Count() ? 0 : FIconIndex + 1;
    TakeListIcon();
    if (OnCycle) OnCycle(this, next);
    RefreshIcon();
    FIconIndex = next;
}

void TvlTrayIcon::Loaded() {
    FLoaded = true;
    if (dynamic_cast<TWinControl*>(Owner()) && MinimizedOnStart) {
        FIconVisible = true;
        MinimizeToTray = true;
        if (Application && Application->MainForm) Application->MainForm->Hide();
    }
    RefreshIcon();
    SetIconVisible(FIconVisible);
}

void TvlTrayIcon::HideMainForm() {
    if (Application && Application->MainForm) Application->MainForm->Hide();
    ShowIcon();
}

void TvlTrayIcon::ShowMainForm() {
    TForm* form = Application ? Application->MainForm : nullptr;
    if (!form) return;
    form->Show();
    if (form->HandleAllocated() && IsIconic(form->Handle())) ShowWindow(form->Handle(), SW_RESTORE);
}

void TvlTrayIcon::Popup() {
    POINT at;
    if (!PopupMenu || !PopupMenu->AutoPopup || !GetCursorPos(&at)) return;
    HWND window = FWindow;
    if (Application) Application->ProcessMessages();
    // The component may be gone after the messages ran.
    if (!IsWindow(window)) return;
    SetForegroundWindow(FWindow);
    auto* form = dynamic_cast<TWinControl*>(Owner());
    if (form && form->HandleAllocated()) SetForegroundWindow(form->Handle());
    PopupMenu->SetPopupComponent(this);
    PopupMenu->Popup(at.x, at.y);
    // So that the menu closes when the user clicks elsewhere.
    if (form && form->HandleAllocated()) PostMessageA(form->Handle(), WM_NULL, 0, 0);
}

void TvlTrayIcon::ClickDefaultItem() {
    if (PopupByLeftButton || !PopupMenu || !PopupMenu->AutoPopup) return;
    if (TMenuItem* item = PopupMenu->DefaultItem()) item->Click();
}

void TvlTrayIcon::Callback(UINT mouse) {
    if (!Enabled) return;
    POINT at{};
    GetCursorPos(&at);
    TShiftState shift = KeyShiftState();
    switch (mouse) {
        case WM_MOUSEMOVE:
            if (OnMouseMove) OnMouseMove(this, shift, at.x, at.y);
            break;
        case WM_LBUTTONDOWN:
            FClickTimer = std::make_unique<TWindowTimer>(FWindow, ClickTimerId, GetDoubleClickTime());
            if (OnMouseDown) OnMouseDown(this, mbLeft, shift, at.x, at.y);
            FClickStarted = true;
            if (PopupByLeftButton) Popup();
            break;
        case WM_LBUTTONUP:
            if (FClickStarted) FClickReady = true;
            if (FClickStarted && !FClickTimer) {
                FClickStarted = FClickReady = false;
                if (OnClick) OnClick(this);
            }
            FClickStarted = false;
            if (OnMouseUp) OnMouseUp(this, mbLeft, shift, at.x, at.y);
            break;
        case WM_LBUTTONDBLCLK:
            FClickReady = false;
            FDblClickSeen = true;
            if (OnDblClick) OnDblClick(this);
            ClickDefaultItem();
            break;
        case WM_RBUTTONDOWN:
            if (OnMouseDown) OnMouseDown(this, mbRight, shift, at.x, at.y);
            Popup();
            break;
        case WM_RBUTTONUP:
            if (OnMouseUp) OnMouseUp(this, mbRight, shift, at.x, at.y);
            break;
        case WM_MBUTTONDOWN:
            if (OnMouseDown) OnMouseDown(this, mbMiddle, shift, at.x, at.y);
            break;
        case WM_MBUTTONUP:
            if (OnMouseUp) OnMouseUp(this, mbMiddle, shift, at.x, at.y);
            break;
        default: break;
    }
}

void TvlTrayIcon::ClickTimerFired() {
    FClickTimer.reset();
    if (!FDblClickSeen && FClickReady) {
        FClickReady = false;
        if (OnClick) OnClick(this);
    }
    FDblClickSeen = false;
}

LRESULT TvlTrayIcon::WindowMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TRAYLOADED) {
        if (!FLoaded) Loaded();
        return 0;
    }
    if (msg == WM_TRAYNOTIFY) {
        Callback(static_cast<UINT>(lp));
        return 0;
    }
    if (msg == FTaskbarCreated && FTaskbarCreated != 0) {
        // The taskbar started again: a visible icon is added anew.
        if (FIconVisible) ShowIcon();
        return 0;
    }
    switch (msg) {
        case WM_TIMER:
            if (wp == ClickTimerId) ClickTimerFired();
            if (wp == AnimateTimerId) AnimateStep();
            return 0;
        case WM_DESTROY:
        case WM_CLOSE:
        case WM_QUERYENDSESSION:
        case WM_QUIT:
        case WM_USERCHANGED:
        case WM_NCDESTROY: return 1;
        default: return DefWindowProcA(FWindow, msg, wp, lp);
    }
}
