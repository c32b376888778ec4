#include "toolkit/Forms.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>

#include "core/ExceptionHook.h"
#include "core/WindowServices.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/FormMessages.h"

TApplication* Application = nullptr;

namespace {
// AdjustWindowRectExForDpi where the platform has it: the frame of a plain
// window at the DPI it is laid out at.
void AdjustWindowRectForDpi(RECT& r, DWORD style, DWORD exStyle, int dpi) {
    using TAdjust = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const TAdjust adjust = [] {
        HMODULE user = GetModuleHandleA("user32.dll");
        return user ? reinterpret_cast<TAdjust>(
                          reinterpret_cast<void*>(GetProcAddress(user, "AdjustWindowRectExForDpi")))
                    : nullptr;
    }();
    if (dpi != kDesignDpi && adjust && adjust(&r, style, FALSE, exStyle, static_cast<UINT>(dpi))) return;
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
}

void KeepInsideWorkArea(TForm& form) {
    // A layout scaled for a dense display may outgrow a small one: the
    // window is never shown larger than its monitor's work area, nor
    // reaching past it.
    RECT work = Service<TMonitorAreas>().MonitorArea(form.Handle(), true);
    const int areaWidth = work.right - work.left, areaHeight = work.bottom - work.top;
    if (areaWidth <= 0 || areaHeight <= 0) return;
    if (form.Width() <= areaWidth && form.Height() <= areaHeight) return;
    const int w = std::min(form.Width(), areaWidth), h = std::min(form.Height(), areaHeight);
    const int l = std::clamp(form.Left(), static_cast<int>(work.left), static_cast<int>(work.right) - w);
    const int t = std::clamp(form.Top(), static_cast<int>(work.top), static_cast<int>(work.bottom) - h);
    form.SetBoundsByLayout(l, t, w, h);
}
}  // namespace

// ---- TForm ----

TForm::TForm(TComponent* owner, const std::string& caption, int clientWidth, int clientHeight, TBorderStyle border,
             unsigned borderIcons)
    : TCustomControl(owner, nullptr), FBorderStyle(border), FBorderIcons(borderIcons) {
    TControl::SetVisible(false);
    Font = TFont("Arial", -11);  // 8 points at 96 dpi
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

void TForm::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style |= WS_CLIPCHILDREN | WS_CAPTION;
    if (FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin) params.Style |= WS_THICKFRAME;
    if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) params.ExStyle |= WS_EX_TOOLWINDOW;
    if (FBorderIcons & biSystemMenu) params.Style |= WS_SYSMENU;
    const bool boxes = FBorderStyle == bsSizeable || FBorderStyle == bsSingle;
    if (boxes && (FBorderIcons & biMinimize)) params.Style |= WS_MINIMIZEBOX;
    if (boxes && (FBorderIcons & biMaximize)) params.Style |= WS_MAXIMIZEBOX;
    if (FBorderStyle == bsDialog) params.ExStyle |= WS_EX_DLGMODALFRAME;
}

void TForm::CreateWnd() {
    int width = FClientWidth, height = FClientHeight;  // sizing during creation changes these
    TCustomControl::CreateWnd();
    // The frame the window really got decides the outer size.
    SetClientSize(width, height);
}

void TForm::SetClientSize(int width, int height) {
    FClientWidth = width;
    FClientHeight = height;
    if (!HandleAllocated()) {
        // An estimate from the style until the window exists.
        TCreateParams params;
        CreateParams(params);
        RECT r{0, 0, width, height};
        AdjustWindowRectForDpi(r, params.Style, params.ExStyle, FDpi);
        SetBoundsByLayout(Left(), Top(), r.right - r.left, r.bottom - r.top);
        return;
    }
    RECT client;
    GetClientRect(Handle(), &client);
    RECT window;
    GetWindowRect(Handle(), &window);
    int w = (window.right - window.left) + width - client.right;
    int h = (window.bottom - window.top) + height - client.bottom;
    SetBoundsByLayout(Left(), Top(), w, h);
}

int TForm::ClientWidth() const { return HandleAllocated() ? TCustomControl::ClientWidth() : FClientWidth; }

int TForm::ClientHeight() const { return HandleAllocated() ? TCustomControl::ClientHeight() : FClientHeight; }

void TForm::ScaleToDpi(int dpi) {
    if (dpi <= 0 || dpi == FDpi) return;
    int from = FDpi;
    FDpi = dpi;
    ChangeScale(from, dpi);
    if (HandleAllocated())
        SendMessageA(Handle(), TM_FORMSCALED, static_cast<WPARAM>(dpi), 0);
    else
        Perform(TM_FORMSCALED, static_cast<WPARAM>(dpi), 0);
}

void TForm::ChangeScale(int fromDpi, int toDpi) {
    int width = FDesignClientWidth.Rescale(ClientWidth(), fromDpi, toDpi);
    int height = FDesignClientHeight.Rescale(ClientHeight(), fromDpi, toDpi);
    // The controls take their new places before the form's new size lays
    // them out, so that each reads its own values at the old scale.
    std::vector<TControl*> children;
    for (int i = 0; i < ControlCount(); ++i) children.push_back(Controls(i));
    for (TControl* c : children) c->ChangeScale(fromDpi, toDpi);
    TControl::ChangeScale(fromDpi, toDpi);  // the form's font
    SetClientSize(width, height);
    FDesignClientWidth.Settle(ClientWidth());
    FDesignClientHeight.Settle(ClientHeight());
    Realign();
}

