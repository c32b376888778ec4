#include "toolkit/ExtCtrls.h"

#include <windowsx.h>

#include <utility>

#include "core/MessageWindow.h"
#include "core/Property.h"
#include "core/WindowServices.h"

// ---- TPanel ----

TPanel::TPanel(TComponent* owner, TWinControl* parent, TPanelBorder border)
    : TCustomControl(owner, parent), Border(border) {}

RECT TPanel::LayoutRect() const {
    RECT r = TCustomControl::LayoutRect();
    if (Border != pbNone) InflateRect(&r, -1, -1);
    return r;
}

void TPanel::PaintWindow(TCanvas& canvas) {
    TCustomControl::PaintWindow(canvas);
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    if (Border == pbRaised) canvas.Edge(r, true);
    if (Border == pbFrame) canvas.Edge(r, false);
}

// ---- TSplitter ----

TSplitter::TSplitter(TComponent* owner, TWinControl* parent, int width) : TCustomControl(owner, parent) {
    Cursor = crSizeWE;
    SetBounds(0, 0, width, 10);
    SetAlign(alLeft);
}

void TSplitter::ChangeScale(int fromDpi, int toDpi) {
    TCustomControl::ChangeScale(fromDpi, toDpi);
    MinSize = FDesignMinSize.Rescale(MinSize, fromDpi, toDpi);
    FDesignMinSize.Settle(MinSize);
}

TControl* TSplitter::FindResized() const {
    // The left-aligned sibling whose right edge touches ours.
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TControl* c = Parent()->Controls(i);
        if (c != this && c->Visible() && c->Align() == alLeft && c->Left() + c->Width() == Left()) return c;
    }
    return nullptr;
}

void TSplitter::OnMouse(TMessage& m) {
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
            if (TControl* target = FindResized()) {
                POINT p{GET_X_LPARAM(m.LParam), 0};
                ClientToScreen(Handle(), &p);
                FDragStart = p.x;
                FStartWidth = target->Width();
                SetCapture(Handle());
            }
            m.Result = 0;
            return;
        case WM_MOUSEMOVE:
            if (FDragStart >= 0 && GetCapture() == Handle()) {
                POINT p{GET_X_LPARAM(m.LParam), 0};
                ClientToScreen(Handle(), &p);
                if (TControl* target = FindResized()) {
                    int limit = Parent()->ClientWidth() - Width() - MinSize;
                    int w = FStartWidth + (p.x - FDragStart);
                    if (w > limit) w = limit;
                    if (w < MinSize) w = MinSize;
                    target->SetWidth(w);
                }
            }
            break;
        case WM_LBUTTONUP:
            if (FDragStart >= 0) {
                FDragStart = -1;
                ReleaseCapture();
            }
            break;
        default: break;
    }
    TCustomControl::OnMouse(m);
}

void TSplitter::OnCaptureChanged(TMessage& m) {
    FDragStart = -1;
    TCustomControl::OnCaptureChanged(m);
}

// ---- TImage ----

TImage::TImage(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
    : TGraphicControl(owner, parent) {
    SetBounds(left, top, width, height);
}

void TImage::SetBitmap(TGdiBitmap bitmap) {
    FBitmap = std::move(bitmap);
    if (AutoSize && FBitmap) {
        BITMAP bm;
        GetObjectA(FBitmap.Handle(), sizeof bm, &bm);
        SetBounds(Left(), Top(), bm.bmWidth, bm.bmHeight);
    }
    Invalidate();
}

void TImage::Paint(TCanvas& canvas) {
    if (!FBitmap) return;
    TMemoryDC memory = TMemoryDC::Create(canvas.Handle());
    SelectGuard g(memory.Handle(), FBitmap.Handle());
    BitBlt(canvas.Handle(), 0, 0, Width(), Height(), memory.Handle(), 0, 0, SRCCOPY);
}

// ---- TWindowTimer ----

TWindowTimer::TWindowTimer(HWND window, UINT_PTR id, UINT milliseconds) : FWindow(window), FId(id) {
    Service<TTimerDriver>().Set(window, id, milliseconds);
}

TWindowTimer::~TWindowTimer() { Service<TTimerDriver>().Kill(FWindow, FId); }

// ---- TTimer ----

namespace {
const char* const kTimerClass = "PlandeskTimerWindow";
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    FWindow = CreateMessageWindow(kTimerClass, &TTimer::WindowProc, this);
    Update();
}

TTimer::~TTimer() {
    Service<TTimerDriver>().Kill(FWindow, 1);
    DestroyWindow(FWindow);
}

void TTimer::SetEnabled(bool value) {
    if (SetIfChanged(FEnabled, value)) Update();
}

void TTimer::SetInterval(int ms) {
    FInterval = ms;
    Update();
}

void TTimer::Update() {
    TTimerDriver& driver = Service<TTimerDriver>();
    driver.Kill(FWindow, 1);
    if (FEnabled && FInterval > 0 && OnTimer) driver.Set(FWindow, 1, static_cast<UINT>(FInterval));
}

LRESULT CALLBACK TTimer::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
        auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
        if (timer && timer->FEnabled && timer->OnTimer) {
            try {
                timer->OnTimer(timer);
            } catch (...) {
                HandleWindowException();
            }
        }
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}
