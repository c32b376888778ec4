#include "media/GIFCtrl.h"

#include <cstring>

#include "core/MessageWindow.h"
#include "core/Property.h"
#include "toolkit/Forms.h"

// ---- TGIFFrameTimer ----

namespace {
const char* const kTimerWindowClass = "PlandeskGIFTimer";
constexpr UINT kRunPending = WM_APP + 1;

// Holds a critical section for a scope.
class LockGuard {
public:
    explicit LockGuard(CRITICAL_SECTION& lock) : FLock(lock) { EnterCriticalSection(&FLock); }
    ~LockGuard() { LeaveCriticalSection(&FLock); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    CRITICAL_SECTION& FLock;
};
}  // namespace

TGIFFrameTimer::TGIFFrameTimer() : FUIThread(GetCurrentThreadId()) { InitializeCriticalSection(&FHandlerLock); }

// The worker and its window are made when the timer first has something to
// tick: a player without a moving picture costs no thread.
bool TGIFFrameTimer::StartWorker() {
    if (FThread) return true;
    if (!OnUIThread()) return false;  // the window must belong to the user-interface thread
    if (!FWindow) FWindow = CreateMessageWindow(kTimerWindowClass, &TGIFFrameTimer::WindowProc, this);
    if (!FStop) FStop = TKernelHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!FWake) FWake = TKernelHandle(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!FDone) FDone = TKernelHandle(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!FWindow || !FStop || !FWake || !FDone) return false;
    FThread = TKernelHandle(CreateThread(nullptr, 0, &TGIFFrameTimer::ThreadProc, this, 0, nullptr));
    return static_cast<bool>(FThread);
}

TGIFFrameTimer::~TGIFFrameTimer() {
    // The worker waits on the stop event in every wait, also while a tick is
    // queued for us, so joining it here always returns.
    if (FThread) {
        SetEvent(FStop.Handle());
        WaitForSingleObject(FThread.Handle(), INFINITE);
        FThread.Reset();
    }
    if (FWindow) DestroyWindow(FWindow);  // a tick still queued for it is dropped
    FStop.Reset();
    FWake.Reset();
    FDone.Reset();
    DeleteCriticalSection(&FHandlerLock);
}

void TGIFFrameTimer::SetOnTimer(std::function<void()> handler) {
    LockGuard guard(FHandlerLock);
    FOnTimer = std::move(handler);
}

bool TGIFFrameTimer::HasOnTimer() {
    LockGuard guard(FHandlerLock);
    return static_cast<bool>(FOnTimer);
}

void TGIFFrameTimer::SetInterval(int ms) {
    ms = ms < 0 ? 0 : ms;
    if (FInterval.exchange(ms) == ms) return;
    if (FThread)
        SetEvent(FWake.Handle());
    else if (FEnabled && ms > 0)
        StartWorker();
}

bool TGIFFrameTimer::SetEnabled(bool value) {
    if (value && FInterval > 0 && !StartWorker()) return false;
    if (FEnabled.exchange(value) != value && FThread) SetEvent(FWake.Handle());
    return true;
}

DWORD WINAPI TGIFFrameTimer::ThreadProc(void* self) {
    static_cast<TGIFFrameTimer*>(self)->Run();
    return 0;
}

void TGIFFrameTimer::Run() {
    const std::function<void()> tick = [this] {
        std::function<void()> handler;
        {
            LockGuard guard(FHandlerLock);
            handler = FOnTimer;
        }
        if (FEnabled && handler) handler();
    };
    for (;;) {
        int interval = FInterval;
        DWORD timeout = FEnabled && interval > 0 ? static_cast<DWORD>(interval) : INFINITE;
        HANDLE events[2] = {FStop.Handle(), FWake.Handle()};
        DWORD r = WaitForMultipleObjects(2, events, FALSE, timeout);
        if (r == WAIT_OBJECT_0) return;
        if (r != WAIT_TIMEOUT || !FEnabled) continue;
        if (AsyncTicks) {
            tick();
        } else if (!PostAndWait(&tick)) {
            return;
        }
    }
}

