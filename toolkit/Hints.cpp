#include "toolkit/Hints.h"

#include <algorithm>
#include <vector>

#include "core/Gdi.h"
#include "core/Property.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

// ---- cursor height ----

int CursorHeightFromMask(const unsigned char* bits, int stride, int width, int height, int hotSpotY) {
    if (!bits || width <= 0 || stride <= 0 || height < width) return -1;
    auto lowest = [&](int top, unsigned char blank) {
        for (int row = top + width - 1; row >= top; --row)
            for (int b = 0; b < (width + 7) / 8; ++b)
                if (bits[static_cast<size_t>(row) * static_cast<size_t>(stride) + static_cast<size_t>(b)] != blank)
                    return row - top + 1;
        return 0;
    };
    int rows = lowest(0, 0xFF);
    if (rows == 0 && height >= 2 * width) rows = lowest(width, 0x00);
    if (rows == 0) return -1;
    return rows - hotSpotY;
}

int CurrentCursorHeight() {
    int fallback = GetSystemMetrics(SM_CYCURSOR);
    HCURSOR cursor = GetCursor();
    ICONINFO info{};
    if (!cursor || !GetIconInfo(cursor, &info)) return fallback;
    // Both bitmaps are the caller's to free.
    TGdiBitmap mask(info.hbmMask), colour(info.hbmColor);
    BITMAP bm{};
    if (!mask || !GetObjectA(mask.Handle(), sizeof bm, &bm) || bm.bmBitsPixel != 1) return fallback;
    std::vector<unsigned char> bits(static_cast<size_t>(bm.bmWidthBytes) * static_cast<size_t>(bm.bmHeight));
    if (!GetBitmapBits(mask.Handle(), static_cast<LONG>(bits.size()), bits.data())) return fallback;
    int height = CursorHeightFromMask(bits.data(), bm.bmWidthBytes, bm.bmWidth, bm.bmHeight,
                                      static_cast<int>(info.yHotspot));
    return height < 0 ? fallback : height;
}

// ---- the hint window ----

const char* HintWindowClassName(bool dropShadow) {
    static const char* const names[2] = {"PlandeskHintWindow", "PlandeskHintWindowShadow"};
    static bool registered[2] = {false, false};
    int i = dropShadow ? 1 : 0;
    if (!registered[i]) {
        WNDCLASSA wc{};
        wc.style = CS_SAVEBITS | (dropShadow ? CS_DROPSHADOW : 0);
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = names[i];
        RegisterClassA(&wc);
        registered[i] = true;
    }
    return names[i];
}

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner, nullptr) { SetVisible(false); }

void THintWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WinClassName = HintWindowClassName(false);
    params.Style = WS_POPUP;  // no border
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
}

void THintWindow::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_NCPAINT: m.Result = 0; break;  // the paint covers everything
        case WM_MOUSEACTIVATE: m.Result = MA_NOACTIVATE; break;
        case WM_NCHITTEST: m.Result = HTTRANSPARENT; break;
        default: TCustomControl::WndProc(m); break;
    }
}

void THintWindow::OnTimer(TMessage& m) {
    if (m.WParam == kApplicationHintTimer && Application) {
        Application->HintTimerExpired();
        return;
    }
    TCustomControl::OnTimer(m);
}

SIZE THintWindow::HintSize(const std::string& text) const {
    TMemoryDC measuring = ScreenCompatibleDC();
    HDC screen = measuring.Handle();
    RECT r{0, 0, 0, 0};
    {
        SelectGuard selected(screen, Font.Handle());
        DrawTextA(screen, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX);
    }
    return {r.right - r.left + 4, r.bottom - r.top + 4};
}

