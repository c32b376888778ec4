#include "skin/form/vlFrameTimer.h"

#include "core/WindowServices.h"

void TvlFrameTimer::Start(HWND window) {
    if (!window || (FWindow == window && IsWindow(window))) return;
    Stop();
    if (Service<TTimerDriver>().Set(window, FId, FInterval)) FWindow = window;
}

void TvlFrameTimer::Stop() {
    if (!FWindow) return;
    Service<TTimerDriver>().Kill(FWindow, FId);
    FWindow = nullptr;
}
