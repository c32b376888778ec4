#pragma once
// Controls: windowless ones painted by their parent (TGraphicControl), ones
// that own a window (TWinControl, wrapping native controls by subclassing)
// and ones that paint their own window (TCustomControl). Children are laid
// out by align (top, bottom, left, right, client) and anchors.
#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

class TWinControl;
class TForm;
class TPopupMenu;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;
enum TCursor { crDefault, crHandPoint, crSizeWE };

class TControl : public TComponent {
public:
    TControl(TComponent* owner, TWinControl* parent);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    TForm* ParentForm() const;

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
    TPopupMenu* PopupMenu = nullptr;
    // The skin element that draws this control once it wears a skin.
    std::string SkinDataName;

    TNotifyEvent OnClick, OnDblClick, OnMouseEnter, OnMouseLeave;

    virtual void Click();
    virtual void Invalidate();
    virtual void Paint(TCanvas& canvas) {}  // windowless controls draw here
    virtual void FontChanged() { Invalidate(); }

    // Internal: bounds set by the parent's layout, keeping the anchor distances.
    void SetBoundsByLayout(int left, int top, int width, int height);
    void ParentResized(int clientWidth, int clientHeight);

protected:
    virtual void BoundsChanged() {}
    void RequestParentRealign();

private:
    friend class TWinControl;
    void TakeAnchorDistances();

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    int FRightGap = 0, FBottomGap = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors = akLeft | akTop;
    bool FVisible = true, FEnabled = true;
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

class TWinControl : public TControl {
public:
    TWinControl(TComponent* owner, TWinControl* parent);
    ~TWinControl() override;

    HWND Handle() const { return FHandle; }
    bool HandleAllocated() const { return FHandle != nullptr; }

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
    int ClientWidth() const;
    int ClientHeight() const;
    void Realign();

    // Messages reflected from the parent window (WM_COMMAND, WM_NOTIFY).
    virtual void CommandNotify(WORD code) {}
    virtual bool NotifyNotify(NMHDR* header, LRESULT& result) { return false; }
    // Dialog-key codes the control wants for itself (WM_GETDLGCODE).
    virtual UINT DialogCode();
    // Runs OnKeyDown; returns true when the key was consumed (set to 0).
    bool DoKeyDown(unsigned short& key);

    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    static TWinControl* FromHandle(HWND wnd);
    // The control that owns `wnd`, or the nearest ancestor window that has one.
    static TWinControl* FindControl(HWND wnd);

    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);
    TControl* ControlAtPos(POINT p) const;  // windowless children only

protected:
    // Creates the window: a native class (subclassed) or our own class when
    // `cls` is null. Called from derived constructors.
    void CreateWnd(const char* cls, DWORD style, DWORD exStyle = 0);
    void DestroyHandle();
    LRESULT DefaultHandler(UINT msg, WPARAM wp, LPARAM lp);
    // Custom windows: fill the background and paint windowless children.
    virtual void PaintWindow(TCanvas& canvas);
    virtual void AlignControls();
    void BoundsChanged() override;
    bool FOwnClass = false;

private:
    friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM);
    void HandleMouseMove();
    bool SetCursorForPoint();

    HWND FHandle = nullptr;
    WNDPROC FDefProc = nullptr;
    std::vector<TControl*> FControls;
    bool FMouseInside = false;
    TControl* FHoverChild = nullptr;
    TControl* FPressedChild = nullptr;
    bool FPressedSelf = false;
    bool FAligning = false;
};

// A window that draws itself; derived classes override Paint.
class TCustomControl : public TWinControl {
public:
    TCustomControl(TComponent* owner, TWinControl* parent, DWORD style = 0, DWORD exStyle = 0);

protected:
    void PaintWindow(TCanvas& canvas) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

// Routes an exception from a window procedure to the application.
void HandleWindowException();