void TForm::OnDpiChanged(TMessage& m) {
    RECT suggested = *reinterpret_cast<const RECT*>(m.LParam);  // copied before laying out sends messages
    ScaleToDpi(LOWORD(m.WParam));
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    m.Result = 0;
}

void TForm::TakeWindowBounds() {
    RECT r;
    GetWindowRect(Handle(), &r);
    SetBoundsByLayout(r.left, r.top, r.right - r.left, r.bottom - r.top);
    RECT client;
    GetClientRect(Handle(), &client);
    if (!IsIconic(Handle())) {
        FClientWidth = client.right;
        FClientHeight = client.bottom;
    }
}

void TForm::CenterOnScreen() {
    RECT work = Service<TMonitorAreas>().PrimaryWorkArea();
    int l = work.left + ((work.right - work.left) - Width()) / 2;
    int t = work.top + ((work.bottom - work.top) - Height()) / 2;
    SetBoundsByLayout(l < work.left ? work.left : l, t < work.top ? work.top : t, Width(), Height());
}

void TForm::Show() {
    // Laid out at the scale it shows at, before its windows are made (they
    // are made at their final places), and again should the window be on a
    // monitor of another scale.
    ScaleToDpi(HandleAllocated() ? WindowDpi(Handle()) : SystemDpi());
    CreateHandles();
    ScaleToDpi(WindowDpi(Handle()));
    if (!FShownOnce) KeepInsideWorkArea(*this);
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
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

int TForm::ShowModal() {
    // Disable every other window of the application while the dialog runs.
    std::vector<HWND> disabled;
    for (TForm* f : Application->Forms())
        if (f != this && f->HandleAllocated() && IsWindowEnabled(f->Handle())) {
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
    FActiveControl.Set(control);
    if (control && IsWindowVisible(Handle()) && control->CanFocus()) control->SetFocus();
}

void TForm::ChildFocused(TWinControl* control) {
    if (control == this) return;
    FActiveControl.Set(control);
    std::function<void(TControl*)> tell = [&](TControl* c) {
        c->FormFocusChanged(control);
        if (auto* w = dynamic_cast<TWinControl*>(c))
            for (int i = 0; i < w->ControlCount(); ++i) tell(w->Controls(i));
    };
    tell(this);
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
    auto press = [key](TWinControl* button) {
        if (!button || !button->Visible() || !button->Enabled() || !button->TakesDialogKey(key)) return false;
        button->Click();
        return true;
    };
    switch (key) {
        case VK_TAB: SelectNext(!shift); return true;
        case VK_RETURN: {
            // A focused button takes Enter itself; otherwise the default button.
            TWinControl* focused = TWinControl::FindControl(GetFocus());
            bool isButton = focused && focused != this && (focused->DialogCode() & DLGC_BUTTON);
            return press(isButton ? focused : DefaultButton);
        }
        case VK_ESCAPE: return press(CancelButton);
        default: return false;
    }
}

namespace {
TFormMessageHandler FormMessageHandler = nullptr;
}

void SetFormMessageHandler(TFormMessageHandler handler) { FormMessageHandler = handler; }

void TForm::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_CLOSE: OnCloseWindow(m); break;
        case WM_ACTIVATE: OnActivateWindow(m); break;
        case WM_DPICHANGED: OnDpiChanged(m); break;
        default:
            if (m.Msg >= WM_USER && FormMessageHandler && FormMessageHandler(*this, m)) break;
            TCustomControl::WndProc(m);
            break;
    }
}

void TForm::Notification(TComponent* component, bool removing) {
    TCustomControl::Notification(component, removing);
    if (removing) FActiveControl.Removed(component);
}

void TForm::OnCloseWindow(TMessage& m) {
    Close();
    m.Result = 0;
}

void TForm::OnActivateWindow(TMessage& m) {
    if (LOWORD(m.WParam) != WA_INACTIVE && FActiveControl && FActiveControl->CanFocus()) {
        FActiveControl->SetFocus();
        m.Result = 0;
        return;
    }
    DefaultHandler(m);
}

void TForm::OnSize(TMessage& m) {
    TakeWindowBounds();
    TCustomControl::OnSize(m);
    if (OnResize) OnResize(this);
}

void TForm::OnMove(TMessage& m) {
    TakeWindowBounds();
    TCustomControl::OnMove(m);
}

TForm* GetParentForm(const TControl* control) { return control ? dynamic_cast<TForm*>(control->TopLevel()) : nullptr; }

// ---- TMessageHook ----

TMessageHook::TMessageHook(TComponent* owner, THookFunc hook) : TComponent(owner), FHook(std::move(hook)) {
    if (Application) Application->AddMessageHook(this);
}

TMessageHook::~TMessageHook() {
    if (Application) Application->RemoveMessageHook(this);
}

