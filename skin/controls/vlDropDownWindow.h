#pragma once
// The window class of every drop-down (the combo box's list, the date
// edit's calendar): it saves the screen bits under it, so that closing it
// repaints nothing below, and casts a shadow where the platform has one.
#include <windows.h>

#include "skin/data/vlUtils.h"
#include "toolkit/WindowClasses.h"

inline UINT DropDownClassStyle() { return CS_SAVEBITS | (IsVersion51() ? CS_DROPSHADOW : 0u); }
inline const char* DropDownWindowClass() { return OwnWindowClassWithStyle(DropDownClassStyle()); }
