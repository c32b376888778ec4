#pragma once
// A timer driver for tests: records the timers the program sets and fires
// them when the test says so, instead of waiting for real time to pass.
//
//   TFakeTimers timers;   // the driver, in service while it lives
//   ... the program sets a 250 ms timer ...
//   timers.FireAll();   // one WM_TIMER to each live timer's window
#include <map>
#include <utility>

#include "core/WindowServices.h"

class TFakeTimerDriver : public TTimerDriver {
public:
    bool Set(HWND window, UINT_PTR id, UINT milliseconds) override;
    void Kill(HWND window, UINT_PTR id) override;
    int LiveTimers() const override { return static_cast<int>(FLive.size()); }

    // The interval of a live timer, or 0 when that timer is not set.
    UINT Interval(HWND window, UINT_PTR id) const;
    // Sends WM_TIMER for a live timer; false when it is not set.
    bool Fire(HWND window, UINT_PTR id);
    // Fires every timer live when called; returns how many fired.
    int FireAll();
    int SetCalls() const { return FSetCalls; }

private:
    std::map<std::pair<HWND, UINT_PTR>, UINT> FLive;
    int FSetCalls = 0;
};

// The fake driver in service for as long as it lives.
class TFakeTimers : public TFakeTimerDriver {
    TServiceOverride<TTimerDriver> FUse{*this};
};
