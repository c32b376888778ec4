// The message side of windowed controls: the message switch and its
// default handlers, reflection of child notifications, mouse input handed
// to windowless children, and the off-screen paint of own-drawn windows.
#include "toolkit/Controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include "toolkit/AccessSeam.h"
#include "toolkit/Menus.h"
#include "toolkit/MouseShift.h"

namespace {
HCURSOR CursorHandle(TCursor c) {
    switch (c) {
        case crHandPoint: return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
        case crSizeWE: return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEWE));
        case crSizeNS: return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZENS));
        case crArrow: return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        default: return nullptr;
    }
}

bool IsReflected(UINT msg) {
    switch (msg) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_HSCROLL:
        case WM_VSCROLL: return true;
        default: return false;
    }
}

// The child window a reflected message comes from, or null.
HWND ReflectionSource(HWND parent, const TMessage& m) {
    switch (m.Msg) {
        case WM_NOTIFY: return reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom;
        case WM_DRAWITEM: {
            auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
            return d->CtlType == ODT_MENU ? nullptr : d->hwndItem;
        }
        case WM_MEASUREITEM: {
            auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
            return mi->CtlType == ODT_MENU ? nullptr : GetDlgItem(parent, static_cast<int>(mi->CtlID));
        }
        default: return reinterpret_cast<HWND>(m.LParam);  // WM_COMMAND, WM_CTLCOLOR*, scroll bars
    }
}
TAccessServer gAccessServer = nullptr;
}  // namespace

TShiftState MouseShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

void SetAccessServer(TAccessServer server) { gAccessServer = server; }

TShiftState KeyShiftState() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

bool TWinControl::DoKeyDown(unsigned short& key) {
    if (OnKeyDown) OnKeyDown(this, key, KeyShiftState());
    return key == 0;
}

