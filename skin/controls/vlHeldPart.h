#pragma once
// Buttons drawn inside one skinned control (up-down halves, a list's
// caption buttons): the release of the one held with the mouse.
#include <windows.h>

#include "skin/controls/vlSkinControlBase.h"

// Ends the press of the held part (`held` -1: none) and gives the capture
// back; returns the part that was held, or -1.
inline int ReleaseHeldPart(TWinControl& control, int& held, TvlSkinPart* parts) {
    int part = held;
    held = -1;
    if (part < 0) return -1;
    parts[part].Down = false;
    control.Invalidate();
    if (control.HandleAllocated() && GetCapture() == control.Handle()) ReleaseCapture();
    return part;
}