bool TGIFFrameTimer::PostAndWait(const std::function<void()>* call) {
    FPending = call;
    PostMessageA(FWindow, kRunPending, 0, 0);
    HANDLE events[2] = {FStop.Handle(), FDone.Handle()};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0) {
        FPending = nullptr;  // the user-interface thread will not run it now
        return false;
    }
    return true;
}

void TGIFFrameTimer::Synchronize(const std::function<void()>& call) {
    if (OnUIThread())
        call();
    else
        PostAndWait(&call);
}

LRESULT CALLBACK TGIFFrameTimer::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != kRunPending) return DefWindowProcA(wnd, msg, wp, lp);
    auto* timer = reinterpret_cast<TGIFFrameTimer*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!timer) return 0;
    if (const std::function<void()>* call = timer->FPending.exchange(nullptr)) {
        try {
            (*call)();
        } catch (...) {
            HandleWindowException();
        }
        SetEvent(timer->FDone.Handle());
    }
    return 0;
}

// ---- TGIFAnimator ----

TGIFAnimator::TGIFAnimator(TComponent* owner, TWinControl* parent)
    : TGraphicControl(owner, parent),
      FImage(std::make_unique<TGIFImage>()),
      FTimer(std::make_unique<TGIFFrameTimer>()) {
    InitializeCriticalSection(&FLock);
    FTimer->SetInterval(0);  // nothing to step until a picture comes
    if (parent) Color = parent->Color;
    SetBounds(0, 0, 105, 105);
    FImage->OnChange = [this] { ImageChanged(); };
}

TGIFAnimator::~TGIFAnimator() {
    SetAnimate(false);
    FTimer.reset();
    FImage->OnChange = nullptr;
    DeleteCriticalSection(&FLock);
}

void TGIFAnimator::SetImage(const TGIFImage& image) {
    auto handler = std::move(FImage->OnChange);
    *FImage = image;
    FImage->OnChange = std::move(handler);
    ImageChanged();
}

void TGIFAnimator::ImageChanged() {
    {
        LockGuard guard(FLock);
        FComposition.Drop();
        FFrameIndex = FImage->FrameIndex < 0 ? 0 : FImage->FrameIndex;
        if (!FImage->Empty()) FTimer->SetInterval(FImage->FrameDelay(FFrameIndex));
    }
    AdjustSize();
    Invalidate();
    if (OnChange) OnChange(this);
}

void TGIFAnimator::AdjustSize() {
    if (!FAutoSize || FImage->Empty()) return;
    int width = Width(), height = Height();
    TAlign a = Align();
    if (a == alNone || a == alLeft || a == alRight) width = FImage->Width();
    if (a == alNone || a == alTop || a == alBottom) height = FImage->Height();
    if (width != Width() || height != Height()) SetBounds(Left(), Top(), width, height);
}

void TGIFAnimator::SetAutoSize(bool value) {
    FAutoSize = value;
    AdjustSize();
}

void TGIFAnimator::SetCenter(bool value) {
    if (SetIfChanged(FCenter, value)) Invalidate();
}

void TGIFAnimator::SetStretch(bool value) {
    if (SetIfChanged(FStretch, value)) Invalidate();
}

void TGIFAnimator::SetTransparent(bool value) {
    if (SetIfChanged(FTransparent, value)) Invalidate();
}

void TGIFAnimator::SetAnimate(bool value) {
    if (value) {
        FTimer->SetOnTimer([this] { FrameStep(); });
        if (FTimer->SetEnabled(true) && OnStart) OnStart(this);
    } else if (FTimer->Enabled()) {
        FTimer->SetEnabled(false);
        FTimer->SetOnTimer(nullptr);
        if (OnStop) OnStop(this);
        Invalidate();
    }
}

void TGIFAnimator::SetFrameIndex(int n) {
    if (n < 0 || n >= static_cast<int>(FImage->Frames.size()) || n == FFrameIndex) return;
    {
        LockGuard guard(FLock);
        FFrameIndex = n;
        FTimer->SetInterval(FImage->FrameDelay(n));
    }
    Invalidate();
}

void TGIFAnimator::Repaint() {
    Invalidate();
    if (Parent() && Parent()->HandleAllocated()) UpdateWindow(Parent()->Handle());
}

