#include "toolkit/Forms.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>

#include "core/ExceptionHook.h"
#include "core/WindowServices.h"
#include "toolkit/StdCtrls.h"

TApplication* Application = nullptr;

// ---- TForm ----

DWORD TForm::FormStyle(TBorderStyle border, unsigned borderIcons) {
    DWORD style = WS_CLIPCHILDREN | WS_CAPTION;
    if (border == bsSizeable) style |= WS_THICKFRAME;
    if (borderIcons & biSystemMenu) style |= WS_SYSMENU;
    if (border != bsDialog && (borderIcons & biMinimize)) style |= WS_MINIMIZEBOX;
    if (border != bsDialog && (borderIcons & biMaximize)) style |= WS_MAXIMIZEBOX;
    return style;
}

TForm::TForm(TComponent* owner, const std::string& caption, int clientWidth, int clientHeight, TBorderStyle border,
             unsigned borderIcons)
    : TCustomControl(owner, nullptr, FormStyle(border, borderIcons), border == bsDialog ? WS_EX_DLGMODALFRAME : 0) {
    TControl::SetVisible(false);
    Font = TFont("Arial", 11);  // 8 points at 96 dpi
    FontChanged();
    SetCaption(caption);
    SetClientSize(clientWidth, clientHeight);
    if (Application) Application->AddForm(this);
}

TForm::~TForm() {
    BeginDestroy();
    if (Application) Application->RemoveForm(this);
    if (Application && Application->MainForm == this) Application->MainForm = nullptr;
    DestroyHandle();
}

void TForm::Release() {
    BeginDestroy();
    DestroyHandle();
    delete this;
}

void TForm::SetClientSize(int width, int height) {
    RECT client;
    GetClientRect(Handle(), &client);
    RECT window;
    GetWindowRect(Handle(), &window);
    int w = (window.right - window.left) + width - client.right;
    int h = (window.bottom - window.top) + height - client.bottom;
    SetBoundsByLayout(Left(), Top(), w, h);
}

void TForm::BoundsChanged() {
    if (Handle())
        SetWindowPos(Handle(), nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::CenterOnScreen() {
    RECT work = Service<TMonitorAreas>().PrimaryWorkArea();
    int l = work.left + ((work.right - work.left) - Width()) / 2;
    int t = work.top + ((work.bottom - work.top) - Height()) / 2;
    SetBoundsByLayout(l < work.left ? work.left : l, t < work.top ? work.top : t, Width(), Height());
}

void TForm::Show() {
    if (!FShownOnce && Position == poScreenCenter) CenterOnScreen();
    FShownOnce = true;
    TControl::SetVisible(true);
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    if (OnShow) OnShow(this);
    TWinControl* focus = FActiveControl;
    if (!focus || !focus->CanFocus()) {
        std::vector<TWinControl*> tabs = TabList();
        focus = tabs.empty() ? nullptr : tabs.front();
    }
    if (focus)
        focus->SetFocus();
    else
        ::SetFocus(Handle());
}

void TForm::Hide() {
    TControl::SetVisible(false);
    ShowWindow(Handle(), SW_HIDE);
}

int TForm::ShowModal() {
    // Disable every other window of the application while the dialog runs.
    std::vector<HWND> disabled;
    for (TForm* f : Application->Forms())
        if (f != this && f->Handle() && IsWindowEnabled(f->Handle())) {
            EnableWindow(f->Handle(), FALSE);
            disabled.push_back(f->Handle());
        }
    HWND previous = GetActiveWindow();
    ModalResult = mrNone;
    FModal = true;
    try {
        Show();
        while (ModalResult == mrNone && !Application->Terminated) Application->HandleMessage();
    } catch (...) {
        FModal = false;
        for (HWND w : disabled) EnableWindow(w, TRUE);
        throw;
    }
    FModal = false;
    for (HWND w : disabled) EnableWindow(w, TRUE);
    Hide();
    if (previous && IsWindow(previous)) SetActiveWindow(previous);
    return ModalResult;
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close() {
    if (FModal) {
        ModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    if (Application && Application->MainForm == this)
        Application->Terminate();
    else
        Hide();
}

void TForm::SetActiveControl(TWinControl* control) {
    FActiveControl = control;
    if (control && IsWindowVisible(Handle()) && control->CanFocus()) control->SetFocus();
}

void TForm::ActiveControlFocused(TWinControl* control) {
    if (control != this) FActiveControl = control;
}

std::vector<TWinControl*> TForm::TabList() const {
    std::vector<TWinControl*> list;
    std::function<void(const TWinControl*)> walk = [&](const TWinControl* parent) {
        std::vector<TWinControl*> children;
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* w = dynamic_cast<TWinControl*>(parent->Controls(i))) children.push_back(w);
        std::stable_sort(children.begin(), children.end(), [](TWinControl* a, TWinControl* b) {
            int ta = a->TabOrder < 0 ? 1 << 20 : a->TabOrder, tb = b->TabOrder < 0 ? 1 << 20 : b->TabOrder;
            return ta < tb;
        });
        for (TWinControl* c : children) {
            if (!c->Visible() || !c->Enabled()) continue;
            if (c->TabStop) list.push_back(c);
            walk(c);
        }
    };
    walk(this);
    return list;
}

void TForm::SelectNext(bool forward) {
    std::vector<TWinControl*> tabs = TabList();
    if (tabs.empty()) return;
    HWND focus = GetFocus();
    TWinControl* current = TWinControl::FindControl(focus);
    auto it = std::find(tabs.begin(), tabs.end(), current);
    size_t index;
    if (it == tabs.end())
        index = forward ? 0 : tabs.size() - 1;
    else {
        size_t pos = static_cast<size_t>(it - tabs.begin());
        index = forward ? (pos + 1) % tabs.size() : (pos + tabs.size() - 1) % tabs.size();
    }
    tabs[index]->SetFocus();
}

bool TForm::DialogKey(unsigned short key, bool shift) {
    switch (key) {
        case VK_TAB:
            SelectNext(!shift);
            return true;
        case VK_RETURN: {
            auto* focused = dynamic_cast<TButtonControl*>(TWinControl::FindControl(GetFocus()));
            TButtonControl* target = focused ? focused : DefaultButton;
            if (target && target->Visible() && target->Enabled()) {
                target->Click();
                return true;
            }
            return false;
        }
        case VK_ESCAPE:
            if (CancelButton && CancelButton->Visible() && CancelButton->Enabled()) {
                CancelButton->Click();
                return true;
            }
            return false;
        default: return false;
    }
}

LRESULT TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            Close();
            return 0;
        case WM_SIZE: {
            RECT r;
            GetWindowRect(Handle(), &r);
            SetBoundsByLayout(r.left, r.top, r.right - r.left, r.bottom - r.top);
            LRESULT result = TWinControl::WndProc(msg, wp, lp);
            if (OnResize) OnResize(this);
            return result;
        }
        case WM_MOVE: {
            RECT r;
            GetWindowRect(Handle(), &r);
            SetBoundsByLayout(r.left, r.top, r.right - r.left, r.bottom - r.top);
            break;
        }
        case WM_ACTIVATE:
            if (LOWORD(wp) != WA_INACTIVE && FActiveControl && FActiveControl->CanFocus()) {
                FActiveControl->SetFocus();
                return 0;
            }
            break;
        default: break;
    }
    return TCustomControl::WndProc(msg, wp, lp);
}

// ---- TApplication ----

TApplication::TApplication() : TComponent(nullptr) {
    Application = this;
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, n);
    name = name.substr(name.find_last_of("\\/") + 1);
    Title = name.substr(0, name.rfind('.'));
}

