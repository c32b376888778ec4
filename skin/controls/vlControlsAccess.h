#pragma once
// How the skinned controls describe themselves to the accessibility layer
// (skin/access): buttons, check and radio boxes, labels, the gauge, panels,
// the splitter, scroll bars, up-down, combo and list boxes.
#include "skin/access/vlAccess.h"

void vlRegisterControlsAccess();

// Presses the part of a window at a client point the way the mouse does:
// parts without an interface of their own act for a client this way.
void vlClickAt(TWinControl* control, POINT p);
// The caption of the label that stands before `control` on its parent (on
// its row, else above it); empty when there is none.
std::string vlLabelBefore(TControl* control);
