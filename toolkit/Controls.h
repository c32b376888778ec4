#pragma once
// Controls: windowless ones painted by their parent (TGraphicControl), ones
// that own a window (TWinControl, also wrapping native controls) and ones
// that paint their own window (TCustomControl). Children are laid out by
// align (top, bottom, left, right, client) and anchors.
//
// A window is created in two phases: the object is constructed first, and
// its window is created when it is first needed, from the parameters that
// CreateParams gives (a derived class changes class, style or extended
// style there). The object is bound to its window before the window's first
// message, so every override sees every message of its own window; native
// controls keep their native window class (only the procedure is replaced).
//
// Messages flow: window -> Dispatch (the wrappers of WrapWindowProc, newest
// first) -> WndProc -> a named handler (OnPaint, OnNcHitTest, ...) whose
// default is DefaultHandler. Notifications a child sends its parent
// (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM,
// WM_HSCROLL, WM_VSCROLL) are reflected to the child that sent them.
#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/DpiScaling.h"
#include "toolkit/Graphics.h"

class TWinControl;
class TPopupMenu;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;
enum TCursor { crDefault, crHandPoint, crSizeWE, crSizeNS, crArrow };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
// csOpaque: the control covers its whole rectangle, so its parent does not
// paint the background behind it.
enum TControlStyleFlag : unsigned { csOpaque = 1 };
using TControlStyle = unsigned;

// Asks a window (through its wrappers) to paint its client background into
// the device context in wParam; nonzero when someone did. A form's frame
// component answers it with the skin's background.
constexpr UINT TM_PAINTBACKGROUND = WM_APP + 0x3E00;
struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result = 0;
};

struct TCreateParams {
    const char* WinClassName = nullptr;  // null: the toolkit's own window class
    std::string Caption;
    DWORD Style = 0, ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
};

// The window that owns `control` (itself for windowed controls); null for a
// control that is not on a window.
TWinControl* ControlWindow(class TControl* control);

class TControl : public TComponent {
public:
    TControl(TComponent* owner, TWinControl* parent);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    // The top-level control this one sits on (a form, or a parentless window).
    TWinControl* TopLevel() const;

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    // Sets the bounds and takes the distances to the parent's edges as the
    // new anchor distances.
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign a);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors a);

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool v);
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool v);
    const std::string& Caption() const { return FCaption; }
    virtual void SetCaption(const std::string& text);

    TFont Font;
    TColor Color = clBtnFace;
    TCursor Cursor = crDefault;
    TControlStyle ControlStyle = 0;
    TPopupMenu* PopupMenu = nullptr;
    // The tooltip text. The application shows it after the hint pause when
    // ShowHint holds, which with ParentShowHint is the parent's.
    std::string Hint;
    bool ShowHint() const;
    void SetShowHint(bool value) {
        FShowHint = value;
        FParentShowHint = false;
    }
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool value) { FParentShowHint = value; }

    TNotifyEvent OnClick, OnDblClick, OnMouseEnter, OnMouseLeave;

    virtual void Click();
    virtual void Invalidate();
    virtual void Paint(TCanvas& canvas) {}  // windowless controls draw here
    virtual void FontChanged() { Invalidate(); }

    // Mouse input in the control's own coordinates. Windowless controls get
    // these from their parent window; the control pressed keeps them until
    // the button is released.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y) {}
    virtual void MouseMove(TShiftState shift, int x, int y) {}
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y) {}
    virtual void MouseEnter();
    virtual void MouseLeave();
    // Whether a point (control coordinates) hits the control; a windowless
    // control with holes says no there and the control below gets the mouse.
    virtual bool HitTest(int x, int y) const { return true; }
    // Told, on every control of a form, that the focus moved to `focused`.
    virtual void FormFocusChanged(TWinControl* focused) {}
    // A character typed with Alt, or to a control that takes no characters:
    // a control whose caption marks it as its accelerator ("&Yes") acts on
    // it and returns true.
    virtual bool DialogChar(char key) { return false; }

    // Internal: bounds set by the parent's layout, keeping the anchor distances.
    virtual void SetBoundsByLayout(int left, int top, int width, int height);
    void ParentResized(int clientWidth, int clientHeight);

    // Lays the control out again for another DPI: its edges, its anchors'
    // distances and its font's height, from their 96-DPI values. A control
    // with lengths of its own (columns, indents, icon sizes) adds them in
    // an override that calls this one; a windowed control does its
    // children first, then itself.
    virtual void ChangeScale(int fromDpi, int toDpi);

