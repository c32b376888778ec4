#include "core/WindowServices.h"

bool TSystemTimerDriver::Set(HWND window, UINT_PTR id, UINT milliseconds) {
    if (!SetTimer(window, id, milliseconds, nullptr)) return false;
    FLive[{window, id}] = milliseconds;
    return true;
}

void TSystemTimerDriver::Kill(HWND window, UINT_PTR id) {
    KillTimer(window, id);
    FLive.erase({window, id});
}

TSystemMonitorAreas::TSystemMonitorAreas() {
    if (HMODULE user = GetModuleHandleA("user32.dll")) {
        FFromWindow =
            reinterpret_cast<decltype(FFromWindow)>(reinterpret_cast<void*>(GetProcAddress(user, "MonitorFromWindow")));
        FInfo = reinterpret_cast<decltype(FInfo)>(reinterpret_cast<void*>(GetProcAddress(user, "GetMonitorInfoA")));
    }
}

RECT TSystemMonitorAreas::PrimaryWorkArea() {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

RECT TSystemMonitorAreas::MonitorArea(HWND window, bool workArea) {
    if (GetSystemMetrics(SM_CMONITORS) > 1 && FFromWindow && FInfo) {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        HMONITOR monitor = FFromWindow(window, MONITOR_DEFAULTTONEAREST);
        if (monitor && FInfo(monitor, &info)) return workArea ? info.rcWork : info.rcMonitor;
    }
    if (workArea) return PrimaryWorkArea();
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool TSystemNotifyIcons::Notify(DWORD message, NOTIFYICONDATAA& data) {
    return Shell_NotifyIconA(message, &data) != FALSE;
}

TSystemLayeredWindows::TSystemLayeredWindows() {
    if (HMODULE user = GetModuleHandleA("USER32"))
        FSet = reinterpret_cast<decltype(FSet)>(
            reinterpret_cast<void*>(GetProcAddress(user, "SetLayeredWindowAttributes")));
}

bool TSystemLayeredWindows::SetAlpha(HWND window, BYTE alpha) { return FSet && FSet(window, 0, alpha, LWA_ALPHA); }

namespace {
// The platform's one implementation of a service, made on first use.
template <class Service, class System>
Service& TheSystem() {
    static System system;
    return system;
}
}  // namespace

template <>
TTimerDriver& SystemService<TTimerDriver>() { return TheSystem<TTimerDriver, TSystemTimerDriver>(); }
template <>
TMonitorAreas& SystemService<TMonitorAreas>() { return TheSystem<TMonitorAreas, TSystemMonitorAreas>(); }
template <>
TNotifyIcons& SystemService<TNotifyIcons>() { return TheSystem<TNotifyIcons, TSystemNotifyIcons>(); }
template <>
TLayeredWindows& SystemService<TLayeredWindows>() { return TheSystem<TLayeredWindows, TSystemLayeredWindows>(); }