void TWinControl::PaintWindow(TCanvas& canvas) {
    RECT client{0, 0, ClientWidth(), ClientHeight()};
    // Opaque windowless children cover their part: no background behind them.
    {
        SavedDCGuard saved(canvas.Handle());
        for (TControl* c : FControls)
            if (c->Visible() && (c->ControlStyle & csOpaque) && !dynamic_cast<TWinControl*>(c))
                ExcludeClipRect(canvas.Handle(), c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
        if (!Perform(TM_PAINTBACKGROUND, reinterpret_cast<WPARAM>(canvas.Handle()))) canvas.FillRect(client, Color);
    }
    PaintControls(canvas);
}

void TWinControl::PaintControls(TCanvas& canvas) {
    for (TControl* c : FControls) {
        if (!c->Visible() || dynamic_cast<TWinControl*>(c)) continue;
        SavedDCGuard saved(canvas.Handle());
        IntersectClipRect(canvas.Handle(), c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
        OffsetViewportOrgEx(canvas.Handle(), c->Left(), c->Top(), nullptr);
        TCanvas childCanvas(canvas.Handle());
        childCanvas.Font = c->Font;
        c->Paint(childCanvas);
    }
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

bool TWinControl::OnReflected(TMessage& m) {
    switch (m.Msg) {
        case WM_COMMAND:
            CommandNotify(HIWORD(m.WParam));
            m.Result = 0;
            return true;
        case WM_NOTIFY: return NotifyNotify(reinterpret_cast<NMHDR*>(m.LParam), m.Result);
        default: return false;
    }
}

bool TWinControl::ReflectToChild(TMessage& m) {
    HWND source = ReflectionSource(FHandle, m);
    if (!source || source == FHandle) return false;
    TWinControl* child = FromHandle(source);
    return child && child->OnReflected(m);
}

void TWinControl::WndProc(TMessage& m) {
    if (IsReflected(m.Msg) && ReflectToChild(m)) return;
    switch (m.Msg) {
        case WM_PAINT: OnPaint(m); break;
        case WM_ERASEBKGND: OnEraseBkgnd(m); break;
        case WM_PRINTCLIENT: OnPrintClient(m); break;
        case WM_NCCALCSIZE: OnNcCalcSize(m); break;
        case WM_NCPAINT: OnNcPaint(m); break;
        case WM_NCHITTEST: OnNcHitTest(m); break;
        case WM_NCACTIVATE: OnNcActivate(m); break;
        case WM_NCMOUSEMOVE:
        case WM_NCMOUSELEAVE:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONUP:
        case WM_NCRBUTTONDBLCLK:
        case WM_NCMBUTTONDOWN:
        case WM_NCMBUTTONUP:
        case WM_NCMBUTTONDBLCLK: OnNcMouse(m); break;
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK: OnMouse(m); break;
        case WM_MOUSEWHEEL: OnMouseWheel(m); break;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_CHAR: OnKey(m); break;
        case WM_SETFOCUS: OnSetFocus(m); break;
        case WM_KILLFOCUS: OnKillFocus(m); break;
        case WM_CAPTURECHANGED: OnCaptureChanged(m); break;
        case WM_CANCELMODE: OnCancelMode(m); break;
        case WM_TIMER: OnTimer(m); break;
        case WM_SIZE: OnSize(m); break;
        case WM_MOVE: OnMove(m); break;
        case WM_SIZING: OnSizing(m); break;
        case WM_MOVING: OnMoving(m); break;
        case WM_WINDOWPOSCHANGING: OnWindowPosChanging(m); break;
        case WM_GETMINMAXINFO: OnGetMinMaxInfo(m); break;
        case WM_SETCURSOR: OnSetCursor(m); break;
        case WM_CONTEXTMENU: OnContextMenu(m); break;
        case WM_GETOBJECT:
        case WM_SETTINGCHANGE:
        case TM_ACCESSACTION:
            if (!gAccessServer || !gAccessServer(this, m)) DefaultHandler(m);
            break;
        default: DefaultHandler(m); break;
    }
}

void TWinControl::OnSize(TMessage& m) {
    Realign();
    DefaultHandler(m);
}

void TWinControl::OnKey(TMessage& m) {
    if (m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN) {
        unsigned short key = static_cast<unsigned short>(m.WParam);
        if (DoKeyDown(key)) {
            m.Result = 0;
            return;
        }
    }
    DefaultHandler(m);
}

void TWinControl::OnSetFocus(TMessage& m) {
    if (Parent()) Parent()->ChildFocused(this);
    if (OnEnter) OnEnter(this);
    DefaultHandler(m);
}

void TWinControl::ChildFocused(TWinControl* control) {
    if (Parent()) Parent()->ChildFocused(control);
}

void TWinControl::OnKillFocus(TMessage& m) {
    if (OnExit) OnExit(this);
    DefaultHandler(m);
}

void TWinControl::OnCaptureChanged(TMessage& m) {
    // Capture taken away while a windowless child held the button.
    if (FPressedChild && reinterpret_cast<HWND>(m.LParam) != FHandle) FPressedChild = nullptr;
    FPressedSelf = false;
    DefaultHandler(m);
}

void TWinControl::OnMouse(TMessage& m) {
    if (m.Msg == WM_MOUSEMOVE && !FMouseInside) {
        FMouseInside = true;
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, FHandle, 0};
        TrackMouseEvent(&tme);
        MouseEnter();
    }
    if (m.Msg == WM_MOUSELEAVE) FMouseInside = false;
    if (FOwnClass) MouseToChildren(m);
    if (m.Msg == WM_MOUSELEAVE) MouseLeave();
    DefaultHandler(m);
}

void TWinControl::SetHoverChild(TControl* child) {
    if (child == FHoverChild) return;
    TControl* old = FHoverChild;
    FHoverChild = child;
    if (old) old->MouseLeave();
    if (child) child->MouseEnter();
}

// Mouse input of an own-class window, handed to its windowless children:
// the topmost child under the mouse, or the one that holds the button.
void TWinControl::MouseToChildren(TMessage& m) {
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    TShiftState shift = MouseShiftState(m.WParam);
    auto local = [&](TControl* c, auto call) { call(c, p.x - c->Left(), p.y - c->Top()); };
    switch (m.Msg) {
        case WM_MOUSEMOVE: {
            TControl* under = ControlAtPos(p);
            SetHoverChild(FPressedChild ? (under == FPressedChild ? under : nullptr) : under);
            TControl* target = FPressedChild ? FPressedChild : under;
            if (target) local(target, [&](TControl* c, int x, int y) { c->MouseMove(shift, x, y); });
            break;
        }
        case WM_MOUSELEAVE: SetHoverChild(nullptr); break;
        case WM_LBUTTONDBLCLK:
            // The second press of a double click is not a click of its own.
            if (OnDblClick) OnDblClick(this);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            TMouseButton button = m.Msg == WM_RBUTTONDOWN ? mbRight : m.Msg == WM_MBUTTONDOWN ? mbMiddle : mbLeft;
            TControl* child = ControlAtPos(p);
            if (button == mbLeft) {
                FPressedChild = child;
                FPressedSelf = true;
            }
            if (child) {
                if (button == mbLeft) SetCapture(FHandle);
                local(child, [&](TControl* c, int x, int y) { c->MouseDown(button, shift, x, y); });
            }
            break;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            TMouseButton button = m.Msg == WM_RBUTTONUP ? mbRight : m.Msg == WM_MBUTTONUP ? mbMiddle : mbLeft;
            TControl* under = ControlAtPos(p);
            if (button != mbLeft) {
                if (under) local(under, [&](TControl* c, int x, int y) { c->MouseUp(button, shift, x, y); });
                break;
            }
            if (!FPressedSelf) break;
            TControl* pressed = FPressedChild;
            FPressedSelf = false;
            FPressedChild = nullptr;
            if (pressed && GetCapture() == FHandle) ReleaseCapture();
            if (pressed) local(pressed, [&](TControl* c, int x, int y) { c->MouseUp(button, shift, x, y); });
            if (under == pressed) (under ? under : static_cast<TControl*>(this))->Click();
            break;
        }
        default: break;
    }
}

void TWinControl::OnNcPaint(TMessage& m) {
    // A window of our own class whose client area is the whole window has
    // nothing outside it to draw, and the default handling would fetch a
    // window device context anyway: a round trip per window at every show.
    RECT window, client;
    if (FOwnClass && GetWindowRect(FHandle, &window) && GetClientRect(FHandle, &client) &&
        window.right - window.left == client.right && window.bottom - window.top == client.bottom) {
        m.Result = 0;
        return;
    }
    DefaultHandler(m);
}

void TWinControl::OnSetCursor(TMessage& m) {
    if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == FHandle && SetCursorForPoint()) {
        m.Result = TRUE;
        return;
    }
    DefaultHandler(m);
}

