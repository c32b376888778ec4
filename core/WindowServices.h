#pragma once
// The few window-system services whose effect a test under an emulated
// platform cannot observe (timers firing on time, several monitors, the
// notification area, layered windows). Each is a small interface; the
// program uses the system's implementation, a test installs its own with
// TServiceOverride. Windows only.
#include <windows.h>
#include <shellapi.h>

#include <map>
#include <utility>

// Window timers: WM_TIMER with `id` reaches `window` every `milliseconds`.
// `window` is a real window: a timer without one gets an id of the system's
// choosing, which this interface cannot name.
class TTimerDriver {
public:
    virtual ~TTimerDriver() = default;
    // Starts or restarts the timer `id` of `window`.
    virtual bool Set(HWND window, UINT_PTR id, UINT milliseconds) = 0;
    virtual void Kill(HWND window, UINT_PTR id) = 0;
    // Timers set through this driver and not killed yet.
    virtual int LiveTimers() const = 0;
};

// SetTimer and KillTimer; counts the timers it started.
class TSystemTimerDriver : public TTimerDriver {
public:
    bool Set(HWND window, UINT_PTR id, UINT milliseconds) override;
    void Kill(HWND window, UINT_PTR id) override;
    int LiveTimers() const override { return static_cast<int>(FLive.size()); }

private:
    std::map<std::pair<HWND, UINT_PTR>, UINT> FLive;
};

// The areas of the monitors, in screen coordinates.
class TMonitorAreas {
public:
    virtual ~TMonitorAreas() = default;
    // The primary monitor's area without the task bar.
    virtual RECT PrimaryWorkArea() = 0;
    // The whole area, or the work area, of the monitor nearest to `window`.
    virtual RECT MonitorArea(HWND window, bool workArea) = 0;
};

class TSystemMonitorAreas : public TMonitorAreas {
public:
    TSystemMonitorAreas();
    RECT PrimaryWorkArea() override;
    RECT MonitorArea(HWND window, bool workArea) override;

private:
    // The multi-monitor functions are missing on the oldest platforms.
    HMONITOR(WINAPI* FFromWindow)(HWND, DWORD) = nullptr;
    BOOL(WINAPI* FInfo)(HMONITOR, LPMONITORINFO) = nullptr;
};

// Icons in the notification area (Shell_NotifyIconA).
class TNotifyIcons {
public:
    virtual ~TNotifyIcons() = default;
    // `message` is NIM_ADD, NIM_MODIFY or NIM_DELETE.
    virtual bool Notify(DWORD message, NOTIFYICONDATAA& data) = 0;
};

class TSystemNotifyIcons : public TNotifyIcons {
public:
    bool Notify(DWORD message, NOTIFYICONDATAA& data) override;
};

// The constant alpha of a layered window (SetLayeredWindowAttributes).
class TLayeredWindows {
public:
    virtual ~TLayeredWindows() = default;
    // Whether windows can be translucent at all; a replacement says yes
    // unless it says otherwise.
    virtual bool Supported() { return true; }
    virtual bool SetAlpha(HWND window, BYTE alpha) = 0;
};

class TSystemLayeredWindows : public TLayeredWindows {
public:
    TSystemLayeredWindows();
    bool Supported() override { return FSet != nullptr; }
    bool SetAlpha(HWND window, BYTE alpha) override;

private:
    BOOL(WINAPI* FSet)(HWND, COLORREF, BYTE, DWORD) = nullptr;
};

// The system's implementation of each service, made on first use.
template <class I>
I& SystemService();
template <>
TTimerDriver& SystemService<TTimerDriver>();
template <>
TMonitorAreas& SystemService<TMonitorAreas>();
template <>
TNotifyIcons& SystemService<TNotifyIcons>();
template <>
TLayeredWindows& SystemService<TLayeredWindows>();

template <class I>
struct TServiceSlot {
    static inline I* Current = nullptr;
};

// The service in use: the one a test installed, else the system's.
template <class I>
I& Service() {
    I* installed = TServiceSlot<I>::Current;
    return installed ? *installed : SystemService<I>();
}

// Whether a replacement is installed.
template <class I>
bool ServiceReplaced() {
    return TServiceSlot<I>::Current != nullptr;
}

// Installs a replacement for the lifetime of the object (interface thread).
template <class I>
class TServiceOverride {
public:
    explicit TServiceOverride(I& replacement) : FPrevious(std::exchange(TServiceSlot<I>::Current, &replacement)) {}
    ~TServiceOverride() { TServiceSlot<I>::Current = FPrevious; }
    TServiceOverride(const TServiceOverride&) = delete;
    TServiceOverride& operator=(const TServiceOverride&) = delete;

private:
    I* FPrevious;
};
