#pragma once
// Display scale. Layouts, fonts and skins are given in 96-DPI units and
// scaled to the DPI of the window that shows them; at 96 DPI every value is
// used as written. The DPI itself is a window service, so that a test can
// show a window at 144 DPI on a display that runs at 96. Windows only.
#include <windows.h>

#include "core/Rounding.h"
#include "core/WindowServices.h"

constexpr int kDesignDpi = 96;

// The DPI windows are shown at.
class TDisplayDpi {
public:
    virtual ~TDisplayDpi() = default;
    // The DPI of `window` (of the monitor it is on, for a program that
    // follows each monitor's scale).
    virtual int ForWindow(HWND window) = 0;
    // The DPI of the primary monitor, for what is made before its window.
    virtual int ForSystem() = 0;
};

// GetDpiForWindow and GetDpiForSystem where the platform has them, else the
// screen's logical pixels per inch. A program that declares no awareness
// is told 96 by the platform and draws exactly as written.
class TSystemDisplayDpi : public TDisplayDpi {
public:
    TSystemDisplayDpi();
    int ForWindow(HWND window) override;
    int ForSystem() override;

private:
    UINT(WINAPI* FForWindow)(HWND) = nullptr;
    UINT(WINAPI* FForSystem)() = nullptr;
};

template <>
TDisplayDpi& SystemService<TDisplayDpi>();

// A length of the 96-DPI layout at `dpi`, rounded as the skin's scaled
// descriptions are, so that layouts and skins meet.
inline int ScaleForDpi(int value, int dpi) { return ScaleRounded(value, kDesignDpi, dpi); }
// A font height of the 96-DPI layout at `dpi` (toward zero; see
// ScaleFontRounded).
inline int ScaleFontForDpi(int height, int dpi) { return ScaleFontRounded(height, kDesignDpi, dpi); }

inline int WindowDpi(HWND window) { return Service<TDisplayDpi>().ForWindow(window); }
inline int SystemDpi() { return Service<TDisplayDpi>().ForSystem(); }

// A fixed DPI for every window, for tests and for drawing a window at a
// chosen scale.
class TFixedDisplayDpi : public TDisplayDpi {
public:
    explicit TFixedDisplayDpi(int dpi) : FDpi(dpi) {}
    int ForWindow(HWND) override { return FDpi; }
    int ForSystem() override { return FDpi; }
    void SetDpi(int dpi) { FDpi = dpi; }

private:
    int FDpi;
};
