#include "toolkit/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <unordered_map>

#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

namespace {
const char* const kWindowClass = "PlandeskWindow";
int g_destroyDepth = 0;  // windows being destroyed get default handling only

// The object of each of our windows, looked up for every message. Not a
// window property: reading one costs a round trip to the window server
// under Wine (about 11 microseconds), and filling a list of 10,000 rows
// sends over 100,000 messages. Never freed, so that windows destroyed late
// in the program's exit still find it.
SRWLOCK g_controlsLock = SRWLOCK_INIT;
std::unordered_map<HWND, TWinControl*>& ControlsByHandle() {
    static auto* controls = new std::unordered_map<HWND, TWinControl*>;
    return *controls;
}

TWinControl* ControlOf(HWND wnd) {
    AcquireSRWLockShared(&g_controlsLock);
    auto found = ControlsByHandle().find(wnd);
    TWinControl* control = found == ControlsByHandle().end() ? nullptr : found->second;
    ReleaseSRWLockShared(&g_controlsLock);
    return control;
}

void SetControlOf(HWND wnd, TWinControl* control) {
    AcquireSRWLockExclusive(&g_controlsLock);
    if (control)
        ControlsByHandle()[wnd] = control;
    else
        ControlsByHandle().erase(wnd);
    ReleaseSRWLockExclusive(&g_controlsLock);
}

void RegisterWindowClass() {
    static bool done = false;
    if (done) return;
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
    done = true;
}

HCURSOR CursorHandle(TCursor c) {
    switch (c) {
        case crHandPoint: return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
        case crSizeWE: return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEWE));
        default: return nullptr;
    }
}

TShiftState KeyShiftState() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}
}  // namespace

void HandleWindowException() {
    try {
        throw;
    } catch (const std::exception& e) {
        if (Application) Application->HandleException(e);
    } catch (...) {
        if (Application) Application->HandleException(Exception("Unknown exception"));
    }
}

LRESULT CALLBACK ControlWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    TWinControl* control = ControlOf(wnd);
    if (!control) return DefWindowProcA(wnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        WNDPROC def = control->FDefProc;
        SetControlOf(wnd, nullptr);
        control->FHandle = nullptr;
        return CallWindowProcA(def, wnd, msg, wp, lp);
    }
    if (g_destroyDepth > 0 || control->Destroying()) return control->DefaultHandler(msg, wp, lp);
    try {
        return control->WndProc(msg, wp, lp);
    } catch (...) {
        HandleWindowException();
        return 0;
    }
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

TForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c->FParent) c = c->FParent;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
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

void TControl::SetAlign(TAlign a) {
    FAlign = a;
    RequestParentRealign();
}

void TControl::SetAnchors(TAnchors a) {
    FAnchors = a;
    TakeAnchorDistances();
}

void TControl::SetVisible(bool v) {
    if (FVisible == v) return;
    FVisible = v;
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

void TControl::Invalidate() {}

void TControl::RequestParentRealign() {
    if (FParent) FParent->Realign();
}

// ---- TGraphicControl ----

void TGraphicControl::Invalidate() {
    if (Parent() && Parent()->Handle()) {
        RECT r = BoundsRect();
        InvalidateRect(Parent()->Handle(), &r, FALSE);
    }
}

void TGraphicControl::SetVisible(bool v) {
    TControl::SetVisible(v);
    if (Parent() && Parent()->Handle()) InvalidateRect(Parent()->Handle(), nullptr, FALSE);
}

void TGraphicControl::BoundsChanged() {
    if (Parent() && Parent()->Handle()) InvalidateRect(Parent()->Handle(), nullptr, FALSE);
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* owner, TWinControl* parent) : TControl(owner, parent) {}

TWinControl::~TWinControl() {
    for (TControl* c : FControls) c->FParent = nullptr;
    FControls.clear();
    DestroyHandle();
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    ++g_destroyDepth;
    DestroyWindow(FHandle);
    --g_destroyDepth;
    FHandle = nullptr;
}

void TWinControl::CreateWnd(const char* cls, DWORD style, DWORD exStyle) {
    HWND parentWnd = Parent() ? Parent()->Handle() : nullptr;
    if (parentWnd) style |= WS_CHILD;
    if (Visible() && parentWnd) style |= WS_VISIBLE;  // top-level windows show when asked
    if (!cls) {
        RegisterWindowClass();
        cls = kWindowClass;
        FOwnClass = true;
        style |= WS_CLIPCHILDREN;
    }
    FHandle = CreateWindowExA(exStyle, cls, Caption().c_str(), style, Left(), Top(), Width(), Height(), parentWnd,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!FHandle) throw Exception(std::string("Cannot create window of class ") + cls);
    SetControlOf(FHandle, this);
    FDefProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc)));
    SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font.Handle()), FALSE);
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wp, LPARAM lp) {
    return CallWindowProcA(FDefProc ? FDefProc : DefWindowProcA, FHandle, msg, wp, lp);
}

TWinControl* TWinControl::FromHandle(HWND wnd) {
    return wnd ? ControlOf(wnd) : nullptr;
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
        if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
        RECT r = c->BoundsRect();
        if (PtInRect(&r, p)) return c;
    }
    return nullptr;
}

void TWinControl::SetFocus() {
    if (FHandle) ::SetFocus(FHandle);
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return FHandle != nullptr;
}

void TWinControl::SetVisible(bool v) {
    TControl::SetVisible(v);
    if (FHandle) ShowWindow(FHandle, v ? SW_SHOWNA : SW_HIDE);
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
    if (FHandle) InvalidateRect(FHandle, nullptr, FALSE);
}

