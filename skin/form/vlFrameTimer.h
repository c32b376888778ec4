#pragma once
// A window timer of the skinned frame and its menus: set through the timer
// driver (so that leak checks and fake timers see it), killed when stopped,
// when its window goes and when its owner is destroyed.
#include <windows.h>

class TvlFrameTimer {
public:
    TvlFrameTimer(UINT_PTR id, UINT interval) : FId(id), FInterval(interval) {}
    ~TvlFrameTimer() { Stop(); }
    TvlFrameTimer(const TvlFrameTimer&) = delete;
    TvlFrameTimer& operator=(const TvlFrameTimer&) = delete;
    void Start(HWND window);
    void Stop();
    // A timer goes with its window, also when the window goes first.
    bool Enabled() const { return FWindow != nullptr && IsWindow(FWindow); }
    UINT_PTR Id() const { return FId; }
    UINT Interval() const { return FInterval; }

private:
    UINT_PTR FId;
    UINT FInterval;
    HWND FWindow = nullptr;
};

