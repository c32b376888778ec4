#pragma once
// One pixel of what a window paints for its client area (WM_PRINTCLIENT), at
// client coordinates, read from a bitmap the size of the whole window.
#include <windows.h>

#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

inline COLORREF ClientPixel(TWinControl* control, int x, int y) {
    TBitmap shot(control->Width(), control->Height());
    SendMessageA(control->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.DC()), PRF_CLIENT);
    return GetPixel(shot.DC(), x, y);
}