TApplication::~TApplication() {
    BeginDestroy();
    // Forms go first, newest first, each while its whole object exists.
    while (!FForms.empty()) FForms.back()->Release();
    if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES |
                                             ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
}

void TApplication::RemoveForm(TForm* f) { FForms.erase(std::remove(FForms.begin(), FForms.end(), f), FForms.end()); }

void TApplication::Run() {
    if (!MainForm) return;
    MainForm->Show();
    while (!Terminated) HandleMessage();
}

void TApplication::Terminate() {
    if (Terminated) return;
    Terminated = true;
    PostQuitMessage(0);
}

bool TApplication::DispatchOne(MSG& msg) {
    if (msg.message == WM_QUIT) {
        Terminated = true;
        return true;
    }
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_TAB || msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
        TWinControl* control = TWinControl::FindControl(msg.hwnd);
        TForm* form = control ? control->ParentForm() : nullptr;
        if (form) {
            UINT code = control == form ? 0 : control->DialogCode();
            UINT wanted = msg.wParam == VK_TAB ? DLGC_WANTTAB : DLGC_WANTALLKEYS;
            if (!(code & wanted) && form->DialogKey(static_cast<unsigned short>(msg.wParam), GetKeyState(VK_SHIFT) < 0)) {
                MSG ch;  // the key's character would only beep in an edit
                PeekMessageA(&ch, msg.hwnd, WM_CHAR, WM_CHAR, PM_REMOVE);
                return true;
            }
        }
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

bool TApplication::ProcessMessage() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    try {
        DispatchOne(msg);
    } catch (const std::exception& e) {
        HandleException(e);
    }
    return true;
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

void TApplication::HandleMessage() {
    MSG msg;
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r == 0) {
        Terminated = true;
        return;
    }
    if (r < 0) return;
    try {
        DispatchOne(msg);
    } catch (const std::exception& e) {
        HandleException(e);
    }
}

void TApplication::HandleException(const std::exception& e) { ShowException(e); }

void TApplication::ShowException(const std::exception& e) {
    if (ExceptionManagerFunc manager = GetExceptionManager(); manager && !manager(&e, nullptr)) return;
    HWND owner = MainForm ? MainForm->Handle() : nullptr;
    MessageBoxA(owner, e.what(), Title.c_str(), MB_OK | MB_ICONERROR);
}

std::string FormatShortDate(const SYSTEMTIME& date) {
    char buffer[128];
    int n = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n - 1)) : std::string();
}