void TGIFAnimator::FrameStep() {
    if (FPainting || FTimerPaint || !Visible() || FImage->Frames.size() < 2 || !Parent() ||
        !Parent()->HandleAllocated())
        return;
    bool wrapped;
    {
        LockGuard guard(FLock);
        FFrameIndex = (FFrameIndex + 1) % static_cast<int>(FImage->Frames.size());
        wrapped = FFrameIndex == 0;
    }
    // The lock is not held across a call to the user-interface thread, which
    // may itself be waiting for the lock in a paint.
    bool onUI = FTimer->OnUIThread();
    FTimerPaint = true;
    if (OnFrameChanged) FTimer->Synchronize([this] { OnFrameChanged(this); });
    if (onUI)
        Repaint();
    else
        PaintFromWorker();
    FTimerPaint = false;
    {
        LockGuard guard(FLock);
        FTimer->SetInterval(FImage->FrameDelay(FFrameIndex));
    }
    if (!Loop && wrapped) FTimer->Synchronize([this] { SetAnimate(false); });
}

void TGIFAnimator::PaintFromWorker() {
    HWND parent = Parent()->Handle();
    HDC dc = GetDC(parent);
    {
        SavedDCGuard saved(dc);
        IntersectClipRect(dc, Left(), Top(), Left() + Width(), Top() + Height());
        SetViewportOrgEx(dc, Left(), Top(), nullptr);
        TCanvas canvas(dc);
        Paint(canvas);
    }
    ReleaseDC(parent, dc);
}

void TGIFAnimator::Paint(TCanvas& canvas) {
    int w = Width(), h = Height();
    if (w <= 0 || h <= 0) return;
    struct TPaintingFlag {
        std::atomic<bool>& Flag;
        bool Outer;
        ~TPaintingFlag() { Flag = Outer; }
    } painting{FPainting, FPainting.exchange(true)};
    LockGuard guard(FLock);
    TBitmap buffer(w, h);
    RECT client{0, 0, w, h};
    buffer.Canvas().FillRect(client, Color);
    // Transparent parts show the parent's picture under the control.
    if (FImage->Empty() || FImage->IsTransparent()) BitBlt(buffer.DC(), 0, 0, w, h, canvas.Handle(), 0, 0, SRCCOPY);
    if (!FImage->Empty() && FImage->Width() > 0 && FImage->Height() > 0) {
        FComposition.Compose(*FImage, FFrameIndex, ColorToRGB(clWindow));
        TBitmap frame(FComposition.Width, FComposition.Height);
        GdiFlush();
        auto* pixels = reinterpret_cast<uint32_t*>(frame.Bits());
        std::memcpy(pixels, FComposition.Pixels.data(), FComposition.Pixels.size() * sizeof(uint32_t));
        RECT target{0, 0, frame.Width(), frame.Height()};
        if (FStretch)
            target = client;
        else if (FCenter)
            OffsetRect(&target, (w - frame.Width()) / 2, (h - frame.Height()) / 2);
        int tw = target.right - target.left, th = target.bottom - target.top;
        SetStretchBltMode(buffer.DC(), COLORONCOLOR);
        if (FComposition.TransparentColor != kGIFNoColor && FTransparent) {
            // Left out by the mask, not by colour: a drawn pixel of the
            // transparent colour stays. The mask (white where the parent shows)
            // blackens what the frame covers, the frame, black in its holes,
            // is then added.
            TBitmap mask(FComposition.Width, FComposition.Height);
            auto* holes = reinterpret_cast<uint32_t*>(mask.Bits());
            for (size_t i = 0; i < FComposition.Mask.size(); ++i) {
                holes[i] = FComposition.Mask[i] ? 0x00FFFFFF : 0;
                if (FComposition.Mask[i]) pixels[i] = 0;
            }
            StretchBlt(buffer.DC(), target.left, target.top, tw, th, mask.DC(), 0, 0, mask.Width(), mask.Height(),
                       SRCAND);
            StretchBlt(buffer.DC(), target.left, target.top, tw, th, frame.DC(), 0, 0, frame.Width(), frame.Height(),
                       SRCPAINT);
        } else {
            StretchBlt(buffer.DC(), target.left, target.top, tw, th, frame.DC(), 0, 0, frame.Width(), frame.Height(),
                       SRCCOPY);
        }
    }
    buffer.CopyTo(canvas.Handle(), 0, 0);
}