void TWinControl::OnContextMenu(TMessage& m) {
    if (!PopupMenu) {
        DefaultHandler(m);
        return;
    }
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    // Only the exact position (-1, -1) comes from the keyboard; a monitor
    // left of the primary one has negative coordinates too.
    if (p.x == -1 && p.y == -1) {  // from the keyboard: at the control's corner
        p = POINT{0, 0};
        ClientToScreen(FHandle, &p);
    }
    PopupMenu->Popup(p.x, p.y);
    m.Result = 0;
}

// ---- TCustomControl ----

void TCustomControl::OnEraseBkgnd(TMessage& m) { m.Result = 1; }

void TCustomControl::OnPaint(TMessage& m) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    // Child windows are clipped out of the paint: the buffer covers only
    // what shows, and a window its children cover paints nothing.
    RECT box{0, 0, ClientWidth(), ClientHeight()}, shown;
    if (GetClipBox(dc, &shown) != ERROR) IntersectRect(&box, &box, &shown);
    if (!IsRectEmpty(&box)) {
        TBitmap buffer(box.right - box.left, box.bottom - box.top);
        SetViewportOrgEx(buffer.DC(), -box.left, -box.top, nullptr);
        {
            TCanvas canvas(buffer.DC());
            canvas.Font = Font;
            PaintWindow(canvas);
        }
        SetViewportOrgEx(buffer.DC(), 0, 0, nullptr);
        buffer.CopyTo(dc, box.left, box.top);
    }
    EndPaint(Handle(), &ps);
    m.Result = 0;
}

// Paints into a device context someone else gives (screenshots, a child
// that draws its parent's background).
void TCustomControl::OnPrintClient(TMessage& m) {
    TBitmap buffer(ClientWidth(), ClientHeight());
    TCanvas canvas(buffer.DC());
    canvas.Font = Font;
    PaintWindow(canvas);
    buffer.CopyTo(reinterpret_cast<HDC>(m.WParam), 0, 0);
    m.Result = 0;
}