// ---- TApplication ----

namespace {
void ReportToApplication(const std::exception& e) {
    if (Application) Application->HandleException(e);
}
}  // namespace

TApplication::TApplication() : TComponent(nullptr) {
    Application = this;
    SetWindowExceptionHandler(&ReportToApplication);
    // Dialog keys are the first hook, so that every later one sees keys first.
    new TMessageHook(this, &TApplication::IsDialogKey);
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, n);
    name = name.substr(name.find_last_of("\\/") + 1);
    Title = name.substr(0, name.rfind('.'));
}

TApplication::~TApplication() {
    BeginDestroy();
    FHintTimer.reset();
    FHintControl.Set(nullptr);
    // Forms go first, newest first, each while its whole object exists.
    while (!FForms.empty()) FForms.back()->Release();
    if (Application == this) {
        SetWindowExceptionHandler(nullptr);
        Application = nullptr;
    }
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                                             ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
}

void TApplication::RemoveForm(TForm* f) { FForms.erase(std::remove(FForms.begin(), FForms.end(), f), FForms.end()); }

void TApplication::AddMessageHook(TMessageHook* hook) { FHooks.push_back(hook); }

void TApplication::RemoveMessageHook(TMessageHook* hook) {
    FHooks.erase(std::remove(FHooks.begin(), FHooks.end(), hook), FHooks.end());
}

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

// Tab, Enter and Escape for the form of the focused control, and the
// accelerator characters of its controls' captions.
bool TApplication::IsDialogKey(MSG& msg) {
    if (msg.message == WM_SYSCHAR || msg.message == WM_CHAR) return IsDialogChar(msg);
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_TAB && msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE))
        return false;
    TWinControl* control = TWinControl::FindControl(msg.hwnd);
    TForm* form = GetParentForm(control);
    if (!form) return false;
    UINT code = control == form ? 0 : control->DialogCode();
    UINT wanted = msg.wParam == VK_TAB ? DLGC_WANTTAB : DLGC_WANTALLKEYS;
    if ((code & wanted) || !form->DialogKey(static_cast<unsigned short>(msg.wParam), GetKeyState(VK_SHIFT) < 0))
        return false;
    MSG ch;  // the key's character would only beep in an edit
    PeekMessageA(&ch, msg.hwnd, WM_CHAR, WM_CHAR, PM_REMOVE);
    return true;
}

// With Alt, or typed to a control that takes no characters (a button), a
// character is offered to every control of the form, depth first.
bool TApplication::IsDialogChar(MSG& msg) {
    TWinControl* control = TWinControl::FindControl(msg.hwnd);
    TForm* form = GetParentForm(control);
    if (!form || msg.wParam < 32) return false;
    if (msg.message == WM_CHAR && control != form && (control->DialogCode() & (DLGC_WANTCHARS | DLGC_HASSETSEL)))
        return false;
    char key = static_cast<char>(msg.wParam);
    std::function<bool(TControl*)> offer = [&](TControl* c) {
        if (!c->Visible() || !c->Enabled()) return false;
        if (c != form && c->DialogChar(key)) return true;
        if (auto* w = dynamic_cast<TWinControl*>(c))
            for (int i = 0; i < w->ControlCount(); ++i)
                if (offer(w->Controls(i))) return true;
        return false;
    };
    return offer(form);
}

bool TApplication::DispatchOne(MSG& msg) {
    if (msg.message == WM_QUIT) {
        Terminated = true;
        return true;
    }
    HintMessage(msg);
    // Newest hook first; a hook may remove itself or others while it runs.
    std::vector<TMessageHook*> hooks = FHooks;
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it)
        if (std::find(FHooks.begin(), FHooks.end(), *it) != FHooks.end() && (*it)->Run(msg)) return true;
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

namespace {
std::vector<std::pair<const void*, std::function<void()>>>& IdleWork() {
    static std::vector<std::pair<const void*, std::function<void()>>> work;
    return work;
}
}  // namespace

void AddIdleWork(const void* owner, std::function<void()> work) { IdleWork().emplace_back(owner, std::move(work)); }

void RemoveIdleWork(const void* owner) {
    auto& all = IdleWork();
    all.erase(std::remove_if(all.begin(), all.end(), [&](const auto& w) { return w.first == owner; }), all.end());
}

void TApplication::Idle() {
    // A piece may remove itself or others while the pieces run.
    const auto work = IdleWork();
    for (const auto& [owner, run] : work) {
        const auto& all = IdleWork();
        if (std::none_of(all.begin(), all.end(), [&](const auto& w) { return w.first == owner; })) continue;
        try {
            run();
        } catch (const std::exception& e) {
            HandleException(e);
        }
    }
}

void TApplication::HandleMessage() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) Idle();
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
    HWND owner = MainForm && MainForm->HandleAllocated() ? MainForm->Handle() : nullptr;
    MessageBoxA(owner, e.what(), Title.c_str(), MB_OK | MB_ICONERROR);
}

std::string FormatShortDate(const SYSTEMTIME& date) {
    char buffer[128];
    int n = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n - 1)) : std::string();
}
