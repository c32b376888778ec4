#include "toolkit/Controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>

#include "core/Errors.h"
#include "core/Property.h"
#include "toolkit/WindowClasses.h"

namespace {
const char* const kWindowClass = "PlandeskWindow";
int g_destroyDepth = 0;  // windows being destroyed get default handling only

// The object of each of our windows. Not a window property: reading one
// costs a round trip to the window server under Wine (about 11
// microseconds), and filling a list of 10,000 rows looks up objects over
// 100,000 times. Never freed, so that windows destroyed late in the
// program's exit still find it.
SRWLOCK g_controlsLock = SRWLOCK_INIT;
std::unordered_map<HWND, TWinControl*>& ControlsByHandle() {
    static auto* controls = new std::unordered_map<HWND, TWinControl*>;
    return *controls;
}

void SetControlOf(HWND wnd, TWinControl* control) {
    AcquireSRWLockExclusive(&g_controlsLock);
    if (control)
        ControlsByHandle()[wnd] = control;
    else
        ControlsByHandle().erase(wnd);
    ReleaseSRWLockExclusive(&g_controlsLock);
}
void (*g_exceptionHandler)(const std::exception&) = nullptr;

// The own class and its siblings with more class styles, by extra style.
std::map<UINT, std::string>& OwnClasses() {
    static std::map<UINT, std::string> names;
    return names;
}

bool IsOwnClass(const char* name) {
    for (const auto& [style, own] : OwnClasses())
        if (own == name) return true;
    return false;
}

// The object whose window is being created and its window class: the
// creation hook binds it to the first window of that class created on this
// thread after it is set (the system may create helper windows first).
thread_local TWinControl* g_creating = nullptr;
thread_local const char* g_creatingClass = nullptr;
// The creation hook, one for a window and the children made with it.
thread_local HHOOK g_creationHook = nullptr;

bool HasClass(HWND wnd, const char* cls) {
    char name[64];
    return GetClassNameA(wnd, name, sizeof name) > 0 && lstrcmpiA(name, cls) == 0;
}

}  // namespace

const char* OwnWindowClassWithStyle(UINT extraStyle) {
    auto& names = OwnClasses();
    auto found = names.find(extraStyle);
    if (found != names.end()) return found->second.c_str();
    std::string name = kWindowClass;
    if (extraStyle) name += std::to_string(extraStyle);
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS | extraStyle;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = name.c_str();
    RegisterClassA(&wc);
    return names.emplace(extraStyle, std::move(name)).first->second.c_str();
}

void SetWindowExceptionHandler(void (*handler)(const std::exception& e)) { g_exceptionHandler = handler; }

void HandleWindowException() {
    try {
        throw;
    } catch (const std::exception& e) {
        if (g_exceptionHandler) g_exceptionHandler(e);
    } catch (...) {
        if (g_exceptionHandler) g_exceptionHandler(Exception("Unknown exception"));
    }
}

// The window procedure of every window the toolkit binds: the object comes
// from the handle table, the window's own procedure (the native control's,
// or DefWindowProc for our class) is called through DefaultHandler.
LRESULT CALLBACK ControlWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    TWinControl* control = TWinControl::FromHandle(wnd);
    if (!control) return DefWindowProcA(wnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        WNDPROC previous = control->FDefProc;
        control->Unbind();
        return CallWindowProcA(previous, wnd, msg, wp, lp);
    }
    if (g_destroyDepth > 0 || control->Destroying()) return CallWindowProcA(control->FDefProc, wnd, msg, wp, lp);
    TMessage m{msg, wp, lp};
    try {
        control->Dispatch(m);
    } catch (...) {
        HandleWindowException();
        return 0;
    }
    return m.Result;
}

