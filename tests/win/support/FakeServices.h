#pragma once
// Stand-ins for the window services whose effect a test under Wine cannot
// see: monitor areas a test sets, and layered windows that record every
// alpha asked for. Install one with TServiceOverride.
#include <windows.h>

#include <utility>
#include <vector>

#include "core/Geometry.h"
#include "core/WindowServices.h"

// One monitor: its work area and its whole area, whatever the window.
struct TFakeMonitorAreas : TMonitorAreas {
    TRect Work{0, 0, 1280, 1000};
    TRect Screen{0, 0, 1280, 1024};
    HWND Asked = nullptr;  // the window of the last question
    RECT PrimaryWorkArea() override { return {Work.Left, Work.Top, Work.Right, Work.Bottom}; }
    RECT MonitorArea(HWND window, bool workArea) override {
        Asked = window;
        const TRect& r = workArea ? Work : Screen;
        return {r.Left, r.Top, r.Right, r.Bottom};
    }
};

struct TFakeLayeredWindows : TLayeredWindows {
    bool IsSupported = true;
    // Also sets the alpha on the real window, for what can be seen of it.
    bool PassThrough = false;
    std::vector<std::pair<HWND, int>> Calls;
    bool Supported() override { return IsSupported; }
    bool SetAlpha(HWND window, BYTE alpha) override {
        Calls.push_back({window, alpha});
        if (PassThrough) SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA);
        return true;
    }
    std::vector<int> Alphas() const {
        std::vector<int> a;
        for (auto& c : Calls) a.push_back(c.second);
        return a;
    }
};