void THintWindow::ShowAt(int x, int y, SIZE size) {
    // Past the screen's right or bottom edge the hint goes to the other side.
    if (x + size.cx > GetSystemMetrics(SM_CXSCREEN)) x -= size.cx + 2;
    if (y + size.cy > GetSystemMetrics(SM_CYSCREEN)) y -= size.cy + 2;
    HandleNeeded();
    SetBounds(x, y, size.cx, size.cy);
    SetWindowPos(Handle(), HWND_TOPMOST, x, y, size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    TControl::SetVisible(true);
    InvalidateRect(Handle(), nullptr, FALSE);
}

void THintWindow::ActivateHint(const RECT& rect, const std::string& text) {
    FText = text;
    ShowAt(rect.left, rect.top, HintSize(text));
}

void THintWindow::HideHint() {
    if (!Showing()) return;
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    TControl::SetVisible(false);
}

void THintWindow::PaintWindow(TCanvas& canvas) {
    int w = ClientWidth(), h = ClientHeight();
    canvas.FillRect(RECT{0, 0, w, h}, clSysBase | COLOR_INFOBK);
    canvas.FrameRect(RECT{0, 0, w, h}, clBtnShadow);
    canvas.Font = Font;
    canvas.Font.SetColor(clSysBase | COLOR_INFOTEXT);
    canvas.TextRect(RECT{2, 2, w - 2, h - 2}, FText, DT_LEFT | DT_NOPREFIX);
}

// ---- controls ----

bool TControl::ShowHint() const { return FParentShowHint && FParent ? FParent->ShowHint() : FShowHint; }

namespace {
// The control whose hint text a control shows: itself, or the nearest
// parent with a hint.
TControl* HintSource(TControl* control) {
    for (TControl* c = control; c; c = c->Parent())
        if (!c->Hint.empty()) return c;
    return nullptr;
}

RECT ScreenBounds(TControl* control) {
    RECT r = control->BoundsRect();
    if (auto* w = dynamic_cast<TWinControl*>(control); w && w->HandleAllocated()) {
        GetWindowRect(w->Handle(), &r);
        return r;
    }
    if (TWinControl* parent = control->Parent(); parent && parent->HandleAllocated())
        MapWindowPoints(parent->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
}  // namespace

// ---- the application's hints ----

void TApplication::Notification(TComponent* component, bool removing) {
    TComponent::Notification(component, removing);
    if (!removing) return;
    if (FHintControl.Removed(component)) {
        FHintTimer.reset();
        if (FHintWindow) FHintWindow->HideHint();
        FHintShown = FHintWaiting = false;
    }
    if (component == FHintWindow) {
        FHintTimer.reset();
        FHintWindow = nullptr;
    }
}

void TApplication::SetShowHint(bool value) {
    if (!SetIfChanged(FShowHint, value)) return;
    CancelHint();
    if (!value) {
        delete FHintWindow;  // clears FHintWindow through the notification
        FHintWindow = nullptr;
        return;
    }
    FHintWindow = FHintWindowClass ? FHintWindowClass(this) : new THintWindow(this);
    FreeNotification(FHintWindow);
}

void TApplication::StartHintTimer(int milliseconds) {
    FHintTimer.reset();
    if (!FHintWindow) {
        FHintWindow = FHintWindowClass ? FHintWindowClass(this) : new THintWindow(this);
        FreeNotification(FHintWindow);
    }
    FHintTimer = std::make_unique<TWindowTimer>(FHintWindow->Handle(), kApplicationHintTimer,
                                                static_cast<UINT>(std::max(milliseconds, 1)));
}

void TApplication::HintMessage(const MSG& msg) {
    switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE: {
            POINT p{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
            if (msg.message == WM_MOUSEMOVE) ClientToScreen(msg.hwnd, &p);
            TControl* control = TWinControl::FindControl(msg.hwnd);
            if (auto* w = dynamic_cast<TWinControl*>(control); w && msg.message == WM_MOUSEMOVE) {
                POINT client = p;
                ScreenToClient(w->Handle(), &client);
                if (TControl* child = w->ControlAtPos(client)) control = child;
            }
            HintMouseMove(control, p);
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_MOUSEWHEEL:
            if (FHintControl) CancelHint();
            break;
        default: break;
    }
}

void TApplication::HintMouseMove(TControl* control, POINT) {
    // The control under the mouse decides whether it shows hints; the text
    // may be a parent's.
    TControl* source = control && FShowHint && control->ShowHint() && HintSource(control) ? control : nullptr;
    if (source == FHintControl.get()) return;
    bool wasShown = FHintShown && FHintWindow && FHintWindow->Showing();
    FHintTimer.reset();
    if (FHintWindow) FHintWindow->HideHint();
    FHintShown = false;
    FHintControl.Set(source);
    if (!source) {
        FHintWaiting = false;
        return;
    }
    FHintWaiting = true;
    StartHintTimer(wasShown ? HintShortPause : HintPause);
}

void TApplication::HintTimerExpired() {
    FHintTimer.reset();
    if (!FHintWaiting) {
        // The hide pause ran out: the hint stays away until the mouse moves to another control.
        if (FHintWindow) FHintWindow->HideHint();
        return;
    }
    POINT p{};
    GetCursorPos(&p);
    ActivateHint(p);
}

void TApplication::ActivateHint(POINT screen) {
    TControl* control = FHintControl.get();
    FHintWaiting = false;
    if (!control || !FShowHint || !FHintWindow) return;
    THintInfo info;
    info.HintControl = control;
    info.HintPos = {screen.x, screen.y + CurrentCursorHeight()};
    info.CursorRect = ScreenBounds(control);
    info.HideTimeout = HintHidePause;
    TControl* owner = HintSource(control);
    std::string text = owner ? owner->Hint : std::string();
    bool canShow = true;
    if (OnShowHint) OnShowHint(text, canShow, info);
    if (!canShow || text.empty()) return;
    FHintWindow->ActivateHint(RECT{info.HintPos.x, info.HintPos.y, info.HintPos.x, info.HintPos.y}, text);
    FHintShown = true;
    if (info.HideTimeout > 0) StartHintTimer(info.HideTimeout);
}

void TApplication::CancelHint() {
    FHintTimer.reset();
    if (FHintWindow) FHintWindow->HideHint();
    FHintControl.Set(nullptr);
    FHintShown = FHintWaiting = false;
}