// Binds the object being created to its window before the window's first
// message (WM_GETMINMAXINFO / WM_NCCREATE come after this hook).
LRESULT CALLBACK CreationHookProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND && g_creating && HasClass(reinterpret_cast<HWND>(wp), g_creatingClass)) {
        TWinControl* control = g_creating;
        g_creating = nullptr;
        control->Bind(reinterpret_cast<HWND>(wp));
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

char AcceleratorOf(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] != '&') return static_cast<char>(toupper(static_cast<unsigned char>(caption[i + 1])));
        ++i;
    }
    return 0;
}

bool IsAccelerator(char key, const std::string& caption) {
    char accel = AcceleratorOf(caption);
    return accel && accel == static_cast<char>(toupper(static_cast<unsigned char>(key)));
}

TWinControl* ControlWindow(TControl* control) {
    if (!control) return nullptr;
    if (auto* w = dynamic_cast<TWinControl*>(control)) return w;
    return control->Parent();
}

// ---- TControl ----

TControl::TControl(TComponent* owner, TWinControl* parent) : TComponent(owner), FParent(parent) {
    if (parent) {
        Font = parent->Font;
        parent->InsertControl(this);
    }
}

TControl::~TControl() {
    if (FParent) FParent->RemoveControl(this);
}

TWinControl* TControl::TopLevel() const {
    const TControl* c = this;
    while (c->FParent) c = c->FParent;
    return dynamic_cast<TWinControl*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height) {
    SetBoundsByLayout(left, top, width, height);
    TakeAnchorDistances();
    if (FAlign != alNone) RequestParentRealign();
}

void TControl::SetBoundsByLayout(int left, int top, int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    BoundsChanged();
}

void TControl::SetBoundsToFit(int left, int top, int width, int height) {
    FRightGap -= (left + width) - (FLeft + FWidth);
    FBottomGap -= (top + height) - (FTop + FHeight);
    SetBoundsByLayout(left, top, width, height);
}

void TControl::TakeAnchorDistances() {
    if (!FParent) return;
    FRightGap = FParent->ClientWidth() - (FLeft + FWidth);
    FBottomGap = FParent->ClientHeight() - (FTop + FHeight);
}

void TControl::ParentResized(int clientWidth, int clientHeight) {
    if (FAlign != alNone) return;
    int l = FLeft, t = FTop, w = FWidth, h = FHeight;
    if (FAnchors & akRight) {
        if (FAnchors & akLeft)
            w = clientWidth - FRightGap - l;
        else
            l = clientWidth - FRightGap - w;
    }
    if (FAnchors & akBottom) {
        if (FAnchors & akTop)
            h = clientHeight - FBottomGap - t;
        else
            t = clientHeight - FBottomGap - h;
    }
    SetBoundsByLayout(l, t, w, h);
}

namespace {
// One axis of an anchored control's place at another DPI. Each edge keeps its
// scaled distance to the side of the parent it is tied to: an edge tied to
// the near side (left, top) as its distance from it, one tied to the far side
// (an anchor to the right or bottom) as its distance to that side, so that
// the parent's own size (a window sized by the system) never leaks into the
// 96-DPI values.
struct TAxis {
    int Near, Far;  // edges, parent coordinates
    int Extent;     // the parent's client size the far side is measured from
    bool NearFromFar, FarFromFar;
};
// Returns the distance of the far edge to the far side.
int ScaleAxis(TAxis& axis, TDesignLength& nearDesign, TDesignLength& farDesign, int fromDpi, int toDpi) {
    int n = nearDesign.Rescale(axis.NearFromFar ? axis.Extent - axis.Near : axis.Near, fromDpi, toDpi);
    int f = farDesign.Rescale(axis.FarFromFar ? axis.Extent - axis.Far : axis.Far, fromDpi, toDpi);
    // Edges tied to the far side are placed again by the parent's layout;
    // until then they stand against the parent's extent at the new scale.
    int extent = MulDiv(axis.Extent, toDpi, fromDpi);
    axis.Near = axis.NearFromFar ? extent - n : n;
    axis.Far = axis.FarFromFar ? extent - f : f;
    return axis.FarFromFar ? f : extent - axis.Far;
}
// What an axis came out as, measured as ScaleAxis measures it; the parent's
// layout keeps the far distance and the size.
void SettleAxis(int nearEdge, int size, int farDistance, bool nearFromFar, bool farFromFar, TDesignLength& nearDesign,
                TDesignLength& farDesign) {
    nearDesign.Settle(nearFromFar ? farDistance + size : nearEdge);
    farDesign.Settle(farFromFar ? farDistance : nearEdge + size);
}
}  // namespace

