#pragma once
// The animated GIF player: a windowless control that owns a GIF picture and
// steps through its frames on a timer whose worker thread hands each tick to
// the user-interface thread. Windows build only.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>

#include "core/Gdi.h"
#include "media/GIFImage.h"
#include "toolkit/Controls.h"

// A timer with its own worker thread, made when the timer is first enabled
// with an interval. The thread waits for the interval; on
// time-out, when enabled, it runs OnTimer on the user-interface thread (or on
// itself with AsyncTicks) and waits until that has run. It never blocks
// without also watching for its stop, so destroying the timer while a tick
// is queued cannot deadlock.
class TGIFFrameTimer {
public:
    TGIFFrameTimer();
    ~TGIFFrameTimer();
    TGIFFrameTimer(const TGIFFrameTimer&) = delete;
    TGIFFrameTimer& operator=(const TGIFFrameTimer&) = delete;

    int Interval() const { return FInterval; }
    void SetInterval(int ms);  // 0 never ticks
    bool Enabled() const { return FEnabled; }
    bool SetEnabled(bool value);  // false when the thread could not run
    std::atomic<bool> AsyncTicks{false};
    // The tick handler; set and removed from the user-interface thread while
    // a tick may be running on the worker.
    void SetOnTimer(std::function<void()> handler);
    bool HasOnTimer();

    // From the worker thread: runs `call` on the user-interface thread and
    // waits for it, unless the timer is being destroyed.
    void Synchronize(const std::function<void()>& call);
    bool OnUIThread() const { return GetCurrentThreadId() == FUIThread; }

private:
    static DWORD WINAPI ThreadProc(void* self);
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    bool StartWorker();
    void Run();
    bool PostAndWait(const std::function<void()>* call);

    DWORD FUIThread = 0;  // the thread that created the timer
    HWND FWindow = nullptr;
    TKernelHandle FThread, FStop, FWake, FDone;
    std::atomic<int> FInterval{1000};
    std::atomic<bool> FEnabled{false};
    std::atomic<const std::function<void()>*> FPending{nullptr};
    CRITICAL_SECTION FHandlerLock;
    std::function<void()> FOnTimer;
};

class TGIFAnimator : public TGraphicControl {
public:
    TGIFAnimator(TComponent* owner, TWinControl* parent);
    ~TGIFAnimator() override;

    // The owned picture; loading into it updates the control.
    TGIFImage* Image() const { return FImage.get(); }
    void SetImage(const TGIFImage& image);  // copies

    bool Animate() const { return FTimer->Enabled(); }
    void SetAnimate(bool value);
    bool AsyncDrawing() const { return FTimer->AsyncTicks; }
    void SetAsyncDrawing(bool value) { FTimer->AsyncTicks = value; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    bool Center() const { return FCenter; }
    void SetCenter(bool value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool Loop = true;
    int FrameIndex() const { return FFrameIndex; }
    void SetFrameIndex(int n);  // ignored when out of range or unchanged

    TNotifyEvent OnChange, OnFrameChanged, OnStart, OnStop;

    void Paint(TCanvas& canvas) override;
    void Repaint();

    // For tests: the frame timer's interval and handler, and the composition cache.
    int TimerInterval() const { return FTimer->Interval(); }
    bool TimerHasHandler() const { return FTimer->HasOnTimer(); }
    const TGIFComposition& Composition() const { return FComposition; }

private:
    void ImageChanged();
    void AdjustSize();
    void FrameStep();
    void PaintFromWorker();

    std::unique_ptr<TGIFImage> FImage;
    TGIFComposition FComposition;
    std::unique_ptr<TGIFFrameTimer> FTimer;  // stopped first when the control goes
    CRITICAL_SECTION FLock;                  // frame index, cache and interval, for asynchronous drawing
    int FFrameIndex = 0;
    bool FAutoSize = true, FCenter = false, FStretch = false, FTransparent = true;
    // A paint of the control is running; a frame step is painting (the
    // timer-paint flag). A tick meeting either does nothing.
    std::atomic<bool> FPainting{false}, FTimerPaint{false};
};
