#pragma once
// What a window paints for its client area (WM_PRINTCLIENT: its own look, no
// children), into a bitmap of the given size.
#include <windows.h>

#include "skin/data/vlFBitmap.h"
#include "toolkit/Controls.h"

inline TvlFBitmap ClientShot(TWinControl* control, int width, int height) {
    TvlFBitmap bitmap(width, height);
    SendMessageA(control->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bitmap.Canvas()), PRF_CLIENT);
    GdiFlush();
    return bitmap;
}