void TControl::ChangeScale(int fromDpi, int toDpi) {
    const bool across = FAlign == alLeft || FAlign == alRight;  // aligned: the width is its own
    const bool anchored = FParent && FAlign == alNone;
    const bool right = (FAnchors & akRight) != 0, bottom = (FAnchors & akBottom) != 0;
    const bool leftFromFar = right && !(FAnchors & akLeft), topFromFar = bottom && !(FAnchors & akTop);
    if (anchored) {
        TAxis x{FLeft, FLeft + FWidth, FLeft + FWidth + FRightGap, leftFromFar, right};
        TAxis y{FTop, FTop + FHeight, FTop + FHeight + FBottomGap, topFromFar, bottom};
        FRightGap = ScaleAxis(x, FDesign.Left, FDesign.Right, fromDpi, toDpi);
        FBottomGap = ScaleAxis(y, FDesign.Top, FDesign.Bottom, fromDpi, toDpi);
        SetBoundsByLayout(x.Near, y.Near, x.Far - x.Near, y.Far - y.Near);
    } else if (FParent && FAlign != alClient) {
        int size = FDesign.Size.Rescale(across ? FWidth : FHeight, fromDpi, toDpi);
        SetBoundsByLayout(FLeft, FTop, across ? size : FWidth, across ? FHeight : size);
    }
    if (Font.Height()) {
        Font.SetHeight(FDesign.FontHeight.RescaleFont(Font.Height(), fromDpi, toDpi));
        FDesign.FontHeight.Settle(Font.Height());
        FontChanged();
    }
    // Measured once the control is in place: a label has fitted its text.
    if (anchored) {
        SettleAxis(FLeft, FWidth, FRightGap, leftFromFar, right, FDesign.Left, FDesign.Right);
        SettleAxis(FTop, FHeight, FBottomGap, topFromFar, bottom, FDesign.Top, FDesign.Bottom);
    } else if (FParent && FAlign != alClient) {
        FDesign.Size.Settle(across ? FWidth : FHeight);
    }
}

void TControl::SetAlign(TAlign a) {
    FAlign = a;
    RequestParentRealign();
}

void TControl::SetAnchors(TAnchors a) {
    FAnchors = a;
    TakeAnchorDistances();
}

void TControl::SetVisible(bool v) {
    if (!SetIfChanged(FVisible, v)) return;
    if (FAlign != alNone) RequestParentRealign();
}

void TControl::SetEnabled(bool v) { FEnabled = v; }

