#include "core/DisplayScale.h"

namespace {
int ScreenPixelsPerInch() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}
}  // namespace

TSystemDisplayDpi::TSystemDisplayDpi() {
    // The per-window functions are missing before the platform's 10.0.
    if (HMODULE user = GetModuleHandleA("user32.dll")) {
        FForWindow =
            reinterpret_cast<decltype(FForWindow)>(reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")));
        FForSystem =
            reinterpret_cast<decltype(FForSystem)>(reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForSystem")));
    }
}

int TSystemDisplayDpi::ForWindow(HWND window) {
    if (FForWindow && window) {
        if (UINT dpi = FForWindow(window)) return static_cast<int>(dpi);
    }
    return ForSystem();
}

int TSystemDisplayDpi::ForSystem() {
    if (FForSystem) {
        if (UINT dpi = FForSystem()) return static_cast<int>(dpi);
    }
    return ScreenPixelsPerInch();
}

template <>
TDisplayDpi& SystemService<TDisplayDpi>() {
    static TSystemDisplayDpi system;
    return system;
}