void TWinControl::FontChanged() {
    if (FHandle) SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font.Handle()), TRUE);
}

RECT TWinControl::LayoutRect() const {
    return RECT{0, 0, ClientWidth(), ClientHeight()};
}

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
                case alClient:
                    c->SetBoundsByLayout(r.left, r.top, r.right - r.left, r.bottom - r.top);
                    break;
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

void TWinControl::BoundsChanged() {
    if (FHandle)
        SetWindowPos(FHandle, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT TWinControl::DialogCode() {
    return FHandle ? static_cast<UINT>(DefaultHandler(WM_GETDLGCODE, 0, 0)) : 0;
}

bool TWinControl::DoKeyDown(unsigned short& key) {
    if (OnKeyDown) OnKeyDown(this, key, KeyShiftState());
    return key == 0;
}

void TWinControl::PaintWindow(TCanvas& canvas) {
    RECT client{0, 0, ClientWidth(), ClientHeight()};
    canvas.FillRect(client, Color);
    for (TControl* c : FControls) {
        if (!c->Visible() || dynamic_cast<TWinControl*>(c)) continue;
        int saved = SaveDC(canvas.Handle());
        IntersectClipRect(canvas.Handle(), c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
        SetViewportOrgEx(canvas.Handle(), c->Left(), c->Top(), nullptr);
        TCanvas childCanvas(canvas.Handle());
        childCanvas.Font = c->Font;
        c->Paint(childCanvas);
        RestoreDC(canvas.Handle(), saved);
    }
}

void TWinControl::HandleMouseMove() {
    if (FMouseInside) return;
    FMouseInside = true;
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, FHandle, 0};
    TrackMouseEvent(&tme);
    if (OnMouseEnter) OnMouseEnter(this);
}

bool TWinControl::SetCursorForPoint() {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(FHandle, &p);
    TControl* child = FOwnClass ? ControlAtPos(p) : nullptr;
    HCURSOR cursor = CursorHandle(child ? child->Cursor : Cursor);
    if (!cursor) return false;
    SetCursor(cursor);
    return true;
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            if (lp) {
                if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lp))) {
                    child->CommandNotify(HIWORD(wp));
                    return 0;
                }
            }
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lp);
            if (TWinControl* child = FromHandle(header->hwndFrom)) {
                LRESULT result = 0;
                if (child->NotifyNotify(header, result)) return result;
            }
            break;
        }
        case WM_SIZE:
            Realign();
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            unsigned short key = static_cast<unsigned short>(wp);
            if (DoKeyDown(key)) return 0;
            break;
        }
        case WM_SETFOCUS:
            if (TForm* form = ParentForm()) form->ActiveControlFocused(this);
            if (OnEnter) OnEnter(this);
            break;
        case WM_KILLFOCUS:
            if (OnExit) OnExit(this);
            break;
        case WM_MOUSEMOVE: {
            HandleMouseMove();
            if (FOwnClass) {
                POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                TControl* child = ControlAtPos(p);
                if (child != FHoverChild) {
                    if (FHoverChild && FHoverChild->OnMouseLeave) FHoverChild->OnMouseLeave(FHoverChild);
                    FHoverChild = child;
                    if (child && child->OnMouseEnter) child->OnMouseEnter(child);
                }
            }
            break;
        }
        case WM_LBUTTONDOWN:
            if (FOwnClass) {
                POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                FPressedChild = ControlAtPos(p);
                FPressedSelf = true;
            }
            break;
        case WM_LBUTTONUP:
            if (FOwnClass && FPressedSelf) {
                POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                TControl* child = ControlAtPos(p);
                TControl* pressed = FPressedChild;
                FPressedSelf = false;
                FPressedChild = nullptr;
                if (child == pressed) (child ? child : static_cast<TControl*>(this))->Click();
            }
            break;
        case WM_LBUTTONDBLCLK:
            if (FOwnClass && OnDblClick) OnDblClick(this);
            break;
        case WM_MOUSELEAVE:
            FMouseInside = false;
            if (FHoverChild && FHoverChild->OnMouseLeave) FHoverChild->OnMouseLeave(FHoverChild);
            FHoverChild = nullptr;
            if (OnMouseLeave) OnMouseLeave(this);
            break;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == FHandle && SetCursorForPoint()) return TRUE;
            break;
        case WM_CONTEXTMENU:
            if (PopupMenu) {
                POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                if (lp == -1) {
                    p = POINT{0, 0};
                    ClientToScreen(FHandle, &p);
                }
                PopupMenu->Popup(p.x, p.y);
                return 0;
            }
            break;
        default: break;
    }
    return DefaultHandler(msg, wp, lp);
}

// ---- TCustomControl ----

TCustomControl::TCustomControl(TComponent* owner, TWinControl* parent, DWORD style, DWORD exStyle)
    : TWinControl(owner, parent) {
    CreateWnd(nullptr, style, exStyle);
}

void TCustomControl::PaintWindow(TCanvas& canvas) { TWinControl::PaintWindow(canvas); }

LRESULT TCustomControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Handle(), &ps);
            TBitmap buffer(ClientWidth(), ClientHeight());
            TCanvas canvas(buffer.DC());
            canvas.Font = Font;
            PaintWindow(canvas);
            buffer.CopyTo(dc, 0, 0);
            EndPaint(Handle(), &ps);
            return 0;
        }
        default: break;
    }
    return TWinControl::WndProc(msg, wp, lp);
}