void TControl::SetCaption(const std::string& text) {
    FCaption = text;
    Invalidate();
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::Invalidate() {}

void TControl::RequestParentRealign() {
    if (FParent) FParent->Realign();
}

// ---- TGraphicControl ----

namespace {
// A windowless control is drawn by its parent: marks its part of the parent
// (all of it when `part` is null) for painting, when the parent is on screen.
void InvalidateInParent(TWinControl* parent, const RECT* part) {
    if (parent && parent->HandleAllocated() && IsOnScreen(parent->Handle()))
        InvalidateRect(parent->Handle(), part, FALSE);
}
}  // namespace

void TGraphicControl::Invalidate() {
    RECT r = BoundsRect();
    InvalidateInParent(Parent(), &r);
}

void TGraphicControl::SetVisible(bool v) {
    TControl::SetVisible(v);
    InvalidateInParent(Parent(), nullptr);
}

void TGraphicControl::BoundsChanged() { InvalidateInParent(Parent(), nullptr); }

// ---- TWindowProcWrapper ----

TWindowProcWrapper::TWindowProcWrapper(TComponent* owner) : TComponent(owner) {}

TWindowProcWrapper::~TWindowProcWrapper() { Detach(); }

void TWindowProcWrapper::Attach(TWinControl* target) {
    Detach();
    if (!target) return;
    FTarget = target;
    target->FWrappers.push_back(this);
    FreeNotification(target);
}

void TWindowProcWrapper::Detach() {
    if (!FTarget) return;
    auto& list = FTarget->FWrappers;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    RemoveFreeNotification(FTarget);
    FTarget = nullptr;
}

void TWindowProcWrapper::CallPrevious(TMessage& m) {
    if (!FTarget) return;
    auto& list = FTarget->FWrappers;
    auto it = std::find(list.begin(), list.end(), this);
    FTarget->DispatchFrom(static_cast<size_t>(it - list.begin()), m);
}

void TWindowProcWrapper::Notification(TComponent* component, bool removing) {
    TComponent::Notification(component, removing);
    if (removing && component == FTarget) FTarget = nullptr;
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* owner, TWinControl* parent) : TControl(owner, parent) {}

TWinControl::~TWinControl() {
    BeginDestroy();
    for (TControl* c : FControls) c->FParent = nullptr;
    FControls.clear();
    // Wrappers that outlive us are told through free notification.
    DestroyHandle();
}

HWND TWinControl::Handle() const {
    if (!FHandle && !Destroying()) const_cast<TWinControl*>(this)->HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle || FCreating || Destroying()) return;
    if (Parent()) Parent()->HandleNeeded();  // creates us with its children
    if (!FHandle) CreateWnd();
}

void TWinControl::CreateHandles() {
    HandleNeeded();
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Visible()) w->CreateHandles();
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    ++g_destroyDepth;
    DestroyWindow(FHandle);
    --g_destroyDepth;
    FHandle = nullptr;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = Caption();
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    if (Parent()) {
        params.WndParent = Parent()->Handle();
        params.Style |= WS_CHILD | WS_CLIPSIBLINGS;
        if (Visible()) params.Style |= WS_VISIBLE;  // top-level windows show when asked
    }
    if (!Enabled()) params.Style |= WS_DISABLED;
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    FOwnClass = params.WinClassName == nullptr || IsOwnClass(params.WinClassName);
    if (FOwnClass) {
        if (!params.WinClassName) params.WinClassName = OwnWindowClassWithStyle(0);
        params.Style |= WS_CLIPCHILDREN;
    }
    // Child windows get an identifier, so that WM_MEASUREITEM finds them.
    static UINT nextId = 100;
    HMENU id = (params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nextId++)) : nullptr;
    FCreating = true;
    TWinControl* outer = g_creating;
    const char* outerClass = g_creatingClass;
    g_creating = this;
    g_creatingClass = params.WinClassName;
    // Setting and removing a hook costs the window system a round trip each:
    // the outermost window made keeps its hook for its children too.
    struct THookScope {
        bool Own = !g_creationHook;
        THookScope() {
            if (Own) g_creationHook = SetWindowsHookExA(WH_CBT, &CreationHookProc, nullptr, GetCurrentThreadId());
        }
        ~THookScope() {
            if (Own && g_creationHook) UnhookWindowsHookEx(std::exchange(g_creationHook, nullptr));
        }
    } hook;
    HWND wnd =
        CreateWindowExA(params.ExStyle, params.WinClassName, params.Caption.c_str(), params.Style, params.X, params.Y,
                        params.Width, params.Height, params.WndParent, id, GetModuleHandleA(nullptr), nullptr);
    if (wnd && g_creating == this) Bind(wnd);  // no hook on this system: bind late
    g_creating = outer;
    g_creatingClass = outerClass;
    FCreating = false;
    if (!wnd) throw Exception(std::string("Cannot create window of class ") + params.WinClassName);
    SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font.Handle()), FALSE);
    PlaceAmongSiblings();
    // A hidden child's window is made when it first shows, or when its
    // handle is asked for: a sheet nobody opens costs no windows.
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Visible()) w->HandleNeeded();
}