protected:
    virtual void BoundsChanged() {}
    void RequestParentRealign();
    // Bounds the control gives itself to fit its content (a label its
    // text): the edges that moved take their anchor distances along, so
    // that the parent's next layout keeps the control where it now is.
    // The distances change by the edges' move, not from the parent's size,
    // which may be in the middle of a layout of its own.
    void SetBoundsToFit(int left, int top, int width, int height);

private:
    friend class TWinControl;
    void TakeAnchorDistances();

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    int FRightGap = 0, FBottomGap = 0;
    TControlDesign FDesign;
    TAlign FAlign = alNone;
    TAnchors FAnchors = akLeft | akTop;
    bool FVisible = true, FEnabled = true;
    bool FShowHint = false, FParentShowHint = true;
    std::string FCaption;
};

class TGraphicControl : public TControl {
public:
    using TControl::TControl;
    void Invalidate() override;
    void SetVisible(bool v) override;

protected:
    void BoundsChanged() override;
};

// Wraps the window procedure of a control: every message of the control's
// window goes through WrappedWndProc first, which passes it on with
// CallPrevious (or not). The wrapper unhooks itself when it is destroyed,
// and forgets the control when the control is destroyed first.
class TWindowProcWrapper : public TComponent {
public:
    explicit TWindowProcWrapper(TComponent* owner);
    ~TWindowProcWrapper() override;
    TWinControl* Target() const { return FTarget; }
    void Attach(TWinControl* target);
    void Detach();

protected:
    friend class TWinControl;
    virtual void WrappedWndProc(TMessage& m) { CallPrevious(m); }
    // The message on to the next wrapper, or to the control itself.
    void CallPrevious(TMessage& m);
    void Notification(TComponent* component, bool removing) override;

private:
    TWinControl* FTarget = nullptr;
};

class TWinControl : public TControl {
public:
    TWinControl(TComponent* owner, TWinControl* parent);
    ~TWinControl() override;

    // The window, created (with the parent's) when first asked for.
    HWND Handle() const;
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    // Creates this window and those of its visible children that do not
    // exist yet; a hidden child's window is made when it first shows.
    void CreateHandles();
    void DestroyHandle();

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int i) const { return FControls.at(i); }

    int TabOrder = -1;
    bool TabStop = false;
    TKeyEvent OnKeyDown;
    TNotifyEvent OnEnter, OnExit;

    void SetFocus();
    bool Focused() const;
    bool CanFocus() const;

    void SetVisible(bool v) override;
    void SetEnabled(bool v) override;
    void SetCaption(const std::string& text) override;
    void Invalidate() override;
    void FontChanged() override;

    // Area of the window in which children are laid out.
    virtual RECT LayoutRect() const;
    virtual int ClientWidth() const;
    virtual int ClientHeight() const;
    void Realign();
    void ChangeScale(int fromDpi, int toDpi) override;

    // Notifications reflected from the parent window. CommandNotify and
    // NotifyNotify serve WM_COMMAND and WM_NOTIFY (custom draw included);
    // OnReflected sees every reflected message first and returns true when
    // it answered it (result in m.Result).
    virtual bool OnReflected(TMessage& m);
    virtual void CommandNotify(WORD code) {}
    virtual bool NotifyNotify(NMHDR* header, LRESULT& result) { return false; }
    // Dialog-key codes the control wants for itself (WM_GETDLGCODE).
    virtual UINT DialogCode();
    // Whether the form's Enter (default button) or Escape (cancel button)
    // may press this control now.
    virtual bool TakesDialogKey(unsigned short key) const { return true; }
    // Runs OnKeyDown; returns true when the key was consumed (set to 0).
    bool DoKeyDown(unsigned short& key);

    // Every message of the window, through the wrappers first.
    void Dispatch(TMessage& m);
    LRESULT Perform(UINT msg, WPARAM wp = 0, LPARAM lp = 0);
    static TWinControl* FromHandle(HWND wnd);
    // The control that owns `wnd`, or the nearest ancestor window that has one.
    static TWinControl* FindControl(HWND wnd);

    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);
    // The topmost visible, enabled windowless child at a point (client
    // coordinates); a disabled one lets the mouse through like a hidden one.
    TControl* ControlAtPos(POINT p) const;
    // The windowless child that holds the mouse button, if any.
    TControl* MouseCaptureChild() const { return FPressedChild; }