// Siblings stack in the order the controls were made, the first on top. A
// window made later than a sibling after it goes to its own place.
void TWinControl::PlaceAmongSiblings() {
    if (!Parent()) return;
    const auto& siblings = Parent()->FControls;
    auto self = std::find(siblings.begin(), siblings.end(), this);
    if (self == siblings.end()) return;
    auto made = [](TControl* c) {
        auto* w = dynamic_cast<TWinControl*>(c);
        return w && w->HandleAllocated();
    };
    if (std::none_of(self + 1, siblings.end(), made)) return;  // already last
    HWND above = HWND_TOP;
    for (auto it = self; it != siblings.begin();)
        if (made(*--it)) {
            above = static_cast<TWinControl*>(*it)->FHandle;
            break;
        }
    SetWindowPos(FHandle, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
}

// The window keeps its class; only its procedure is ours from here on. A
// comctl32 subclass would do the same, but under Wine it looks its data up
// in a window property on every message, which made filling a long list
// about seven times slower.
void TWinControl::Bind(HWND wnd) {
    FHandle = wnd;
    SetControlOf(wnd, this);
    FDefProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc)));
}

void TWinControl::Unbind() {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(FHandle, GWLP_WNDPROC)) == &ControlWindowProc)
        SetWindowLongPtrA(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefProc));
    SetControlOf(FHandle, nullptr);
    FHandle = nullptr;
    FMouseInside = false;
    FHoverChild = nullptr;
    FPressedChild = nullptr;
}

void TWinControl::DefaultHandler(TMessage& m) {
    m.Result = FHandle ? CallWindowProcA(FDefProc, FHandle, m.Msg, m.WParam, m.LParam) : 0;
}

void TWinControl::Dispatch(TMessage& m) { DispatchFrom(FWrappers.size(), m); }

// Runs the message through the wrappers below `wrapperIndex` (newest first),
// then the control's own procedure.
void TWinControl::DispatchFrom(size_t wrapperIndex, TMessage& m) {
    if (wrapperIndex > 0 && wrapperIndex <= FWrappers.size())
        FWrappers[wrapperIndex - 1]->WrappedWndProc(m);
    else
        WndProc(m);
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wp, LPARAM lp) {
    TMessage m{msg, wp, lp};
    Dispatch(m);
    return m.Result;
}

TWinControl* TWinControl::FromHandle(HWND wnd) {
    if (!wnd) return nullptr;
    AcquireSRWLockShared(&g_controlsLock);
    auto found = ControlsByHandle().find(wnd);
    TWinControl* control = found == ControlsByHandle().end() ? nullptr : found->second;
    ReleaseSRWLockShared(&g_controlsLock);
    return control;
}

TWinControl* TWinControl::FindControl(HWND wnd) {
    while (wnd) {
        if (TWinControl* c = FromHandle(wnd)) return c;
        wnd = GetParent(wnd);
    }
    return nullptr;
}

void TWinControl::InsertControl(TControl* c) {
    FControls.push_back(c);
    if (c->Align() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* c) {
    FControls.erase(std::remove(FControls.begin(), FControls.end(), c), FControls.end());
    if (FHoverChild == c) FHoverChild = nullptr;
    if (FPressedChild == c) FPressedChild = nullptr;
}

TControl* TWinControl::ControlAtPos(POINT p) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (dynamic_cast<TWinControl*>(c) || !c->Visible() || !c->Enabled()) continue;
        RECT r = c->BoundsRect();
        if (PtInRect(&r, p) && c->HitTest(p.x - c->Left(), p.y - c->Top())) return c;
    }
    return nullptr;
}

void TWinControl::SetFocus() {
    if (HWND wnd = Handle()) ::SetFocus(wnd);
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return Handle() != nullptr;
}

void TWinControl::SetVisible(bool v) {
    TControl::SetVisible(v);
    if (FHandle)
        ShowWindow(FHandle, v ? SW_SHOWNA : SW_HIDE);
    else if (v && Parent() && Parent()->HandleAllocated() && IsWindowVisible(Parent()->Handle()))
        CreateHandles();  // on screen for the first time (else made when its form shows)
}

void TWinControl::SetEnabled(bool v) {
    TControl::SetEnabled(v);
    if (FHandle) EnableWindow(FHandle, v);
}

void TWinControl::SetCaption(const std::string& text) {
    TControl::SetCaption(text);
    if (FHandle) SetWindowTextA(FHandle, text.c_str());
}

void TWinControl::Invalidate() {
    if (IsOnScreen(FHandle)) InvalidateRect(FHandle, nullptr, FALSE);
}

void TWinControl::FontChanged() {
    if (FHandle) SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font.Handle()), TRUE);
}

RECT TWinControl::LayoutRect() const { return RECT{0, 0, ClientWidth(), ClientHeight()}; }

int TWinControl::ClientWidth() const {
    RECT r{0, 0, Width(), Height()};
    if (FHandle) GetClientRect(FHandle, &r);
    return r.right;
}

int TWinControl::ClientHeight() const {
    RECT r{0, 0, Width(), Height()};
    if (FHandle) GetClientRect(FHandle, &r);
    return r.bottom;
}

void TWinControl::Realign() {
    if (FAligning) return;
    FAligning = true;
    AlignControls();
    FAligning = false;
}

void TWinControl::AlignControls() {
    RECT r = LayoutRect();
    auto place = [&](TAlign which) {
        for (TControl* c : FControls) {
            if (c->Align() != which || !c->Visible()) continue;
            switch (which) {
                case alTop:
                    c->SetBoundsByLayout(r.left, r.top, r.right - r.left, c->Height());
                    r.top += c->Height();
                    break;
                case alBottom:
                    r.bottom -= c->Height();
                    c->SetBoundsByLayout(r.left, r.bottom, r.right - r.left, c->Height());
                    break;
                case alLeft:
                    c->SetBoundsByLayout(r.left, r.top, c->Width(), r.bottom - r.top);
                    r.left += c->Width();
                    break;
                case alRight:
                    r.right -= c->Width();
                    c->SetBoundsByLayout(r.right, r.top, c->Width(), r.bottom - r.top);
                    break;
                case alClient: c->SetBoundsByLayout(r.left, r.top, r.right - r.left, r.bottom - r.top); break;
                default: break;
            }
        }
    };
    place(alTop);
    place(alBottom);
    place(alLeft);
    place(alRight);
    place(alClient);
    int cw = ClientWidth(), ch = ClientHeight();
    for (TControl* c : FControls) c->ParentResized(cw, ch);
}

void TWinControl::ChangeScale(int fromDpi, int toDpi) {
    // Children first: each takes its own 96-DPI values before this control's
    // new size realigns them.
    std::vector<TControl*> children = FControls;
    for (TControl* c : children) c->ChangeScale(fromDpi, toDpi);
    TControl::ChangeScale(fromDpi, toDpi);
    Realign();
}

void TWinControl::BoundsChanged() {
    if (FHandle)
        SetWindowPos(FHandle, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    else
        Realign();  // the window's WM_SIZE would have done it
}

UINT TWinControl::DialogCode() { return static_cast<UINT>(Perform(WM_GETDLGCODE)); }