protected:
    friend class TWindowProcWrapper;
    friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM);

    virtual void CreateParams(TCreateParams& params);
    // Creates the window from CreateParams; derived classes call the base
    // and then give the new window what it needs (extended styles, limits).
    virtual void CreateWnd();

    // The whole message switch; override for messages without a handler.
    virtual void WndProc(TMessage& m);
    void DefaultHandler(TMessage& m);

    // Named handlers; each default passes the message to DefaultHandler.
    virtual void OnPaint(TMessage& m) { DefaultHandler(m); }
    virtual void OnEraseBkgnd(TMessage& m) { DefaultHandler(m); }
    virtual void OnPrintClient(TMessage& m) { DefaultHandler(m); }
    virtual void OnNcCalcSize(TMessage& m) { DefaultHandler(m); }
    virtual void OnNcPaint(TMessage& m);
    virtual void OnNcHitTest(TMessage& m) { DefaultHandler(m); }
    virtual void OnNcActivate(TMessage& m) { DefaultHandler(m); }
    // WM_NCMOUSEMOVE, WM_NCMOUSELEAVE and the non-client button messages.
    virtual void OnNcMouse(TMessage& m) { DefaultHandler(m); }
    // WM_MOUSEMOVE, WM_MOUSELEAVE and the client button messages.
    virtual void OnMouse(TMessage& m);
    virtual void OnMouseWheel(TMessage& m) { DefaultHandler(m); }
    // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_CHAR.
    virtual void OnKey(TMessage& m);
    virtual void OnSetFocus(TMessage& m);
    virtual void OnKillFocus(TMessage& m);
    virtual void OnCaptureChanged(TMessage& m);
    virtual void OnCancelMode(TMessage& m) { DefaultHandler(m); }
    virtual void OnTimer(TMessage& m) { DefaultHandler(m); }
    virtual void OnSize(TMessage& m);
    virtual void OnMove(TMessage& m) { DefaultHandler(m); }
    virtual void OnSizing(TMessage& m) { DefaultHandler(m); }
    virtual void OnMoving(TMessage& m) { DefaultHandler(m); }
    virtual void OnWindowPosChanging(TMessage& m) { DefaultHandler(m); }
    virtual void OnGetMinMaxInfo(TMessage& m) { DefaultHandler(m); }
    virtual void OnSetCursor(TMessage& m);
    virtual void OnContextMenu(TMessage& m);

    // The focus moved into `control`, a window inside this one; told up the
    // parent chain (a form keeps it as its active control).
    virtual void ChildFocused(TWinControl* control);

    // Own-class windows: fill the background and paint windowless children.
    virtual void PaintWindow(TCanvas& canvas);
    // Paints the windowless children in z-order (the order they were added).
    void PaintControls(TCanvas& canvas);
    virtual void AlignControls();
    void BoundsChanged() override;
    bool OwnClass() const { return FOwnClass; }

private:
    void Bind(HWND wnd);
    void Unbind();
    void PlaceAmongSiblings();
    bool ReflectToChild(TMessage& m);
    void MouseToChildren(TMessage& m);
    void SetHoverChild(TControl* child);
    bool SetCursorForPoint();
    void DispatchFrom(size_t wrapperIndex, TMessage& m);
    friend LRESULT CALLBACK CreationHookProc(int, WPARAM, LPARAM);

    HWND FHandle = nullptr;
    WNDPROC FDefProc = nullptr;  // the window's own procedure, called for default handling
    bool FOwnClass = false;
    bool FCreating = false;
    std::vector<TControl*> FControls;
    std::vector<TWindowProcWrapper*> FWrappers;  // oldest first
    bool FMouseInside = false;
    TControl* FHoverChild = nullptr;
    TControl* FPressedChild = nullptr;
    bool FPressedSelf = false;
    bool FAligning = false;
};

// A window that draws itself: the whole look is composed off-screen in
// PaintWindow and copied in one operation.
class TCustomControl : public TWinControl {
public:
    using TWinControl::TWinControl;

protected:
    void OnPaint(TMessage& m) override;
    void OnEraseBkgnd(TMessage& m) override;
    void OnPrintClient(TMessage& m) override;
};

// The accelerator of a caption: the character after a single "&", upper
// case; 0 when there is none ("&&" is a plain ampersand).
char AcceleratorOf(const std::string& caption);
bool IsAccelerator(char key, const std::string& caption);
// Whether the window and every parent of it are shown. One that is not is
// painted whole when it is shown: marking parts of it to paint before then
// only costs the window system's time.
inline bool IsOnScreen(HWND window) { return window && IsWindowVisible(window); }

// The shift keys held while the current message was sent (Shift, Ctrl, Alt).
TShiftState KeyShiftState();

// Routes an exception from a window procedure to the application.
void HandleWindowException();
// Hands an exception to the application's handler (the crash reporter).
void SetWindowExceptionHandler(void (*handler)(const std::exception& e));
